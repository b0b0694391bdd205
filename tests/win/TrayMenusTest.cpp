// The tray menus as Win32 menus, read back in this process (menus are kept
// per process, so another program cannot read them).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/app/PanelModel.h"
#include "win/ui/TrayMenus.h"

namespace kestro::win {
namespace {

// A menu level as text: "-" a separator, "caption#id" an entry ("*" after
// the id when its picture is drawn), "caption(...)" a submenu, "~" after a
// disabled entry.
std::string Read(HMENU menu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_SUBMENU | MIIM_BITMAP | MIIM_DATA | MIIM_STATE;
    mi.dwTypeData = text;
    mi.cch = 128;
    EXPECT_TRUE(GetMenuItemInfoW(menu, UINT(i), TRUE, &mi));
    if (!out.empty()) out += ' ';
    if (mi.fType & MFT_SEPARATOR) {
      out += '-';
      continue;
    }
    char narrow[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    out += narrow;
    if (mi.hSubMenu) {
      // Filled when it opens, once.
      EXPECT_EQ(GetMenuItemCount(mi.hSubMenu), 0);
      EXPECT_TRUE(TrayMenuInitPopup(mi.hSubMenu));
      EXPECT_FALSE(TrayMenuInitPopup(mi.hSubMenu));
      out += "(" + Read(mi.hSubMenu) + ")";
    } else {
      out += "#" + std::to_string(mi.wID);
    }
    if (mi.hbmpItem == HBMMENU_CALLBACK) {
      MEASUREITEMSTRUCT m{};
      m.CtlType = ODT_MENU;
      m.itemData = mi.dwItemData;
      EXPECT_TRUE(TrayMenuMeasureItem(m));
      out += "*" + std::to_string(m.itemWidth);
    }
    if (mi.fState & MFS_DISABLED) out += "~";
  }
  return out;
}

TMyRec Rec(ItemKind kind, const char* name, int32_t image = kNoPicture) {
  TMyRec r;
  r.kind = kind;
  r.name = name;
  r.path = std::string("C:\\") + name;
  r.imageindex = image;
  return r;
}

TEST(TrayMenusTest, ThePopupHasTheModelsEntriesIdsAndPictures) {
  PanelModel panel;
  ItemTree& a = *panel.AddPage("A", TabTag::Items).Tree();
  a.Add(nullptr, Rec(ItemKind::File, "Tom & Jerry", 5));
  ItemNode& g = a.Add(nullptr, Rec(ItemKind::Group, "grp", 2));
  a.Add(&g, Rec(ItemKind::File, "in", 0));
  ItemNode& hidden = a.Add(nullptr, Rec(ItemKind::Group, "hidden"));
  hidden.Data().hidefromtray = true;
  a.Add(&hidden, Rec(ItemKind::File, "never"));
  a.Add(nullptr, Rec(ItemKind::Separator, ""));
  a.Add(nullptr, Rec(ItemKind::Url, "url"));
  panel.AddPage("find", TabTag::Find);
  panel.AddPage("B & C", TabTag::Items).Tree()->Add(nullptr, Rec(ItemKind::Folder, "dir", 1));

  // The models outlive their menus: submenus are filled from them.
  const TrayMenuModel flatModel = BuildTrayMenu(panel, false, "Show ViewPanel");
  const TrayMenuModel tabsModel = BuildTrayMenu(panel, true, "show");
  HMENU flat = CreateTrayPopup(flatModel);
  EXPECT_EQ(Read(flat), "Show ViewPanel#1 - Tom && Jerry#100*16 grp(in#102*16)*16 - url#103 - dir#104*16");
  DestroyMenu(flat);
  HMENU tabs = CreateTrayPopup(tabsModel);
  EXPECT_EQ(Read(tabs), "show#1 - A(Tom && Jerry#100*16 grp(in#102*16)*16 - url#103) - B && C(dir#104*16)");
  DestroyMenu(tabs);
}

TEST(TrayMenusTest, SubmenusOfAnotherMenuAreLeftAlone) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(menu, MF_POPUP, UINT_PTR(sub), L"sub");
  EXPECT_FALSE(TrayMenuInitPopup(sub));
  EXPECT_EQ(GetMenuItemCount(sub), 0);
  DestroyMenu(menu);
}

TEST(TrayMenusTest, TheRightMenuKeepsItsOrderAndDisablesWhatIsNotThere) {
  HMENU menu = CreateTrayRightMenu(TrayRightCaptions(std::nullopt), false, false);
  EXPECT_EQ(Read(menu), "실행창 보기#1 - 환경설정#2~ Kestro?#3~ - 종료#4");
  DestroyMenu(menu);
  menu = CreateTrayRightMenu(TrayRightCaptions(TrayMenuCaptions{"View Panel", "Setting", "Exit"}), true, true);
  EXPECT_EQ(Read(menu), "View Panel#1 - Setting#2 Kestro?#3 - Exit#4");
  DestroyMenu(menu);
}

TEST(TrayMenusTest, OnlyTrayPicturesAreMeasured) {
  MEASUREITEMSTRUCT other{};
  other.CtlType = ODT_MENU;
  other.itemData = 7;  // another owner-drawn menu's data
  EXPECT_FALSE(TrayMenuMeasureItem(other));
  other.CtlType = ODT_LISTBOX;
  EXPECT_FALSE(TrayMenuMeasureItem(other));
}

}  // namespace
}  // namespace kestro::win
