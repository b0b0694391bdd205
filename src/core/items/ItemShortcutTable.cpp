#include "core/items/ItemShortcutTable.h"

namespace kestro {

const ItemShortcut& ItemShortcutTable::Add(std::string path, int32_t modifierCode, int32_t keyCode, std::string name) {
  ItemShortcut s;
  s.identifierName = "hotkey" + std::to_string(entries_.size());
  s.path = std::move(path);
  s.name = std::move(name);
  s.modifierCode = modifierCode;
  s.keyCode = keyCode;
  entries_.push_back(std::move(s));
  return entries_.back();
}

}  // namespace kestro
