#include "core/items/ItemTree.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace kestro {

namespace {
std::atomic<NodeId> nextNodeId{1};
}  // namespace

size_t ItemNode::Level() const {
  size_t level = 0;
  for (const ItemNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

ItemTree::~ItemTree() { Clear(); }

void* ItemTree::Allocate() {
  if (!freed_.empty()) {
    void* p = freed_.back();
    freed_.pop_back();
    return p;
  }
  if (usedInLastBlock_ == lastBlockNodes_) {
    lastBlockNodes_ = std::clamp(lastBlockNodes_ * 2, kFirstBlockNodes, kMaxBlockNodes);
    // Uninitialised: the nodes are constructed in place one by one.
    blocks_.push_back(std::unique_ptr<NodeBytes[]>(new NodeBytes[lastBlockNodes_]));
    usedInLastBlock_ = 0;
  }
  return blocks_.back()[usedInLastBlock_++].bytes;
}

void ItemTree::Release(ItemNode* node) {
  node->~ItemNode();
  freed_.push_back(node);
}

NodeId ItemTree::TakeId() {
  // Ids taken ahead are all smaller than any taken later, so that the ids of
  // a tree keep growing.
  if (nextId_ != idsEnd_) return nextId_++;
  return nextNodeId.fetch_add(1, std::memory_order_relaxed);
}

inline ItemNode& ItemTree::Place(ItemNode* node, ItemNode* parent, size_t index) {
  NodeId id = node->id_;
  node->parent_ = parent;
  if (slots_.empty() || slots_.back().id < id) {
    slots_.push_back({id, node});
  } else {
    // Only when another thread took ids in between; keeps the order anyway.
    auto at = std::lower_bound(slots_.begin(), slots_.end(), id, [](const Slot& s, NodeId v) { return s.id < v; });
    slots_.insert(at, {id, node});
  }
  ++count_;
  std::vector<ItemNode*>& siblings = parent ? parent->children_ : top_;
  if (index >= siblings.size())
    siblings.push_back(node);
  else
    siblings.insert(siblings.begin() + std::ptrdiff_t(index), node);
  return *node;
}

ItemNode& ItemTree::Add(ItemNode* parent) {
  NodeId id = TakeId();
  return Place(new (Allocate()) ItemNode(id), parent, SIZE_MAX);
}

ItemNode& ItemTree::Add(ItemNode* parent, TMyRec data) { return Insert(parent, SIZE_MAX, std::move(data)); }

ItemNode& ItemTree::Insert(ItemNode* parent, size_t index, TMyRec data) {
  NodeId id = TakeId();
  return Place(new (Allocate()) ItemNode(id, std::move(data)), parent, index);
}

void ItemTree::Reserve(ItemNode* parent, size_t count) {
  if (count == 0) return;
  std::vector<ItemNode*>& children = parent ? parent->children_ : top_;
  children.reserve(children.size() + count);
  // The index of all nodes grows as a vector does, not by the exact count.
  if (slots_.capacity() < slots_.size() + count) slots_.reserve(std::max(slots_.capacity() * 2, slots_.size() + count));
  if (idsEnd_ - nextId_ < count) {
    nextId_ = nextNodeId.fetch_add(count, std::memory_order_relaxed);
    idsEnd_ = nextId_ + count;
  }
}

std::vector<ItemNode*>& ItemTree::SiblingsOf(const ItemNode& node) {
  return node.parent_ ? node.parent_->children_ : top_;
}

void ItemTree::Remove(ItemNode& node) {
  std::vector<ItemNode*>& siblings = SiblingsOf(node);
  siblings.erase(std::find(siblings.begin(), siblings.end(), &node));
  // Without recursion: a hand-edited document may nest groups very deeply.
  std::vector<ItemNode*> pending{&node};
  while (!pending.empty()) {
    ItemNode* n = pending.back();
    pending.pop_back();
    pending.insert(pending.end(), n->children_.begin(), n->children_.end());
    SlotOf(n->id_)->node = nullptr;
    Release(n);
    --count_;
  }
  if (count_ < slots_.size() / 2) {
    std::erase_if(slots_, [](const Slot& s) { return !s.node; });
  }
}

bool ItemTree::Move(ItemNode& node, ItemNode* parent, size_t index) {
  for (const ItemNode* p = parent; p; p = p->parent_)
    if (p == &node) return false;
  std::vector<ItemNode*>& from = SiblingsOf(node);
  from.erase(std::find(from.begin(), from.end(), &node));
  node.parent_ = parent;
  std::vector<ItemNode*>& to = SiblingsOf(node);
  to.insert(to.begin() + std::ptrdiff_t(std::min(index, to.size())), &node);
  return true;
}

ItemTree::Slot* ItemTree::SlotOf(NodeId id) const {
  auto at = std::lower_bound(slots_.begin(), slots_.end(), id, [](const Slot& s, NodeId v) { return s.id < v; });
  if (at == slots_.end() || at->id != id || !at->node) return nullptr;
  return const_cast<Slot*>(&*at);
}

void ItemTree::Clear() {
  for (Slot& s : slots_)
    if (s.node) s.node->~ItemNode();
  top_.clear();
  slots_.clear();
  count_ = 0;
  blocks_.clear();
  lastBlockNodes_ = 0;
  usedInLastBlock_ = 0;
  freed_.clear();
}

ItemNode* ItemTree::Find(NodeId id) {
  Slot* s = SlotOf(id);
  return s ? s->node : nullptr;
}

const ItemNode* ItemTree::Find(NodeId id) const {
  Slot* s = SlotOf(id);
  return s ? s->node : nullptr;
}

const std::vector<ItemNode*>& ItemTree::ChildrenOf(const ItemNode* parent) const {
  return parent ? parent->children_ : top_;
}

std::vector<NodeId> ItemTree::IdsInTreeOrder() const {
  std::vector<NodeId> ids;
  ids.reserve(count_);
  ForEach([&](const ItemNode& n) { ids.push_back(n.Id()); });
  return ids;
}

}  // namespace kestro
