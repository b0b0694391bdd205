#include "win/ui/TrayMenus.h"

#include <commctrl.h>

#include "win/platform/WinText.h"

namespace kestro::win {

namespace {

// Marks the item data of an entry whose picture this code draws; the low
// bits hold the picture index.
constexpr ULONG_PTR kPictureTag = ULONG_PTR(0x4B540000) << 32;
constexpr ULONG_PTR kPictureMask = 0xFFFFFFFF;
constexpr int kPictureSize = 16;  // the shared small list; never scaled

void AppendLevel(HMENU menu, const std::vector<TrayMenuEntry>& entries);

// A submenu is filled only when it opens (WM_INITMENUPOPUP): a menu of
// thousands of items then costs what its first level costs. The entries it
// waits for are kept in the menu's own data.
HMENU PendingSubmenu(const std::vector<TrayMenuEntry>& children) {
  HMENU sub = CreatePopupMenu();
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_MENUDATA;
  info.dwMenuData = reinterpret_cast<ULONG_PTR>(&children);
  SetMenuInfo(sub, &info);
  return sub;
}

void AppendLevel(HMENU menu, const std::vector<TrayMenuEntry>& entries) {
  using Kind = TrayMenuEntry::Kind;
  UINT position = 0;
  for (const TrayMenuEntry& e : entries) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    std::wstring text;
    if (e.kind == Kind::Separator) {
      mi.fMask = MIIM_FTYPE;
      mi.fType = MFT_SEPARATOR;
    } else {
      text = Widen(e.caption);
      mi.fMask = MIIM_STRING | MIIM_ID;
      mi.dwTypeData = text.data();
      if (e.kind == Kind::ShowPanel) mi.wID = kTrayShowPanel;
      else if (e.launch >= 0) mi.wID = kTrayLaunchFirst + UINT(e.launch);
      if (e.image >= 0) {
        // Drawn on demand: only the entries on screen cost a picture.
        mi.fMask |= MIIM_BITMAP | MIIM_DATA;
        mi.hbmpItem = HBMMENU_CALLBACK;
        mi.dwItemData = kPictureTag | ULONG_PTR(uint32_t(e.image));
      }
      if (e.kind == Kind::TabMenu || !e.children.empty()) {
        mi.fMask |= MIIM_SUBMENU;
        mi.hSubMenu = PendingSubmenu(e.children);
      }
    }
    InsertMenuItemW(menu, position++, TRUE, &mi);
  }
}

bool IsPicture(ULONG_PTR data) { return (data & ~kPictureMask) == kPictureTag; }

}  // namespace

HMENU CreateTrayPopup(const TrayMenuModel& model) {
  HMENU menu = CreatePopupMenu();
  AppendLevel(menu, model.entries);
  return menu;
}

HMENU CreateTrayRightMenu(const TrayMenuCaptions& captions, bool settingsAvailable, bool aboutAvailable) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kTrayMenuView, Widen(captions.view).c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | (settingsAvailable ? 0 : MF_GRAYED), kTrayMenuEnv, Widen(captions.env).c_str());
  AppendMenuW(menu, MF_STRING | (aboutAvailable ? 0 : MF_GRAYED), kTrayMenuInfo, L"Kestro?");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kTrayMenuExit, Widen(captions.exit).c_str());
  return menu;
}

bool TrayMenuInitPopup(HMENU submenu) {
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_MENUDATA;
  if (!GetMenuInfo(submenu, &info) || !info.dwMenuData) return false;
  auto* children = reinterpret_cast<const std::vector<TrayMenuEntry>*>(info.dwMenuData);
  info.dwMenuData = 0;
  SetMenuInfo(submenu, &info);
  AppendLevel(submenu, *children);
  return true;
}

bool TrayMenuMeasureItem(MEASUREITEMSTRUCT& measure) {
  if (measure.CtlType != ODT_MENU || !IsPicture(measure.itemData)) return false;
  measure.itemWidth = kPictureSize;
  measure.itemHeight = kPictureSize;
  return true;
}

bool TrayMenuDrawItem(const DRAWITEMSTRUCT& draw, HIMAGELIST pictures) {
  if (draw.CtlType != ODT_MENU || !IsPicture(draw.itemData)) return false;
  const int index = int(draw.itemData & kPictureMask);
  const RECT& r = draw.rcItem;
  const int y = r.top + ((r.bottom - r.top) - kPictureSize) / 2;
  if (pictures && index < ImageList_GetImageCount(pictures))
    ImageList_Draw(pictures, index, draw.hDC, r.left, y, ILD_TRANSPARENT);
  return true;
}

}  // namespace kestro::win
