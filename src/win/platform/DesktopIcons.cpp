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
  DIBSECTION ds{};
  if (!dib || GetObjectW(dib, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 24 || !ds.dsBm.bmBits)
    return {};
  const int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
  const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
  const bool topDown = ds.dsBmih.biHeight < 0;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as every reader takes it
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = DWORD(stride * size_t(height));
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::string bytes(file.bfSize, '\0');
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  const auto* bits = static_cast<const char*>(ds.dsBm.bmBits);
  for (int row = 0; row < height; ++row) {
    // File row 0 is the bottom one.
    const int from = topDown ? height - 1 - row : row;
    std::memcpy(bytes.data() + file.bfOffBits + stride * size_t(row), bits + stride * size_t(from), stride);
  }
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
