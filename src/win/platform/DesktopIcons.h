#pragma once
// The desktop's icon view: the "ShellDll_DefView" child of the "Progman"
// window. Another shell has none.
#include <windows.h>

namespace kestro::win {

HWND FindDesktopIconView();

// Shows or hides the view; false when there is no view.
bool ShowDesktopIcons(bool show);

}  // namespace kestro::win
