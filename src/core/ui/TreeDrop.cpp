#include "core/ui/TreeDrop.h"

#include "core/text/Text.h"

namespace kestro {

DragOverDecision DecideDragOver(DragSource source, const DragKeys& keys, bool rightDrag, bool moveAllowed) {
  if (source != DragSource::Shell && !moveAllowed) return {DropEffect::None, rightDrag, false};
  DropEffect effect;
  if (rightDrag) {
    effect = DropEffect::Link;
  } else if (source != DragSource::Shell) {
    effect = DropEffect::Move;
  } else if (keys.ctrl && keys.left && !keys.right && !keys.middle && !keys.shift && !keys.alt) {
    effect = DropEffect::Link;
  } else if (keys.right) {
    effect = DropEffect::Link;
    rightDrag = true;
  } else {
    effect = DropEffect::Copy;
  }
  // A link adds nothing to the tree, so there is no place to mark.
  return {effect, rightDrag, effect != DropEffect::Link};
}

ItemNode* LastNodeInDepth(const ItemTree& tree) {
  const ItemNode* parent = nullptr;
  ItemNode* last = nullptr;
  while (!tree.ChildrenOf(parent).empty()) {
    last = tree.ChildrenOf(parent).back();
    parent = last;
  }
  return last;
}

Attach DropAttach(const ItemTree& tree, ItemNode* over, DropPosition pos, TabTag tag) {
  if (!over) {
    ItemNode* last = LastNodeInDepth(tree);
    return last ? Attach{last, AttachMode::InsertAfter} : Attach{nullptr, AttachMode::AddChildLast};
  }
  switch (pos) {
    case DropPosition::Above:
      return {over, AttachMode::InsertBefore};
    case DropPosition::On: {
      ItemKind kind = over->Data().kind;
      bool holds = kind == ItemKind::Group || (tag == TabTag::Favorites && kind == ItemKind::Folder);
      return {over, holds ? AttachMode::AddChildLast : AttachMode::InsertAfter};
    }
    case DropPosition::Below:
      break;
  }
  return {over, AttachMode::InsertAfter};
}

DropAction DecideDrop(DragSource source, DropEffect effect, TabTag tag, const ItemNode* moved, const Attach& at,
                      bool hasFileList) {
  if (source != DragSource::Shell) {
    if (!moved || !CanMoveTo(*moved, at)) return DropAction::Nothing;
    return tag == TabTag::Favorites ? DropAction::MoveFavoriteFile : DropAction::MoveNode;
  }
  if (!hasFileList) return DropAction::Nothing;
  return effect == DropEffect::Link ? DropAction::OpenDropped : DropAction::AddDropped;
}

std::string FavoriteMoveName(std::string_view movedPath, const ItemNode* target, std::string_view favoritesFolder) {
  std::string folder;
  if (!target) {
    folder = favoritesFolder;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
  } else if (target->Data().kind == ItemKind::Folder) {
    folder = target->Data().path + "\\";
  } else {
    folder = FolderPart(target->Data().path);
  }
  return folder + std::string(FileNamePart(movedPath));
}

std::vector<std::string> NamesToOpen(const std::vector<std::string>& names) {
  std::vector<std::string> open;
  for (const std::string& name : names)
    if (!ExtensionOf(name).empty()) open.push_back(name);
  return open;
}

}  // namespace kestro
