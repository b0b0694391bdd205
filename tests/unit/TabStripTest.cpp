#include <gtest/gtest.h>

#include "core/app/PanelModel.h"
#include "core/ui/Dpi.h"
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

TEST(TabStripLayoutTest, EverySizeScalesWithTheDpi) {
  TabStripMetrics m = ScaleTabStripMetrics(TabStripMetrics{}, 144);
  EXPECT_EQ(m.tabWidth, 36);
  EXPECT_EQ(m.padding, 24);
  EXPECT_EQ(m.minLength, 48);
  EXPECT_EQ(ScaleTabStripMetrics(TabStripMetrics{}, 192).tabWidth, 48);
  EXPECT_EQ(ScaleTabStripMetrics(TabStripMetrics{}, 96).tabWidth, 24);
  // Captions measured in the scaled font: 60 and 0 pixels long.
  std::vector<Rect> tabs = ArrangeTabs({60, 0}, 400, m);
  EXPECT_EQ(tabs[0], (Rect{0, 0, 36, 84}));
  EXPECT_EQ(tabs[1], (Rect{0, 84, 36, 132}));
  EXPECT_EQ(TabColumns(tabs, m) * m.tabWidth, 36);
  // Offset 2 at 144 DPI: the highlight starts 17 * 1.5 in, the mark 20 * 1.5.
  EXPECT_EQ(HighlightRect(tabs[1], 2, 144), (Rect{26, 87, 34, 129}));
  EXPECT_EQ(ActiveMarkRect(tabs[0], 2, 144), (Rect{30, 0, 36, 84}));
  EXPECT_EQ(CaptionOriginOf(tabs[0], 2, true, 144), (CaptionOrigin{29, 11}));
  EXPECT_EQ(CaptionOriginOf(tabs[1], 2, false, 144), (CaptionOrigin{21, 89}));
  EXPECT_EQ(CaptionOriginOf(tabs[1], 0, false, 96), (CaptionOrigin{12, 87}));
}

TEST(DpiTest, LengthsScaleToTheNearestPixel) {
  struct Case {
    int value, dpi, expected;
  };
  for (const Case& c : {Case{36, 96, 36}, Case{36, 144, 54}, Case{36, 192, 72}, Case{20, 144, 30}, Case{3, 144, 5},
                        Case{1, 144, 2}, Case{14, 120, 18}, Case{-3, 144, -5}, Case{0, 192, 0}, Case{12, 0, 12},
                        Case{12, -5, 12}, Case{1 << 24, 192, 1 << 25}})
    EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
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
