#pragma once
// Editing an item tree: where a new or moved node goes, the records of new
// items, and the changes themselves, so that the window only asks the user
// and repaints.
#include <string>
#include <string_view>
#include <vector>

#include "core/config/Tabs.h"  // TabTag
#include "core/items/ItemTree.h"

namespace kestro {

// How a node is placed relative to a target node.
enum class AttachMode {
  InsertBefore,  // same parent, just before the target
  InsertAfter,   // same parent, just after the target
  AddChildLast,  // the target's last child
  Nowhere,
};

// A place in a tree. A null target stands for the top level: every mode but
// Nowhere then means its end.
struct Attach {
  ItemNode* target = nullptr;
  AttachMode mode = AttachMode::AddChildLast;
  bool operator==(const Attach&) const = default;
};

// Where a new node of `kind` goes when the focused node is `focused` (null:
// none), and which node to expand then (null: none). A separator goes after
// the focused node even when that is a group; anything else goes into a
// focused group.
struct NewNodePlace {
  Attach at;
  ItemNode* expand = nullptr;
  bool operator==(const NewNodePlace&) const = default;
};
NewNodePlace NewNodePlaceFor(ItemKind kind, ItemNode* focused);

// Records of new items. Pictures are the caller's: a file's `imageindex`
// stays 0 until its icon is looked up; folders and groups start with their
// fixed pictures. Paths stay as given (absolute); the document makes them
// drive-relative when the trees are written.
TMyRec NewFileRecord(std::string_view fullName, bool deleteExt);
TMyRec NewFolderRecord(std::string_view folder);
TMyRec NewGroupRecord(std::string name, std::string icon, bool hidefromtray);
TMyRec NewLineRecord();
// A name dropped from the shell: with an extension a file, else a folder.
TMyRec DroppedRecord(std::string_view name, bool deleteExt);
// The file whose icon a new item shows; empty: it keeps the fixed picture its
// record holds. A file shows its own; a folder `folderIcon` when that is set;
// a group its own icon, else `groupIcon` when that is set. Dropped folders
// keep the fixed picture: pass no `folderIcon` for them.
std::string NewItemPictureFile(const TMyRec& rec, std::string_view folderIcon, std::string_view groupIcon);

// Adds one node at `at`; null when `at` is Nowhere or its target is not a
// node of `tree`.
ItemNode* InsertNew(ItemTree& tree, const Attach& at, TMyRec rec);
// Chosen files: the first at `at`, each further one right after the one
// before, so they keep their order.
std::vector<ItemNode*> AddNewItems(ItemTree& tree, const Attach& at, std::vector<TMyRec> recs);
// Dropped names: each at the same `at`, so with InsertAfter they end up in
// reverse order. The nodes are returned in the order of `names`.
std::vector<ItemNode*> AddDroppedItems(ItemTree& tree, const Attach& at, const std::vector<std::string>& names,
                                       bool deleteExt);

// Whether `node` may move to `at`: never onto itself or anything inside it
// (a group would vanish or form a cycle), never Nowhere.
bool CanMoveTo(const ItemNode& node, const Attach& at);
// Moves `node` of `source` with its subtree to `at` in `target`, which may be
// `source` itself (the node keeps its id) or another tree (the subtree goes
// over as an item stream and leaves `source` only once the copy stands).
// Returns the node at its new place; null, with nothing changed, when the
// move is refused or fails.
ItemNode* MoveTo(ItemTree& source, ItemNode& node, ItemTree& target, const Attach& at);

// Deleting the focused item: from the popup it goes at once, and on the
// favorites tab its file goes first; from the Delete key a group asks
// message "10" first, and no file is ever deleted.
enum class DeleteTrigger { Popup, DeleteKey };
struct DeletePlan {
  bool ask = false;         // message "10", Yes/No
  bool deleteFile = false;  // the file named by the item's path
  bool operator==(const DeletePlan&) const = default;
};
DeletePlan DeletePlanFor(DeleteTrigger trigger, ItemKind kind, TabTag tag);
// A tab with items asks message "04" before it goes; an empty one does not.
inline bool AsksBeforeTabDelete(const ItemTree& tree) { return !tree.TopLevel().empty(); }

}  // namespace kestro
