#pragma once
// TenvVarFrm: the path macros with their current values, a small modeless
// tool window placed below the item property dialog while that is open.
#include <windows.h>

#include <functional>

#include "core/app/AppState.h"

namespace kestro::win {

// Shows the list below `owner` (owned by it, with its stay-on-top style);
// `onClose` runs when the window goes, however it is closed. Null when the
// window could not be made.
HWND ShowEnvVarFrm(HWND owner, const AppState& state, std::function<void()> onClose);

}  // namespace kestro::win
