#include "win/app/TrayIcon.h"

#include "core/app/Exit.h"
#include "core/config/MessageTable.h"
#include "core/ui/TrayMenu.h"
#include "win/platform/WinText.h"
#include "win/tools/IntroFrm.h"
#include "win/ui/Modal.h"
#include "win/ui/TrayMenus.h"

namespace kestro::win {

namespace {
constexpr UINT kTrayIconId = 1;

// Destroys a menu with its submenus when the handler that built it returns.
struct MenuHolder {
  HMENU menu;
  ~MenuHolder() { DestroyMenu(menu); }
};
}  // namespace

TrayIcon::TrayIcon(AppState& state, Win32Platform& platform, const MacroValues& macros,
                   std::unique_ptr<TviewFrm>& panel)
    : state_(state), platform_(platform), macros_(macros), panel_(panel) {
  // Explorer broadcasts it when it (re)starts: every icon is gone then.
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
}

TrayIcon::~TrayIcon() { Remove(); }

void TrayIcon::Add(HWND owner, HICON icon, const std::string& hint) {
  data_.cbSize = sizeof data_;
  data_.hWnd = owner;
  data_.uID = kTrayIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = kCallbackMessage;
  data_.hIcon = icon;
  lstrcpynW(data_.szTip, Widen(hint).c_str(), int(std::size(data_.szTip)));
  added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
}

void TrayIcon::SetIcon(HICON icon) {
  data_.hIcon = icon;
  if (added_) Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::Remove() {
  if (!data_.hWnd) return;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  added_ = false;
  data_.hWnd = nullptr;
}

bool TrayIcon::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == kCallbackMessage) {
    switch (UINT(lParam)) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        MouseDown(UINT(lParam));
        break;
      case WM_LBUTTONDBLCLK:
        DblClick();
        break;
    }
    result = 0;
    return true;
  }
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    if (data_.hWnd) added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    result = 0;
    return true;
  }
  if (msg == WM_INITMENUPOPUP && TrayMenuInitPopup(reinterpret_cast<HMENU>(wParam))) {
    result = 0;
    return true;
  }
  if (msg == WM_MEASUREITEM && TrayMenuMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
    result = TRUE;
    return true;
  }
  if (msg == WM_DRAWITEM &&
      TrayMenuDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), platform_.images.Small())) {
    result = TRUE;
    return true;
  }
  return false;
}

bool TrayIcon::MenusRefused() const {
  // No menu beside one of our dialogs, boxes or menus (ours are counted
  // too); none before the icon has its window.
  return !data_.hWnd || ModalLoop::Depth() > 0;
}

POINT TrayIcon::MenuPoint() const {
  POINT at{};
  GetCursorPos(&at);
  return at;
}

void TrayIcon::MouseDown(UINT button) {
  if (MenusRefused()) return;
  if (button == WM_RBUTTONDOWN) ShowRightMenu();
  else if (button == WM_LBUTTONDOWN) ShowLeftMenu();
}

void TrayIcon::DblClick() {
  // The first press of the double click opened the left-click menu.
  if (menuOpen_) EndMenu();
  if (panel_) panel_->ShowPanel();
}

void TrayIcon::ShowLeftMenu() {
  TrayMenuModel model =
      BuildTrayMenu(state_.panel, state_.env.traymenutab, state_.messages.Text(msg::kShowPanel));
  MenuHolder menu{CreateTrayPopup(model)};
  trayMenuMark_ = true;
  menuOpen_ = true;
  // Without the foreground a tray menu does not close on a click elsewhere.
  SetForegroundWindow(data_.hWnd);
  const UINT chosen = TrackModalPopup(menu.menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, MenuPoint(), data_.hWnd);
  PostMessageW(data_.hWnd, WM_NULL, 0, 0);
  menuOpen_ = false;
  if (chosen == kTrayShowPanel) {
    TrayMenu_ViewClick();
  } else if (chosen >= kTrayLaunchFirst && chosen - kTrayLaunchFirst < model.launches.size()) {
    LaunchTrayEntry(model.launches[chosen - kTrayLaunchFirst], platform_.shell, macros_);
  }
}

void TrayIcon::ShowRightMenu() {
  MenuHolder menu{CreateTrayRightMenu(TrayRightCaptions(state_.trayCaptions), bool(onSettings), true)};
  menuOpen_ = true;
  SetForegroundWindow(data_.hWnd);
  const UINT chosen = TrackModalPopup(menu.menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, MenuPoint(), data_.hWnd);
  PostMessageW(data_.hWnd, WM_NULL, 0, 0);
  menuOpen_ = false;
  switch (chosen) {
    case kTrayMenuView:
      TrayMenu_ViewClick();
      break;
    case kTrayMenuEnv:
      if (onSettings) onSettings();
      break;
    case kTrayMenuInfo:
      ShowIntroBox(data_.hWnd);  // owned by the main window
      break;
    case kTrayMenuExit:
      TrayMenu_ExitClick();
      break;
    default:
      break;
  }
}

void TrayIcon::TrayMenu_ViewClick() {
  // Shown where it is: no restore, no foreground.
  if (panel_) ShowWindow(panel_->Handle(), SW_SHOW);
}

void TrayIcon::TrayMenu_ExitClick() {
  if (state_.iconLoadBusy > 0 || state_.favoritesCopyState != 0) {
    ShowMessageBox(Widen(state_.messages.Message(msg::kBusyCannotExit)), L"Notice", MB_OK | MB_ICONWARNING);
    return;
  }
  PostMessageW(data_.hWnd, WM_CLOSE, WPARAM(ExitTrigger::TrayExit), 0);
}

void TrayIcon::ToggleMenuFromShortcut() {
  if (trayMenuMark_) {
    // Taking the foreground dismisses a tray menu on screen; a menu of ours
    // is ended outright, as the foreground alone does not end it everywhere.
    SetForegroundWindow(data_.hWnd);
    if (menuOpen_) EndMenu();
  } else if (!MenusRefused()) {
    ShowLeftMenu();  // returns when the menu has closed
  }
  trayMenuMark_ = false;
}

}  // namespace kestro::win
