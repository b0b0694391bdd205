#include <gtest/gtest.h>

#include "core/app/PanelModel.h"
#include "core/config/PathMacros.h"
#include "core/items/IconPlan.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

TMyRec Rec(ItemKind kind, const std::string& path, int32_t image = 0, const std::string& icon = "") {
  TMyRec r;
  r.kind = kind;
  r.path = path;
  r.imageindex = image;
  r.icon = icon;
  return r;
}

std::vector<std::string> Files(const std::vector<IconJob>& jobs) {
  std::vector<std::string> f;
  for (auto& j : jobs) f.push_back(j.file);
  return f;
}

TEST(IconPlanTest, ActiveTabFirstThenTheOtherItemTabsWholeTreesFilesAtZeroOnly) {
  PanelModel panel;
  ItemTree& a = *panel.AddPage("a", TabTag::Items).Tree();
  a.Add(nullptr, Rec(ItemKind::File, "E:\\a1.exe"));
  panel.AddPage("find", TabTag::Find);
  ItemTree& fav = *panel.AddPage("fav", TabTag::Favorites).Tree();
  fav.Add(nullptr, Rec(ItemKind::File, "E:\\fav.url"));
  ItemTree& c = *panel.AddPage("c", TabTag::Items).Tree();
  ItemNode& group = c.Add(nullptr, Rec(ItemKind::Group, "", 2));  // collapsed
  c.Add(&group, Rec(ItemKind::File, "E:\\c1.exe", 0, "E:\\own.ico"));
  c.Add(&group, Rec(ItemKind::File, "E:\\missing.exe", -1));  // no picture: never tried again
  c.Add(&group, Rec(ItemKind::Folder, "E:\\dir"));
  c.Add(nullptr, Rec(ItemKind::File, "E:\\c2.exe", 7));

  EXPECT_EQ(Files(PlanIconLoad(panel, 3)), (std::vector<std::string>{"E:\\own.ico", "E:\\a1.exe"}));
  EXPECT_EQ(Files(PlanIconLoad(panel, 1)), (std::vector<std::string>{"E:\\a1.exe", "E:\\own.ico"}));
  EXPECT_EQ(Files(PlanIconLoad(panel, 9)), (std::vector<std::string>{"E:\\a1.exe", "E:\\own.ico"}));
  EXPECT_EQ(PlanIconLoad(panel, 0).front().node, a.TopLevel()[0]->Id());
  EXPECT_TRUE(PlanIconLoad(*std::make_unique<PanelModel>(), 0).empty());
}

TEST(IconPlanTest, ExpansionStopsAtTheFirstChildWithAPicture) {
  ItemTree tree;
  ItemNode& group = tree.Add(nullptr, Rec(ItemKind::Group, ""));
  tree.Add(&group, Rec(ItemKind::File, "Apps\\a.exe"));
  tree.Add(&group, Rec(ItemKind::Folder, "Docs", 0, "Icons\\d.ico"));
  tree.Add(&group, Rec(ItemKind::File, "C:\\b.exe", 5));
  tree.Add(&group, Rec(ItemKind::File, "C:\\c.exe"));
  EXPECT_EQ(Files(ExpansionJobs(group, "F:\\")),
            (std::vector<std::string>{"F:\\Apps\\a.exe", "F:\\Icons\\d.ico"}));
  group.Children()[0]->Data().imageindex = 9;
  EXPECT_TRUE(ExpansionJobs(group, "F:\\").empty());
}

TEST(TextListTest, SplitTextAndIndexOfText) {
  std::vector<std::string> parts;
  SplitText("E:\\a.exe|-x|note", "|", parts);
  EXPECT_EQ(parts, (std::vector<std::string>{"E:\\a.exe", "-x", "note"}));
  parts.clear();
  SplitText("E:\\a.exe|", "|", parts);
  EXPECT_EQ(parts, (std::vector<std::string>{"E:\\a.exe", ""}));
  EXPECT_EQ(IndexOfText("folder", {"file", "folder", "files"}), 1);
  EXPECT_EQ(IndexOfText("Folder", {"file", "folder", "files"}), -1);
}

}  // namespace
}  // namespace kestro

namespace kestro {
namespace {

TEST(PanelModelTest, FindsANodeInAnyTreeUntilItIsDeleted) {
  PanelModel panel;
  panel.AddPage("a", TabTag::Items);
  ItemTree& b = *panel.AddPage("b", TabTag::Items).Tree();
  ItemNode& n = b.Add(nullptr);
  NodeId id = n.Id();
  EXPECT_EQ(panel.FindNode(id), &n);
  b.Remove(n);
  EXPECT_EQ(panel.FindNode(id), nullptr);
  EXPECT_EQ(panel.FindNode(kNoNode), nullptr);
}

TEST(IconPlanTest, StartPicturesComeInTheOrderTheyAreAppended) {
  testing::FakeHostSystem host;
  const std::string drive = "E:";
  MacroValues macros(host, drive);
  const std::string app = "E:\\kestro.ico";
  auto jobs = StartPictureJobs({"E:\\a.ico", "E:\\b.ico"}, &app, {{7, "E:\\x.exe"}, {9, "E:\\y.exe"}}, macros);
  std::vector<PictureJobKind> kinds;
  for (auto& j : jobs) kinds.push_back(j.kind);
  using K = PictureJobKind;
  EXPECT_EQ(kinds, (std::vector<K>{K::Fixed, K::Fixed, K::Fixed, K::Fixed, K::AppIcon, K::Deferred, K::Deferred,
                                   K::DeferredDone, K::Node, K::Node}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(jobs[size_t(i)].fixedIndex, i);
  EXPECT_EQ(jobs[5].file, "E:\\a.ico");
  EXPECT_EQ(jobs[7].file, "") << "the trees take their pictures: nothing to look up";
  EXPECT_EQ(jobs[9].node, 9u);
  // Without the application icon (iconmode not 1) it is not looked up.
  EXPECT_EQ(StartPictureJobs({}, nullptr, {}, macros).size(), 5u);
}

// Items whose path or picture file begins with a path macro get the picture
// of the file the macro leads to; the items themselves keep what they hold.
TEST(IconPlanTest, FilesOfItemsAreLookedUpWithTheirMacrosExpanded) {
  testing::FakeHostSystem host;  // C:\windows, C:\windows\system32, C:\Temp\ ...
  const std::string drive = "E:";
  MacroValues macros(host, drive);
  struct Case {
    const char* held;
    const char* lookedUp;
  };
  const Case cases[] = {
      {"%windows%\\notepad.exe", "C:\\windows\\notepad.exe"},
      {"%system%\\cmd.exe", "C:\\windows\\system32\\cmd.exe"},
      {"%udrive%\\Apps\\a.exe", "E:\\Apps\\a.exe"},
      {"%temp%\\x.txt", "C:\\Temp\\x.txt"},
      {"E:\\Apps\\%unknown%.exe", "E:\\Apps\\%unknown%.exe"},
      {"E:\\plain.exe", "E:\\plain.exe"},
  };
  PanelModel panel;
  ItemTree& tree = *panel.AddPage("a", TabTag::Items).Tree();
  std::vector<std::string> deferred;
  for (const Case& c : cases) {
    tree.Add(nullptr, Rec(ItemKind::File, c.held));
    deferred.push_back(c.held);
  }
  const std::string app = "E:\\%windows%.ico";  // the application icon is no item: taken as it is
  auto jobs = StartPictureJobs(deferred, &app, PlanIconLoad(panel, 0), macros);
  ASSERT_EQ(jobs.size(), 6 + 2 * std::size(cases));
  EXPECT_EQ(jobs[4].file, app);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(jobs[5 + i].file, cases[i].lookedUp) << "deferred " << cases[i].held;
    EXPECT_EQ(jobs[6 + std::size(cases) + i].file, cases[i].lookedUp) << "loader " << cases[i].held;
  }
  EXPECT_EQ(tree.TopLevel()[0]->Data().path, "%windows%\\notepad.exe") << "the item keeps its path";

  // A group opened later leaves the macro to the lists' lookup: no drive
  // root is put before it.
  ItemNode& group = tree.Add(nullptr, Rec(ItemKind::Group, ""));
  tree.Add(&group, Rec(ItemKind::File, "%system%\\cmd.exe"));
  tree.Add(&group, Rec(ItemKind::File, "Apps\\b.exe", 0, "%windows%\\b.ico"));
  EXPECT_EQ(Files(ExpansionJobs(group, "E:\\")), (std::vector<std::string>{"%system%\\cmd.exe", "%windows%\\b.ico"}));
}

}  // namespace
}  // namespace kestro
