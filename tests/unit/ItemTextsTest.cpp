#include <gtest/gtest.h>

#include "core/ui/ItemTexts.h"

namespace kestro {
namespace {

TMyRec File(const std::string& path) {
  TMyRec r;
  r.kind = ItemKind::File;
  r.name = "a";
  r.path = path;
  r.parameters = "-x %udrive%\\y";
  r.addexplain = "the tool";
  return r;
}

TEST(ItemTextsTest, SubTextOfFilesAndFoldersFollowsTheMode) {
  ItemTree tree;
  ItemNode& f = tree.Add(nullptr, File("E:\\apps\\a.exe"));
  EXPECT_EQ(SubText(f, 0, "E:\\"), "apps\\a.exe");
  EXPECT_EQ(SubText(f, 1, "E:\\"), "E:\\apps\\a.exe");
  EXPECT_EQ(SubText(f, 2, "E:\\"), "-x %udrive%\\y");
  EXPECT_EQ(SubText(f, 4, "E:\\"), "the tool");
  EXPECT_EQ(SubText(f, 5, "E:\\"), "");
  EXPECT_EQ(SubText(f, -1, "E:\\"), "");
  EXPECT_EQ(SubText(f, 6, "E:\\"), "");
  // Another drive's path stays whole; only the leading root goes.
  EXPECT_EQ(SubText(tree.Add(nullptr, File("C:\\x.exe")), 0, "E:\\"), "C:\\x.exe");
  EXPECT_EQ(SubText(tree.Add(nullptr, File("E:\\a\\E:\\b")), 0, "E:\\"), "a\\E:\\b");

  TMyRec folder = File("E:\\docs");
  folder.kind = ItemKind::Folder;
  EXPECT_EQ(SubText(tree.Add(nullptr, folder), 0, "E:\\"), "docs");
}

TEST(ItemTextsTest, SubTextOfShortcuts) {
  ItemTree tree;
  TMyRec r = File("E:\\a.exe");
  r.hotkey = true;
  r.hotkeymodifier = 0;
  r.hotkeycode = 27;
  EXPECT_EQ(SubText(tree.Add(nullptr, r), 3, "E:\\"), "Control + Alt + 1");
  r.hotkeycode = 2;
  EXPECT_EQ(SubText(tree.Add(nullptr, r), 3, "E:\\"), "Control + Alt + C");
  r.hotkeymodifier = 11;
  r.hotkeycode = 35;
  EXPECT_EQ(SubText(tree.Add(nullptr, r), 3, "E:\\"), "Win + Shift + Control + 9");
  // A code outside the encoding shows nothing rather than a stray character.
  r.hotkeycode = 36;
  EXPECT_EQ(SubText(tree.Add(nullptr, r), 3, "E:\\"), "");
  r.hotkeycode = 2;
  r.hotkey = false;
  EXPECT_EQ(SubText(tree.Add(nullptr, r), 3, "E:\\"), "");
}

TEST(ItemTextsTest, GroupsCountDirectChildrenAndUrlsShowTheirAddress) {
  ItemTree tree;
  TMyRec g;
  g.kind = ItemKind::Group;
  ItemNode& group = tree.Add(nullptr, g);
  EXPECT_EQ(SubText(group, 0, "E:\\"), "0 items");
  tree.Add(&group, File("E:\\1"));
  ItemNode& inner = tree.Add(&group, g);
  tree.Add(&inner, File("E:\\2"));
  tree.Add(&inner, File("E:\\3"));
  tree.Add(&group, File("E:\\4"));
  for (int mode : {0, 1, 3, 5, 99}) EXPECT_EQ(SubText(group, mode, "E:\\"), "3 items") << mode;
  EXPECT_EQ(SubText(inner, 5, "E:\\"), "2 items");

  TMyRec u;
  u.kind = ItemKind::Url;
  u.path = "E:\\fav\\x.url";
  u.url = "http://example.org/";
  EXPECT_EQ(SubText(tree.Add(nullptr, u), 0, "E:\\"), "http://example.org/");

  TMyRec sep;
  sep.kind = ItemKind::Separator;
  sep.path = "E:\\x";
  EXPECT_EQ(SubText(tree.Add(nullptr, sep), 1, "E:\\"), "");
  TMyRec odd = File("E:\\x");
  odd.kind = static_cast<ItemKind>(17);
  EXPECT_EQ(SubText(tree.Add(nullptr, odd), 1, "E:\\"), "");
}

TEST(ItemTextsTest, HintLinesAndWhenThereIsNone) {
  TMyRec r = File("E:\\a.exe");
  r.hotkey = true;
  r.hotkeymodifier = 0;
  r.hotkeycode = 0;
  EXPECT_EQ(HintText(r, true),
            "[File]\r경 로: E:\\a.exe\r파라메터: -x %udrive%\\y\r파일설명: the tool\r단축키: Control + Alt + A");
  r.hotkey = false;
  EXPECT_EQ(HintText(r, true), "[File]\r경 로: E:\\a.exe\r파라메터: -x %udrive%\\y\r파일설명: the tool\r단축키: ");
  EXPECT_EQ(HintText(r, false), std::nullopt);

  r.kind = ItemKind::Folder;
  EXPECT_EQ(HintText(r, true)->substr(0, 9), "[Folder]\r");
  r.kind = ItemKind::Group;
  EXPECT_EQ(HintText(r, true)->substr(0, 8), "[Group]\r");
  // A URL's hint starts with an empty line.
  r.kind = ItemKind::Url;
  EXPECT_EQ(HintText(r, true)->substr(0, 1), "\r");
  r.kind = ItemKind::Separator;
  EXPECT_EQ(HintText(r, true), std::nullopt);
}

TEST(ItemTextsTest, SeparatorShowsOnlyItsDottedLine) {
  ItemTextMetrics big{36, 36, 18};
  ItemTextPlacement p = PlaceItemTexts(Rect{0, 100, 250, 106}, 0, true, true, big);
  ASSERT_TRUE(p.separator);
  EXPECT_EQ(*p.separator, (SeparatorLine{26, 245, 103}));
  EXPECT_FALSE(p.caption);
  EXPECT_FALSE(p.subText);
  // 18 more per level, whatever the indent.
  ItemTextMetrics wide{20, 36, 30};
  EXPECT_EQ(*PlaceItemTexts(Rect{0, 0, 250, 6}, 2, true, false, wide).separator, (SeparatorLine{62, 245, 3}));
}

TEST(ItemTextsTest, SmallModeShowsTheCaptionAloneWhateverTheSubText) {
  ItemTextMetrics small{20, 36, 18};
  EXPECT_FALSE(IsBigIconMode(small));
  ItemTextPlacement p = PlaceItemTexts(Rect{0, 40, 250, 60}, 1, false, true, small);
  ASSERT_TRUE(p.caption);
  EXPECT_FALSE(p.subText);
  EXPECT_EQ(p.caption->x, 18 * 2 + 20 + 10);
  EXPECT_EQ(p.caption->y, 43);
  EXPECT_EQ(p.caption->clip, (Rect{0, 43, 250, 60}));
}

TEST(ItemTextsTest, BigModeSplitsTheRowIntoTwoBands) {
  ItemTextMetrics big{36, 36, 18};
  ItemTextPlacement p = PlaceItemTexts(Rect{0, 72, 250, 108}, 0, false, true, big);
  ASSERT_TRUE(p.caption);
  ASSERT_TRUE(p.subText);
  EXPECT_EQ(p.caption->x, 18 + 36 + 8);
  EXPECT_EQ(p.caption->y, 75);
  EXPECT_EQ(p.caption->clip, (Rect{0, 72, 250, 90}));
  EXPECT_EQ(p.subText->x, 62);
  EXPECT_EQ(p.subText->y, 91);
  EXPECT_EQ(p.subText->clip, (Rect{0, 91, 250, 109}));

  // An empty sub-text: the caption alone, lower down.
  p = PlaceItemTexts(Rect{0, 72, 250, 108}, 2, false, false, big);
  EXPECT_FALSE(p.subText);
  EXPECT_EQ(p.caption->x, 18 * 3 + 36 + 8);
  EXPECT_EQ(p.caption->y, 82);

  // An odd big height: the half is rounded down.
  ItemTextMetrics odd{37, 37, 18};
  p = PlaceItemTexts(Rect{0, 0, 250, 37}, 0, false, true, odd);
  EXPECT_EQ(p.caption->clip.bottom, 18);
  EXPECT_EQ(p.subText->y, 19);
  EXPECT_EQ(p.subText->clip.bottom, 37);
}

TEST(ItemTextsTest, PlacesScaleWithTheTreesDpi) {
  // The same 96-DPI sizes at 144 DPI: rows of 54, columns of 27, every
  // offset half as large again (halves rounded up).
  ItemTextMetrics big{36, 36, 18, 144};
  ItemTextPlacement p = PlaceItemTexts(Rect{0, 108, 300, 162}, 0, false, true, big);
  ASSERT_TRUE(p.caption && p.subText);
  EXPECT_EQ(p.caption->x, 27 + 54 + 12);
  EXPECT_EQ(p.caption->y, 113);
  EXPECT_EQ(p.caption->clip, (Rect{0, 108, 300, 135}));
  EXPECT_EQ(p.subText->y, 137);
  EXPECT_EQ(p.subText->clip, (Rect{0, 137, 300, 164}));
  p = PlaceItemTexts(Rect{0, 108, 300, 162}, 1, false, false, big);
  EXPECT_EQ(p.caption->x, 54 + 54 + 12);
  EXPECT_EQ(p.caption->y, 123);

  ItemTextMetrics small{20, 36, 18, 192};
  EXPECT_FALSE(IsBigIconMode(small));
  p = PlaceItemTexts(Rect{0, 40, 300, 80}, 1, false, true, small);
  EXPECT_FALSE(p.subText);
  EXPECT_EQ(p.caption->x, 36 * 2 + 40 + 20);
  EXPECT_EQ(p.caption->y, 46);

  p = PlaceItemTexts(Rect{0, 0, 300, 9}, 1, true, false, ItemTextMetrics{36, 36, 18, 144});
  EXPECT_EQ(*p.separator, (SeparatorLine{27 + 39, 300 - 8, 5}));
}

}  // namespace
}  // namespace kestro
