#pragma once
// The tray icon's menus as Win32 menus: the left-click menu from its model
// (pictures drawn from the shared 16 x 16 list) and the fixed right-click one.
#include <windows.h>
#include <commctrl.h>

#include "core/ui/TrayMenu.h"

namespace kestro::win {

// Command ids of the left-click menu: launcher entry n has kTrayLaunchFirst + n.
constexpr UINT kTrayShowPanel = 1;
constexpr UINT kTrayLaunchFirst = 100;

// Command ids of the right-click menu, in its order.
enum TrayRightCommand : UINT {
  kTrayMenuView = 1,
  kTrayMenuEnv,
  kTrayMenuInfo,
  kTrayMenuExit,
};

// A popup menu with the model's entries. The model must outlive the menu:
// submenus are filled from it when they open, through TrayMenuInitPopup
// (WM_INITMENUPOPUP of the menu's owner). Pictures are drawn by that owner,
// through TrayMenuMeasureItem / TrayMenuDrawItem.
HMENU CreateTrayPopup(const TrayMenuModel& model);
// Fills a submenu of CreateTrayPopup the first time it opens; false for
// any other menu and once it is filled.
bool TrayMenuInitPopup(HMENU submenu);

// The fixed right-click menu: view, settings, about, exit. Settings and
// about stay disabled until their windows exist.
HMENU CreateTrayRightMenu(const TrayMenuCaptions& captions, bool settingsAvailable, bool aboutAvailable);

// WM_MEASUREITEM / WM_DRAWITEM of a tray menu's picture; false for any other
// owner-drawn item.
bool TrayMenuMeasureItem(MEASUREITEMSTRUCT& measure);
bool TrayMenuDrawItem(const DRAWITEMSTRUCT& draw, HIMAGELIST pictures);

}  // namespace kestro::win
