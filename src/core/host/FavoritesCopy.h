#pragma once
// The two Favorites copies (PC -> drive, drive -> PC): which folders they
// take, when they are refused, the walk that copies and counts, and what the
// user is told at the end. The walk runs on a worker; nothing here touches
// a window.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/app/AppState.h"
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/Registry.h"

namespace kestro {

enum class FavoritesCopyDirection { PcToUsb, UsbToPc };

struct FavoritesCopyFolders {
  std::string source;
  std::string target;
};

// PC -> drive copies from the PC location saved at start into
// `favoritesFolder`; drive -> PC copies into the location in force now (the
// Shell Folders value), or, while redirected, into the saved PC location.
FavoritesCopyFolders FavoritesCopyFoldersFor(FavoritesCopyDirection direction, const ProcessValues& pv,
                                             IRegistry& registry);

// Why a copy between these folders must not run (empty, missing, the same
// folder, one inside the other), as the text the user is shown; none when
// it may run. The drive's folder of a PC -> drive copy may still be missing:
// the copy creates it.
std::optional<std::string> FavoritesCopyRefusal(FavoritesCopyDirection direction,
                                                const FavoritesCopyFolders& folders, IFileSystem& files);

// The number of files and folders below `folder`, each folder counting once
// plus its contents; 0 when it cannot be listed. Links to other folders are
// counted, not followed.
uint64_t CountFavoriteEntries(IFolderLister& lister, const std::string& folder);

struct FavoritesCopyOutcome {
  uint64_t copied = 0;
  uint64_t newerAtTarget = 0;  // left alone: the target's file is newer
  uint64_t failed = 0;         // files and folders that could not be written
  bool cancelled = false;
  uint64_t NotCopied() const { return newerAtTarget + failed; }
};

// Copies the tree below `source` into `target` (created folders included); a
// file whose copy at the target is newer is not replaced. `advance` is
// called after every entry; `cancel` (may be null) stops the walk between
// entries.
FavoritesCopyOutcome CopyFavoritesTree(IFolderLister& lister, IFileCopier& copier, const std::string& source,
                                       const std::string& target, const std::function<void()>& advance,
                                       const std::atomic<bool>* cancel);

// The completion message: "05" / "06" alone when every file went, else with
// how many were not copied and why.
std::string FavoritesCopyDoneText(FavoritesCopyDirection direction, const FavoritesCopyOutcome& outcome,
                                  const MessageTable& messages);

}  // namespace kestro
