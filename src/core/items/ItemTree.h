#pragma once
// The in-memory item tree of one tab. The panel's tree control shows it; the
// core reads it from and writes it to the document.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/items/ItemRecord.h"

namespace kestro {

// Node ids are unique in the process and never reused, so that a worker that
// was handed an id can later ask whether its node still exists.
using NodeId = uint64_t;
constexpr NodeId kNoNode = 0;

class ItemNode {
 public:
  ItemNode(const ItemNode&) = delete;
  ItemNode& operator=(const ItemNode&) = delete;
  NodeId Id() const { return id_; }
  TMyRec& Data() { return data_; }
  const TMyRec& Data() const { return data_; }
  // nullptr for a node of the top level.
  ItemNode* Parent() const { return parent_; }
  const std::vector<ItemNode*>& Children() const { return children_; }
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool expanded) { expanded_ = expanded; }
  // 0 for a node of the top level.
  size_t Level() const;

 private:
  friend class ItemTree;
  explicit ItemNode(NodeId id) : id_(id) {}
  ItemNode(NodeId id, TMyRec&& data) : id_(id), data_(std::move(data)) {}
  NodeId id_;
  TMyRec data_;
  ItemNode* parent_ = nullptr;
  std::vector<ItemNode*> children_;
  bool expanded_ = false;
};

class ItemTree {
 public:
  ItemTree() = default;
  ItemTree(const ItemTree&) = delete;
  ItemTree& operator=(const ItemTree&) = delete;
  ~ItemTree();

  // Appends a node as the last child of `parent` (nullptr: the top level),
  // its record zeroed or taken from `data`.
  ItemNode& Add(ItemNode* parent);
  ItemNode& Add(ItemNode* parent, TMyRec data);
  // Inserts a node before position `index` among the children of `parent`;
  // an index past the end appends.
  ItemNode& Insert(ItemNode* parent, size_t index, TMyRec data = {});
  // Deletes a node of this tree with its whole subtree; their ids are gone
  // from then on.
  void Remove(ItemNode& node);
  // Moves a node of this tree with its subtree to position `index` among the
  // children of `parent` (nullptr: the top level), counted without the node
  // itself; an index past the end appends. Ids stay. Refused, changing
  // nothing, when `parent` is the node or lies inside it.
  bool Move(ItemNode& node, ItemNode* parent, size_t index);
  void Clear();
  // Room for `count` more children of `parent` (nullptr: the top level),
  // and their ids taken at once.
  void Reserve(ItemNode* parent, size_t count);

  // nullptr when the id is not (or no longer) a node of this tree.
  ItemNode* Find(NodeId id);
  const ItemNode* Find(NodeId id) const;

  // The children of `parent`, or the top-level nodes for nullptr.
  const std::vector<ItemNode*>& ChildrenOf(const ItemNode* parent) const;
  const std::vector<ItemNode*>& TopLevel() const { return top_; }
  size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }

  // Calls `visit` for every node in tree order (a node, then its subtree,
  // then its next sibling), collapsed groups included.
  template <class Visit>
  void ForEach(Visit&& visit) {
    Walk(visit);
  }
  template <class Visit>
  void ForEach(Visit&& visit) const {
    Walk([&](ItemNode& n) { visit(static_cast<const ItemNode&>(n)); });
  }
  // The ids in tree order: a snapshot a worker can walk while the tree changes.
  std::vector<NodeId> IdsInTreeOrder() const;

 private:
  std::vector<ItemNode*>& SiblingsOf(const ItemNode& node);
  ItemNode& Place(ItemNode* node, ItemNode* parent, size_t index);
  void* Allocate();
  void Release(ItemNode* node);
  template <class Visit>
  void Walk(Visit&& visit) const {
    // Without recursion: a hand-edited document may nest groups very deeply.
    std::vector<ItemNode*> pending(top_.rbegin(), top_.rend());
    while (!pending.empty()) {
      ItemNode* n = pending.back();
      pending.pop_back();
      visit(*n);
      pending.insert(pending.end(), n->children_.rbegin(), n->children_.rend());
    }
  }
  // The live nodes sorted by id: ids only grow, so a new node goes at the
  // end. A deleted node leaves an empty entry until the next compaction.
  struct Slot {
    NodeId id;
    ItemNode* node;
  };
  Slot* SlotOf(NodeId id) const;
  NodeId TakeId();
  // Ids taken ahead by Reserve, [nextId_, idsEnd_): one atomic operation for
  // a whole group of nodes read at start rather than one for each.
  NodeId nextId_ = kNoNode;
  NodeId idsEnd_ = kNoNode;
  std::vector<Slot> slots_;
  size_t count_ = 0;
  // Node storage in blocks: one allocation for many nodes, as trees are
  // built by the thousand at start. Each block holds twice the nodes of the
  // one before, up to a limit, so that a large tree takes few allocations
  // and a small one little memory.
  static constexpr size_t kFirstBlockNodes = 32;
  static constexpr size_t kMaxBlockNodes = 1024;
  struct alignas(ItemNode) NodeBytes {
    unsigned char bytes[sizeof(ItemNode)];
  };
  std::vector<std::unique_ptr<NodeBytes[]>> blocks_;
  size_t lastBlockNodes_ = 0;
  size_t usedInLastBlock_ = 0;
  std::vector<void*> freed_;
  std::vector<ItemNode*> top_;
};

}  // namespace kestro
