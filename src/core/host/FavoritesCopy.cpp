#include "core/host/FavoritesCopy.h"

#include <vector>

#include "core/host/Favorites.h"
#include "core/text/Text.h"

namespace kestro {

namespace {

// A folder as compared: "/" as "\", no trailing "\" (a drive root keeps
// its own), letter case aside.
std::string Comparable(std::string_view folder) {
  std::string s = ToLowerAscii(ReplaceAll(folder, "/", "\\"));
  while (s.size() > 3 && s.back() == '\\') s.pop_back();
  return s;
}

bool Inside(const std::string& inner, const std::string& outer) {
  std::string prefix = outer.back() == '\\' ? outer : outer + "\\";
  return StartsWith(inner, prefix);
}

bool IsFolder(const FolderEntry& e) { return (e.attributes & kAttributeDirectory) != 0; }
bool IsLink(const FolderEntry& e) { return (e.attributes & kAttributeReparsePoint) != 0; }
bool IsDots(const FolderEntry& e) { return e.name == "." || e.name == ".."; }

}  // namespace

FavoritesCopyFolders FavoritesCopyFoldersFor(FavoritesCopyDirection direction, const ProcessValues& pv,
                                             IRegistry& registry) {
  if (direction == FavoritesCopyDirection::PcToUsb) return {pv.savedFavorites, pv.favoritesFolder};
  std::string target = pv.savedFavorites;
  if (!pv.favoritesRedirected) {
    std::optional<RegistryValue> now = registry.ReadValue(RegistryRoot::CurrentUser, kShellFoldersKey, kFavoritesValue);
    target = now ? now->data : "";
  }
  return {pv.favoritesFolder, target};
}

std::optional<std::string> FavoritesCopyRefusal(FavoritesCopyDirection direction,
                                                const FavoritesCopyFolders& folders, IFileSystem& files) {
  const std::string head = "The favorites were not copied: ";
  const std::string source = Comparable(folders.source), target = Comparable(folders.target);
  if (Trim(folders.source).empty()) return head + "there is no folder to copy from.";
  if (Trim(folders.target).empty()) return head + "there is no folder to copy to.";
  if (!files.DirectoryExists(folders.source)) return head + "the folder " + folders.source + " does not exist.";
  // The drive's own folder is made by the copy; a PC folder is never made.
  if (direction == FavoritesCopyDirection::UsbToPc && !files.DirectoryExists(folders.target))
    return head + "the folder " + folders.target + " does not exist.";
  if (source == target) return head + "source and target are the same folder (" + folders.source + ").";
  if (Inside(target, source) || Inside(source, target))
    return head + "one of the folders lies inside the other (" + folders.source + ", " + folders.target + ").";
  return std::nullopt;
}

uint64_t CountFavoriteEntries(IFolderLister& lister, const std::string& folder) {
  uint64_t count = 0;
  std::vector<std::string> pending{folder};
  std::vector<FolderEntry> entries;
  while (!pending.empty()) {
    std::string current = std::move(pending.back());
    pending.pop_back();
    entries.clear();
    if (!lister.List(current, entries)) continue;
    for (const FolderEntry& e : entries) {
      if (IsDots(e)) continue;
      ++count;
      if (IsFolder(e) && !IsLink(e)) pending.push_back(current + "\\" + e.name);
    }
  }
  return count;
}

FavoritesCopyOutcome CopyFavoritesTree(IFolderLister& lister, IFileCopier& copier, const std::string& source,
                                       const std::string& target, const std::function<void()>& advance,
                                       const std::atomic<bool>* cancel) {
  FavoritesCopyOutcome out;
  if (!copier.CreateFolder(target)) {
    ++out.failed;
    return out;
  }
  // Without recursion: pairs of folders still to copy.
  std::vector<std::pair<std::string, std::string>> pending{{source, target}};
  std::vector<FolderEntry> entries;
  while (!pending.empty()) {
    auto [from, to] = std::move(pending.back());
    pending.pop_back();
    entries.clear();
    if (!lister.List(from, entries)) continue;
    for (const FolderEntry& e : entries) {
      if (cancel && cancel->load()) {
        out.cancelled = true;
        return out;
      }
      if (IsDots(e)) continue;
      const std::string src = from + "\\" + e.name, dst = to + "\\" + e.name;
      if (IsFolder(e)) {
        if (!copier.CreateFolder(dst))
          ++out.failed;
        else if (!IsLink(e))
          pending.emplace_back(src, dst);
      } else {
        std::optional<uint64_t> theirs = copier.LastWriteTime(dst), ours = copier.LastWriteTime(src);
        if (theirs && ours && *theirs > *ours)
          ++out.newerAtTarget;
        else if (copier.CopyOver(src, dst))
          ++out.copied;
        else
          ++out.failed;
      }
      if (advance) advance();
    }
  }
  return out;
}

std::string FavoritesCopyDoneText(FavoritesCopyDirection direction, const FavoritesCopyOutcome& outcome,
                                  const MessageTable& messages) {
  std::string done = messages.Message(direction == FavoritesCopyDirection::PcToUsb ? msg::kFavoritesToUsbDone
                                                                                   : msg::kFavoritesToPcDone);
  if (outcome.NotCopied() == 0 && !outcome.cancelled) return done;
  std::string text = outcome.cancelled ? "The copy was stopped before it ended." : done;
  if (outcome.newerAtTarget)
    text += "\r\n" + std::to_string(outcome.newerAtTarget) + " file(s) not copied: newer at the target.";
  if (outcome.failed) text += "\r\n" + std::to_string(outcome.failed) + " file(s) or folder(s) could not be written.";
  return text;
}

}  // namespace kestro
