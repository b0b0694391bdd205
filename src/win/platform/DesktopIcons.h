#pragma once
// The desktop's icon view (the "ShellDll_DefView" child of the "Progman"
// window; another shell has none), the wallpaper and association
// notifications, and the wallpaper picture conversion.
#include <windows.h>

#include "platform/Desktop.h"

namespace kestro::win {

HWND FindDesktopIconView();

// Shows or hides the view; false when there is no view.
bool ShowDesktopIcons(bool show);

class Win32Desktop : public IDesktop {
 public:
  std::optional<bool> IconViewVisible() override;
  void ShowIconView(bool show) override;
  void WallpaperChanged(const std::string& value) override;
  void AssociationsChanged() override;
  bool ConvertJpegToBitmap(const std::string& source, const std::string& target) override;
};

// A 24-bit DIB section as the bytes of a bottom-up Windows bitmap file;
// empty when it is none.
std::string BitmapFileBytes(HBITMAP dib);

}  // namespace kestro::win
