// The journal of host changes and the changes made through it: associations,
// wallpaper, desktop icons, and the repair of a run that ended without undo.
#include <gtest/gtest.h>

#include "core/host/Associations.h"
#include "core/host/DesktopChanges.h"
#include "core/host/ExeLinkEdit.h"
#include "core/host/HostUndo.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

using testing::FakePlatform;
constexpr auto HKLM = RegistryRoot::LocalMachine;
constexpr auto HKCU = RegistryRoot::CurrentUser;
const std::string kJournal = "C:\\users\\kim\\AppData\\Local\\Kestro host changes.journal";

struct HostFixture : ::testing::Test {
  FakePlatform fake;
  std::unique_ptr<HostChanges> host = NewRun();

  std::unique_ptr<HostChanges> NewRun() {
    return std::make_unique<HostChanges>(fake.files, fake.registry, fake.desktop, fake.messages, kJournal);
  }
  // A run that ends without its undo, and the next start on this host.
  void CrashAndRestart() {
    host = NewRun();
    host->Repair();
  }
  std::optional<std::string> Value(RegistryRoot r, const std::string& key, const std::string& name = "") {
    return fake.registry.ReadString(r, key, name);
  }
};

TEST(HostJournalTest, TextRoundTripsAndSkipsWhatItCannotRead) {
  std::vector<JournalEntry> entries{{"wallpaper", {{"before", "C:\\a b\\x.bmp"}, {"wrote", "tab\there\r\nline\\"}}},
                                    {"desktopicons", {}}};
  std::string text = SerializeJournal(entries);
  EXPECT_EQ(ParseJournal(text), entries);
  // A torn last line and a bad escape are skipped; the rest still counts.
  EXPECT_EQ(ParseJournal(text + "association\troot=mach\\q\r\nassoc"), (std::vector<JournalEntry>{
                                                                            entries[0], entries[1], {"assoc", {}}}));
  // Another program's file is not ours to undo.
  EXPECT_TRUE(ParseJournal("something else\r\nwallpaper\twrote=x\r\n").empty());
}

TEST(HostJournalTest, WritesBeforeItReturnsAndAnEmptyJournalIsNoFile) {
  testing::FakeFileSystem files;
  HostJournal journal(files, "J");
  ASSERT_TRUE(journal.Add({"desktopicons", {}}));
  EXPECT_EQ(files.atomicWrites, 1);
  EXPECT_EQ(ParseJournal(files.files["J"]).size(), 1u);
  files.failWrites = true;
  EXPECT_FALSE(journal.Add({"wallpaper", {}}));
  EXPECT_EQ(journal.Entries().size(), 1u);
  files.failWrites = false;
  EXPECT_TRUE(journal.Remove(0));
  EXPECT_FALSE(files.FileExists("J"));
  HostJournal again(files, "J");
  again.Load();
  EXPECT_TRUE(again.Entries().empty());
}

TEST_F(HostFixture, ApplyWritesTheLayoutAndRecordsFirst) {
  fake.registry.values[{HKLM, "SOFTWARE\\Classes\\.txt", ""}] = "txtfile";
  ExeLinkList links{{"txt", {true, "E:\\Apps\\ed.exe -n"}}};
  ASSERT_TRUE(ApplyAssociations(*host, links));
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\.txt"), "kestro.txt");
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\.txt", "kestro_bak"), "txtfile");
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\kestro.txt\\Shell\\Open\\Command"), "E:\\Apps\\ed.exe -n \"%1\"");
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\kestro.txt\\DefaultIcon"), "E:\\Apps\\ed.exe -n,0");
  EXPECT_NE(fake.files.files[kJournal].find("ext=txt"), std::string::npos);
  EXPECT_EQ(fake.desktop.associationNotices, 1);
  // Twice: the backup keeps the first previous value.
  ASSERT_TRUE(ApplyAssociations(*host, links));
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\.txt", "kestro_bak"), "txtfile");
  EXPECT_EQ(host->Journal().Entries().size(), 1u);
}

// Every write to the registry finds its change already in the journal file.
TEST(HostRecordFirstTest, TheJournalIsOnDiskBeforeAnyWrite) {
  struct Watching : testing::FakeRegistry {
    testing::FakeFileSystem* files = nullptr;
    std::vector<std::string> unrecorded;
    bool WriteValue(RegistryRoot r, const std::string& k, const std::string& v, const RegistryValue& d) override {
      const std::string& journal = files->files[kJournal];
      bool recorded = journal.find("ext=txt") != std::string::npos || journal.find("wallpaper") != std::string::npos;
      if (!recorded) unrecorded.push_back(k);
      return testing::FakeRegistry::WriteValue(r, k, v, d);
    }
  };
  FakePlatform fake;
  Watching registry;
  registry.files = &fake.files;
  HostChanges host(fake.files, registry, fake.desktop, fake.messages, kJournal);
  ApplyAssociations(host, {{"txt", {true, "E:\\a.exe"}}});
  SetWallpaper(host, "x.bmp");
  EXPECT_EQ(registry.writes, 5);
  EXPECT_TRUE(registry.unrecorded.empty());
}

TEST_F(HostFixture, UndoGivesBackExactlyWhatWasThere) {
  fake.registry.values[{HKLM, "SOFTWARE\\Classes\\.log", ""}] = "%SystemRoot%\\logfile";
  fake.registry.types[{HKLM, "SOFTWARE\\Classes\\.log", ""}] = RegistryType::ExpandString;
  fake.registry.values[{HKLM, "SOFTWARE\\Classes\\.ini", "Content Type"}] = "text/plain";  // no default
  fake.registry.values[{HKCU, "Control Panel\\desktop", "Wallpaper"}] = "C:\\mine.bmp";
  const auto before = fake.registry.Snapshot();
  ExeLinkList links{{"log", {true, "E:\\a.exe"}}, {"ini", {true, "E:\\b.exe"}}, {"7z", {true, "E:\\c.exe"}}};
  AppState state;
  state.exeLinks = links;
  ASSERT_TRUE(ApplyAssociations(*host, links));
  ASSERT_TRUE(SetWallpaper(*host, "C:\\Temp\\\\kestro.bmp"));
  ASSERT_TRUE(HideDesktopIcons(*host));
  EXPECT_NE(fake.registry.Snapshot(), before);
  UndoHostChanges(state, *host);
  EXPECT_EQ(fake.registry.Snapshot(), before);
  // A key made for the redirection is gone again, not left empty.
  EXPECT_FALSE(fake.registry.KeyContents(HKLM, "SOFTWARE\\Classes\\.7z"));
  EXPECT_FALSE(fake.registry.KeyContents(HKLM, "SOFTWARE\\Classes\\kestro.log"));
  EXPECT_TRUE(fake.desktop.iconViewVisible);
  EXPECT_EQ(fake.desktop.wallpaperNotices.back(), "C:\\mine.bmp");
  EXPECT_FALSE(fake.files.FileExists(kJournal));
  EXPECT_TRUE(state.exeLinks.empty());
  // Again: nothing left to do.
  int writes = fake.registry.writes;
  UndoHostChanges(state, *host);
  EXPECT_EQ(fake.registry.writes, writes);
}

TEST_F(HostFixture, RestoreCreatesNothingForExtensionsNeverApplied) {
  fake.registry.values[{HKLM, "SOFTWARE\\Classes\\.txt", ""}] = "txtfile";
  const auto before = fake.registry.Snapshot();
  RestoreAssociations(*host, {{"txt", {true, "E:\\a.exe"}}, {"doc", {false, "E:\\b.exe"}}});
  EXPECT_EQ(fake.registry.writes, 0);
  EXPECT_FALSE(fake.registry.KeyContents(HKLM, "SOFTWARE\\Classes\\.doc"));
  EXPECT_EQ(fake.registry.Snapshot(), before);
}

TEST_F(HostFixture, RefusedMachineClassesFallBackToTheUsersAndAreReportedOnce) {
  fake.registry.refusedRoots = {HKLM};
  ExeLinkList links{{"txt", {true, "E:\\a.exe"}}};
  EXPECT_TRUE(ApplyAssociations(*host, links));
  EXPECT_EQ(Value(HKCU, "Software\\Classes\\.txt"), "kestro.txt");
  EXPECT_TRUE(fake.messages.shown.empty());
  RestoreAssociations(*host, links);
  EXPECT_FALSE(fake.registry.KeyContents(HKCU, "Software\\Classes\\.txt"));
  // Both refused: nothing applied, the mark says so, one notice.
  fake.registry.refusedRoots = {HKLM, HKCU};
  EXPECT_FALSE(ApplyAssociations(*host, links));
  EXPECT_FALSE(ApplyAssociations(*host, links));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_NE(fake.messages.shown[0].text.find("txt"), std::string::npos);
  EXPECT_TRUE(host->Journal().Entries().empty());
}

TEST_F(HostFixture, ANextStartRepairsWhatACrashLeftAndKeepsTheUsersLaterChanges) {
  fake.registry.values[{HKLM, "SOFTWARE\\Classes\\.txt", ""}] = "txtfile";
  fake.registry.values[{HKCU, "Control Panel\\desktop", "Wallpaper"}] = "C:\\mine.bmp";
  const auto before = fake.registry.Snapshot();
  ExeLinkList links{{"txt", {true, "E:\\a.exe"}}, {"doc", {true, "E:\\b.exe"}}};
  ApplyAssociations(*host, links);
  SetWallpaper(*host, "C:\\Temp\\\\kestro.bmp");
  HideDesktopIcons(*host);
  CrashAndRestart();
  EXPECT_EQ(fake.registry.Snapshot(), before);
  EXPECT_TRUE(fake.desktop.iconViewVisible);
  EXPECT_FALSE(fake.files.FileExists(kJournal));

  // Later changes by the user stay: another file type, another picture.
  ApplyAssociations(*host, links);
  SetWallpaper(*host, "C:\\Temp\\\\kestro.bmp");
  fake.registry.values[{HKLM, "SOFTWARE\\Classes\\.txt", ""}] = "myeditor";
  fake.registry.values[{HKCU, "Control Panel\\desktop", "Wallpaper"}] = "C:\\new.bmp";
  CrashAndRestart();
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\.txt"), "myeditor");
  EXPECT_FALSE(Value(HKLM, "SOFTWARE\\Classes\\.txt", "kestro_bak"));
  EXPECT_FALSE(fake.registry.KeyContents(HKLM, "SOFTWARE\\Classes\\kestro.txt"));
  EXPECT_EQ(Value(HKCU, "Control Panel\\desktop", "Wallpaper"), "C:\\new.bmp");
  EXPECT_FALSE(fake.registry.KeyContents(HKLM, "SOFTWARE\\Classes\\.doc"));
}

TEST_F(HostFixture, ApplyingAgainAfterAnotherProgramTookTheExtensionRestoresThatProgramsType) {
  ExeLinkList links{{"kdoc", {true, "E:\\a.exe"}}};
  ApplyAssociations(*host, links);
  fake.registry.values[{HKLM, "SOFTWARE\\Classes\\.kdoc", ""}] = "other";
  ApplyAssociations(*host, links);
  EXPECT_EQ(host->Journal().Entries().size(), 1u);
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\.kdoc", "kestro_bak"), "other");
  RestoreAssociations(*host, links);
  EXPECT_EQ(Value(HKLM, "SOFTWARE\\Classes\\.kdoc"), "other");
  EXPECT_FALSE(Value(HKLM, "SOFTWARE\\Classes\\.kdoc", "kestro_bak"));
}

TEST_F(HostFixture, NothingChangesWhenTheJournalCannotBeWrittenAndUnknownKindsStay) {
  fake.files.failWrites = true;
  EXPECT_FALSE(ApplyAssociations(*host, {{"txt", {true, "E:\\a.exe"}}}));
  EXPECT_FALSE(SetWallpaper(*host, "x.bmp"));
  EXPECT_FALSE(HideDesktopIcons(*host));
  EXPECT_EQ(fake.registry.writes, 0);
  EXPECT_TRUE(fake.desktop.iconViewVisible);
  EXPECT_EQ(fake.messages.shown.size(), 2u);  // the journal once, the extension once
  fake.files.failWrites = false;
  // An entry of a kind a later version writes waits for that version.
  fake.files.files[kJournal] = SerializeJournal({{"drivesomething", {{"x", "1"}}}, {"desktopicons", {}}});
  fake.desktop.iconViewVisible = false;
  CrashAndRestart();
  EXPECT_TRUE(fake.desktop.iconViewVisible);
  EXPECT_EQ(ParseJournal(fake.files.files[kJournal]), (std::vector<JournalEntry>{{"drivesomething", {{"x", "1"}}}}));
}

TEST_F(HostFixture, WallpaperFilesByExtension) {
  fake.desktop.jpegs["E:\\pics\\sky.JPG"] = "BM...";
  struct Case {
    std::string picture;
    std::optional<std::string> value;
  } cases[] = {
      {"E:\\pics\\sky.JPG", "C:\\Temp\\\\kestro.bmp"},
      {"E:\\pics\\missing.jpg", std::nullopt},  // missing or undecodable: nothing changes
      {"E:\\pics\\a.BMP", "E:\\pics\\a.BMP"},
      {"E:\\pics\\a.gif", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WallpaperFileFor(c.picture, "C:\\Temp\\", fake.desktop), c.value) << c.picture;
  EXPECT_EQ(fake.desktop.converted.count("C:\\Temp\\\\kestro.bmp"), 1u);
}

TEST_F(HostFixture, StartAndSettingsSteps) {
  AppState state;
  state.pv.tempFolder = "C:\\Temp\\";
  state.env.changewallpaper = true;
  state.env.wallpapername = "E:\\missing.jpg";
  state.env.hideicon = true;
  ApplyDesktopAtStart(state, *host);
  EXPECT_TRUE(fake.desktop.wallpaperNotices.empty());
  EXPECT_FALSE(fake.desktop.iconViewVisible);
  EXPECT_FALSE(state.pv.desktopIconsShown);

  // The settings' OK: a picture, then the box off (back to the host's).
  fake.registry.values[{HKCU, "Control Panel\\desktop", "Wallpaper"}] = "C:\\mine.bmp";
  ApplyDesktopSettings(state, *host, {true, "E:\\w.bmp", false});
  EXPECT_EQ(Value(HKCU, "Control Panel\\desktop", "Wallpaper"), "E:\\w.bmp");
  EXPECT_TRUE(fake.desktop.iconViewVisible);
  EXPECT_FALSE(state.pv.desktopIconsShown);  // the settings leave it
  ApplyDesktopSettings(state, *host, {true, "", true});
  EXPECT_FALSE(state.env.changewallpaper);
  EXPECT_EQ(state.env.wallpapername, "E:\\w.bmp");
  EXPECT_FALSE(fake.desktop.iconViewVisible);
  ApplyDesktopSettings(state, *host, {false, "", false});
  EXPECT_EQ(state.env.wallpapername, "");
  EXPECT_EQ(Value(HKCU, "Control Panel\\desktop", "Wallpaper"), "C:\\mine.bmp");

  // The shortcut toggles; without a view it changes nothing.
  EXPECT_FALSE(ToggleDesktopIcons(*host, true));
  EXPECT_TRUE(ToggleDesktopIcons(*host, false));
  fake.desktop.hasIconView = false;
  EXPECT_TRUE(ToggleDesktopIcons(*host, true));
}

TEST(NormalizeExtensionTest, Table) {
  struct Case {
    std::string text;
    std::optional<std::string> ext;
  } cases[] = {{"txt", "txt"}, {".TXT", "txt"}, {"..txt", ".txt"}, {"7Z", "7z"}, {"", std::nullopt},
               {".", std::nullopt}, {"a b", std::nullopt}, {"a\\b", std::nullopt}, {"a/b", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(NormalizeExtension(c.text), c.ext) << c.text;
}

TEST(ExeLinkRowsTest, AddSelectAndSplit) {
  std::vector<ExeLinkRow> rows = RowsOf({{"txt", {false, "E:\\a.exe"}}});
  EXPECT_EQ(AddOrUpdateRow(rows, "doc", "E:\\w.exe", ""), 1u);
  EXPECT_EQ(rows[1], (ExeLinkRow{true, "doc", "E:\\w.exe "}));
  EXPECT_EQ(AddOrUpdateRow(rows, "TXT", "E:\\b.exe", "-n  "), 0u);
  EXPECT_EQ(rows[0], (ExeLinkRow{false, "TXT", "E:\\b.exe -n"}));
  EXPECT_EQ(ListOfRows(rows)[0].first, "txt");
  using Split = std::pair<std::string, std::string>;
  EXPECT_EQ(SplitProgramText("E:\\b.exe -n x"), (Split{"E:\\b.exe", "-n x"}));
  EXPECT_EQ(SplitProgramText("E:\\B.EXE -n"), (Split{"E:\\B.EXE", "-n"}));
  EXPECT_EQ(SplitProgramText("E:\\b.exe"), (Split{"E:\\b.exe", ""}));
  EXPECT_EQ(SplitProgramText("E:\\script.cmd"), (Split{"E:\\script.cmd", ""}));
}

TEST_F(HostFixture, DialogOkRestoresWhatLeavesAndTheMarkFollowsTheHost) {
  AppState state;
  state.pv.programDriveRoot = "E:\\";
  state.doc.CreateNew();
  state.exeLinks = {{"txt", {true, "E:\\a.exe"}}, {"doc", {true, "E:\\b.exe"}}, {"ini", {true, "E:\\c.exe"}}};
  UseUsbLinks(state, *host);
  EXPECT_TRUE(state.pv.associationsApplied);
  // doc deleted, ini unticked: both restored at once; txt stays.
  ApplyExeLinkRows(state, *host, {{true, "txt", "E:\\a.exe"}, {false, "ini", "E:\\c.exe"}});
  EXPECT_TRUE(IsAssociationApplied(fake.registry, "txt"));
  EXPECT_FALSE(IsAssociationApplied(fake.registry, "doc"));
  EXPECT_FALSE(IsAssociationApplied(fake.registry, "ini"));
  EXPECT_TRUE(state.pv.associationsApplied);
  EXPECT_TRUE(state.doc.Element().child("exelink").child("ini"));
  UsePcLinks(state, *host);
  EXPECT_FALSE(state.pv.associationsApplied);
  // An emptied list restores what was applied, writes nothing into the document.
  UseUsbLinks(state, *host);
  ApplyExeLinkRows(state, *host, {});
  EXPECT_FALSE(IsAssociationApplied(fake.registry, "txt"));
  EXPECT_TRUE(state.exeLinks.empty());
  EXPECT_TRUE(state.doc.Element().child("exelink").child("txt"));
  EXPECT_FALSE(state.pv.associationsApplied);
}

}  // namespace
}  // namespace kestro
