#include "win/platform/ImageLists.h"

#include <shellapi.h>
#include <shlobj.h>

#include <functional>

#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"

namespace kestro::win {

void ShellIcons::Release() {
  if (small) DestroyIcon(small);
  if (large) DestroyIcon(large);
  small = large = nullptr;
}

ShellIcons LookUpShellIcons(const std::string& path) {
  ShellIcons icons;
  std::wstring w = Widen(path);
  SHFILEINFOW info{};
  if (SHGetFileInfoW(w.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon) {
    icons.small = info.hIcon;
    SHFILEINFOW big{};
    if (SHGetFileInfoW(w.c_str(), 0, &big, sizeof big, SHGFI_ICON) && big.hIcon) icons.large = big.hIcon;
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

void ImageLists::LoadBaseImages(const std::function<void(const std::string&)>& errorLog) {
  Create();
  const int folders[] = {CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_INTERNET};
  for (int csidl : folders) {
    for (bool smallOne : {true, false}) {
      PIDLIST_ABSOLUTE pidl = nullptr;
      if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) {
        errorLog(smallOne ? "smallicon error" : "bigicon error");
        continue;
      }
      SHFILEINFOW info{};
      UINT flags = SHGFI_PIDL | SHGFI_ICON | (smallOne ? SHGFI_SMALLICON : 0);
      if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info, flags) && info.hIcon) {
        ImageList_AddIcon(smallOne ? small_ : big_, info.hIcon);
        DestroyIcon(info.hIcon);
      }
      CoTaskMemFree(pidl);
    }
  }
  // Both lists must stay in step whatever the shell gave: a missing picture
  // in one list would shift every later index of the other.
  while (ImageList_GetImageCount(small_) < ImageList_GetImageCount(big_)) {
    HICON i = ImageList_GetIcon(big_, ImageList_GetImageCount(small_), ILD_NORMAL);
    ImageList_AddIcon(small_, i);
    DestroyIcon(i);
  }
  while (ImageList_GetImageCount(big_) < ImageList_GetImageCount(small_)) {
    HICON i = ImageList_GetIcon(small_, ImageList_GetImageCount(big_), ILD_NORMAL);
    ImageList_AddIcon(big_, i);
    DestroyIcon(i);
  }
}

int32_t ImageLists::AddIcons(const ShellIcons& icons) {
  if (!icons.small) return -1;
  Create();
  ImageList_AddIcon(small_, icons.small);
  ImageList_AddIcon(big_, icons.large ? icons.large : icons.small);
  return ImageList_GetImageCount(big_) - 1;
}

int32_t ImageLists::AddFileIcon(const std::string& path) {
  ShellIcons icons = LookUpShellIcons(path);
  int32_t index = AddIcons(icons);
  icons.Release();
  return index;
}

HICON ImageLists::FileIcon(const std::string& path) { return ImageIcon(AddFileIcon(path)); }

HICON ImageLists::ImageIcon(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  return ImageList_GetIcon(big_, index, ILD_NORMAL);
}

}  // namespace kestro::win
