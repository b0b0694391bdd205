#pragma once
// The two searches of the program's drive: the find tab's search by part of a
// file name, and the exe search that collects the drive's programs into a new
// group. The walks and the records they make; listing and drawing are the
// platform's.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/EnvSet.h"
#include "core/items/ItemRecord.h"
#include "core/ui/ItemTexts.h"
#include "platform/FolderListing.h"

namespace kestro {

class IShell;

// The text the find search looks for: the typed text with every "*" removed
// and the letters A-Z lowered; nothing when the typed text has fewer than two
// characters (message "13").
std::optional<std::string> FindSearchText(std::string_view typed);

// A plain substring test on the name with A-Z lowered. An empty text matches
// nothing.
bool FindNameMatches(std::string_view name, std::string_view text);

// Whether a name's extension (from its last ".") is ".exe", letter case counting.
bool IsExeFileName(std::string_view name);

enum class DriveWalk {
  // Every folder is entered except links (reparse points), which may lead
  // back up the tree.
  Find,
  // Only folders with no attribute but the folder bit are entered.
  Exe,
};

// Walks the drive from `drive` ("E:"), depth first in the order of each
// listing, and calls `onFile` with the folder (such as "E:\Apps") and each
// entry that is not a folder; `onFile` returns false to end the walk. "."
// and ".." are skipped, folders that cannot be listed too. The pending
// folders are kept on the heap, so no depth of folders can exhaust the stack.
// Returns false when `onFile` ended the walk.
bool WalkDrive(const std::string& drive, DriveWalk rule, IFolderLister& lister,
               const std::function<bool(const std::string& folder, const FolderEntry& entry)>& onFile);

// A result row of the find tab: a file with the name as found, its absolute
// path and its picture; every other field empty.
TMyRec FoundFileRecord(const std::string& folder, const std::string& name, int32_t imageindex = 0);
// The text of the count after a search, such as "5items".
std::string FoundCountText(size_t count);

// Where a result row's texts go inside its rectangle (pixels at `dpi`; the
// heights are 96-DPI values): in big-icon mode (`nodeHeight` ==
// `bigNodeHeight`) the name in the upper half and the sub-text (when there is
// one) in the lower half, beginning 10 pixels right of the node height; else
// one line 5 pixels right of it.
ItemTextPlacement PlaceFoundTexts(const Rect& item, bool hasSubText, int nodeHeight, int bigNodeHeight, int dpi);

// The group the exe search adds: "E:\ .." with the group picture. Its
// children are made as results are (FoundFileRecord, no picture yet): the
// path is held absolute and written drive-relative, as every item's is.
TMyRec ExeGroupRecord(const std::string& programDriveRoot);

// Launches a found file: the shell opens the path as it stands, without
// parameters or a working folder; when the host has no program for it (31)
// or refuses access (5), the drive's program for its extension starts with
// the path. Returns the shell's result of the first open.
int LaunchFoundFile(const std::string& path, IShell& shell, const ExeLinkList& links);

// The copy of a result that "항목 이동" adds to an item tab: a file with the
// result's name, path and picture.
TMyRec CopyOfFoundFile(const TMyRec& result);

// The item tab a "항목 이동" entry names: the first page, in page order, of
// that exact caption that is an item tab (`isItemTab`); nothing without one.
std::optional<size_t> PageForCaption(const std::vector<std::string>& captions, const std::vector<bool>& isItemTab,
                                     const std::string& caption);

}  // namespace kestro
