#include "win/platform/DesktopIcons.h"

#include <shlobj.h>

#include <cstring>

#include "win/platform/Pictures.h"
#include "win/platform/Win32Platform.h"
#include "win/platform/WinText.h"

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

std::optional<bool> Win32Desktop::IconViewVisible() {
  HWND view = FindDesktopIconView();
  if (!view) return std::nullopt;
  return (GetWindowLongW(view, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Desktop::ShowIconView(bool show) { ShowDesktopIcons(show); }

void Win32Desktop::WallpaperChanged(const std::string& value) {
  // The registry holds the value already; this makes the system load it
  // and tells the other programs.
  std::wstring path = Widen(value);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_SENDWININICHANGE);
}

void Win32Desktop::AssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

std::string BitmapFileBytes(HBITMAP dib) {
  BITMAP bm{};
  if (!dib || !GetObjectW(dib, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};
  const int width = bm.bmWidth, height = bm.bmHeight;
  const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
  BITMAPFILEHEADER file{};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as every reader takes it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = DWORD(stride * size_t(height));
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
  std::string bytes(file.bfSize, '\0');
  // The system turns the rows whichever way the section holds them (the
  // header of a section does not say so reliably).
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, dib, 0, UINT(height), bytes.data() + file.bfOffBits, &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != height) return {};
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info.bmiHeader, sizeof info.bmiHeader);
  return bytes;
}

bool Win32Desktop::ConvertJpegToBitmap(const std::string& source, const std::string& target) {
  HBITMAP dib = LoadPictureFile(source, PictureFormat::Jpeg);
  if (!dib) return false;
  std::string bytes = BitmapFileBytes(dib);
  DeleteObject(dib);
  return !bytes.empty() && bool(Win32FileSystem().WriteFileAtomic(target, bytes));
}

}  // namespace kestro::win
