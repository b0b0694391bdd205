#include "core/ui/TrayMenu.h"

#include <gtest/gtest.h>

#include "core/app/PanelModel.h"
#include "core/config/MessageTable.h"
#include "core/config/PathMacros.h"
#include "unit/FakePlatform.h"
#include "unit/TreeShape.h"

namespace kestro {
namespace {

using Kind = TrayMenuEntry::Kind;

// A menu level as text: "!" the show-panel entry, "-" a separator, "?" an
// entry without caption, "name" an entry, "name(...)" a group's submenu,
// "name{...}" a tab's submenu.
std::string Shape(const std::vector<TrayMenuEntry>& level) {
  std::string out;
  for (const TrayMenuEntry& e : level) {
    if (!out.empty()) out += ' ';
    switch (e.kind) {
      case Kind::ShowPanel: out += "!"; break;
      case Kind::Separator: out += "-"; break;
      case Kind::Blank: out += "?"; break;
      case Kind::TabMenu: out += e.caption + "{" + Shape(e.children) + "}"; break;
      case Kind::Launch:
        out += e.caption;
        if (!e.children.empty()) out += "(" + Shape(e.children) + ")";
        break;
    }
  }
  return out;
}

struct TrayPanel {
  PanelModel panel;
  // "caption:shape" for an item tab, "#find", "#fav", "#info" for the others.
  explicit TrayPanel(std::initializer_list<std::string_view> tabs) {
    for (std::string_view t : tabs) {
      if (t == "#find") panel.AddPage("find", TabTag::Find);
      else if (t == "#fav") panel.AddPage("fav", TabTag::Favorites);
      else if (t == "#info") panel.AddPage("info", TabTag::SystemInfo);
      else {
        size_t colon = t.find(':');
        ITabPage& page = panel.AddPage(std::string(t.substr(0, colon)), TabTag::Items);
        testing::BuildShape(*page.Tree(), t.substr(colon + 1));
      }
    }
  }
  ItemNode& Named(const std::string& name) {
    for (size_t i = 0; i < panel.PageCount(); ++i)
      if (ItemTree* tree = panel.Page(i).Tree()) {
        ItemNode* found = nullptr;
        tree->ForEach([&](ItemNode& n) {
          if (n.Data().name == name) found = &n;
        });
        if (found) return *found;
      }
    throw std::runtime_error(name);
  }
};

TEST(TrayMenuTest, ShapeFollowsTheTabsAndTheTrees) {
  struct Case {
    std::initializer_list<std::string_view> tabs;
    bool submenus;
    std::string shape;
  } cases[] = {
      {{"#find", "#fav"}, false, "!"},
      {{"#find", "#fav"}, true, "!"},
      {{}, false, "!"},
      {{"A:a b/ - g(c h(d) e) f", "#find", "B:x"}, false, "! - a b - g(c h(d) e) f - x"},
      {{"A:a", "B:", "C:g(b) c"}, true, "! - A{a} - B{} - C{g(b) c}"},
      // An empty group is an entry without a submenu.
      {{"A:g() a"}, false, "! - g a"},
      {{"#info", "A:a", "#fav", "B:b"}, false, "! - a - b"},
  };
  for (const Case& c : cases) {
    TrayPanel t(c.tabs);
    EXPECT_EQ(Shape(BuildTrayMenu(t.panel, c.submenus, "show").entries), c.shape) << c.shape;
  }
}

TEST(TrayMenuTest, GroupsHiddenFromTheTrayLeaveOutTheirWholeSubtree) {
  TrayPanel t({"A:a g(b h(c) d) e h2(x)"});
  t.Named("g").Data().hidefromtray = true;
  // Only groups carry the flag; a file marked so stays.
  t.Named("a").Data().hidefromtray = true;
  t.Named("e").Data().parameters = "after";
  TrayMenuModel m = BuildTrayMenu(t.panel, false, "show");
  EXPECT_EQ(Shape(m.entries), "! - a e h2(x)");
  // The entries after the hidden group keep their own records.
  ASSERT_EQ(m.entries[3].caption, "e");
  EXPECT_EQ(m.launches[m.entries[3].launch], (TrayLaunch{"E:\\e", "after"}));
  EXPECT_EQ(m.launches.size(), 4u);  // a, e, h2, x
}

TEST(TrayMenuTest, EntriesCarryCaptionPictureAndAWholeLaunchRecord) {
  TrayPanel t({"A&B:a b c - u"});
  TMyRec& a = t.Named("a").Data();
  a.name = "Tom & Jerry";
  a.path = "%udrive%\\tools\\p|ipe.exe";
  a.parameters = "-x \"a|b\" | c";
  a.addexplain = "note|more";
  a.imageindex = 7;
  TMyRec& b = t.Named("b").Data();
  b.addexplain = "only a note";  // no parameters: nothing is passed
  b.imageindex = kNoPicture;
  t.Named("c").Data().kind = static_cast<ItemKind>(9);
  TMyRec& u = t.Named("u").Data();
  u.kind = ItemKind::Url;
  u.path = "http://example.org/?a=1&b=2";

  TrayMenuModel m = BuildTrayMenu(t.panel, true, "R&D panel");
  ASSERT_EQ(Shape(m.entries), "! - A&&B{Tom && Jerry b ? - u}");
  EXPECT_EQ(m.entries[0].caption, "R&&D panel");
  EXPECT_EQ(m.entries[0].image, kNoPicture);
  EXPECT_EQ(m.entries[0].launch, -1);
  const auto& items = m.entries[2].children;
  EXPECT_EQ(items[0].image, 7);
  EXPECT_EQ(m.launches[items[0].launch], (TrayLaunch{"%udrive%\\tools\\p|ipe.exe", "-x \"a|b\" | c"}));
  EXPECT_EQ(items[1].image, kNoPicture);
  EXPECT_EQ(m.launches[items[1].launch], (TrayLaunch{"E:\\b", ""}));
  EXPECT_EQ(items[2].launch, -1);  // unknown kind: no action
  EXPECT_EQ(items[3].launch, -1);
  EXPECT_EQ(m.launches[items[4].launch].path, "http://example.org/?a=1&b=2");
}

TEST(TrayMenuTest, LaunchExpandsMacrosInBothStringsAndShowsNormally) {
  testing::FakeShell shell;
  testing::FakeHostSystem host;
  std::string drive = "F:";
  MacroValues macros{host, drive};
  LaunchTrayEntry({"%udrive%\\a b\\p.exe", "x|%udrive%\\y|z"}, shell, macros);
  LaunchTrayEntry({"", "ignored"}, shell, macros);  // a group without a path
  LaunchTrayEntry({"F:\\q.exe", ""}, shell, macros);
  std::vector<testing::ShellOpen> expected{{"F:\\a b\\p.exe", "x|F:\\y|z", "F:\\a b\\", kSwShowNormal},
                                           {"F:\\q.exe", "", "F:\\", kSwShowNormal}};
  EXPECT_EQ(shell.opened, expected);
}

TEST(TrayMenuTest, HintAndRightMenuCaptions) {
  MessageTable messages;
  messages.Set("07", "사용중");
  EXPECT_EQ(TrayHint("e:", messages), "Kestro v1.3.5.1\rE:사용중");
  EXPECT_EQ(TrayRightCaptions(std::nullopt), (TrayMenuCaptions{"실행창 보기", "환경설정", "종료"}));
  EXPECT_EQ(TrayRightCaptions(TrayMenuCaptions{"View & Panel", "Setting", "Exit"}),
            (TrayMenuCaptions{"View && Panel", "Setting", "Exit"}));
}

}  // namespace
}  // namespace kestro
