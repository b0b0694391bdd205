// Bitmaps and JPEG photos from files, against the files in tests/data/pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "win/platform/Pictures.h"

namespace kestro::win {
namespace {

std::string Picture(const char* name) {
  const char* data = std::getenv("KESTRO_TEST_DATA");
  return data ? std::string(data) + "\\..\\pictures\\" + name : std::string(name);
}

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

bool Near(COLORREF c, int r, int g, int b) {
  return std::abs(GetRValue(c) - r) < 24 && std::abs(GetGValue(c) - g) < 24 && std::abs(GetBValue(c) - b) < 24;
}

TEST(PicturesTest, BitmapsAndPhotosLoadWithTheirSizeAndColours) {
  for (PictureFormat f : {PictureFormat::Bitmap, PictureFormat::Jpeg}) {
    HBITMAP bmp = LoadPictureFile(Picture(f == PictureFormat::Bitmap ? "twotone.bmp" : "twotone.jpg"), f);
    ASSERT_NE(bmp, nullptr);
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(std::abs(info.bmHeight), 6);
    // Left half red, right half blue, the same way up in both.
    EXPECT_TRUE(Near(PixelOf(bmp, 1, 1), 200, 40, 20)) << std::hex << PixelOf(bmp, 1, 1);
    EXPECT_TRUE(Near(PixelOf(bmp, 6, 4), 20, 40, 200)) << std::hex << PixelOf(bmp, 6, 4);
    DeleteObject(bmp);
  }
}

TEST(PicturesTest, BrokenOrMissingFilesGiveNoPictureAndNoCrash) {
  EXPECT_EQ(LoadPictureFile(Picture("text.jpg"), PictureFormat::Jpeg), nullptr);
  EXPECT_EQ(LoadPictureFile(Picture("missing.jpg"), PictureFormat::Jpeg), nullptr);
  EXPECT_EQ(LoadPictureFile(Picture("missing.bmp"), PictureFormat::Bitmap), nullptr);
  // A cut-off photo: whatever libjpeg makes of it, the program goes on.
  if (HBITMAP cut = LoadPictureFile(Picture("truncated.jpg"), PictureFormat::Jpeg)) DeleteObject(cut);
  const unsigned char junk[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x02, 0x12, 0x34};
  EXPECT_EQ(DecodeJpeg(junk, sizeof junk), nullptr);
  EXPECT_EQ(DecodeJpeg(nullptr, 0), nullptr);
}

}  // namespace
}  // namespace kestro::win
