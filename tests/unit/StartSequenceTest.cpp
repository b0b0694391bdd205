#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <tuple>

#include "core/app/StartSequence.h"
#include "core/host/DesktopChanges.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

struct StartFixture : ::testing::Test {
  testing::FakePlatform fake;
  AppState state;
  StartSequence seq{state, fake.platform};
  const std::string exe = "E:\\Kestro\\Kestro.exe";
  const std::string xmlPath = "E:\\Kestro\\Kestro.xml";
};

TEST_F(StartFixture, ComputesTheProcessValuesFromTheExecutablePath) {
  fake.host.temp = "C:\\Users\\kim\\Temp\\";
  fake.host.lcid = 1042;
  fake.registry.values[{RegistryRoot::CurrentUser, "Control Panel\\desktop", "Wallpaper"}] = "C:\\w.bmp";
  ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
  EXPECT_EQ(state.pv.programDrive, "E:");
  EXPECT_EQ(state.pv.programDriveRoot, "E:\\");
  EXPECT_EQ(state.pv.programFolder, "E:\\Kestro\\");
  EXPECT_EQ(state.pv.favoritesFolder, "E:\\Kestro\\kestro_favorites");
  EXPECT_EQ(state.pv.tempFolder, "C:\\Users\\kim\\Temp\\");
  EXPECT_EQ(state.pv.originalWallpaper, "C:\\w.bmp");
  EXPECT_EQ(state.pv.systemLocale, 1042u);
  EXPECT_FALSE(state.pv.pcEdition);
  EXPECT_TRUE(state.pv.desktopIconsShown);
  EXPECT_TRUE(state.started);
}

TEST_F(StartFixture, WithoutADocumentStartValuesAndANewDocument) {
  ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
  EnvSet start;
  start.tempFolder = state.env.tempFolder;
  EXPECT_EQ(state.env, start);
  EXPECT_EQ(std::tie(state.env.left, state.env.top, state.env.width, state.env.height),
            std::make_tuple(700, 300, 250, 500));
  EXPECT_STREQ(state.doc.Element().name(), "Root");
  std::vector<std::string> names;
  for (auto n : state.doc.Element().children()) names.push_back(n.name());
  EXPECT_EQ(names, (std::vector<std::string>{"files", "style", "panel"}));
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(StartFixture, InternalAtaDiskIsRefusedWithANotice) {
  fake.drives.buses['E'] = {true, kBusTypeAta};
  EXPECT_EQ(seq.Run(exe), StartOutcome::CloseRequested);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Use Only USB Device!");
  EXPECT_EQ(fake.messages.shown[0].caption, "Notice");
  EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
  EXPECT_FALSE(state.started);
  // Nothing is saved on the way out.
  EXPECT_FALSE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  EXPECT_TRUE(fake.files.files.empty());
}

TEST_F(StartFixture, UsbAndScsiAdaptersAreAccepted) {
  for (int bus : {7, 1, 0}) {
    fake.drives.buses['E'] = {true, bus};
    EXPECT_EQ(seq.Run(exe), StartOutcome::Running) << bus;
  }
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(StartFixture, AVolumeThatCannotBeAskedIsAcceptedWithoutAMessage) {
  // Not opened (a read-only drive, no rights), or opened but the adapter
  // query failed: the answer is not known, so there is nothing to refuse.
  for (BusTypeAnswer answer : {BusTypeAnswer{false, 0}, BusTypeAnswer{true, 0}}) {
    fake.drives.buses['E'] = answer;
    EXPECT_EQ(seq.Run(exe), StartOutcome::Running) << answer.opened;
    EXPECT_TRUE(state.started);
  }
  EXPECT_EQ(fake.drives.busAsked, (std::vector<char>{'E', 'E'}));
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(StartFixture, PcEditionSkipsTheBusCheckWhateverTheLetterCase) {
  fake.drives.buses['C'] = {true, kBusTypeAta};
  EXPECT_EQ(seq.Run("C:\\Tools\\KESTRO-PC.EXE"), StartOutcome::Running);
  EXPECT_TRUE(state.pv.pcEdition);
  EXPECT_TRUE(fake.drives.busAsked.empty());
}

TEST_F(StartFixture, StoredBoundsAreClampedToTheScreen) {
  fake.files.files[xmlPath] =
      "<Root><window><main><position><X>1900</X><Y>900</Y></position><size><X>250</X><Y>500</Y></size>"
      "<topwindow>False</topwindow><tabindex>0</tabindex></main></window></Root>";
  seq.Run(exe);
  EXPECT_EQ(state.env.left, 774);
  EXPECT_EQ(state.env.top, 268);
}

struct Bounds {
  int left, top, width, height;
  bool operator==(const Bounds&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Bounds& b) {
  return o << b.left << "/" << b.top << " " << b.width << "x" << b.height;
}

TEST(ClampPanelBoundsTest, ThePanelOpensOnAMonitorThatExists) {
  const std::vector<MonitorArea> one{{0, 0, 1024, 768}};
  // A secondary monitor left of the primary and one above it, right of it.
  const std::vector<MonitorArea> three{{0, 0, 1024, 768}, {-1280, 0, 0, 1024}, {1024, -600, 1824, 0}};
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  struct Case {
    const char* what;
    const std::vector<MonitorArea>& monitors;
    Bounds stored, expected;
  } cases[] = {
      {"inside stays", one, {700, 200, 250, 500}, {700, 200, 250, 500}},
      {"beyond the right edge", one, {1900, 900, 250, 500}, {774, 268, 250, 500}},
      {"taller than the work area", one, {100, 100, 250, 900}, {100, 0, 250, 768}},
      {"partly left of the screen keeps its left", one, {-50, 100, 250, 500}, {-50, 100, 250, 500}},
      {"its left monitor is gone", one, {-1280, 100, 250, 500}, {0, 100, 250, 500}},
      {"left of and above every monitor", one, {-5000, -5000, 250, 500}, {0, 0, 250, 768}},
      {"wider than the work area", one, {10, 10, 3000, 500}, {0, 10, 1024, 500}},
      {"at INT_MAX", one, {kMax, kMax, 250, 500}, {774, 268, 250, 500}},
      {"at INT_MIN", one, {kMin, kMin, 250, 500}, {0, 0, 250, 768}},
      {"sizes at INT_MAX", one, {kMax, kMax, kMax, kMax}, {0, 0, 1024, 768}},
      {"sizes at INT_MIN", one, {kMin, 0, kMin, kMin}, {0, 0, 1, 1}},
      {"right edge past INT_MAX", one, {kMax - 10, 100, 250, 500}, {774, 100, 250, 500}},
      {"on the left monitor stays", three, {-1280, 0, 250, 500}, {-1280, 0, 250, 500}},
      {"mostly on the left monitor: inside it", three, {-200, 600, 250, 500}, {-250, 524, 250, 500}},
      {"on the monitor above stays", three, {1200, -500, 250, 400}, {1200, -500, 250, 400}},
      {"taller than the monitor above", three, {1200, -550, 250, 700}, {1200, -600, 250, 600}},
      {"right of every monitor", three, {5000, 100, 250, 500}, {774, 100, 250, 500}},
  };
  for (const Case& c : cases) {
    EnvSet env;
    std::tie(env.left, env.top, env.width, env.height) =
        std::make_tuple(c.stored.left, c.stored.top, c.stored.width, c.stored.height);
    ClampPanelBounds(env, c.monitors);
    EXPECT_EQ((Bounds{env.left, env.top, env.width, env.height}), c.expected) << c.what;
  }
}

TEST_F(StartFixture, StartExitCycleWritesTheDocumentBack) {
  seq.Run(exe);
  ASSERT_TRUE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  const std::string& written = fake.files.files.at(xmlPath);
  ConfigDocument doc;
  ASSERT_TRUE(doc.Load(written).wellFormed);
  EXPECT_TRUE(doc.Element().child("files") && doc.Element().child("style") && doc.Element().child("panel"));
  EXPECT_STREQ(doc.Element().child("window").child("main").child("position").child_value("X"), "700");
}

TEST_F(StartFixture, NoSaveAfterAForcedRemoval) {
  seq.Run(exe);
  state.pv.driveRemovedExit = true;
  EXPECT_FALSE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  EXPECT_FALSE(fake.files.files.count(xmlPath));
}

TEST_F(StartFixture, MalformedDocumentIsKeptAsideAndWhatWasReadIsUsed) {
  const std::string broken = "<Root><panel><trans>99</trans></panel><window><main><position>";
  fake.files.files[xmlPath] = broken;
  fake.files.files[xmlPath + ".bad"] = "an older copy";
  ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
  EXPECT_EQ(state.env.trans, 99);
  EXPECT_EQ(fake.files.files.at(xmlPath + ".bad"), "an older copy");
  EXPECT_EQ(fake.files.files.at(xmlPath + ".bad1"), broken);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].caption, "Notice");
  EXPECT_NE(fake.messages.shown[0].text.find("Kestro.xml.bad1"), std::string::npos);
  EXPECT_TRUE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
}

TEST_F(StartFixture, UnconvertibleValuesKeepStartValuesAndTheOriginal) {
  const std::string odd = "<Root><panel><trans>half</trans><title>T</title></panel></Root>";
  fake.files.files[xmlPath] = odd;
  seq.Run(exe);
  EXPECT_EQ(state.env.trans, 255);
  EXPECT_EQ(state.env.title, "T");
  EXPECT_EQ(fake.files.files.at(xmlPath + ".bad"), odd);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_NE(fake.messages.shown[0].text.find("panel/trans"), std::string::npos);
}

TEST_F(StartFixture, DamagedDocumentThatCannotBeCopiedIsNeverOverwritten) {
  fake.files.files[xmlPath] = "<Root><panel>";
  fake.files.failWrites = true;
  seq.Run(exe);
  EXPECT_FALSE(state.documentSavable);
  fake.files.failWrites = false;
  EXPECT_FALSE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  EXPECT_EQ(fake.files.files.at(xmlPath), "<Root><panel>");
}

TEST_F(StartFixture, UnreadableDocumentIsNeverOverwritten) {
  fake.files.unreadable.push_back(xmlPath);
  ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_FALSE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  EXPECT_FALSE(fake.files.files.count(xmlPath));
}

TEST_F(StartFixture, StoredSettingsSurviveAStartExitCycle) {
  const std::string xml =
      "<Root><files/><style/><panel><title>Mine</title><iteminfomode>3</iteminfomode>"
      "<showonstartup>False</showonstartup><useshortkey0>1</useshortkey0><mainkey0>2</mainkey0>"
      "<subkey0>5</subkey0><trans>100</trans></panel>"
      "<window><main><position><X>10</X><Y>20</Y></position><size><X>300</X><Y>400</Y></size>"
      "<topwindow>True</topwindow><tabindex>1</tabindex></main></window>"
      "<exelink><txt buselink=\"False\">Apps\\ed.exe</txt></exelink>"
      "<tabs><tab name=\"A\"><files/></tab><tab name=\"B\"><files><file name=\"x\"><path>a.exe</path></file>"
      "</files></tab></tabs></Root>";
  fake.files.files[xmlPath] = xml;
  seq.Run(exe);
  SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));

  AppState again;
  testing::FakePlatform second;
  second.files.files[xmlPath] = fake.files.files.at(xmlPath);
  StartSequence(again, second.platform).Run(exe);
  EXPECT_EQ(again.env, state.env);
  EXPECT_EQ(again.exeLinks, state.exeLinks);
  ASSERT_EQ(again.panel.PageCount(), 2u);
  EXPECT_EQ(again.panel.ActivePageIndex(), 1);
  EXPECT_EQ(again.panel.Page(1).Tree()->TopLevel().at(0)->Data().path, "E:\\a.exe");
}

}  // namespace
}  // namespace kestro

namespace kestro {
namespace {

constexpr std::string_view kEnglish =
    "[Language]\r\nName=English\r\n[Msgbox]\r\nstrMsgList02=Busy now\r\nstrMsgList03=@1 is taken#13Keeping @2\r\n";

struct LanguageStartFixture : StartFixture {
  StartSequence english{state, fake.platform, kEnglish};
};

TEST_F(LanguageStartFixture, WritesEnglishLngAndUsesItOnANonKoreanHost) {
  fake.host.lcid = 1033;
  english.Run(exe);
  EXPECT_EQ(fake.files.files.at("E:\\Kestro\\english.lng"), kEnglish);
  EXPECT_EQ(state.pv.languageFile, "E:\\Kestro\\english.lng");
  EXPECT_EQ(state.messages.Message("03", "F:", "E:"), "F: is taken\r\nKeeping E:");
  ASSERT_TRUE(state.trayCaptions.has_value());
}

TEST_F(LanguageStartFixture, KoreanHostWithoutALanguageSettingUsesTheKoreanMessages) {
  fake.host.lcid = 1042;
  english.Run(exe);
  EXPECT_TRUE(fake.files.files.count("E:\\Kestro\\english.lng"));  // written all the same
  EXPECT_EQ(state.pv.languageFile, "");
  EXPECT_FALSE(state.trayCaptions.has_value());
  EXPECT_NE(state.messages.Text("02"), "Busy now");
  EXPECT_FALSE(state.messages.Text("02").empty());
}

TEST_F(LanguageStartFixture, TheLanguageSettingOfTheDocumentDecides) {
  fake.host.lcid = 1042;
  fake.files.files[xmlPath] = "<Root><panel><language>mine.lng</language></panel></Root>";
  fake.files.files["E:\\Kestro\\mine.lng"] = "[Msgbox]\r\nstrMsgList02=Mine\r\n";
  english.Run(exe);
  EXPECT_EQ(state.pv.languageFile, "E:\\Kestro\\mine.lng");
  EXPECT_EQ(state.messages.Text("02"), "Mine");

  // A file that is gone falls back to english.lng.
  AppState again;
  fake.files.files.erase("E:\\Kestro\\mine.lng");
  StartSequence(again, fake.platform, kEnglish).Run(exe);
  EXPECT_EQ(again.pv.languageFile, "E:\\Kestro\\english.lng");
  EXPECT_EQ(again.messages.Text("02"), "Busy now");
}

TEST_F(LanguageStartFixture, AWriteProtectedDriveStillStarts) {
  fake.files.failWrites = true;
  EXPECT_EQ(english.Run(exe), StartOutcome::Running);
  EXPECT_EQ(state.messages.Text("02"), "Busy now");
}

}  // namespace
}  // namespace kestro

namespace kestro {
namespace {

constexpr const char* kTreeDocument =
    "<Root><window><main><position><X>1</X><Y>2</Y></position><size><X>250</X><Y>500</Y></size>"
    "<topwindow>False</topwindow><tabindex>7</tabindex></main></window><tabs>"
    "<tab name=\"One\"><files>"
    "<file name=\"a\"><path>Apps\\a.exe</path><parameters>%udrive%\\x</parameters><autorun>1</autorun></file>"
    "<file name=\"b\"><path>Apps\\b.exe</path><autorun>2</autorun><windowstate>2</windowstate></file>"
    "</files></tab>"
    "<tab name=\"Two\"><files><file name=\"c\"><path>C:\\c.exe</path><autorun>3</autorun>"
    "<windowstate>3</windowstate></file></files></tab></tabs></Root>";

TEST_F(StartFixture, ItemsRunAtStartWhileTheTreesAreReadAndAtTheEndWhileTheyAreWritten) {
  fake.files.files[xmlPath] = kTreeDocument;
  seq.Run(exe);
  std::vector<testing::ShellOpen> atStart{{"E:\\Apps\\a.exe", "E:\\x", "E:\\Apps\\", kSwShowNormal},
                                          {"C:\\c.exe", "", "C:\\", kSwHide}};
  EXPECT_EQ(fake.shell.opened, atStart);
  fake.shell.opened.clear();
  ASSERT_TRUE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  std::vector<testing::ShellOpen> atEnd{{"E:\\Apps\\b.exe", "", "E:\\Apps\\", kSwMinimize},
                                        {"C:\\c.exe", "", "C:\\", kSwHide}};
  EXPECT_EQ(fake.shell.opened, atEnd);
}

TEST_F(StartFixture, AStoredTabIndexOutsideTheTabsIsSavedAsTheFirstTab) {
  fake.files.files[xmlPath] = kTreeDocument;
  seq.Run(exe);
  EXPECT_EQ(state.panel.ActivePageIndex(), -1);
  SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));
  ConfigDocument saved;
  ASSERT_TRUE(saved.Load(fake.files.files.at(xmlPath)).wellFormed);
  EXPECT_STREQ(saved.Element().child("window").child("main").child_value("tabindex"), "0");
  EXPECT_EQ(saved.Element().child("tabs").select_nodes("tab").size(), 2u);
}

TEST_F(StartFixture, WithoutTabsTheTabIndexIsSavedAsNone) {
  seq.Run(exe);
  SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));
  ConfigDocument saved;
  ASSERT_TRUE(saved.Load(fake.files.files.at(xmlPath)).wellFormed);
  EXPECT_STREQ(saved.Element().child("window").child("main").child_value("tabindex"), "-1");
}

TEST_F(StartFixture, UnreadableItemValuesKeepACopyOfTheFileToo) {
  const std::string odd = "<Root><tabs><tab name=\"t\"><files><file name=\"x\"><path>a.exe</path>"
                          "<autorun>soon</autorun></file></files></tab></tabs></Root>";
  fake.files.files[xmlPath] = odd;
  seq.Run(exe);
  EXPECT_EQ(fake.files.files.at(xmlPath + ".bad"), odd);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_NE(fake.messages.shown[0].text.find("autorun"), std::string::npos);
  EXPECT_TRUE(fake.shell.opened.empty());
}

TEST_F(StartFixture, NothingRunsAtTheEndAfterAForcedRemoval) {
  fake.files.files[xmlPath] = kTreeDocument;
  seq.Run(exe);
  fake.shell.opened.clear();
  state.pv.driveRemovedExit = true;
  SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));
  EXPECT_TRUE(fake.shell.opened.empty());
}

TEST_F(StartFixture, SaveNowWritesAnEditAtOnceAndRunsNoEndItem) {
  fake.files.files[xmlPath] = kTreeDocument;
  seq.Run(exe);
  fake.shell.opened.clear();
  ItemTree& tree = *state.panel.Page(1).Tree();
  tree.TopLevel().at(0)->Data().name = "renamed";
  PanelWindowState window = WindowStateFromSettings(state.env);
  window.left = 123;
  ASSERT_TRUE(SaveDocumentNow(state, fake.platform, window));
  EXPECT_TRUE(fake.shell.opened.empty());
  ConfigDocument saved;
  ASSERT_TRUE(saved.Load(fake.files.files.at(xmlPath)).wellFormed);
  EXPECT_NE(fake.files.files.at(xmlPath).find("name=\"renamed\""), std::string::npos);
  EXPECT_STREQ(saved.Element().child("window").child("main").child("position").child_value("X"), "123");
  // The exit afterwards still runs them, once.
  ASSERT_TRUE(SaveAtExit(state, fake.platform, window));
  EXPECT_EQ(fake.shell.opened.size(), 2u);
}

TEST_F(StartFixture, SaveNowNeverReplacesAnUnreadableOrDamagedFile) {
  fake.files.unreadable.push_back(xmlPath);
  seq.Run(exe);
  EXPECT_FALSE(SaveDocumentNow(state, fake.platform, WindowStateFromSettings(state.env)));
  EXPECT_FALSE(fake.files.files.count(xmlPath));

  AppState damaged;
  testing::FakePlatform other;
  other.files.files[xmlPath] = "<Root><panel>";
  other.files.failWrites = true;  // no copy aside either
  StartSequence(damaged, other.platform).Run(exe);
  other.files.failWrites = false;
  EXPECT_FALSE(SaveDocumentNow(damaged, other.platform, WindowStateFromSettings(damaged.env)));
  EXPECT_EQ(other.files.files.at(xmlPath), "<Root><panel>");
}

TEST_F(StartFixture, SaveNowWritesNothingBeforeTheStartOrAfterARemoval) {
  EXPECT_FALSE(SaveDocumentNow(state, fake.platform, WindowStateFromSettings(state.env)));
  seq.Run(exe);
  state.pv.driveRemovedExit = true;
  EXPECT_FALSE(SaveDocumentNow(state, fake.platform, WindowStateFromSettings(state.env)));
  EXPECT_FALSE(fake.files.files.count(xmlPath));
}

TEST(PanelModelTest, TheFirstPageIsActiveAndAnIndexOutsideLeavesNone) {
  PanelModel panel;
  EXPECT_EQ(panel.TabIndexForSaving(), -1);
  panel.AddPage("a", TabTag::Items);
  panel.AddPage("find", TabTag::Find);
  EXPECT_EQ(panel.ActivePageIndex(), 0);
  EXPECT_NE(panel.Page(0).Tree(), nullptr);
  EXPECT_EQ(panel.Page(1).Tree(), nullptr);
  panel.SetActivePageIndex(1);
  EXPECT_EQ(panel.TabIndexForSaving(), 1);
  panel.SetActivePageIndex(2);
  EXPECT_EQ(panel.ActivePageIndex(), -1);
  EXPECT_EQ(panel.TabIndexForSaving(), 0);
  EXPECT_EQ(panel.ActivePageIndex(), 0);
}

}  // namespace
}  // namespace kestro

namespace kestro {
namespace {

TEST_F(StartFixture, AnUnreadableValueIsReportedOnceAndTheValueInUseIsSaved) {
  fake.files.files[xmlPath] =
      "<Root><panel><trans>half</trans><tooltip>maybe</tooltip></panel><panel><trans>12x</trans></panel>"
      "<exelink><txt buselink=\"sometimes\">a.exe</txt></exelink></Root>";
  seq.Run(exe);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  ASSERT_TRUE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  ConfigDocument saved;
  ASSERT_TRUE(saved.Load(fake.files.files.at(xmlPath)).wellFormed);
  EXPECT_STREQ(saved.Element().child("panel").child_value("trans"), "255");
  EXPECT_STREQ(saved.Element().child("panel").child_value("tooltip"), "False");
  EXPECT_STREQ(saved.Element().child("exelink").child("txt").attribute("buselink").value(), "True");

  // The next start finds nothing to report and keeps no further copy.
  for (int run = 0; run < 2; ++run) {
    AppState again;
    fake.messages.shown.clear();
    StartSequence(again, fake.platform).Run(exe);
    EXPECT_TRUE(fake.messages.shown.empty()) << fake.messages.shown[0].text;
    EXPECT_EQ(again.env.trans, 255);
    ASSERT_TRUE(SaveAtExit(again, fake.platform, WindowStateFromSettings(again.env)));
  }
  EXPECT_FALSE(fake.files.files.count(xmlPath + ".bad1"));
}

TEST_F(StartFixture, WhatCannotBeKeptIsReportedOnceWithTheOriginalKeptAside) {
  const std::string odd = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Root><panel><title>Caf\xE9\x01</title>"
                          "</panel></Root><Root/>";
  fake.files.files[xmlPath] = odd;
  seq.Run(exe);
  EXPECT_EQ(state.env.title, "Café");
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  const std::string& text = fake.messages.shown[0].text;
  EXPECT_NE(text.find("1 control character(s), left out"), std::string::npos) << text;
  EXPECT_NE(text.find("a second document element <Root>"), std::string::npos) << text;
  EXPECT_EQ(fake.files.files.at(xmlPath + ".bad"), odd);
  ASSERT_TRUE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  fake.messages.shown.clear();
  AppState again;
  StartSequence(again, fake.platform).Run(exe);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(again.env.title, "Café");
}

TEST_F(StartFixture, AFailedSaveSaysWhyAndKeepsEverythingForTheNextTry) {
  fake.files.files[xmlPath] = kTreeDocument;
  seq.Run(exe);
  fake.shell.opened.clear();
  fake.files.failWrites = true;
  WriteResult first = SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));
  EXPECT_FALSE(first);
  EXPECT_EQ(fake.shell.opened.size(), 2u);  // the end items ran with this exit
  EXPECT_EQ(first.error, xmlPath + ".tmp: There is not enough space on the disk.");
  FailedSaveNotice notice = NoticeOfFailedExitSave(state, first);
  EXPECT_TRUE(notice.keepRunning);
  EXPECT_EQ(notice.text.rfind(xmlPath + " could not be saved.\r\n" + first.error, 0), 0u) << notice.text;
  EXPECT_EQ(fake.files.files.at(xmlPath), kTreeDocument);

  // The trees and settings are all still there: the backup entry saves them.
  fake.files.failWrites = false;
  ASSERT_TRUE(WriteTreesAndSave(state, fake.platform, WindowStateFromSettings(state.env), "D:\\copy.xml"));
  EXPECT_NE(fake.files.files.at("D:\\copy.xml").find("<path>Apps\\a.exe</path>"), std::string::npos);
  // A copy is no end of the run, and later exits do not start the end items again.
  EXPECT_EQ(fake.shell.opened.size(), 2u);
  // A second try that fails too ends the run.
  fake.files.failWrites = true;
  WriteResult second = SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));
  EXPECT_FALSE(NoticeOfFailedExitSave(state, second).keepRunning);
  // Made room, the next try saves.
  fake.files.failWrites = false;
  EXPECT_TRUE(SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env)));
  EXPECT_NE(fake.files.files.at(xmlPath).find("<path>Apps\\a.exe</path>"), std::string::npos);
  EXPECT_EQ(fake.shell.opened.size(), 2u);
}

}  // namespace
}  // namespace kestro

namespace kestro {
namespace {

// The start with the host changes: the repair comes before the wallpaper is
// read, the desktop steps only with a document, the associations last.
TEST_F(StartFixture, RepairsBeforeReadingTheWallpaperThenAppliesWhatTheSettingsAsk) {
  HostChanges host(fake.files, fake.registry, fake.desktop, fake.messages, "C:\\local\\journal");
  fake.registry.values[{RegistryRoot::CurrentUser, "Control Panel\\desktop", "Wallpaper"}] = "C:\\mine.bmp";
  // A run killed while its picture was on the desktop.
  ASSERT_TRUE(SetWallpaper(host, "C:\\Temp\\\\kestro.bmp"));
  fake.files.files[xmlPath] =
      "<Root><wallpaper><changewallpaper>True</changewallpaper><wallpapername>E:\\w.bmp</wallpapername>"
      "<hideicon>True</hideicon></wallpaper><addetc><startuseupexelink>True</startuseupexelink></addetc>"
      "<exelink><txt>Apps\\ed.exe</txt></exelink></Root>";
  HostChanges next(fake.files, fake.registry, fake.desktop, fake.messages, "C:\\local\\journal");
  seq.hostChanges = &next;
  ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
  EXPECT_EQ(state.pv.originalWallpaper, "C:\\mine.bmp");
  EXPECT_EQ(fake.registry.ReadString(RegistryRoot::CurrentUser, "Control Panel\\desktop", "Wallpaper"), "E:\\w.bmp");
  EXPECT_FALSE(fake.desktop.iconViewVisible);
  EXPECT_FALSE(state.pv.desktopIconsShown);
  EXPECT_TRUE(state.pv.associationsApplied);
  EXPECT_EQ(fake.registry.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\Classes\\.txt", ""), "kestro.txt");

  // Without a document nothing is changed, and the mark stays off.
  testing::FakePlatform bare;
  AppState other;
  StartSequence plain{other, bare.platform};
  HostChanges none(bare.files, bare.registry, bare.desktop, bare.messages, "C:\\local\\journal");
  plain.hostChanges = &none;
  ASSERT_EQ(plain.Run(exe), StartOutcome::Running);
  EXPECT_EQ(bare.registry.writes, 0);
  EXPECT_TRUE(bare.desktop.iconViewVisible);
  EXPECT_FALSE(other.pv.associationsApplied);
}

}  // namespace
}  // namespace kestro
