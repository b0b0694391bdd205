#pragma once
// The item and group property dialogs without their windows: what they show
// when they open, the picture their image shows, whether OK may close them
// and what OK writes into the record. The dialogs only move values between
// their controls and these.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/config/MessageTable.h"
#include "core/items/ItemRecord.h"

namespace kestro {

class MacroValues;

// Which dialog edits an item: files, folders and URLs the property dialog,
// groups the group dialog; a separator has nothing to edit.
enum class PropertyDialog { None, Item, Group };
PropertyDialog PropertyDialogFor(ItemKind kind);

// The caption: the name, a blank and message "19" (folder), "20" (file, URL)
// or "21" (group).
std::string PropertyCaption(const TMyRec& rec, const MessageTable& messages);

// The fields of the property dialog.
struct ItemPropertyFields {
  std::string name;
  std::string path;  // as shown and typed: drive-relative, or a macro path
  std::string parameters;
  std::string addexplain;
  std::string iconFile;  // the chosen own icon; empty for none
  bool hotkey = false;
  int32_t hotkeymodifier = 0;  // positions in the shortcut boxes
  int32_t hotkeycode = 0;
  int32_t autorun = 0;
  int32_t windowstate = 0;
  bool operator==(const ItemPropertyFields&) const = default;
};

// What the property dialog shows for `rec`: its path without the drive root.
ItemPropertyFields ItemFieldsOf(const TMyRec& rec, std::string_view programDriveRoot);

// The message that keeps the dialog open on OK ("15": no name); none: it closes.
std::optional<std::string_view> ItemPropertyRefusal(const ItemPropertyFields& fields);

// OK: the fields into the record. The typed path gets the drive root in front
// unless it has a drive or starts with a macro; the record keeps it absolute
// and the document makes it drive-relative when the trees are written.
void ApplyItemFields(TMyRec& rec, const ItemPropertyFields& fields, std::string_view programDriveRoot);

// A picture: the icon of `file`, or the fixed picture `fixed` when `file` is
// empty.
struct PictureSource {
  std::string file;
  int32_t fixed = kFilePicture;
  bool operator==(const PictureSource&) const = default;
};

// The folder flag of the property dialog: a folder without the `foldericon`
// setting, whose image falls back to the default folder picture.
bool UsesFolderFallback(const TMyRec& rec, std::string_view folderIcon);

// The property dialog's image when it opens: a folder shows `folderIcon` when
// that is set, else its own icon, else the default folder picture; a file or
// URL its own icon, else the icon of its path. `folderIcon` as stored.
PictureSource ItemDialogPicture(const TMyRec& rec, std::string_view folderIcon, std::string_view programDriveRoot);
// The image once the own icon is given up: for a folder `folderIcon` or the
// default folder picture, else the icon of the typed path as it stands.
PictureSource ItemPictureWithoutOwnIcon(ItemKind kind, std::string_view typedPath, std::string_view folderIcon,
                                        std::string_view programDriveRoot);
// The picture of the record after OK: the own icon when it has at least 4
// characters; else, for a folder, `folderIcon` when that is set; else the
// icon of the typed path with its macros expanded, made absolute.
PictureSource ConfirmedItemPicture(ItemKind kind, const ItemPropertyFields& fields, std::string_view folderIcon,
                                   std::string_view programDriveRoot, const MacroValues& macros);

// The fields of the group dialog.
struct GroupPropertyFields {
  std::string name;
  std::string iconFile;  // the chosen own icon; empty for none
  bool hidefromtray = false;
  bool operator==(const GroupPropertyFields&) const = default;
};
GroupPropertyFields GroupFieldsOf(const TMyRec& rec);
// "16": no name; none: the dialog closes.
std::optional<std::string_view> GroupPropertyRefusal(const GroupPropertyFields& fields);
// The group dialog's image: its own icon, else `groupIcon` when set, else the
// default group picture. Without an own icon (also for a new group) the
// same without the first choice.
PictureSource GroupDialogPicture(std::string_view ownIcon, std::string_view groupIcon,
                                 std::string_view programDriveRoot);
// OK on an existing group: name, own icon and tray flag into the record.
void ApplyGroupFields(TMyRec& rec, const GroupPropertyFields& fields);
// Its picture then: the own icon when it has at least 6 characters, else the
// default group picture (also when the `groupicon` setting is set).
PictureSource ConfirmedGroupPicture(const GroupPropertyFields& fields);

}  // namespace kestro
