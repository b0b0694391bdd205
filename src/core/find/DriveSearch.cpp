#include "core/find/DriveSearch.h"

#include "core/config/PathMacros.h"
#include "core/config/Tabs.h"
#include "core/items/Launch.h"
#include "core/items/RunFile.h"
#include "core/text/Text.h"
#include "core/ui/Dpi.h"
#include "platform/Shell.h"

namespace kestro {

namespace {

size_t CharacterCount(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

std::optional<std::string> FindSearchText(std::string_view typed) {
  if (CharacterCount(typed) < 2) return std::nullopt;
  return ToLowerAscii(ReplaceAll(typed, "*", ""));
}

bool FindNameMatches(std::string_view name, std::string_view text) {
  if (text.empty() || name.size() < text.size()) return false;
  // Lowered in place of a copy: the test runs for every file of the drive.
  auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : char(c); };
  const size_t last = name.size() - text.size();
  for (size_t i = 0; i <= last; ++i) {
    size_t k = 0;
    while (k < text.size() && lower(static_cast<unsigned char>(name[i + k])) == text[k]) ++k;
    if (k == text.size()) return true;
  }
  return false;
}

bool IsExeFileName(std::string_view name) { return ExtensionOf(name) == ".exe"; }

bool WalkDrive(const std::string& drive, DriveWalk rule, IFolderLister& lister,
               const std::function<bool(const std::string& folder, const FolderEntry& entry)>& onFile) {
  // One frame per open folder: its entries and the next one to look at.
  struct Frame {
    std::string folder;
    std::vector<FolderEntry> entries;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  auto enter = [&](std::string folder) {
    Frame f{std::move(folder), {}, 0};
    if (lister.List(f.folder, f.entries)) stack.push_back(std::move(f));
  };
  enter(drive);
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next >= top.entries.size()) {
      stack.pop_back();
      continue;
    }
    const FolderEntry& e = top.entries[top.next++];
    if (IsDotEntry(e.name)) continue;
    if (e.attributes & kAttributeDirectory) {
      const bool enter_it = rule == DriveWalk::Find ? !(e.attributes & kAttributeReparsePoint)
                                                    : e.attributes == kAttributeDirectory;
      // `top` may move when the stack grows: the path is made first.
      if (enter_it) enter(top.folder + "\\" + e.name);
      continue;
    }
    if (!onFile(top.folder, e)) return false;
  }
  return true;
}

TMyRec FoundFileRecord(const std::string& folder, const std::string& name, int32_t imageindex) {
  TMyRec r;
  r.kind = ItemKind::File;
  r.name = name;
  r.path = folder + "\\" + name;
  r.imageindex = imageindex;
  return r;
}

std::string FoundCountText(size_t count) { return std::to_string(count) + "items"; }

ItemTextPlacement PlaceFoundTexts(const Rect& item, bool hasSubText, int nodeHeight, int bigNodeHeight, int dpi) {
  auto px = [&](int v) { return ScaleToDpi(v, dpi); };
  const int h = px(nodeHeight);
  ItemTextPlacement p;
  if (nodeHeight != bigNodeHeight) {
    p.caption = TextLine{item.left + h + px(5), item.top + px(2), item};
    return p;
  }
  const int x = item.left + h + px(10), half = h / 2;
  p.caption = TextLine{x, item.top + px(3), Rect{item.left, item.top, item.right, item.top + half}};
  if (hasSubText)
    p.subText = TextLine{x, item.top + half + px(1), Rect{item.left, item.top + half + px(1), item.right, item.bottom}};
  return p;
}

TMyRec ExeGroupRecord(const std::string& programDriveRoot) {
  TMyRec r;
  r.kind = ItemKind::Group;
  r.name = programDriveRoot + " ..";
  r.imageindex = kGroupPicture;
  return r;
}

int LaunchFoundFile(const std::string& path, IShell& shell, const ExeLinkList& links) {
  int result = shell.Open(path, "", "", kSwShowNormal);
  if (result == kShellNoAssociation || result == kShellAccessDenied)
    if (const std::string* program = ExeLinkCommand(links, path)) RunFile(shell, *program, path, kSwShowNormal);
  return result;
}

TMyRec CopyOfFoundFile(const TMyRec& result) {
  TMyRec r;
  r.kind = ItemKind::File;
  r.name = result.name;
  r.path = result.path;
  r.imageindex = result.imageindex;
  return r;
}

std::optional<size_t> PageForCaption(const std::vector<std::string>& captions, const std::vector<bool>& isItemTab,
                                     const std::string& caption) {
  for (size_t i = 0; i < captions.size() && i < isItemTab.size(); ++i)
    if (isItemTab[i] && captions[i] == caption) return i;
  return std::nullopt;
}

}  // namespace kestro
