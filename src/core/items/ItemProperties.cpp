#include "core/items/ItemProperties.h"

#include "core/config/PathMacros.h"

namespace kestro {

PropertyDialog PropertyDialogFor(ItemKind kind) {
  switch (kind) {
    case ItemKind::File:
    case ItemKind::Folder:
    case ItemKind::Url:
      return PropertyDialog::Item;
    case ItemKind::Group:
      return PropertyDialog::Group;
    default:
      return PropertyDialog::None;
  }
}

std::string PropertyCaption(const TMyRec& rec, const MessageTable& messages) {
  std::string_view key = rec.kind == ItemKind::Group    ? msg::kGroupProperty
                         : rec.kind == ItemKind::Folder ? msg::kFolderProperty
                                                        : msg::kFileProperty;
  return rec.name + " " + FormatMessageText(messages.Text(key));
}

ItemPropertyFields ItemFieldsOf(const TMyRec& rec, std::string_view programDriveRoot) {
  ItemPropertyFields f;
  f.name = rec.name;
  f.path = MakeDriveRelative(rec.path, programDriveRoot);
  f.parameters = rec.parameters;
  f.addexplain = rec.addexplain;
  f.iconFile = rec.icon;
  f.hotkey = rec.hotkey;
  f.hotkeymodifier = rec.hotkeymodifier;
  f.hotkeycode = rec.hotkeycode;
  f.autorun = rec.autorun;
  f.windowstate = rec.windowstate;
  return f;
}

std::optional<std::string_view> ItemPropertyRefusal(const ItemPropertyFields& fields) {
  if (fields.name.empty()) return msg::kEnterFileName;
  return std::nullopt;
}

void ApplyItemFields(TMyRec& rec, const ItemPropertyFields& fields, std::string_view programDriveRoot) {
  rec.name = fields.name;
  rec.path = MakeAbsolute(fields.path, programDriveRoot);
  rec.icon = fields.iconFile;
  rec.parameters = fields.parameters;
  rec.addexplain = fields.addexplain;
  rec.hotkey = fields.hotkey;
  rec.hotkeymodifier = fields.hotkeymodifier;
  rec.hotkeycode = fields.hotkeycode;
  rec.autorun = fields.autorun;
  rec.windowstate = fields.windowstate;
}

bool UsesFolderFallback(const TMyRec& rec, std::string_view folderIcon) {
  return rec.kind == ItemKind::Folder && folderIcon.empty();
}

namespace {
PictureSource FolderIconOr(std::string_view folderIcon, std::string_view root, int32_t fixed) {
  if (!folderIcon.empty()) return {MakeAbsolute(folderIcon, root), fixed};
  return {"", fixed};
}
}  // namespace

PictureSource ItemDialogPicture(const TMyRec& rec, std::string_view folderIcon, std::string_view programDriveRoot) {
  if (rec.kind == ItemKind::Folder && !folderIcon.empty()) return FolderIconOr(folderIcon, programDriveRoot, kFolderPicture);
  if (!rec.icon.empty()) return {rec.icon, kFilePicture};
  if (rec.kind == ItemKind::Folder) return {"", kFolderPicture};
  return {rec.path, kFilePicture};
}

PictureSource ItemPictureWithoutOwnIcon(ItemKind kind, std::string_view typedPath, std::string_view folderIcon,
                                        std::string_view programDriveRoot) {
  if (kind == ItemKind::Folder && folderIcon.empty()) return {"", kFolderPicture};
  if (kind == ItemKind::Folder) return FolderIconOr(folderIcon, programDriveRoot, kFolderPicture);
  return {std::string(typedPath), kFilePicture};
}

PictureSource ConfirmedItemPicture(ItemKind kind, const ItemPropertyFields& fields, std::string_view folderIcon,
                                   std::string_view programDriveRoot, const MacroValues& macros) {
  if (fields.iconFile.size() >= 4) return {fields.iconFile, kFilePicture};
  if (kind == ItemKind::Folder && !folderIcon.empty()) return FolderIconOr(folderIcon, programDriveRoot, kFolderPicture);
  return {MakeAbsolute(ExpandMacros(fields.path, macros), programDriveRoot), kFilePicture};
}

GroupPropertyFields GroupFieldsOf(const TMyRec& rec) { return {rec.name, rec.icon, rec.hidefromtray}; }

std::optional<std::string_view> GroupPropertyRefusal(const GroupPropertyFields& fields) {
  if (fields.name.empty()) return msg::kEnterGroupName;
  return std::nullopt;
}

PictureSource GroupDialogPicture(std::string_view ownIcon, std::string_view groupIcon,
                                 std::string_view programDriveRoot) {
  if (!ownIcon.empty()) return {std::string(ownIcon), kGroupPicture};
  if (!groupIcon.empty()) return {MakeAbsolute(groupIcon, programDriveRoot), kGroupPicture};
  return {"", kGroupPicture};
}

void ApplyGroupFields(TMyRec& rec, const GroupPropertyFields& fields) {
  rec.name = fields.name;
  rec.icon = fields.iconFile;
  rec.hidefromtray = fields.hidefromtray;
}

PictureSource ConfirmedGroupPicture(const GroupPropertyFields& fields) {
  if (fields.iconFile.size() >= 6) return {fields.iconFile, kGroupPicture};
  return {"", kGroupPicture};
}

}  // namespace kestro
