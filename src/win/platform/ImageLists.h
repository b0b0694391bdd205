#pragma once
// The two shared picture lists, 16 x 16 and 32 x 32, growing in step so that
// one index addresses the same picture in both. A picture is added once:
// the items showing it, from one file or from files that look alike, share
// its index.
// User-interface thread only.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <unordered_map>

#include "platform/Icons.h"

namespace kestro {
class MacroValues;
}

namespace kestro::win {

// A file's two shell icons, looked up on any thread.
struct ShellIcons {
  HICON small = nullptr;
  HICON large = nullptr;
  // Taken from the pixels of both: icons that look the same have the same
  // one (empty: not known).
  std::string fingerprint;
  void Release();
};
ShellIcons LookUpShellIcons(const std::string& path);

// One of the four fixed pictures (0 documents, 1 desktop, 2 programs,
// 3 Internet), looked up on any thread; `smallFolder`/`largeFolder` tell
// whether the shell could name the folder for each size.
struct FixedIcons {
  ShellIcons icons;
  bool smallFolder = false;
  bool largeFolder = false;
};
FixedIcons LookUpFixedIcons(int which);

class ImageLists : public IIcons {
 public:
  ImageLists();
  ~ImageLists() override;
  ImageLists(const ImageLists&) = delete;
  ImageLists& operator=(const ImageLists&) = delete;

  // The four fixed pictures: documents, desktop, programs, Internet.
  // `errorLog` receives a line for each picture that could not be had.
  void LoadBaseImages(const std::function<void(const std::string&)>& errorLog);
  // Appends one fixed picture looked up elsewhere (the icons stay the
  // caller's), keeping both lists in step when the shell gave only one size.
  void AddFixedIcons(const FixedIcons& fixed, const std::function<void(const std::string&)>& errorLog);
  // The path macros in force (they must outlive the lists); without them a
  // path beginning with a macro gets no picture.
  void SetMacros(const MacroValues* macros) { macros_ = macros; }
  // The picture of `path` as held in memory, its macros expanded.
  int32_t AddFileIcon(const std::string& path) override;
  // AddFileIcon, then that picture of the 32 x 32 list as an icon of its own
  // (the caller destroys it); null when the shell has none.
  HICON FileIcon(const std::string& path);
  // The picture at `index` of the 32 x 32 list as an icon; null when none.
  HICON ImageIcon(int32_t index);
  // Appends icons looked up elsewhere (they stay the caller's); -1 without a small icon.
  int32_t AddIcons(const ShellIcons& icons);
  // The index of the icons looked up elsewhere for `file` (the path as looked
  // up): the one `file` or the same picture already has, else appended as
  // AddIcons does. The icons stay the caller's.
  int32_t AddLookedUp(const std::string& file, const ShellIcons& icons);
  // The lists are made on first use, so that the common controls load only
  // once pictures are wanted (after the panel shows at start).
  HIMAGELIST Small();
  HIMAGELIST Big();
  bool Created() const { return big_ != nullptr; }
  int Count();

 private:
  void Create();
  HIMAGELIST small_ = nullptr;
  HIMAGELIST big_ = nullptr;
  const MacroValues* macros_ = nullptr;
  // The pictures in the lists by looked-up file and by fingerprint. (The
  // shell's own index of a picture cannot tell pictures apart: Wine gives 0
  // for most files.) Files without a picture are not kept, so a file that
  // appears later gets one.
  std::unordered_map<std::string, int32_t> byFile_;
  std::unordered_map<std::string, int32_t> byPicture_;
};

}  // namespace kestro::win
