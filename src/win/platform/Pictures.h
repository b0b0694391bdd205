#pragma once
// Pictures from files: Windows bitmaps and JPEG photos as device-independent
// bitmaps, for tree backgrounds and wallpapers.
#include <windows.h>

#include <string>

#include "core/config/Tabs.h"

namespace kestro::win {

// The picture in `file` as a 24-bit DIB section (the caller deletes it), or
// null when the file is missing or not a readable picture of that format.
HBITMAP LoadPictureFile(const std::string& file, PictureFormat format);

// A JPEG in memory decoded the same way; null for anything that is not one.
HBITMAP DecodeJpeg(const unsigned char* data, size_t size);

}  // namespace kestro::win
