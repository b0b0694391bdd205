#pragma once
// The one place that knows a window's DPI. Every pixel value in the Windows
// code is a 96-DPI value scaled through here (Px); fonts come at the window's
// DPI too. Dialog templates in dialog units scale by themselves.
#include <windows.h>

#include "core/ui/Dpi.h"

namespace kestro::win {

// The DPI `hwnd` is shown at: its monitor's where the system tells
// (GetDpiForWindow, Windows 10 1607 on), else the screen's. Null: the screen's.
int WindowDpi(HWND hwnd);

// A 96-DPI length in pixels at `dpi`.
inline int Px(int value, int dpi) { return ScaleToDpi(value, dpi); }

// The system's message font (menus, labels, the trees) sized for `dpi`.
LOGFONTW MessageFontFor(int dpi);

}  // namespace kestro::win
