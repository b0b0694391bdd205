#pragma once
// One node record as bytes, for nodes that move or are copied between trees.
// Little-endian: the six texts (name, path, icon, parameters, addexplain,
// reserved2), each as a 32-bit length L = characters + 1 followed by the
// characters and a zero byte; then hotkey and hidefromtray (1 byte each) and
// kind, imageindex, reserved1, hotkeymodifier, hotkeycode, autorun and
// windowstate (4 bytes each). `url` is not carried.
#include <optional>
#include <string>
#include <string_view>

#include "core/items/ItemRecord.h"

namespace kestro {

class ItemNode;
class ItemTree;

// Appends the record to `out`.
void WriteItemStream(const TMyRec& rec, std::string& out);
std::string ItemStreamBytes(const TMyRec& rec);

// Reads one record starting at `offset` and moves `offset` past it. A record
// that does not fit in the bytes left gives nothing and leaves `offset` as it
// was. Each text ends at its first zero byte.
std::optional<TMyRec> ReadItemStream(std::string_view bytes, size_t& offset);

// A node with its whole subtree, each node framed as: the record's byte count
// (32-bit), the record, the expanded flag (1 byte), the number of children
// (32-bit), then the children.
std::string SaveSubtree(const ItemNode& node);
// Adds the subtree held in `bytes` as the last child of `parent` (nullptr: the
// top level) and returns its top node. Bytes that are not exactly one whole
// subtree add nothing and give nullptr.
ItemNode* LoadSubtree(std::string_view bytes, ItemTree& tree, ItemNode* parent);

}  // namespace kestro
