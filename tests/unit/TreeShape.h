#pragma once
// Item trees written as text, for tests of edits: "a" a file, "a/" a folder,
// "g(...)" a group with its children, "-" a separator; siblings are separated
// by blanks. Names are unique within a test tree.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/items/ItemTree.h"

namespace kestro::testing {

inline void AddShape(ItemTree& tree, ItemNode* parent, std::string_view& s) {
  while (!s.empty() && s.front() != ')') {
    if (s.front() == ' ') {
      s.remove_prefix(1);
      continue;
    }
    size_t end = s.find_first_of(" ()");
    std::string name(s.substr(0, end));
    s.remove_prefix(end == std::string_view::npos ? s.size() : end);
    TMyRec rec;
    if (name == "-") {
      rec.kind = ItemKind::Separator;
    } else if (name.back() == '/') {
      rec.kind = ItemKind::Folder;
      name.pop_back();
    }
    rec.name = name;
    rec.path = "E:\\" + name;
    bool group = !s.empty() && s.front() == '(';
    if (group) rec.kind = ItemKind::Group;
    ItemNode& n = tree.Add(parent, rec);
    if (group) {
      s.remove_prefix(1);
      AddShape(tree, &n, s);
      s.remove_prefix(1);  // ")"
    }
  }
}

inline void BuildShape(ItemTree& tree, std::string_view shape) { AddShape(tree, nullptr, shape); }

inline std::string ShapeOf(const ItemTree& tree, const ItemNode* parent = nullptr) {
  std::string out;
  for (const ItemNode* n : tree.ChildrenOf(parent)) {
    if (!out.empty()) out += ' ';
    const TMyRec& r = n->Data();
    if (r.kind == ItemKind::Separator) {
      out += '-';
      continue;
    }
    out += r.name;
    if (r.kind == ItemKind::Folder) out += '/';
    // Folders hold children on the favorites tab.
    if (r.kind == ItemKind::Group || !n->Children().empty()) out += "(" + ShapeOf(tree, n) + ")";
  }
  return out;
}

// The node named `name`; null for "" (and a test failure for an unknown name).
inline ItemNode* Named(ItemTree& tree, const std::string& name) {
  if (name.empty()) return nullptr;
  ItemNode* found = nullptr;
  tree.ForEach([&](ItemNode& n) {
    if (!found && n.Data().name == name) found = &n;
  });
  EXPECT_NE(found, nullptr) << "no node " << name;
  return found;
}

}  // namespace kestro::testing
