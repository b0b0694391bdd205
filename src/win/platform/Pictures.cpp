#include "win/platform/Pictures.h"

#include <csetjmp>
#include <string>
#include <utility>

extern "C" {
#include <jpeglib.h>
}

#include "win/platform/Win32Platform.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

// libjpeg ends the process on an error unless told otherwise: a broken
// photo must only fail to load.
struct ErrorJump {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }
void OnJpegMessage(j_common_ptr) {}

HBITMAP NewDib(int width, int height, unsigned char** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<unsigned char*>(p);
  return bmp;
}

// Decodes into `out`; false on any error. Kept apart from the caller so that
// nothing with a destructor lives across the longjmp.
bool DecodeInto(const unsigned char* data, size_t size, HBITMAP& out) {
  jpeg_decompress_struct info{};
  ErrorJump err{};
  info.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnJpegError;
  err.base.output_message = OnJpegMessage;
  HBITMAP volatile bmp = nullptr;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    if (bmp) DeleteObject(bmp);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const int width = static_cast<int>(info.output_width), height = static_cast<int>(info.output_height);
  if (width <= 0 || height <= 0 || info.output_components != 3 || width > 32768 || height > 32768) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  unsigned char* bits = nullptr;
  bmp = NewDib(width, height, &bits);
  if (!bmp || !bits) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
  while (info.output_scanline < info.output_height) {
    unsigned char* row = bits + stride * info.output_scanline;
    JSAMPROW rows[1] = {row};
    jpeg_read_scanlines(&info, rows, 1);
    // The bitmap wants blue, green, red.
    for (int x = 0; x < width; ++x) std::swap(row[x * 3], row[x * 3 + 2]);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  out = bmp;
  return true;
}

}  // namespace

HBITMAP DecodeJpeg(const unsigned char* data, size_t size) {
  if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return nullptr;
  HBITMAP bmp = nullptr;
  return DecodeInto(data, size, bmp) ? bmp : nullptr;
}

HBITMAP LoadPictureFile(const std::string& file, PictureFormat format) {
  if (format == PictureFormat::Bitmap)
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, Widen(file).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  std::string bytes;
  if (!Win32FileSystem().ReadFile(file, bytes)) return nullptr;
  return DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

}  // namespace kestro::win
