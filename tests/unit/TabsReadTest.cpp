#include "unit/TabsFixture.h"

namespace kestro {
namespace {

using testing::ShellOpen;

class TabsReadTest : public testing::TabsFixture {};

std::string OneTab(const std::string& items, const std::string& tabChildren = "") {
  return "<Root><tabs><tab name=\"t\" tag=\"0\">" + tabChildren + "<files>" + items + "</files></tab></tabs></Root>";
}

TEST_F(TabsReadTest, TheKindOfAnItemFollowsTheExtensionOfItsPath) {
  Load(OneTab(R"(<file name="unzip"><path>Tools\Unzip</path></file>
                 <folder name="readme"><path>Apps\readme.txt</path></folder>
                 <file name="dotted"><path>Apps.1\run</path></file>
                 <file name="drive"><path>D:</path></file>
                 <folder name="plain"><path>Apps\x.exe</path></folder>)"));
  ASSERT_EQ(Tree(0).Count(), 5u);
  EXPECT_EQ(Top(0, 0).kind, ItemKind::Folder);
  EXPECT_EQ(Top(0, 0).imageindex, kFolderPicture);
  EXPECT_EQ(Top(0, 1).kind, ItemKind::File);
  EXPECT_EQ(Top(0, 1).imageindex, 0);  // left to the background loader
  EXPECT_EQ(Top(0, 2).kind, ItemKind::Folder);  // the dot is in a folder name
  EXPECT_EQ(Top(0, 3).kind, ItemKind::Folder);
  EXPECT_EQ(Top(0, 4).kind, ItemKind::File);
  EXPECT_TRUE(icons.asked.empty());
}

TEST_F(TabsReadTest, PicturesOfFoldersAndItemsWithTheirOwnIconAtOnce) {
  env.foldericon = "E:\\icons\\folder.ico";
  Load(OneTab(R"(<file name="f"><path>Tools</path></file>
                 <file name="own"><path>a.exe</path><icon>icons\a.ico</icon></file>
                 <file name="own folder"><path>Data</path><icon>i.ico</icon></file>
                 <file name="plain"><path>b.exe</path></file>)"));
  EXPECT_EQ(icons.asked,
            (std::vector<std::string>{"E:\\icons\\folder.ico", "E:\\icons\\a.ico", "E:\\i.ico"}));
  EXPECT_EQ(Top(0, 0).imageindex, 4);
  EXPECT_EQ(Top(0, 1).imageindex, 5);
  EXPECT_EQ(Top(0, 1).icon, "E:\\icons\\a.ico");
  EXPECT_EQ(Top(0, 2).imageindex, 6);
  EXPECT_EQ(Top(0, 3).imageindex, 0);
}

TEST_F(TabsReadTest, GroupsNestWithTheirIconsFlagsAndExpandedState) {
  env.groupicon = "E:\\icons\\group.ico";
  Load(OneTab(R"(<icon>ignored.ico</icon><hidefromtray>True</hidefromtray>
    <files name="open" expanded="True">
      <icon>icons\open.ico</icon><hidefromtray>True</hidefromtray>
      <folder name="dir"><path>Data</path></folder>
      <files name="shut" expanded="False">
        <icon>g.ic</icon>
        <folder name="hidden dir"><path>Data2</path></folder>
        <file name="with icon"><path>a.exe</path><icon>icons\a.ico</icon></file>
        <files name="third" expanded="True"><file name="deep"><path>d.exe</path></file></files>
      </files>
      <separator/>
    </files>)"));
  ItemTree& tree = Tree(0);
  ASSERT_EQ(tree.TopLevel().size(), 1u);
  ItemNode& open = *tree.TopLevel()[0];
  EXPECT_EQ(open.Data().kind, ItemKind::Group);
  EXPECT_TRUE(open.Expanded());
  EXPECT_EQ(open.Data().icon, "icons\\open.ico");  // as read
  EXPECT_TRUE(open.Data().hidefromtray);
  ASSERT_EQ(open.Children().size(), 3u);
  EXPECT_EQ(open.Children()[0]->Data().imageindex, kFolderPicture);
  EXPECT_EQ(open.Children()[2]->Data().kind, ItemKind::Separator);

  ItemNode& shut = *open.Children()[1];
  EXPECT_FALSE(shut.Expanded());
  EXPECT_FALSE(shut.Data().hidefromtray);
  EXPECT_EQ(shut.Data().icon, "g.ic");
  // Items under a collapsed group get their pictures when it opens.
  EXPECT_EQ(shut.Children()[0]->Data().imageindex, 0);
  EXPECT_EQ(shut.Children()[1]->Data().imageindex, 0);
  ItemNode& third = *shut.Children()[2];
  EXPECT_EQ(third.Level(), 2u);
  EXPECT_EQ(third.Children()[0]->Data().name, "deep");

  // Group pictures: the group icon setting for each group, then an own icon
  // longer than four characters; nothing for the top-level "icon".
  EXPECT_EQ(icons.asked, (std::vector<std::string>{"E:\\icons\\group.ico", "E:\\icons\\open.ico",
                                                   "E:\\icons\\group.ico", "E:\\icons\\group.ico"}));
  EXPECT_EQ(open.Data().imageindex, 5);
  EXPECT_EQ(shut.Data().imageindex, 6);
}

TEST_F(TabsReadTest, NamesAreReadWhereverTheAttributeStands) {
  // The name is looked for first in the first attribute; elsewhere, and the
  // first of two, it is read all the same.
  Load(OneTab(R"(<file name="first" x="1"><path>a.exe</path></file>
                 <file x="1" name="second"><path>b.exe</path></file>
                 <folder nam="no" names="no"><path>Data</path></folder>
                 <files expanded="True" name="group"><file a="" b="" name="inner"><path>c.exe</path></file></files>
                 <file name="one" name="two"><path>d.exe</path></file>)"));
  ASSERT_EQ(Tree(0).TopLevel().size(), 5u);
  EXPECT_EQ(Top(0, 0).name, "first");
  EXPECT_EQ(Top(0, 1).name, "second");
  EXPECT_EQ(Top(0, 2).name, "");
  EXPECT_EQ(Top(0, 3).name, "group");
  EXPECT_TRUE(Tree(0).TopLevel()[3]->Expanded());
  EXPECT_EQ(Tree(0).TopLevel()[3]->Children()[0]->Data().name, "inner");
  EXPECT_EQ(Top(0, 4).name, "one");
  EXPECT_EQ(Top(0, 4).path, "E:\\d.exe");
}

TEST_F(TabsReadTest, AGroupWithoutAReadableExpandedStateStaysClosed) {
  Load(OneTab(R"(<files name="a"><file name="x"><path>Tools</path></file></files>
                 <files name="b" expanded="maybe"/>
                 <files name="c" expanded="1"/>)"));
  EXPECT_FALSE(Tree(0).TopLevel()[0]->Expanded());
  EXPECT_EQ(Tree(0).TopLevel()[0]->Children()[0]->Data().imageindex, 0);
  EXPECT_EQ(Top(0, 0).imageindex, kGroupPicture);
  EXPECT_FALSE(Tree(0).TopLevel()[1]->Expanded());
  EXPECT_TRUE(Tree(0).TopLevel()[2]->Expanded());
}

TEST_F(TabsReadTest, EveryKindOfTabBecomesItsPage) {
  env.treeline = true;
  Load(R"(<Root><tabs>
    <tab name="items" tag="0"><files/></tab>
    <tab name="find" tag="1"/>
    <!-- a comment between tabs -->
    <tab name="favorites" tag="2"><files><file name="never read"><path>a.exe</path></file></files></tab>
    <tab name="system" tag="3"/>
    <tab name="five" tag="5"><files><separator/></files></tab>
    <tab name="no files" tag="0"/>
    <tab name="bad tag" tag="x"><files/></tab>
    <other><files/></other>
  </tabs></Root>)");
  ASSERT_EQ(pages.PageCount(), 7u);
  std::vector<std::pair<std::string, TabTag>> got;
  for (auto& p : pages.pages) got.emplace_back(p->caption, p->tag);
  EXPECT_EQ(got, (std::vector<std::pair<std::string, TabTag>>{{"items", TabTag::Items},
                                                              {"find", TabTag::Find},
                                                              {"favorites", TabTag::Favorites},
                                                              {"system", TabTag::SystemInfo},
                                                              {"five", TabTag::Items},
                                                              {"bad tag", TabTag::Items},
                                                              {"", TabTag::Items}}));
  EXPECT_TRUE(env.findTabPresent);
  EXPECT_TRUE(env.favoritesTabPresent);
  EXPECT_TRUE(env.sysInfoTabPresent);
  // The favorites tab is filled from the favorites folder, not the document.
  EXPECT_TRUE(pages[2].tree->Empty());
  EXPECT_EQ(pages[4].tree->Count(), 1u);
  EXPECT_EQ(pages[0].treeLines, true);
  EXPECT_EQ(pages[2].treeLines, true);
  EXPECT_FALSE(pages[1].treeLines);
  EXPECT_EQ(problems.items, std::vector<std::string>{"tabs/tab/tag: 'x' is not an integer"});
}

TEST_F(TabsReadTest, NoTabsSectionGivesNoPages) {
  Load("<Root><panel/></Root>");
  EXPECT_EQ(pages.PageCount(), 0u);
  EXPECT_FALSE(env.findTabPresent);
}

TEST_F(TabsReadTest, TabStylesTakeDefaultsAndTheFontOfThePreviousTab) {
  Load(R"(<Root><tabs>
    <tab name="a"><backcolor>255</backcolor><fontname>굴림</fontname><textcolor>-1</textcolor>
      <textcolor2>65280</textcolor2><backimage>pics\back.JPG</backimage><bigicon>True</bigicon><files/></tab>
    <tab name="dropped"><fontname>Tahoma</fontname></tab>
    <tab name="b"><files/></tab>
    <tab name="fav" tag="2"><backimage>pics\fav.bmp</backimage></tab>
    <tab name="png"><backimage>pics\p.png</backimage><files/></tab>
  </tabs></Root>)");
  ASSERT_EQ(pages.PageCount(), 4u);
  TabStyle a{255, "굴림", -1, 65280, "E:\\pics\\back.JPG", true};
  EXPECT_EQ(pages[0].style, a);
  // A tab without "files" still passes its font on.
  TabStyle b{-16777211, "Tahoma", -16777208, -16777208, "E:\\", false};
  EXPECT_EQ(pages[1].style, b);
  // The favorites tab keeps its picture name as read.
  EXPECT_EQ(pages[2].style.backimage, "pics\\fav.bmp");
  EXPECT_EQ(pages[3].style.backimage, "E:\\pics\\p.png");

  using Shown = std::vector<std::pair<std::string, PictureFormat>>;
  EXPECT_EQ(pages[0].backgrounds, (Shown{{"E:\\pics\\back.JPG", PictureFormat::Jpeg}}));
  EXPECT_EQ(pages[1].backgrounds, Shown{});
  EXPECT_EQ(pages[2].backgrounds, (Shown{{"E:\\pics\\fav.bmp", PictureFormat::Bitmap}}));
  EXPECT_EQ(pages[3].backgrounds, Shown{});
  for (auto& p : pages.pages) EXPECT_EQ(p->styleApplied, 1) << p->caption;
}

TEST_F(TabsReadTest, ItemsMarkedToRunAtStartRunInDocumentOrder) {
  MoveProgramTo("F");
  host.temp = "C:\\Temp\\";
  Load(R"(<Root><tabs>
    <tab name="one"><files>
      <file name="a"><path>Apps\a.exe</path><parameters>-log %temp%\a.log</parameters><autorun>1</autorun></file>
      <file name="end only"><path>Apps\e.exe</path><autorun>2</autorun></file>
      <files name="closed" expanded="False">
        <file name="b"><path>%udrive%\Apps\b.exe</path><autorun>3</autorun><windowstate>3</windowstate></file>
      </files>
    </files></tab>
    <tab name="two"><files>
      <file name="c"><path>D:\c.exe</path><autorun>3</autorun><windowstate>1</windowstate></file>
      <file name="never"><path>Apps\n.exe</path></file>
    </files></tab>
  </tabs></Root>)");
  EXPECT_EQ(shell.opened, (std::vector<ShellOpen>{
                              {"F:\\Apps\\a.exe", "-log C:\\Temp\\a.log", "F:\\Apps\\", kSwShowNormal},
                              {"F:\\Apps\\b.exe", "", "F:\\Apps\\", kSwHide},
                              {"D:\\c.exe", "", "D:\\", kSwShowMaximized},
                          }));
  // The tree keeps the stored text.
  EXPECT_EQ(Tree(0).TopLevel()[2]->Children()[0]->Data().path, "%udrive%\\Apps\\b.exe");
}

TEST_F(TabsReadTest, ItemShortcutsAreListedInLoadOrderOverAllTabs) {
  Load(R"(<Root><tabs>
    <tab name="one"><files>
      <files name="g" expanded="False">
        <file name="a"><path>%udrive%\a.exe</path><hotkey>True</hotkey><hotkeymodifier>0</hotkeymodifier>
          <hotkeycode>0</hotkeycode></file>
      </files>
      <file name="off"><path>o.exe</path><hotkey>False</hotkey><hotkeymodifier>1</hotkeymodifier></file>
    </files></tab>
    <tab name="two"><files>
      <file name="b"><path>b.exe</path><hotkey>True</hotkey><hotkeymodifier>9</hotkeymodifier>
        <hotkeycode>35</hotkeycode></file>
    </files></tab>
  </tabs></Root>)");
  ASSERT_EQ(shortcuts.Size(), 2u);
  const ItemShortcut& first = shortcuts.Entries()[0];
  const ItemShortcut& second = shortcuts.Entries()[1];
  EXPECT_EQ(first.identifierName, "hotkey0");
  EXPECT_EQ(first.path, "%udrive%\\a.exe");
  EXPECT_EQ(std::make_pair(first.modifierCode, first.keyCode), std::make_pair(0, 0));
  EXPECT_EQ(second.identifierName, "hotkey1");
  EXPECT_EQ(second.path, "E:\\b.exe");
  EXPECT_EQ(std::make_pair(second.modifierCode, second.keyCode), std::make_pair(9, 35));
  // The record without a shortcut still keeps its modifier.
  EXPECT_EQ(Top(0, 1).hotkeymodifier, 1);
}

TEST_F(TabsReadTest, UnreadableValuesKeepZeroAndAreReported) {
  Load(OneTab(R"(<file name="a"><path>a.exe</path><autorun>soon</autorun><windowstate> 2 </windowstate>
                   <hotkey>yes</hotkey><unknown>1</unknown></file>
                 <strange name="skipped"/>)",
              "<backcolor>red</backcolor>"));
  ASSERT_EQ(Tree(0).Count(), 1u);
  EXPECT_EQ(Top(0, 0).autorun, 0);
  EXPECT_EQ(Top(0, 0).windowstate, 2);
  EXPECT_FALSE(Top(0, 0).hotkey);
  EXPECT_EQ(pages[0].style.backcolor, kColourWindow);
  EXPECT_EQ(problems.items, (std::vector<std::string>{"tabs/tab/backcolor: 'red' is not an integer",
                                                      "tabs/file/autorun: 'soon' is not an integer",
                                                      "tabs/file/hotkey: 'yes' is not True or False"}));
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(TabsReadTest, VeryDeeplyNestedGroupsAreReadWithoutRecursion) {
  const int depth = 100000;
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<files name=\"g\" expanded=\"True\">";
  xml += "<file name=\"leaf\"><path>a.exe</path><autorun>1</autorun></file>";
  for (int i = 0; i < depth; ++i) xml += "</files>";
  Load(OneTab(xml));
  EXPECT_EQ(Tree(0).Count(), size_t(depth) + 1);
  EXPECT_EQ(shell.opened.size(), 1u);
}

}  // namespace
}  // namespace kestro
