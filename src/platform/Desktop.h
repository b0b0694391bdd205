#pragma once
// The desktop as the host changes need it: its icon view, the wallpaper
// notification, the shell's association notification and the wallpaper
// picture conversion.
#include <optional>
#include <string>

namespace kestro {

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // Whether the desktop's icon view is visible; none without one (another
  // shell, or no desktop).
  virtual std::optional<bool> IconViewVisible() = 0;
  // Shows or hides the icon view; nothing without one.
  virtual void ShowIconView(bool show) = 0;
  // Tells the system and the other programs that the "Wallpaper" value now
  // holds `value`.
  virtual void WallpaperChanged(const std::string& value) = 0;
  // Tells the shell that file associations changed.
  virtual void AssociationsChanged() = 0;
  // Decodes the JPEG `source` and writes it to `target` as a Windows bitmap
  // file; false (and `target` untouched) when the source is missing or is no
  // readable JPEG, or the target cannot be written.
  virtual bool ConvertJpegToBitmap(const std::string& source, const std::string& target) = 0;
};

}  // namespace kestro
