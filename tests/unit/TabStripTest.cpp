#include <gtest/gtest.h>

#include "core/app/PanelModel.h"
#include "core/ui/TabStripLayout.h"

namespace kestro {
namespace {

TEST(TabStripLayoutTest, TabsStackDownwardsAndWrapIntoColumns) {
  TabStripMetrics m;  // 24 wide, caption + 16, at least 32
  std::vector<Rect> tabs = ArrangeTabs({40, 0, 100}, 200, m);
  ASSERT_EQ(tabs.size(), 3u);
  EXPECT_EQ(tabs[0], (Rect{0, 0, 24, 56}));
  EXPECT_EQ(tabs[1], (Rect{0, 56, 24, 88}));   // empty caption: still 32 long
  EXPECT_EQ(tabs[2], (Rect{24, 0, 48, 116}));  // 88 + 116 > 200: next column
  EXPECT_EQ(TabColumns(tabs, m), 2);
  // A caption longer than the strip still gets its tab, alone in its column.
  tabs = ArrangeTabs({500, 10}, 200, m);
  EXPECT_EQ(tabs[0], (Rect{0, 0, 24, 516}));
  EXPECT_EQ(tabs[1].left, 24);
  EXPECT_EQ(TabColumns({}, m), 1);
}

TEST(TabStripLayoutTest, HitTestingAndTheMarks) {
  std::vector<Rect> tabs = ArrangeTabs({40, 40}, 400, TabStripMetrics{});
  EXPECT_EQ(TabAt(tabs, 5, 5), 0);
  EXPECT_EQ(TabAt(tabs, 23, 56), 1);
  EXPECT_EQ(TabAt(tabs, 24, 5), -1);
  EXPECT_EQ(TabAt(tabs, 5, 112), -1);
  EXPECT_EQ(HighlightRect(tabs[1], 2), (Rect{17, 58, 23, 110}));
  EXPECT_EQ(ActiveMarkRect(tabs[0], 0), (Rect{18, 0, 24, 56}));
}

TEST(PanelModelTest, MovingTheActivePageKeepsItActive) {
  PanelModel panel;
  for (const char* c : {"a", "b", "c", "d"}) panel.AddPage(c, TabTag::Items);
  panel.SetActivePageIndex(0);
  ASSERT_TRUE(panel.MovePage(0, 2));
  EXPECT_EQ(panel.Page(0).Caption() + panel.Page(1).Caption() + panel.Page(2).Caption() + panel.Page(3).Caption(),
            "bcad");
  EXPECT_EQ(panel.ActivePageIndex(), 2);
  EXPECT_FALSE(panel.MovePage(2, 2));
  EXPECT_FALSE(panel.MovePage(1, 9));
  // Another page moving past the active one leaves the same page active.
  ASSERT_TRUE(panel.MovePage(3, 0));
  EXPECT_EQ(panel.Page(panel.ActivePageIndex()).Caption(), "a");
  ASSERT_TRUE(panel.MovePage(0, 3));
  EXPECT_EQ(panel.Page(panel.ActivePageIndex()).Caption(), "a");
}

}  // namespace
}  // namespace kestro
