#pragma once
// The item shortcuts of the panel, in the order the trees were read.
#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

struct ItemShortcut {
  // "hotkey" followed by the number of item shortcuts before this one; the
  // system identifier is made from it when the shortcut is registered.
  std::string identifierName;
  // As held in memory; path macros are expanded when the shortcut is pressed.
  std::string path;
  std::string name;  // the item's, for the notice when the combination is taken
  int32_t modifierCode = 0;
  int32_t keyCode = 0;
  int32_t identifier = 0;  // set when registered with the system; 0 until then
};

class ItemShortcutTable {
 public:
  const ItemShortcut& Add(std::string path, int32_t modifierCode, int32_t keyCode, std::string name = {});
  std::vector<ItemShortcut>& Entries() { return entries_; }
  const std::vector<ItemShortcut>& Entries() const { return entries_; }
  size_t Size() const { return entries_.size(); }

 private:
  std::vector<ItemShortcut> entries_;
};

}  // namespace kestro
