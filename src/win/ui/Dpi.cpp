#include "win/ui/Dpi.h"

namespace kestro::win {
namespace {

// Both functions arrived with Windows 10 1607: looked up at run time so that
// Kestro still starts on older systems.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

FARPROC User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? GetProcAddress(user32, name) : nullptr;
}

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int WindowDpi(HWND hwnd) {
  static const auto forWindow = reinterpret_cast<GetDpiForWindowFn>(User32Function("GetDpiForWindow"));
  if (hwnd && forWindow) {
    UINT dpi = forWindow(hwnd);
    if (dpi > 0) return int(dpi);
  }
  return ScreenDpi();
}

LOGFONTW MessageFontFor(int dpi) {
  static const auto forDpi =
      reinterpret_cast<SystemParametersInfoForDpiFn>(User32Function("SystemParametersInfoForDpi"));
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, UINT(dpi))) return ncm.lfMessageFont;
  LOGFONTW lf{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    // Given at the screen's DPI: brought to the window's.
    lf = ncm.lfMessageFont;
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, ScreenDpi());
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  }
  return lf;
}

}  // namespace kestro::win
