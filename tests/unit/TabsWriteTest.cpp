#include "unit/TabsFixture.h"

namespace kestro {
namespace {

using testing::MemoryPanelPages;
using testing::ShellOpen;

class TabsWriteTest : public testing::TabsFixture {
 protected:
  TabsWriteTest() { doc.CreateNew(); }
};

// A "tabs" section as the program writes it, with every kind of element.
const char* const kWrittenTabs =
    R"(<tabs>)"
    R"(<tab name="프로그램" tag="0"><backcolor>-16777211</backcolor><fontname>굴림</fontname>)"
    R"(<textcolor>255</textcolor><textcolor2>-16777208</textcolor2><backimage>pics\back.bmp</backimage>)"
    R"(<bigicon>True</bigicon><files>)"
    R"(<file name="메모장"><path>Apps\np.exe</path><icon>icons\np.ico</icon>)"
    R"(<parameters>%udrive%\읽기.txt</parameters><addexplain>편집기</addexplain>)"
    R"(<hotkey>True</hotkey><hotkeymodifier>0</hotkeymodifier><hotkeycode>27</hotkeycode></file>)"
    R"(<folder name="Unzip"><path>Tools\Unzip</path></folder>)"
    R"(<file name="other drive"><path>D:\x\y.exe</path><windowstate>1</windowstate></file>)"
    R"(<file name="macro"><path>%windows%\notepad.exe</path><autorun>1</autorun></file>)"
    R"(<separator/>)"
    R"(<files name="열림" expanded="True"><icon>icons\g.ico</icon><hidefromtray>True</hidefromtray>)"
    R"(<file name="a"><path>a.exe</path></file>)"
    R"(<files name="닫힘" expanded="False"><file name="inner"><path>a\b.txt</path><icon>D:\i.ico</icon></file>)"
    R"(<separator/></files>)"
    R"(</files>)"
    R"(</files></tab>)"
    R"(<tab name="find" tag="1"/>)"
    R"(<tab name="fav" tag="2"><backcolor>16777215</backcolor><fontname>Tahoma</fontname>)"
    R"(<textcolor>0</textcolor><textcolor2>128</textcolor2><backimage>fav.jpg</backimage><files/></tab>)"
    R"(<tab name="sys" tag="3"/>)"
    R"(<tab name="작은" tag="0"><backcolor>-16777211</backcolor><fontname>Tahoma</fontname>)"
    R"(<textcolor>-16777208</textcolor><textcolor2>-16777208</textcolor2><files/></tab>)"
    R"(</tabs>)";

std::string Document(const std::string& tabs) { return "<Root><panel><title>K</title></panel>" + tabs + "</Root>"; }

TEST_F(TabsWriteTest, WhatTheProgramWroteReadsAndWritesBackUnchanged) {
  Load(Document(kWrittenTabs));
  ASSERT_EQ(pages.PageCount(), 5u);
  EXPECT_EQ(WrittenTabs(), kWrittenTabs);
  EXPECT_EQ(SectionText(doc, "panel"), "<panel><title>K</title></panel>");
}

TEST_F(TabsWriteTest, TheSameDocumentOnAnotherDriveLetter) {
  Load(Document(kWrittenTabs));
  std::string saved = (WriteTabs(doc, pages, ctx), doc.Serialize());

  // The next run starts from F: and reads what this one saved.
  MoveProgramTo("F");
  ConfigDocument next;
  ASSERT_TRUE(next.Load(saved).wellFormed);
  MemoryPanelPages nextPages;
  LoadTabs(next, nextPages, ctx);
  const TMyRec& np = nextPages[0].tree->TopLevel()[0]->Data();
  EXPECT_EQ(np.name, "메모장");
  EXPECT_EQ(np.path, "F:\\Apps\\np.exe");
  EXPECT_EQ(np.icon, "F:\\icons\\np.ico");
  EXPECT_EQ(np.parameters, "%udrive%\\읽기.txt");
  EXPECT_EQ(nextPages[0].tree->TopLevel()[2]->Data().path, "D:\\x\\y.exe");
  EXPECT_EQ(nextPages[0].style.backimage, "F:\\pics\\back.bmp");
  ASSERT_EQ(nextPages[0].backgrounds.size(), 1u);
  EXPECT_EQ(nextPages[0].backgrounds[0].first, "F:\\pics\\back.bmp");
  EXPECT_EQ(nextPages[2].backgrounds[0].first, "F:\\fav.jpg");

  WriteTabs(next, nextPages, ctx);
  EXPECT_EQ(SectionText(next, "tabs"), kWrittenTabs);
}

TEST_F(TabsWriteTest, AnAbsolutePathOnTheProgramDriveBecomesDriveRelative) {
  const std::string tabs =
      R"(<tabs><tab name="t"><files><file name="a"><path>E:\Apps\a.exe</path></file>)"
      R"(<folder name="b"><path>Apps\readme.txt</path></folder></files></tab></tabs>)";
  MoveProgramTo("F");
  Load(Document(tabs));
  std::string onF = WrittenTabs();
  EXPECT_NE(onF.find("<path>E:\\Apps\\a.exe</path>"), std::string::npos) << onF;
  // A "folder" element whose path has an extension is a file from now on.
  EXPECT_NE(onF.find(R"(<file name="b"><path>Apps\readme.txt</path></file>)"), std::string::npos) << onF;

  MoveProgramTo("E");
  MemoryPanelPages onE;
  LoadTabs(doc, onE, ctx);
  WriteTabs(doc, onE, ctx);
  EXPECT_NE(SectionText(doc, "tabs").find("<path>Apps\\a.exe</path>"), std::string::npos);
}

TEST_F(TabsWriteTest, TagsAreWrittenAsThePagesHoldThem) {
  Load(Document(R"(<tabs><tab name="five" tag="5"><files/></tab><tab name="none" tag="0"/></tabs>)"));
  EXPECT_EQ(WrittenTabs(),
            R"(<tabs><tab name="five" tag="0"><backcolor>-16777211</backcolor><fontname/>)"
            R"(<textcolor>-16777208</textcolor><textcolor2>-16777208</textcolor2><files/></tab></tabs>)");
}

TEST_F(TabsWriteTest, TheCurrentStyleOfEachPageIsWritten) {
  pages.AddPage("a", TabTag::Items).ApplyStyle({1, "Arial", 2, 3, "E:\\", false});
  pages.AddPage("b", TabTag::Items).ApplyStyle({-1, "", 0, 0, "E:\\p.bmp", true});
  pages.AddPage("c", TabTag::Favorites).ApplyStyle({0, "x", 0, 0, "D:\\q.jpg", false});
  pages.AddPage("d", TabTag::Find).ApplyStyle({5, "not written", 5, 5, "E:\\no.bmp", true});
  EXPECT_EQ(WrittenTabs(),
            R"(<tabs>)"
            R"(<tab name="a" tag="0"><backcolor>1</backcolor><fontname>Arial</fontname><textcolor>2</textcolor>)"
            R"(<textcolor2>3</textcolor2><files/></tab>)"
            R"(<tab name="b" tag="0"><backcolor>-1</backcolor><fontname/><textcolor>0</textcolor>)"
            R"(<textcolor2>0</textcolor2><backimage>p.bmp</backimage><bigicon>True</bigicon><files/></tab>)"
            R"(<tab name="c" tag="2"><backcolor>0</backcolor><fontname>x</fontname><textcolor>0</textcolor>)"
            R"(<textcolor2>0</textcolor2><backimage>D:\q.jpg</backimage><files/></tab>)"
            R"(<tab name="d" tag="1"/></tabs>)");
}

TEST_F(TabsWriteTest, ItemsWriteOnlyTheFieldsTheyUse) {
  ItemTree& tree = *static_cast<testing::MemoryTabPage&>(pages.AddPage("t", TabTag::Items)).tree;
  TMyRec bare;
  bare.name = "bare";
  bare.path = "E:\\a.exe";
  bare.hotkeymodifier = 3;  // kept in memory only while hotkey is off
  bare.imageindex = 9;
  bare.reserved1 = 1;
  bare.reserved2 = "r";
  tree.Add(nullptr, bare);
  TMyRec url;
  url.kind = ItemKind::Url;
  url.name = "url";
  url.url = "http://x/";
  tree.Add(nullptr, url);
  TMyRec odd;
  odd.kind = static_cast<ItemKind>(9);
  tree.Add(nullptr, odd);
  TMyRec group;
  group.kind = ItemKind::Group;
  group.name = "g";
  group.icon = "E:\\g.ico";
  tree.Add(nullptr, group);
  EXPECT_EQ(WrittenTabs(),
            R"(<tabs><tab name="t" tag="0"><backcolor>-16777211</backcolor><fontname/>)"
            R"(<textcolor>-16777208</textcolor><textcolor2>-16777208</textcolor2><files>)"
            R"(<file name="bare"><path>a.exe</path></file>)"
            R"(<files name="g" expanded="False"><icon>g.ico</icon></files>)"
            R"(</files></tab></tabs>)");
}

TEST_F(TabsWriteTest, ItemsMarkedToRunAtTheEndRunAtEveryWrite) {
  MoveProgramTo("F");
  Load(Document(R"(<tabs><tab name="t"><files>
    <file name="start"><path>s.exe</path><parameters>-p</parameters><autorun>1</autorun></file>
    <file name="end"><path>%udrive%\Apps\e.exe</path><parameters>-p</parameters><autorun>2</autorun>
      <windowstate>2</windowstate></file>
    <files name="closed" expanded="False">
      <file name="both"><path>Apps\b.exe</path><autorun>3</autorun><windowstate>3</windowstate></file>
    </files>
  </files></tab></tabs>)"));
  std::vector<ShellOpen> atStart{{"F:\\s.exe", "-p", "F:\\", kSwShowNormal},
                                 {"F:\\Apps\\b.exe", "", "F:\\Apps\\", kSwHide}};
  EXPECT_EQ(shell.opened, atStart);

  // At the end they run as at start: macros expanded, parameters passed.
  std::vector<ShellOpen> atEnd{{"F:\\Apps\\e.exe", "-p", "F:\\Apps\\", kSwMinimize},
                               {"F:\\Apps\\b.exe", "", "F:\\Apps\\", kSwHide}};
  shell.opened.clear();
  WriteTabs(doc, pages, ctx);
  EXPECT_EQ(shell.opened, atEnd);
  shell.opened.clear();
  WriteTabs(doc, pages, ctx);  // a backup runs them again
  EXPECT_EQ(shell.opened, atEnd);
}

TEST_F(TabsWriteTest, TheWrittenSectionTakesThePlaceOfTheFirstOne) {
  Load(R"(<Root><a/><tabs><tab name="first"><files/></tab></tabs><b/>)"
       R"(<tabs><tab name="stale"><files/></tab></tabs></Root>)");
  ASSERT_EQ(pages.PageCount(), 1u);
  pages.AddPage("added", TabTag::Find);
  WriteTabs(doc, pages, ctx);
  std::vector<std::string> sections;
  for (pugi::xml_node n : doc.Element().children()) sections.push_back(n.name());
  EXPECT_EQ(sections, (std::vector<std::string>{"a", "tabs", "b", "tabs"}));

  MemoryPanelPages again;
  LoadTabs(doc, again, ctx);
  ASSERT_EQ(again.PageCount(), 2u);
  EXPECT_EQ(again[1].caption, "added");

  // Without a section, one is added.
  ConfigDocument fresh;
  fresh.CreateNew();
  WriteTabs(fresh, pages, ctx);
  EXPECT_TRUE(fresh.Element().child("tabs"));
}

TEST_F(TabsWriteTest, VeryDeeplyNestedGroupsAreWrittenWithoutRecursion) {
  ItemTree& tree = *static_cast<testing::MemoryTabPage&>(pages.AddPage("t", TabTag::Items)).tree;
  ItemNode* parent = nullptr;
  const int depth = 100000;
  TMyRec group;
  group.kind = ItemKind::Group;
  for (int i = 0; i < depth; ++i) parent = &tree.Add(parent, group);
  WriteTabs(doc, pages, ctx);
  int written = 0;
  for (pugi::xml_node n = doc.Element().child("tabs").child("tab").child("files").child("files"); n;
       n = n.child("files"))
    ++written;
  EXPECT_EQ(written, depth);
}

}  // namespace
}  // namespace kestro
