#include <gtest/gtest.h>

#include "core/app/StartSequence.h"
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

TEST_F(StartFixture, UnopenableVolumeSaysSoAndIsAccepted) {
  fake.drives.buses['E'] = {false, 0};
  EXPECT_EQ(seq.Run(exe), StartOutcome::Running);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "createfile error");
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

TEST(ClampPanelBoundsTest, TallPanelStartsAtTheTopWithTheWorkAreaHeight) {
  EnvSet env;
  env.top = 100;
  env.height = 900;
  env.left = -50;
  ClampPanelBounds(env, 1024, 768);
  EXPECT_EQ(env.top, 0);
  EXPECT_EQ(env.height, 768);
  EXPECT_EQ(env.left, -50);  // left is not clamped at 0
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
      "<topwindow>True</topwindow><tabindex>3</tabindex></main></window>"
      "<exelink><txt buselink=\"False\">Apps\\ed.exe</txt></exelink><tabs><tab/></tabs></Root>";
  fake.files.files[xmlPath] = xml;
  seq.Run(exe);
  SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));

  AppState again;
  testing::FakePlatform second;
  second.files.files[xmlPath] = fake.files.files.at(xmlPath);
  StartSequence(again, second.platform).Run(exe);
  EXPECT_EQ(again.env, state.env);
  EXPECT_EQ(again.exeLinks, state.exeLinks);
  EXPECT_TRUE(again.doc.Element().child("tabs").child("tab"));
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
