#include <gtest/gtest.h>

#include <set>

#include "core/items/ItemTree.h"

namespace kestro {
namespace {

TMyRec Named(const std::string& name, ItemKind kind = ItemKind::File) {
  TMyRec r;
  r.name = name;
  r.kind = kind;
  return r;
}

std::vector<std::string> Names(const std::vector<ItemNode*>& nodes) {
  std::vector<std::string> names;
  for (auto* n : nodes) names.push_back(n->Data().name);
  return names;
}

std::vector<std::string> NamesInTreeOrder(const ItemTree& tree) {
  std::vector<std::string> names;
  tree.ForEach([&](const ItemNode& n) { names.push_back(n.Data().name); });
  return names;
}

TEST(ItemTreeTest, AddsAndInsertsChildrenInPlace) {
  ItemTree tree;
  ItemNode& a = tree.Add(nullptr, Named("a"));
  ItemNode& g = tree.Add(nullptr, Named("g", ItemKind::Group));
  tree.Insert(nullptr, 1, Named("between"));
  tree.Insert(nullptr, 99, Named("last"));
  ItemNode& x = tree.Add(&g, Named("x"));
  tree.Insert(&g, 0, Named("w"));

  EXPECT_EQ(Names(tree.TopLevel()), (std::vector<std::string>{"a", "between", "g", "last"}));
  EXPECT_EQ(Names(g.Children()), (std::vector<std::string>{"w", "x"}));
  EXPECT_EQ(Names(tree.ChildrenOf(&g)), Names(g.Children()));
  EXPECT_EQ(a.Parent(), nullptr);
  EXPECT_EQ(x.Parent(), &g);
  EXPECT_EQ(a.Level(), 0u);
  EXPECT_EQ(tree.Add(&x, Named("deep")).Level(), 2u);
  EXPECT_EQ(tree.Count(), 7u);
}

TEST(ItemTreeTest, WalksInTreeOrderIncludingCollapsedGroups) {
  ItemTree tree;
  ItemNode& g1 = tree.Add(nullptr, Named("g1", ItemKind::Group));
  ItemNode& g2 = tree.Add(&g1, Named("g2", ItemKind::Group));
  tree.Add(&g2, Named("a"));
  tree.Add(&g1, Named("b"));
  tree.Add(nullptr, Named("c"));
  g1.SetExpanded(false);

  EXPECT_EQ(NamesInTreeOrder(tree), (std::vector<std::string>{"g1", "g2", "a", "b", "c"}));
  std::vector<NodeId> ids = tree.IdsInTreeOrder();
  ASSERT_EQ(ids.size(), 5u);
  EXPECT_EQ(tree.Find(ids[2])->Data().name, "a");
}

TEST(ItemTreeTest, IdsAreUniqueAcrossTreesAndDeletedOnesAreGone) {
  ItemTree one, two;
  ItemNode& g = one.Add(nullptr, Named("g", ItemKind::Group));
  NodeId child = one.Add(&g, Named("child")).Id();
  NodeId grandchild = one.Add(one.Find(child), Named("grandchild")).Id();
  NodeId sibling = one.Add(nullptr, Named("sibling")).Id();
  NodeId other = two.Add(nullptr, Named("other")).Id();

  std::set<NodeId> ids{g.Id(), child, grandchild, sibling, other};
  EXPECT_EQ(ids.size(), 5u);
  EXPECT_EQ(ids.count(kNoNode), 0u);
  // An id belongs to its own tree only.
  EXPECT_EQ(one.Find(other), nullptr);
  EXPECT_EQ(two.Find(sibling), nullptr);

  NodeId group = g.Id();
  one.Remove(*one.Insert(&g, 0, Named("first")).Parent()->Children()[0]);
  EXPECT_EQ(Names(g.Children()), std::vector<std::string>{"child"});
  one.Remove(g);
  EXPECT_EQ(one.Find(group), nullptr);
  EXPECT_EQ(one.Find(child), nullptr);
  EXPECT_EQ(one.Find(grandchild), nullptr);
  ASSERT_NE(one.Find(sibling), nullptr);
  EXPECT_EQ(one.Count(), 1u);
  EXPECT_EQ(Names(one.TopLevel()), std::vector<std::string>{"sibling"});

  // New nodes never take an id that was handed out before.
  for (int i = 0; i < 100; ++i) EXPECT_EQ(ids.count(one.Add(nullptr).Id()), 0u);

  one.Clear();
  EXPECT_EQ(one.Find(sibling), nullptr);
  EXPECT_TRUE(one.TopLevel().empty());
  EXPECT_TRUE(one.Empty());
}

TEST(ItemTreeTest, IdsTakenAheadStayUniqueAndFindableWhenTreesInterleave) {
  // Two trees read at once, each reserving for its groups, with plain
  // additions and inserts between: every id is new and found in its own tree.
  ItemTree a, b;
  std::set<NodeId> seen;
  std::vector<std::pair<ItemTree*, NodeId>> made;
  auto note = [&](ItemTree& t, ItemNode& n) {
    EXPECT_TRUE(seen.insert(n.Id()).second) << n.Id();
    made.push_back({&t, n.Id()});
  };
  struct Step {
    ItemTree* tree;
    size_t reserve;  // 0: none
    int adds;
    bool insertFirst;
  };
  const std::vector<Step> steps = {
      {&a, 5, 3, false}, {&b, 4, 6, false}, {&a, 0, 4, true},  {&b, 10, 2, true},
      {&a, 2, 2, false}, {&a, 1, 7, false}, {&b, 0, 1, false}, {&a, 64, 64, true},
  };
  for (const Step& s : steps) {
    ItemTree& t = *s.tree;
    if (s.reserve) t.Reserve(nullptr, s.reserve);
    for (int i = 0; i < s.adds; ++i) note(t, s.insertFirst && i == 0 ? t.Insert(nullptr, 0) : t.Add(nullptr));
  }
  for (auto [tree, id] : made) {
    ASSERT_NE(tree->Find(id), nullptr) << id;
    EXPECT_EQ(tree->Find(id)->Id(), id);
    EXPECT_EQ((tree == &a ? b : a).Find(id), nullptr) << id;
  }
  EXPECT_EQ(a.Count() + b.Count(), made.size());
  // Removing one leaves the others findable.
  NodeId gone = a.TopLevel()[1]->Id();
  a.Remove(*a.TopLevel()[1]);
  EXPECT_EQ(a.Find(gone), nullptr);
  for (auto [tree, id] : made)
    if (id != gone) EXPECT_NE(tree->Find(id), nullptr) << id;
}

TEST(ItemTreeTest, MovesKeepIdsAndRefuseToEnterTheirOwnSubtree) {
  ItemTree tree;
  ItemNode& a = tree.Add(nullptr, Named("a"));
  ItemNode& g = tree.Add(nullptr, Named("g", ItemKind::Group));
  ItemNode& inner = tree.Add(&g, Named("inner", ItemKind::Group));
  ItemNode& x = tree.Add(&inner, Named("x"));
  NodeId id = a.Id();

  EXPECT_TRUE(tree.Move(a, &inner, 0));
  EXPECT_EQ(Names(inner.Children()), (std::vector<std::string>{"a", "x"}));
  EXPECT_EQ(a.Parent(), &inner);
  EXPECT_EQ(tree.Find(id), &a);
  // The index counts the siblings without the moved node.
  EXPECT_TRUE(tree.Move(a, &inner, 1));
  EXPECT_EQ(Names(inner.Children()), (std::vector<std::string>{"x", "a"}));
  EXPECT_TRUE(tree.Move(inner, nullptr, 99));
  EXPECT_EQ(Names(tree.TopLevel()), (std::vector<std::string>{"g", "inner"}));
  EXPECT_EQ(inner.Parent(), nullptr);
  EXPECT_EQ(a.Level(), 1u);

  EXPECT_FALSE(tree.Move(inner, &inner, 0));
  EXPECT_FALSE(tree.Move(inner, &x, 0));
  EXPECT_EQ(NamesInTreeOrder(tree), (std::vector<std::string>{"g", "inner", "x", "a"}));
  EXPECT_EQ(tree.Count(), 4u);
}

TEST(ItemTreeTest, NodesKeepTheirRecordsAcrossStorageBlocksRemovalsAndClear) {
  // Enough nodes to fill blocks of every size; every other one removed and
  // its place taken by a new node; then the same after a Clear.
  ItemTree tree;
  for (int round = 0; round < 2; ++round) {
    const int count = 5000;
    std::vector<NodeId> ids;
    for (int i = 0; i < count; ++i) ids.push_back(tree.Add(nullptr, Named("n" + std::to_string(i))).Id());
    for (int i = 0; i < count; i += 2) tree.Remove(*tree.Find(ids[size_t(i)]));
    for (int i = 0; i < count / 2; ++i) tree.Add(nullptr, Named("m" + std::to_string(i)));
    ASSERT_EQ(tree.Count(), size_t(count));
    for (int i = 1; i < count; i += 2) {
      ASSERT_NE(tree.Find(ids[size_t(i)]), nullptr) << i;
      EXPECT_EQ(tree.Find(ids[size_t(i)])->Data().name, "n" + std::to_string(i));
    }
    EXPECT_EQ(tree.TopLevel().back()->Data().name, "m" + std::to_string(count / 2 - 1));
    tree.Clear();
    EXPECT_TRUE(tree.Empty());
    EXPECT_EQ(tree.Find(ids[1]), nullptr);
  }
}

TEST(ItemTreeTest, VeryDeepNestingIsWalkedRemovedAndFreed) {
  auto tree = std::make_unique<ItemTree>();
  ItemNode* parent = nullptr;
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) parent = &tree->Add(parent, Named("g", ItemKind::Group));
  size_t visited = 0;
  tree->ForEach([&](const ItemNode&) { ++visited; });
  EXPECT_EQ(visited, size_t(depth));
  tree->Remove(*tree->TopLevel()[0]->Children()[0]);
  EXPECT_EQ(tree->Count(), 1u);
  parent = tree->TopLevel()[0];
  for (int i = 0; i < depth; ++i) parent = &tree->Add(parent, Named("g", ItemKind::Group));
  tree.reset();  // the destructor must not recurse either
}

}  // namespace
}  // namespace kestro
