#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/items/ItemTree.h"
#include "core/ui/TreeMenu.h"
#include "unit/FakePlatform.h"
#include "unit/FakeTextCodec.h"

namespace kestro {
namespace {

TEST(TreeMenuTest, EmptySpaceKeepsOnlyTheAddAndTabEntries) {
  TreeMenuEnabled e = TreeMenuStates(false, ItemKind::File);
  EXPECT_FALSE(e.execute);
  EXPECT_FALSE(e.folderOpen);
  EXPECT_FALSE(e.deleteItem);
  EXPECT_FALSE(e.attribute);
  EXPECT_FALSE(e.moveTab);
  EXPECT_TRUE(e.addFile && e.addFolder && e.addGroup && e.addLine);
  EXPECT_TRUE(e.tab);
  EXPECT_EQ(TreeMenuStates(false, std::nullopt), e);
}

TEST(TreeMenuTest, EntriesFollowTheFocusedKind) {
  TreeMenuEnabled all;
  EXPECT_EQ(TreeMenuStates(true, ItemKind::File), all);
  EXPECT_EQ(TreeMenuStates(true, ItemKind::Url), all);
  EXPECT_EQ(TreeMenuStates(true, std::nullopt), all);

  TreeMenuEnabled folder = all;
  folder.execute = false;
  EXPECT_EQ(TreeMenuStates(true, ItemKind::Folder), folder);

  TreeMenuEnabled noRun = all;
  noRun.execute = false;
  noRun.folderOpen = false;
  EXPECT_EQ(TreeMenuStates(true, ItemKind::Group), noRun);
  EXPECT_EQ(TreeMenuStates(true, ItemKind::Separator), noRun);

  EXPECT_TRUE(UsesFavoritesMenu(TabTag::Favorites));
  EXPECT_FALSE(UsesFavoritesMenu(TabTag::Items));
}

TEST(TreeMenuTest, MoveTargetsAreTheOtherItemTabs) {
  std::vector<MenuPage> pages{{"one", TabTag::Items},     {"검색", TabTag::Find},   {"two", TabTag::Items},
                              {"fav", TabTag::Favorites}, {"sys", TabTag::SystemInfo}, {"three", TabTag::Items}};
  EXPECT_EQ(MoveTargets(pages, 2), (std::vector<MoveTarget>{{0, "one"}, {5, "three"}}));
  EXPECT_EQ(MoveTargets(pages, 3), (std::vector<MoveTarget>{{0, "one"}, {2, "two"}, {5, "three"}}));
  EXPECT_TRUE(MoveTargets({{"only", TabTag::Items}}, 0).empty());
  // Two tabs of one caption are two distinct targets.
  EXPECT_EQ(MoveTargets({{"x", TabTag::Items}, {"x", TabTag::Items}, {"x", TabTag::Items}}, 0),
            (std::vector<MoveTarget>{{1, "x"}, {2, "x"}}));
}

TEST(TreeMenuTest, MovingCarriesTheWholeSubtreeToTheEndOfTheOtherTree) {
  ItemTree from, to;
  TMyRec g;
  g.kind = ItemKind::Group;
  g.name = "g";
  ItemNode& group = from.Add(nullptr, g);
  group.SetExpanded(true);
  TMyRec c;
  c.name = "child";
  c.path = "E:\\c.exe";
  c.hotkey = true;
  c.hotkeycode = 5;
  from.Add(&group, c);
  TMyRec keep;
  keep.name = "keep";
  from.Add(nullptr, keep);
  TMyRec there;
  there.name = "there";
  to.Add(nullptr, there);

  ItemNode* moved = MoveSubtreeToTree(from, group, to);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(from.Count(), 1u);
  EXPECT_EQ(from.TopLevel().front()->Data().name, "keep");
  ASSERT_EQ(to.TopLevel().size(), 2u);
  EXPECT_EQ(to.TopLevel().back(), moved);
  EXPECT_EQ(moved->Data().name, "g");
  EXPECT_TRUE(moved->Expanded());
  ASSERT_EQ(moved->Children().size(), 1u);
  EXPECT_EQ(moved->Children().front()->Data(), c);

  // A node that is not in the source tree moves nowhere.
  ItemNode& stranger = to.Add(nullptr, keep);
  EXPECT_EQ(MoveSubtreeToTree(from, stranger, to), nullptr);
  EXPECT_EQ(to.Count(), 4u);
  EXPECT_EQ(from.Count(), 1u);
}

TEST(TreeMenuTest, CaptionsComeFromTheLanguageFileOnlyWhenOneIsInUse) {
  testing::FakeFileSystem files;
  testing::FakeTextCodec codec;
  LanguageTexts none;
  EXPECT_EQ(TreeMenuCaption(TreeCommand::Execute, none), "실행");
  EXPECT_EQ(TreeMenuCaption(TreeCommand::MoveTab, none), "항목 이동");
  EXPECT_EQ(TreeMenuCaption(TreeCommand::FavAddUrl, none), "URL추가");

  // The English file carried in Kestro.exe knows every key of both menus.
  std::ifstream in(std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "resources" / "english.lng",
                   std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  files.files["E:\\english.lng"] = all.str();
  LanguageTexts english = LanguageTexts::Open("E:\\english.lng", files, codec);
  ASSERT_TRUE(english.InUse());
  std::set<std::string> keys;
  for (const auto& e : TreeMenuEntries()) {
    EXPECT_NE(TreeMenuCaption(e.command, english), "no value") << e.key;
    keys.insert(e.key);
  }
  EXPECT_EQ(keys.size(), TreeMenuEntries().size());
  EXPECT_EQ(TreeMenuCaption(TreeCommand::Execute, english), "Excute");
  EXPECT_EQ(TreeMenuCaption(TreeCommand::FavTabAttribute, english), "Tab Setting");

  // A file without the section: the readers' fallback, not the Korean text.
  files.files["E:\\other.lng"] = "[viewpopup]\r\npopMenu_Delete.Caption=Weg\r\n";
  LanguageTexts other = LanguageTexts::Open("E:\\other.lng", files, codec);
  EXPECT_EQ(TreeMenuCaption(TreeCommand::Delete, other), "Weg");
  EXPECT_EQ(TreeMenuCaption(TreeCommand::AddFile, other), "no value");
}

}  // namespace
}  // namespace kestro
