#pragma once
// The autorun.inf editor TautoinfFrm: modal, stay-on-top.
#include "core/app/AppState.h"
#include "win/platform/Win32Platform.h"

namespace kestro::win {

// menu_autorunInfClick: the editor for the program drive's autorun.inf.
void OpenAutorunEditor(AppState& state, Win32Platform& platform);

}  // namespace kestro::win
