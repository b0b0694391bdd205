#include <gtest/gtest.h>

#include <tuple>

#include "core/ui/TreeLayout.h"

namespace kestro {
namespace {

TMyRec Rec(const std::string& name, ItemKind kind = ItemKind::File) {
  TMyRec r;
  r.name = name;
  r.kind = kind;
  return r;
}

// a
// g (group)
//   g1
//   sub (group)
//     s1
//   g2
// ---- (separator)
// z
struct Sample {
  ItemTree tree;
  ItemNode& a = tree.Add(nullptr, Rec("a"));
  ItemNode& g = tree.Add(nullptr, Rec("g", ItemKind::Group));
  ItemNode& g1 = tree.Add(&g, Rec("g1"));
  ItemNode& sub = tree.Add(&g, Rec("sub", ItemKind::Group));
  ItemNode& s1 = tree.Add(&sub, Rec("s1"));
  ItemNode& g2 = tree.Add(&g, Rec("g2"));
  ItemNode& sep = tree.Add(nullptr, Rec("", ItemKind::Separator));
  ItemNode& z = tree.Add(nullptr, Rec("z"));
};

std::vector<std::string> RowNames(const TreeLayout& l) {
  std::vector<std::string> names;
  for (const auto& r : l.Rows()) names.push_back(r.node->Data().kind == ItemKind::Separator ? "-" : r.node->Data().name);
  return names;
}

TEST(TreeLayoutTest, RowsFollowExpandedStateInTreeOrder) {
  Sample s;
  TreeLayout l;
  l.Build(s.tree, TreeMetrics{});
  EXPECT_EQ(RowNames(l), (std::vector<std::string>{"a", "g", "-", "z"}));

  s.g.SetExpanded(true);
  l.Build(s.tree, TreeMetrics{});
  EXPECT_EQ(RowNames(l), (std::vector<std::string>{"a", "g", "g1", "sub", "g2", "-", "z"}));

  // An expanded group inside a collapsed one stays hidden.
  s.sub.SetExpanded(true);
  s.g.SetExpanded(false);
  l.Build(s.tree, TreeMetrics{});
  EXPECT_EQ(RowNames(l), (std::vector<std::string>{"a", "g", "-", "z"}));
  EXPECT_EQ(l.RowOf(&s.s1), -1);

  s.g.SetExpanded(true);
  l.Build(s.tree, TreeMetrics{});
  EXPECT_EQ(RowNames(l), (std::vector<std::string>{"a", "g", "g1", "sub", "s1", "g2", "-", "z"}));
  EXPECT_EQ(l.Rows()[4].level, 2u);
  EXPECT_EQ(l.Rows()[2].level, 1u);
  EXPECT_EQ(l.RowOf(&s.s1), 4);
  EXPECT_EQ(l.RowOf(nullptr), -1);
}

TEST(TreeLayoutTest, SeparatorsAreSixPixelsBetweenFullRows) {
  Sample s;
  TreeLayout l;
  l.Build(s.tree, TreeMetrics{36, 6});
  ASSERT_EQ(l.Rows().size(), 4u);
  EXPECT_EQ(l.Rows()[2].top, 72);
  EXPECT_EQ(l.Rows()[2].height, 6);
  EXPECT_EQ(l.Rows()[3].top, 78);
  EXPECT_EQ(l.TotalHeight(), 114);

  TreeMetrics small{20, 6};
  l.Build(s.tree, small);
  EXPECT_EQ(l.TotalHeight(), 20 * 3 + 6);
  EXPECT_EQ(l.RowAtY(39), 1);
  EXPECT_EQ(l.RowAtY(40), 2);
  EXPECT_EQ(l.RowAtY(45), 2);
  EXPECT_EQ(l.RowAtY(46), 3);
  EXPECT_EQ(l.RowAtY(66), -1);
  EXPECT_EQ(l.RowAtY(-1), -1);
}

TEST(TreeLayoutTest, EmptyTreeHasNoRowsAndNoScroll) {
  ItemTree tree;
  TreeLayout l;
  l.Build(tree, TreeMetrics{});
  EXPECT_TRUE(l.Rows().empty());
  EXPECT_EQ(l.HitTest(10, 10, 0).row, -1);
  EXPECT_EQ(l.HitTest(10, 10, 0).node, nullptr);
  EXPECT_EQ(l.ClampScroll(50, 100), 0);
  EXPECT_EQ(Navigate(l, -1, NavKey::Down, 100).action, NavResult::Action::None);
}

TEST(TreeLayoutTest, ScrollStaysInsideContentAndRevealsRows) {
  Sample s;
  s.g.SetExpanded(true);
  s.sub.SetExpanded(true);
  TreeLayout l;
  l.Build(s.tree, TreeMetrics{36, 6});  // 7 x 36 + 6 = 258
  EXPECT_EQ(l.TotalHeight(), 258);
  EXPECT_EQ(l.ClampScroll(-5, 100), 0);
  EXPECT_EQ(l.ClampScroll(500, 100), 158);
  EXPECT_EQ(l.ClampScroll(500, 400), 0);

  // Row 5 (g2) spans 180..216: scrolling down just far enough.
  EXPECT_EQ(l.ScrollToShow(5, 0, 100), 116);
  // Already visible: no change.
  EXPECT_EQ(l.ScrollToShow(5, 150, 100), 150);
  // Above the view: its top comes to the top.
  EXPECT_EQ(l.ScrollToShow(1, 150, 100), 36);
  // Taller than the client area: its top shows.
  EXPECT_EQ(l.ScrollToShow(5, 0, 20), 180);

  // Hit testing follows the scroll offset.
  EXPECT_EQ(l.HitTest(100, 0, 36).node, &s.g);
  EXPECT_EQ(l.RowRect(1, 36, 200), (Rect{0, 0, 200, 36}));
}

TEST(TreeLayoutTest, HitPartsAlongARow) {
  Sample s;
  s.g.SetExpanded(true);
  TreeLayout l;
  TreeMetrics m{36, 6, 18, 4, 32};
  l.Build(s.tree, m);
  // Row 2 is g1 at level 1 (y 72..108): button column 18..36, picture
  // 40..72, text from 72.
  const int y = 80;
  EXPECT_EQ(l.HitTest(5, y, 0).part, RowPart::Indent);
  EXPECT_EQ(l.HitTest(18, y, 0).part, RowPart::Button);
  EXPECT_EQ(l.HitTest(35, y, 0).part, RowPart::Button);
  EXPECT_EQ(l.HitTest(36, y, 0).part, RowPart::Picture);
  EXPECT_EQ(l.HitTest(71, y, 0).part, RowPart::Picture);
  EXPECT_EQ(l.HitTest(72, y, 0).part, RowPart::Text);
  EXPECT_EQ(l.HitTest(500, y, 0).part, RowPart::Text);
  EXPECT_EQ(l.HitTest(100, y, 0, 20).part, RowPart::RightOfText);
  EXPECT_EQ(l.HitTest(91, y, 0, 20).part, RowPart::Text);
  EXPECT_EQ(l.HitTest(5, y, 0).node, &s.g1);
  // A top-level row has its button column at the left edge.
  EXPECT_EQ(l.HitTest(5, 40, 0).part, RowPart::Button);

  // Without pictures the text starts right after the button column.
  m.imageSize = 0;
  l.Build(s.tree, m);
  EXPECT_EQ(l.HitTest(36, y, 0).part, RowPart::Text);
}

TEST(TreeLayoutTest, ScaledMetricsGrowRowsAndColumnsButNotThePictures) {
  // 96-DPI sizes at 144 and 192 DPI; the pictures keep the size of their list.
  EXPECT_EQ(ScaleTreeMetrics(TreeMetrics{}, 96).nodeHeight, 36);
  for (auto [dpi, node, separator, indent, margin] :
       {std::tuple{144, 54, 9, 27, 6}, std::tuple{192, 72, 12, 36, 8}, std::tuple{120, 45, 8, 23, 5}}) {
    TreeMetrics m = ScaleTreeMetrics(TreeMetrics{36, 6, 18, 4, 32}, dpi);
    EXPECT_EQ(m.nodeHeight, node) << dpi;
    EXPECT_EQ(m.separatorHeight, separator) << dpi;
    EXPECT_EQ(m.indent, indent) << dpi;
    EXPECT_EQ(m.imageMargin, margin) << dpi;
    EXPECT_EQ(m.imageSize, 32) << dpi;
  }
  EXPECT_EQ(ScaleTreeMetrics(TreeMetrics{20, 6}, 144).nodeHeight, 30);

  // At 144 DPI the expand-button column of g1 (level 1) is 27..54 and its
  // text starts after 27 * 2 + 6 + 32.
  Sample s;
  s.g.SetExpanded(true);
  TreeLayout l;
  l.Build(s.tree, ScaleTreeMetrics(TreeMetrics{36, 6, 18, 4, 32}, 144));
  EXPECT_EQ(l.Rows()[2].top, 108);
  EXPECT_EQ(l.Rows()[5].height, 9);  // the separator
  EXPECT_EQ(l.TotalHeight(), 6 * 54 + 9);
  const int y = 120;
  EXPECT_EQ(l.HitTest(26, y, 0).part, RowPart::Indent);
  EXPECT_EQ(l.HitTest(27, y, 0).part, RowPart::Button);
  EXPECT_EQ(l.HitTest(53, y, 0).part, RowPart::Button);
  EXPECT_EQ(l.HitTest(54, y, 0).part, RowPart::Picture);
  EXPECT_EQ(l.PictureLeft(1), 60);
  EXPECT_EQ(l.TextLeft(1), 92);
  EXPECT_EQ(l.HitTest(92, y, 0).part, RowPart::Text);
}

TEST(TreeLayoutTest, DropPositionByRowThirdsOrHalves) {
  // A group takes drops on itself in the middle half.
  EXPECT_EQ(DropPositionIn(0, 36, true), DropPosition::Above);
  EXPECT_EQ(DropPositionIn(8, 36, true), DropPosition::Above);
  EXPECT_EQ(DropPositionIn(9, 36, true), DropPosition::On);
  EXPECT_EQ(DropPositionIn(26, 36, true), DropPosition::On);
  EXPECT_EQ(DropPositionIn(27, 36, true), DropPosition::Below);
  EXPECT_EQ(DropPositionIn(35, 36, true), DropPosition::Below);
  // Anything else: never on, upper half above and lower half below.
  EXPECT_EQ(DropPositionIn(17, 36, false), DropPosition::Above);
  EXPECT_EQ(DropPositionIn(18, 36, false), DropPosition::Below);
  EXPECT_EQ(DropPositionIn(2, 6, false), DropPosition::Above);
  EXPECT_EQ(DropPositionIn(3, 6, false), DropPosition::Below);

  Rect row{0, 100, 200, 136};
  EXPECT_EQ(DropMarkRect(row, DropPosition::Above), (Rect{0, 100, 200, 102}));
  EXPECT_EQ(DropMarkRect(row, DropPosition::Below), (Rect{0, 134, 200, 136}));
  EXPECT_EQ(DropMarkRect(row, DropPosition::On), row);
}

TEST(TreeLayoutTest, DragScrollsOnlyNearTheEdges) {
  EXPECT_EQ(DragScrollDirection(0, 300, 16), -1);
  EXPECT_EQ(DragScrollDirection(15, 300, 16), -1);
  EXPECT_EQ(DragScrollDirection(16, 300, 16), 0);
  EXPECT_EQ(DragScrollDirection(283, 300, 16), 0);
  EXPECT_EQ(DragScrollDirection(284, 300, 16), 1);
  // Tiny client area: the two halves, never both directions at once.
  EXPECT_EQ(DragScrollDirection(4, 10, 16), -1);
  EXPECT_EQ(DragScrollDirection(5, 10, 16), 1);
  EXPECT_EQ(DragScrollDirection(5, 0, 16), 0);
}

TEST(TreeLayoutTest, TreeLinesContinueOnlyWhereSiblingsFollow) {
  Sample s;
  RowLines a = LinesOf(s.tree, s.a);
  EXPECT_TRUE(a.throughColumns.empty());
  EXPECT_FALSE(a.fromAbove);  // the very first node
  EXPECT_TRUE(a.toBelow);

  RowLines z = LinesOf(s.tree, s.z);
  EXPECT_TRUE(z.fromAbove);
  EXPECT_FALSE(z.toBelow);

  // s1 under sub (which has g2 after it) under g (which has siblings after it).
  RowLines s1 = LinesOf(s.tree, s.s1);
  EXPECT_EQ(s1.throughColumns, (std::vector<bool>{true, true}));
  EXPECT_TRUE(s1.fromAbove);
  EXPECT_FALSE(s1.toBelow);

  RowLines g2 = LinesOf(s.tree, s.g2);
  EXPECT_EQ(g2.throughColumns, (std::vector<bool>{true}));
  EXPECT_FALSE(g2.toBelow);

  // Under the last top-level node no line runs on.
  ItemNode& zz = s.tree.Add(&s.z, Rec("zz"));
  EXPECT_EQ(LinesOf(s.tree, zz).throughColumns, (std::vector<bool>{false}));
}

TEST(TreeLayoutTest, KeyboardMovesFocusExpandsAndCollapses) {
  Sample s;
  TreeLayout l;
  l.Build(s.tree, TreeMetrics{36, 6});
  auto nav = [&](int row, NavKey k) { return Navigate(l, row, k, 100); };

  EXPECT_EQ(nav(-1, NavKey::Down).node, &s.a);
  EXPECT_EQ(nav(-1, NavKey::End).node, &s.z);
  EXPECT_EQ(nav(0, NavKey::Up).node, &s.a);  // stays at the top
  EXPECT_EQ(nav(0, NavKey::Down).node, &s.g);
  EXPECT_EQ(nav(3, NavKey::Down).node, &s.z);  // stays at the bottom
  EXPECT_EQ(nav(2, NavKey::Home).node, &s.a);
  EXPECT_EQ(nav(0, NavKey::End).node, &s.z);

  // Right on a collapsed group expands it; on a leaf does nothing.
  NavResult r = nav(1, NavKey::Right);
  EXPECT_EQ(r.action, NavResult::Action::Expand);
  EXPECT_EQ(r.node, &s.g);
  EXPECT_EQ(nav(0, NavKey::Right).action, NavResult::Action::None);
  // Left on a top-level leaf has no parent to go to.
  EXPECT_EQ(nav(0, NavKey::Left).action, NavResult::Action::None);

  s.g.SetExpanded(true);
  l.Build(s.tree, TreeMetrics{36, 6});
  // Right on an expanded group goes to its first child.
  r = nav(1, NavKey::Right);
  EXPECT_EQ(r.action, NavResult::Action::Focus);
  EXPECT_EQ(r.node, &s.g1);
  // Left on a child goes to the parent, on the expanded group collapses it.
  EXPECT_EQ(nav(4, NavKey::Left).node, &s.g);
  r = nav(1, NavKey::Left);
  EXPECT_EQ(r.action, NavResult::Action::Collapse);
  EXPECT_EQ(r.node, &s.g);
  // An expanded group without children: Left goes to its parent instead.
  s.sub.SetExpanded(true);
  s.tree.Remove(s.s1);
  l.Build(s.tree, TreeMetrics{36, 6});
  r = nav(3, NavKey::Left);
  EXPECT_EQ(r.action, NavResult::Action::Focus);
  EXPECT_EQ(r.node, &s.g);
}

TEST(TreeLayoutTest, PageKeysMoveByTheClientHeight) {
  ItemTree tree;
  std::vector<ItemNode*> n;
  for (int i = 0; i < 20; ++i) n.push_back(&tree.Add(nullptr, Rec("n" + std::to_string(i))));
  TreeLayout l;
  l.Build(tree, TreeMetrics{20, 6});
  // 100 pixels hold five rows: from row 0 to the last one that fits.
  EXPECT_EQ(Navigate(l, 0, NavKey::PageDown, 100).node, n[4]);
  EXPECT_EQ(Navigate(l, 4, NavKey::PageDown, 100).node, n[8]);
  EXPECT_EQ(Navigate(l, 18, NavKey::PageDown, 100).node, n[19]);
  EXPECT_EQ(Navigate(l, 8, NavKey::PageUp, 100).node, n[4]);
  EXPECT_EQ(Navigate(l, 2, NavKey::PageUp, 100).node, n[0]);
  // A client area smaller than a row still moves one row.
  EXPECT_EQ(Navigate(l, 3, NavKey::PageDown, 5).node, n[4]);
  EXPECT_EQ(Navigate(l, 3, NavKey::PageUp, 5).node, n[2]);
}

}  // namespace
}  // namespace kestro
