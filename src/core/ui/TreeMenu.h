#pragma once
// The item tree's popup menus: which entries are enabled when the menu opens
// and which tabs the "항목 이동" submenu offers.
#include <optional>
#include <string>
#include <vector>

#include "core/config/Language.h"
#include "core/config/Tabs.h"
#include "core/items/ItemRecord.h"

namespace kestro {
class ItemNode;
class ItemTree;
}

namespace kestro {

// The entries of the two popup menus, as command ids of the menus. The move
// submenu's entries take the ids from kMoveTabFirst on, one per target.
enum class TreeCommand : unsigned {
  Execute = 1001,
  FolderOpen,
  AddFile,
  AddFolder,
  AddGroup,
  AddLine,
  Delete,
  MoveTab,  // the submenu
  Attribute,
  Tab,  // the submenu
  TabAttribute,
  TabAdd,
  TabDelete,
  FavExecute,
  FavAddUrl,
  FavDelete,
  FavTab,  // the submenu
  FavTabAttribute,
};
constexpr unsigned kMoveTabFirst = 1100;
constexpr unsigned kMoveTabLimit = 1400;

struct TreeMenuEntry {
  TreeCommand command;
  const char* key;     // in the language file's section "viewpopup"
  const char* korean;  // the built-in caption
};
// Every entry of both menus (separators are not entries).
const std::vector<TreeMenuEntry>& TreeMenuEntries();
// The caption an entry shows: from the language file in use, else Korean.
std::string TreeMenuCaption(TreeCommand command, const LanguageTexts& texts);

struct TreeMenuEnabled {
  bool execute = true;
  bool folderOpen = true;
  bool addFile = true, addFolder = true, addGroup = true, addLine = true;
  bool deleteItem = true;
  bool moveTab = true;
  bool attribute = true;
  bool tab = true;  // the tab submenu with its entries
  bool operator==(const TreeMenuEnabled&) const = default;
};

// `nodeHit`: a node lies under the point where the menu was asked for.
// `focusedKind`: the kind of the focused item, none without one.
TreeMenuEnabled TreeMenuStates(bool nodeHit, std::optional<ItemKind> focusedKind);

// The favorites tab has a menu of its own.
inline bool UsesFavoritesMenu(TabTag tag) { return tag == TabTag::Favorites; }

struct MenuPage {
  std::string caption;
  TabTag tag = TabTag::Items;
};

struct MoveTarget {
  size_t pageIndex = 0;
  std::string caption;
  bool operator==(const MoveTarget&) const = default;
};

// The entries of the move submenu: every item tab other than the active one,
// in page order.
std::vector<MoveTarget> MoveTargets(const std::vector<MenuPage>& pages, int activeIndex);

// Moves `node` of `source` with its subtree to the end of the top level of
// `target`, carried as an item stream, and returns it there. The node leaves
// its old place only once the copy stands, so a failed copy loses nothing.
ItemNode* MoveSubtreeToTree(ItemTree& source, ItemNode& node, ItemTree& target);

}  // namespace kestro
