#pragma once
// Drag and drop onto an item tree: the effect a drag shows, where a drop
// lands and what it does. The window reads the pointer, the keys and the
// dropped data and carries the answer out.
#include <string>
#include <string_view>
#include <vector>

#include "core/items/Editing.h"
#include "core/ui/TreeLayout.h"  // DropPosition

namespace kestro {

enum class DragSource {
  ThisTree,   // a node of the tree under the pointer
  OtherTree,  // a node of another tab's tree
  Shell,      // files from another program
};

enum class DropEffect { None, Copy, Move, Link };

// Mouse buttons and modifier keys held during the drag.
struct DragKeys {
  bool left = false, right = false, middle = false;
  bool shift = false, ctrl = false, alt = false;
};

struct DragOverDecision {
  DropEffect effect = DropEffect::None;
  bool rightDrag = false;  // the frame's right-drag flag from now on
  bool showMark = false;
  bool operator==(const DragOverDecision&) const = default;
};
// `rightDrag` is the frame's flag as it stands; the frame clears it when the
// drag leaves the tree or drops, so that a right drag that ended elsewhere
// does not turn the next drag into a link. `moveAllowed`: for a node being
// dragged, whether it may land where the pointer is (CanMoveTo); a refused
// move shows no effect and no mark.
DragOverDecision DecideDragOver(DragSource source, const DragKeys& keys, bool rightDrag, bool moveAllowed = true);

// The deepest last node: the last child of the last child ... of the top
// level, collapsed groups included; null for an empty tree.
ItemNode* LastNodeInDepth(const ItemTree& tree);
// Where a drop at `pos` relative to `over` lands. On the node means into it
// for a group (and, on the favorites tab, a folder), else after it; empty
// space (`over` null) means after the deepest last node, or the top level of
// an empty tree.
Attach DropAttach(const ItemTree& tree, ItemNode* over, DropPosition pos, TabTag tag);

enum class DropAction {
  Nothing,
  MoveNode,          // MoveTo the attach place
  MoveFavoriteFile,  // move the file to FavoriteMoveName first; the node follows only if that worked
  OpenDropped,       // each of NamesToOpen with the drive's programs, asking when there is none
  AddDropped,        // AddDroppedItems at the attach place
};
// `moved`: the dragged node for a tree source. `hasFileList`: the shell's
// data carries a file list. A move onto the moved node or inside it does
// nothing.
DropAction DecideDrop(DragSource source, DropEffect effect, TabTag tag, const ItemNode* moved, const Attach& at,
                      bool hasFileList);

// Where a favorites file moves: its name in the folder of the drop target (a
// folder target's own path, else the folder its path lies in), or in
// `favoritesFolder` when the tab is empty.
std::string FavoriteMoveName(std::string_view movedPath, const ItemNode* target, std::string_view favoritesFolder);
// The dropped names a link drop opens: those with an extension, in order.
std::vector<std::string> NamesToOpen(const std::vector<std::string>& names);

}  // namespace kestro
