#pragma once
// The about box TintroFrm: modeless, any number of them at once.
#include <windows.h>

namespace kestro::win {

// Opens one more about box owned by `owner` (the panel, or the hidden main
// window for the tray's entry) and returns at once with its window.
HWND ShowIntroBox(HWND owner);

}  // namespace kestro::win
