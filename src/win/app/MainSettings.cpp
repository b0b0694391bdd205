// The main window's part of the settings dialog: opening it with the
// panel's preview and applying OK's application icon.
#include "win/app/MainFrm.h"
#include "win/platform/WinText.h"
#include "win/tools/EnvFrm.h"
#include "win/ui/Modal.h"

namespace kestro::win {

void TmainFrm::OpenSettings() {
  if (ModalDialogOpen() || exiting_) return;
  EnvFrmHost host{state_, platform_, hostChanges_, shortcuts_, {}, {}, {}, {}};
  host.setOpacity = [this](int32_t opacity) {
    if (panel_) panel_->SetOpacity(opacity);
  };
  host.panelState = [this] { return PanelBounds(); };
  host.applied = [this](const EnvDialogApply& apply) { SettingsApplied(apply); };
  // "바로 적용": the letter change by the remount tool, which ends the program
  // when the tool was started.
  host.applyDriveLetter = [this](const std::string& fixdrivename) { return ChangeDriveLetterByTool(fixdrivename); };
  RunEnvFrm(host);
}

void TmainFrm::SettingsApplied(const EnvDialogApply& apply) {
  if (panel_) panel_->ApplySettings(apply);
  HICON icon = apply.appIcon.empty()
                   ? nullptr
                   : static_cast<HICON>(LoadImageW(nullptr, Widen(apply.appIcon).c_str(), IMAGE_ICON, 0, 0,
                                                   LR_LOADFROMFILE));
  // The built-in icon when there is no file (or it cannot be read).
  HICON big = icon ? icon : LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  if (panel_) {
    SendMessageW(panel_->Handle(), WM_SETICON, ICON_BIG, LPARAM(big));
    SendMessageW(panel_->Handle(), WM_SETICON, ICON_SMALL, LPARAM(big));
  }
  tray_.SetIcon(icon ? icon : SmallAppIcon());
  if (appIcon_) DestroyIcon(appIcon_);
  appIcon_ = icon;
  appIconFile_ = apply.appIcon;
}

}  // namespace kestro::win
