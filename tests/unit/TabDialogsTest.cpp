#include <gtest/gtest.h>

#include "core/app/PanelModel.h"
#include "core/ui/TabDialogs.h"

namespace kestro {
namespace {

TEST(TabDialogsTest, OkLoadsBitmapsAndPhotosRemovesOnEmptyAndKeepsThePictureOtherwise) {
  struct Case {
    const char* chosen;
    const char* current;
    BackgroundChoice want;
  } cases[] = {
      {"", "R:\\old.jpg", {BackgroundAction::Remove, "", std::nullopt}},
      {"R:\\new.BMP", "R:\\old.jpg", {BackgroundAction::Load, "R:\\new.BMP", PictureFormat::Bitmap}},
      {"R:\\new.jpg", "", {BackgroundAction::Load, "R:\\new.jpg", PictureFormat::Jpeg}},
      // The button's "..." names no picture: the tab keeps what it has.
      {"...", "", {BackgroundAction::Keep, "", std::nullopt}},
      // A picture of another type shows nothing; the stored one is not lost.
      {"R:\\new.png", "R:\\old.jpg", {BackgroundAction::Keep, "R:\\old.jpg", std::nullopt}},
      {"R:\\photo.jpeg", "", {BackgroundAction::Keep, "", std::nullopt}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    EXPECT_EQ(BackgroundOnOk(c.chosen, c.current), c.want);
  }
}

TEST(TabDialogsTest, TheFontListLeavesOutVerticalFonts) {
  EXPECT_TRUE(OffersFont("Tahoma"));
  EXPECT_TRUE(OffersFont("굴림"));
  EXPECT_FALSE(OffersFont("@굴림"));
  EXPECT_FALSE(OffersFont(""));
}

TEST(TabDialogsTest, TheTabNameDialogStandsAtThePanelsLeftEdgeCentredWithHalvesToEven) {
  EXPECT_EQ(HalfToEven(4), 2);
  EXPECT_EQ(HalfToEven(5), 2);   // 2.5
  EXPECT_EQ(HalfToEven(7), 4);   // 3.5
  EXPECT_EQ(HalfToEven(1), 0);   // 0.5
  EXPECT_EQ(HalfToEven(-7), -4);
  // A panel 500 high at (700, 300); a dialog 95 high: 300 + 250 - 48.
  EXPECT_EQ(TabNameDialogPlace(Rect{700, 300, 950, 800}, 95), (DialogPlace{700, 502}));
  // 501 high: 250.5 goes to 250; 93 high: 46.5 goes to 46.
  EXPECT_EQ(TabNameDialogPlace(Rect{-20, 0, 230, 501}, 93), (DialogPlace{-20, 204}));
}

TEST(TabDialogsTest, ChosenFilesAreOneFullNameOrAFolderWithNames) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ChosenFiles(V{"R:\\apps\\one.exe"}), V{"R:\\apps\\one.exe"});
  EXPECT_EQ(ChosenFiles(V{"R:\\apps", "b.txt", "a.exe"}), (V{"R:\\apps\\b.txt", "R:\\apps\\a.exe"}));
  // A drive root already ends with its backslash.
  EXPECT_EQ(ChosenFiles(V{"R:\\", "a.txt"}), V{"R:\\a.txt"});
  EXPECT_EQ(ChosenFiles(V{}), V{});
  EXPECT_EQ(ChosenFiles(V{""}), V{});
}

TEST(PanelModelTest, RemovingAPageKeepsTheActiveIndexInStep) {
  struct Case {
    int active;
    size_t removed;
    int wantActive;
    const char* wantCaptions;
  } cases[] = {
      {1, 1, 1, "ac"},   // the page after the removed active one
      {2, 2, 0, "ab"},   // the last one: the first
      {2, 0, 1, "bc"},   // another page stays active
      {0, 2, 0, "ab"},
      {-1, 1, -1, "ac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.removed);
    PanelModel panel;
    for (const char* n : {"a", "b", "c"}) panel.AddPage(n, TabTag::Items);
    panel.SetActivePageIndex(c.active);
    ASSERT_TRUE(panel.RemovePage(c.removed));
    EXPECT_EQ(panel.ActivePageIndex(), c.wantActive);
    std::string captions;
    for (size_t i = 0; i < panel.PageCount(); ++i) captions += panel.Page(i).Caption();
    EXPECT_EQ(captions, c.wantCaptions);
  }
  PanelModel one;
  one.AddPage("only", TabTag::Items);
  EXPECT_FALSE(one.RemovePage(1));
  EXPECT_TRUE(one.RemovePage(0));
  EXPECT_EQ(one.ActivePageIndex(), -1);
  EXPECT_EQ(one.PageCount(), 0u);
}

TEST(PanelModelTest, ABackgroundPictureCanBeTakenAway) {
  PanelPage page("a", TabTag::Items);
  page.LoadBackground("R:\\back.jpg", PictureFormat::Jpeg);
  ASSERT_TRUE(page.BackgroundPicture());
  page.ClearBackground();
  EXPECT_FALSE(page.BackgroundPicture());
}

}  // namespace
}  // namespace kestro
