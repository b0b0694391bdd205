#pragma once
// The favorites tab's tree (the drive's Internet shortcut files and their
// folders) and the Internet shortcut files as Kestro reads and writes them.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/items/Editing.h"
#include "core/items/ItemTree.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/TextCodec.h"

namespace kestro {

constexpr const char* kUrlSection = "InternetShortcut";
constexpr const char* kUrlKey = "URL";

// Fills the tree below `parent` (null: the top level) from `folder`: each
// folder as the first child (so folders come before the shortcuts, later
// listed ones first) with its contents below it, each file ending exactly in
// ".url" as the last child with its address; other files are skipped.
// `advance` is called after every entry. Links to other folders are shown,
// not entered.
void LoadFavoritesTree(IFolderLister& lister, IFileSystem& files, ITextCodec& codec, const std::string& folder,
                       ItemTree& tree, ItemNode* parent, const std::function<void()>& advance = {});

// The address of an Internet shortcut file: key "URL" of section
// "InternetShortcut" (letter case aside); empty when missing or unreadable.
std::string ReadUrlAddress(const std::string& path, IFileSystem& files, ITextCodec& codec);

// The text of an Internet shortcut file with its address set: `existing`
// (none: a new file) keeps everything else; the key is replaced in the
// first "InternetShortcut" section, added to it, or the section is appended.
std::string UrlFileText(const std::optional<std::string>& existing, std::string_view address);

// Writes the address into the file (creating it), in the host's ANSI code
// page when every character has a form there, else as UTF-8 with its mark.
bool WriteUrlAddress(const std::string& path, std::string_view address, IFileSystem& files, ITextCodec& codec);

// Why a title cannot name a shortcut file: none when it can. The empty
// title gives the dialog's own "제목를 넣어주세요".
std::optional<std::string> UrlTitleRefusal(std::string_view title);

// Where "URL추가" puts the new entry: the end of the top level without a
// focused entry, the last child of a focused folder (expanded), else right
// after the focused entry.
NewNodePlace NewUrlPlaceFor(ItemNode* focused);

// The new entry at `place`: its record and the file it is written to,
// `favoritesFolder` + the folders above it + the title + ".url".
TMyRec NewUrlRecord(const std::string& favoritesFolder, const Attach& place, std::string_view title,
                    std::string_view address);

}  // namespace kestro
