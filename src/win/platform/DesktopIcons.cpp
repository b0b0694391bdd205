#include "win/platform/DesktopIcons.h"

namespace kestro::win {

HWND FindDesktopIconView() {
  HWND progman = FindWindowA("Progman", nullptr);
  return progman ? FindWindowExA(progman, nullptr, "ShellDll_DefView", nullptr) : nullptr;
}

bool ShowDesktopIcons(bool show) {
  HWND view = FindDesktopIconView();
  if (!view) return false;
  ShowWindow(view, show ? SW_SHOW : SW_HIDE);
  return true;
}

}  // namespace kestro::win
