#pragma once
// The main window's notification-area icon and its two menus.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "core/app/AppState.h"
#include "core/config/PathMacros.h"
#include "win/panel/ViewFrm.h"
#include "win/platform/Win32Platform.h"

namespace kestro::win {

class TrayIcon {
 public:
  // The icon's callback message to its owner window.
  static constexpr UINT kCallbackMessage = WM_APP + 20;

  TrayIcon(AppState& state, Win32Platform& platform, const MacroValues& macros, std::unique_ptr<TviewFrm>& panel);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Puts the icon into the notification area for `owner`, with the hint.
  void Add(HWND owner, HICON icon, const std::string& hint);
  // The application icon changed.
  void SetIcon(HICON icon);
  // Takes the icon away; nothing when it is not there.
  void Remove();
  // The icon's callback, Explorer's restart and the menu pictures; false
  // for any other message.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The right-click menu's settings entry; greyed while unset.
  std::function<void()> onSettings;
  // The tray-menu shortcut: dismisses the left-click menu when one was
  // opened since the last press, else opens it; the mark is cleared after.
  void ToggleMenuFromShortcut();

 private:
  void MouseDown(UINT button);
  void DblClick();
  void ShowLeftMenu();
  void ShowRightMenu();
  void TrayMenu_ViewClick();
  void TrayMenu_ExitClick();
  bool MenusRefused() const;
  POINT MenuPoint() const;

  AppState& state_;
  Win32Platform& platform_;
  const MacroValues& macros_;
  std::unique_ptr<TviewFrm>& panel_;
  NOTIFYICONDATAW data_{};
  bool added_ = false;
  UINT taskbarCreated_ = 0;
  bool menuOpen_ = false;
  // Set when a left-click menu is built; cleared only by the shortcut.
  bool trayMenuMark_ = false;
};

}  // namespace kestro::win
