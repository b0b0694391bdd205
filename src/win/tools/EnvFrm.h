#pragma once
// The settings dialog: every setting on six pages; OK writes them back,
// applies what can be applied at once and saves Kestro.xml. The shortcut
// page registers and clears the system shortcuts at once.
#include <functional>
#include <string>

#include "core/app/AppState.h"
#include "core/app/Shortcuts.h"
#include "core/config/Settings.h"
#include "core/host/HostChanges.h"
#include "core/ui/EnvDialog.h"
#include "win/platform/Win32Platform.h"

namespace kestro::win {

struct EnvFrmHost {
  AppState& state;
  Win32Platform& platform;
  HostChanges& hostChanges;
  GlobalShortcuts& shortcuts;
  // The panel's opacity for the slider's live preview, and restored by Cancel.
  std::function<void(int32_t opacity)> setOpacity;
  // The panel's bounds for the save.
  std::function<PanelWindowState()> panelState;
  // OK's changes to the panel (caption, opacity, free-space bar, trees) and
  // to the application icon.
  std::function<void(const EnvDialogApply&)> applied;
  // Moves the drive to the chosen letter now ("바로 적용"); the button is
  // disabled while it is not set, and in the PC edition.
  std::function<bool(const std::string& fixdrivename)> applyDriveLetter;
};

// Shows the dialog; true when it was closed with OK.
bool RunEnvFrm(EnvFrmHost& host);

}  // namespace kestro::win
