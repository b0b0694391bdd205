#include "win/platform/ImageLists.h"

#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <string_view>

#include "core/config/PathMacros.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"

namespace kestro::win {

void ShellIcons::Release() {
  if (small) DestroyIcon(small);
  if (large) DestroyIcon(large);
  small = large = nullptr;
}

namespace {
// The pixels of an icon's colour and mask bitmaps, as 32-bit rows; empty
// when they cannot be read.
std::string IconPixels(HICON icon, HDC dc) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  std::string pixels;
  for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
    BITMAP b{};
    if (!bitmap || !GetObjectW(bitmap, sizeof b, &b)) continue;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = b.bmWidth;
    bi.bmiHeader.biHeight = -b.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::string part(size_t(b.bmWidth) * size_t(b.bmHeight) * 4, '\0');
    if (GetDIBits(dc, bitmap, 0, UINT(b.bmHeight), part.data(), &bi, DIB_RGB_COLORS) != b.bmHeight) {
      pixels.clear();
      break;
    }
    pixels += std::to_string(b.bmWidth) + "x" + std::to_string(b.bmHeight) + ":";
    pixels += part;
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return pixels;
}

uint64_t Fnv1a(std::string_view bytes) {
  uint64_t h = 14695981039346656037ULL;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ULL;
  return h;
}

// A fingerprint of both icons' pixels: two independent 64-bit hashes, so
// that different pictures practically never share one.
std::string PictureFingerprint(const ShellIcons& icons) {
  HDC dc = CreateCompatibleDC(nullptr);
  std::string pixels = IconPixels(icons.small, dc);
  std::string large = IconPixels(icons.large, dc);
  DeleteDC(dc);
  if (pixels.empty() || (icons.large && large.empty())) return {};
  pixels += '|';
  pixels += large;
  const uint64_t hashes[2] = {Fnv1a(pixels), std::hash<std::string_view>{}(pixels)};
  return std::string(reinterpret_cast<const char*>(hashes), sizeof hashes);
}
}  // namespace

ShellIcons LookUpShellIcons(const std::string& path) {
  ShellIcons icons;
  std::wstring w = Widen(path);
  SHFILEINFOW info{};
  if (SHGetFileInfoW(w.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon) {
    icons.small = info.hIcon;
    SHFILEINFOW big{};
    if (SHGetFileInfoW(w.c_str(), 0, &big, sizeof big, SHGFI_ICON) && big.hIcon) icons.large = big.hIcon;
    icons.fingerprint = PictureFingerprint(icons);
  }
  return icons;
}

ImageLists::ImageLists() = default;

ImageLists::~ImageLists() {
  if (small_) ImageList_Destroy(small_);
  if (big_) ImageList_Destroy(big_);
}

void ImageLists::Create() {
  if (big_) return;
  EnsureCommonControls();
  small_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 16);
  big_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 0, 16);
}

HIMAGELIST ImageLists::Small() {
  Create();
  return small_;
}

HIMAGELIST ImageLists::Big() {
  Create();
  return big_;
}

int ImageLists::Count() {
  Create();
  return ImageList_GetImageCount(big_);
}

FixedIcons LookUpFixedIcons(int which) {
  static const int kFolders[] = {CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_INTERNET};
  FixedIcons fixed;
  if (which < 0 || which > 3) return fixed;
  for (bool smallOne : {true, false}) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, kFolders[which], &pidl)) || !pidl) continue;
    (smallOne ? fixed.smallFolder : fixed.largeFolder) = true;
    SHFILEINFOW info{};
    UINT flags = SHGFI_PIDL | SHGFI_ICON | (smallOne ? SHGFI_SMALLICON : 0);
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info, flags) && info.hIcon)
      (smallOne ? fixed.icons.small : fixed.icons.large) = info.hIcon;
    CoTaskMemFree(pidl);
  }
  return fixed;
}

void ImageLists::AddFixedIcons(const FixedIcons& fixed, const std::function<void(const std::string&)>& errorLog) {
  Create();
  if (!fixed.smallFolder) errorLog("smallicon error");
  if (!fixed.largeFolder) errorLog("bigicon error");
  HICON small = fixed.icons.small, large = fixed.icons.large;
  // Both lists must stay in step whatever the shell gave: a missing picture
  // in one list would shift every later index of the other.
  if (!small && !large) return;
  ImageList_AddIcon(small_, small ? small : large);
  ImageList_AddIcon(big_, large ? large : small);
}

void ImageLists::LoadBaseImages(const std::function<void(const std::string&)>& errorLog) {
  for (int i = 0; i < 4; ++i) {
    FixedIcons fixed = LookUpFixedIcons(i);
    AddFixedIcons(fixed, errorLog);
    fixed.icons.Release();
  }
}

int32_t ImageLists::AddIcons(const ShellIcons& icons) {
  if (!icons.small) return -1;
  Create();
  ImageList_AddIcon(small_, icons.small);
  ImageList_AddIcon(big_, icons.large ? icons.large : icons.small);
  return ImageList_GetImageCount(big_) - 1;
}

int32_t ImageLists::AddLookedUp(const std::string& file, const ShellIcons& icons) {
  if (auto known = byFile_.find(file); known != byFile_.end()) return known->second;
  if (!icons.small) return -1;
  int32_t index = -1;
  auto same = icons.fingerprint.empty() ? byPicture_.end() : byPicture_.find(icons.fingerprint);
  if (same != byPicture_.end()) {
    index = same->second;
  } else {
    index = AddIcons(icons);
    if (!icons.fingerprint.empty()) byPicture_.emplace(icons.fingerprint, index);
  }
  byFile_.emplace(file, index);
  return index;
}

int32_t ImageLists::AddFileIcon(const std::string& path) {
  const std::string file = macros_ ? ExpandMacros(path, *macros_) : path;
  if (auto known = byFile_.find(file); known != byFile_.end()) return known->second;
  ShellIcons icons = LookUpShellIcons(file);
  int32_t index = AddLookedUp(file, icons);
  icons.Release();
  return index;
}

HICON ImageLists::FileIcon(const std::string& path) { return ImageIcon(AddFileIcon(path)); }

HICON ImageLists::ImageIcon(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  return ImageList_GetIcon(big_, index, ILD_NORMAL);
}

}  // namespace kestro::win
