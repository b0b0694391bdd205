#include "core/ui/TreeMenu.h"

#include "core/items/ItemStream.h"
#include "core/items/ItemTree.h"

namespace kestro {

TreeMenuEnabled TreeMenuStates(bool nodeHit, std::optional<ItemKind> focusedKind) {
  TreeMenuEnabled e;
  if (!nodeHit) {
    // The add and tab entries stay: they act on the tree, not on a node.
    e.execute = e.folderOpen = e.deleteItem = e.attribute = e.moveTab = false;
    return e;
  }
  if (!focusedKind) return e;
  switch (*focusedKind) {
    case ItemKind::Folder:
      e.execute = false;
      break;
    case ItemKind::Group:
    case ItemKind::Separator:
      e.execute = false;
      e.folderOpen = false;
      break;
    default:
      break;
  }
  return e;
}

std::vector<MoveTarget> MoveTargets(const std::vector<MenuPage>& pages, int activeIndex) {
  std::vector<MoveTarget> targets;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (static_cast<int>(i) == activeIndex || pages[i].tag != TabTag::Items) continue;
    targets.push_back({i, pages[i].caption});
  }
  return targets;
}

ItemNode* MoveSubtreeToTree(ItemTree& source, ItemNode& node, ItemTree& target) {
  if (source.Find(node.Id()) != &node) return nullptr;
  ItemNode* moved = LoadSubtree(SaveSubtree(node), target, nullptr);
  if (moved) source.Remove(node);
  return moved;
}

}  // namespace kestro
