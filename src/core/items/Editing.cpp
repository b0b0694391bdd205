#include "core/items/Editing.h"

#include <algorithm>
#include <optional>

#include "core/items/ItemStream.h"
#include "core/text/Text.h"

namespace kestro {

namespace {

struct Slot {
  ItemNode* parent;
  size_t index;
};

size_t IndexAmongSiblings(const ItemTree& tree, const ItemNode& node) {
  const auto& siblings = tree.ChildrenOf(node.Parent());
  return static_cast<size_t>(std::find(siblings.begin(), siblings.end(), &node) - siblings.begin());
}

// The parent and child index `at` stands for in `tree`.
std::optional<Slot> Resolve(const ItemTree& tree, const Attach& at) {
  if (at.mode == AttachMode::Nowhere) return std::nullopt;
  if (!at.target) return Slot{nullptr, SIZE_MAX};
  if (tree.Find(at.target->Id()) != at.target) return std::nullopt;
  switch (at.mode) {
    case AttachMode::AddChildLast:
      return Slot{at.target, SIZE_MAX};
    case AttachMode::InsertBefore:
      return Slot{at.target->Parent(), IndexAmongSiblings(tree, *at.target)};
    case AttachMode::InsertAfter:
      return Slot{at.target->Parent(), IndexAmongSiblings(tree, *at.target) + 1};
    case AttachMode::Nowhere:
      break;
  }
  return std::nullopt;
}

bool IsInside(const ItemNode* node, const ItemNode& top) {
  for (; node; node = node->Parent())
    if (node == &top) return true;
  return false;
}

std::string LastComponentOr(std::string_view path) {
  std::string_view name = FileNamePart(path);
  return std::string(name.empty() ? path : name);
}

std::string CaptionOf(std::string_view fullName, bool deleteExt) {
  std::string name = LastComponentOr(fullName);
  if (deleteExt) name.resize(name.size() - ExtensionOf(name).size());
  return name;
}

}  // namespace

NewNodePlace NewNodePlaceFor(ItemKind kind, ItemNode* focused) {
  if (!focused) return {{nullptr, AttachMode::AddChildLast}, nullptr};
  if (kind == ItemKind::Separator) return {{focused, AttachMode::InsertAfter}, focused};
  if (focused->Data().kind == ItemKind::Group) return {{focused, AttachMode::AddChildLast}, focused};
  return {{focused, AttachMode::InsertAfter}, nullptr};
}

TMyRec NewFileRecord(std::string_view fullName, bool deleteExt) {
  TMyRec rec;
  rec.kind = ItemKind::File;
  rec.path = fullName;
  rec.name = CaptionOf(fullName, deleteExt);
  return rec;
}

TMyRec NewFolderRecord(std::string_view folder) {
  TMyRec rec;
  rec.kind = ItemKind::Folder;
  rec.path = folder;
  rec.name = LastComponentOr(folder);
  rec.imageindex = kFolderPicture;
  return rec;
}

TMyRec NewGroupRecord(std::string name, std::string icon, bool hidefromtray) {
  TMyRec rec;
  rec.kind = ItemKind::Group;
  rec.name = std::move(name);
  rec.icon = std::move(icon);
  rec.hidefromtray = hidefromtray;
  rec.imageindex = kGroupPicture;
  return rec;
}

TMyRec NewLineRecord() {
  TMyRec rec;
  rec.kind = ItemKind::Separator;
  return rec;
}

TMyRec DroppedRecord(std::string_view name, bool deleteExt) {
  if (!ExtensionOf(name).empty()) return NewFileRecord(name, deleteExt);
  // The fixed folder picture, whatever the folder icon setting says.
  return NewFolderRecord(name);
}

std::string NewItemPictureFile(const TMyRec& rec, std::string_view folderIcon, std::string_view groupIcon) {
  switch (rec.kind) {
    case ItemKind::File:
      return rec.path;
    case ItemKind::Folder:
      return std::string(folderIcon);
    case ItemKind::Group:
      return rec.icon.empty() ? std::string(groupIcon) : rec.icon.str();
    default:
      return {};
  }
}

ItemNode* InsertNew(ItemTree& tree, const Attach& at, TMyRec rec) {
  std::optional<Slot> slot = Resolve(tree, at);
  if (!slot) return nullptr;
  return &tree.Insert(slot->parent, slot->index, std::move(rec));
}

std::vector<ItemNode*> AddNewItems(ItemTree& tree, const Attach& at, std::vector<TMyRec> recs) {
  std::vector<ItemNode*> added;
  Attach next = at;
  for (TMyRec& rec : recs) {
    ItemNode* n = InsertNew(tree, next, std::move(rec));
    if (!n) break;
    added.push_back(n);
    next = {n, AttachMode::InsertAfter};
  }
  return added;
}

std::vector<ItemNode*> AddDroppedItems(ItemTree& tree, const Attach& at, const std::vector<std::string>& names,
                                       bool deleteExt) {
  std::vector<ItemNode*> added;
  for (const std::string& name : names) {
    ItemNode* n = InsertNew(tree, at, DroppedRecord(name, deleteExt));
    if (!n) break;
    added.push_back(n);
  }
  return added;
}

bool CanMoveTo(const ItemNode& node, const Attach& at) {
  return at.mode != AttachMode::Nowhere && !IsInside(at.target, node);
}

ItemNode* MoveTo(ItemTree& source, ItemNode& node, ItemTree& target, const Attach& at) {
  if (source.Find(node.Id()) != &node || !CanMoveTo(node, at)) return nullptr;
  if (&source == &target) {
    std::optional<Slot> slot = Resolve(target, at);
    if (!slot) return nullptr;
    // The index counts the node itself while it still stands before the slot.
    size_t index = slot->index;
    if (slot->parent == node.Parent() && index != SIZE_MAX && IndexAmongSiblings(source, node) < index) --index;
    return source.Move(node, slot->parent, index) ? &node : nullptr;
  }
  std::optional<Slot> slot = Resolve(target, at);
  if (!slot) return nullptr;
  ItemNode* copy = LoadSubtree(SaveSubtree(node), target, slot->parent);
  if (!copy) return nullptr;
  target.Move(*copy, slot->parent, slot->index);
  source.Remove(node);
  return copy;
}

DeletePlan DeletePlanFor(DeleteTrigger trigger, ItemKind kind, TabTag tag) {
  if (trigger == DeleteTrigger::Popup) return {false, tag == TabTag::Favorites};
  return {kind == ItemKind::Group, false};
}

}  // namespace kestro
