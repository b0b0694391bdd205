#pragma once
// The hidden main window: it runs the start sequence when it is created and
// the exit path when it is asked to close.
#include <memory>
#include <string>

#include "core/app/AppState.h"
#include "core/app/Exit.h"
#include "core/app/Shortcuts.h"
#include "core/host/HostChanges.h"
#include "core/ui/EnvDialog.h"
#include "core/config/PathMacros.h"
#include "core/items/DeferredIcons.h"
#include "core/items/IconPlan.h"
#include "win/app/TrayIcon.h"
#include "win/panel/ViewFrm.h"
#include "win/platform/HotKeys.h"
#include "win/platform/IconLoader.h"
#include "win/platform/Processes.h"
#include "win/platform/Win32Platform.h"
#include "win/ui/Window.h"

namespace kestro::win {

// The built-in icon at the small size (shared: never destroyed).
HICON SmallAppIcon();

class TmainFrm : public Window {
 public:
  TmainFrm(Win32Platform& platform, std::string exePath);
  ~TmainFrm() override;
  bool Create();
  // For the settings dialog: re-register or clear a slot, all slots at once.
  GlobalShortcuts& Shortcuts() { return shortcuts_; }
  // The tray-menu shortcut: opens the left-click tray menu, or dismisses it.
  void ToggleTrayMenuFromShortcut() { tray_.ToggleMenuFromShortcut(); }
  // The program's drive was pulled out: Timer3 decides after a while
  // whether Kestro ends (usballexit).
  void DriveRemoved();
  // The settings dialog's "바로 적용": moves the drive to `fixdrivename`
  // with the remount tool beside Kestro. Checks the letter (message "03"
  // when it is taken), never from C:, saves Kestro.xml on the old letter,
  // starts the tool and, only when it started, ends Kestro at once (a
  // direct end; the caller's dialog is ended first). False when nothing
  // changed; the user was told why.
  bool ChangeDriveLetterByTool(const std::string& fixdrivename);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  static constexpr UINT_PTR kTimer1 = 1;  // looks for the AutoPlay prompt of the pinned drive
  static constexpr UINT_PTR kTimer2 = 2;  // ends that watch
  static constexpr UINT_PTR kTimer3 = 3;  // after a forced removal of the drive
  // Drives arriving and leaving (MainDevices.cpp).
  void DeviceChange(WPARAM event);
  void Timer1();
  void Timer2();
  // The exit (MainExit.cpp): the close request with its trigger, the main
  // window's destruction, the log-off answer.
  void FormClose(ExitTrigger trigger);
  void FormDestroy();
  void ExitList();
  void CloseShellWindows();
  void RunRemovalTool();
  LRESULT QueryEndSession(WPARAM wParam, LPARAM lParam);
  void Timer3();
  PanelWindowState PanelBounds() const;
  void ApplicationIcon();
  // The fixed pictures, the ones asked for while reading, then the
  // background loader: after the panel is on screen.
  void PicturesStep();
  void IconLoaded(LPARAM result);
  // Global shortcuts (Shortcuts.cpp).
  static constexpr UINT kShortcutNoticeMessage = WM_APP + 11;
  void StartShortcuts();
  void ShortcutNotice();
  void SystemHotKey(WPARAM id);
  // The settings dialog (MainSettings.cpp), from the tray and the panel.
  void OpenSettings();
  void SettingsApplied(const EnvDialogApply& apply);
  // Puts the host back as it was (wallpaper, desktop icons, associations);
  // at the exit and at log-off. Running it twice does nothing more.
  void UndoHostChanges();

  Win32Platform& platform_;
  std::string exePath_;
  AppState state_;
  // Everything Kestro changes on the host goes through here.
  HostChanges hostChanges_;
  MacroValues macros_{platform_.host, state_.pv.programDrive};  // the pictures' lookups
  std::unique_ptr<TviewFrm> panel_;
  TrayIcon tray_{state_, platform_, macros_, panel_};
  HICON appIcon_ = nullptr;
  std::string appIconFile_;
  DeferredIcons deferredPictures_;
  std::shared_ptr<IconLoaderControl> loader_;
  std::vector<int32_t> deferredResults_;
  Win32HotKeys hotKeys_;
  GlobalShortcuts shortcuts_{hotKeys_};
  Win32Processes processes_;
  ExitPlan exitPlan_;     // the steps of the exit under way
  bool exiting_ = false;  // a close request is being carried out
  std::string autoplayTitle_;  // the title of the AutoPlay prompt looked for
};

}  // namespace kestro::win
