#include <gtest/gtest.h>

#include "core/app/Exit.h"
#include "core/app/StartSequence.h"
#include "core/host/DriveLetter.h"
#include "unit/FakePlatform.h"
#include "unit/FakeVolumes.h"

namespace kestro {
namespace {

const std::string kVolume = "\\\\?\\Volume{5}\\";
const std::string kDevice = "\\Device\\HarddiskVolume5";
const std::string kEnglish03 = "Selected @1 is using with other Apps!#13So Current Drive @2 will be selected!";

struct VolumesFixture : ::testing::Test {
  testing::FakePlatform fake;
  testing::FakeVolumes volumes;
  std::string journal = "C:\\local\\Kestro host changes.journal";
  HostChanges host{fake.files, fake.registry, fake.desktop, fake.messages, journal};
  VolumesFixture() {
    volumes.AddVolume("E:", kVolume, kDevice);
    host.SetVolumes(&volumes);
  }
  // A later start on the same host: its own journal reader.
  void RepairAsTheNextStart() {
    HostChanges next{fake.files, fake.registry, fake.desktop, fake.messages, journal};
    next.SetVolumes(&volumes);
    next.Repair();
  }
};

struct MoveCase {
  const char* name;
  std::vector<std::string> refused;
  bool oneLetterPerVolume;
  bool moved;
  std::vector<std::string> letters;  // the volume's letters afterwards
  std::vector<std::string> changes;  // the calls after the volume's name was learnt
  size_t journalEntries;
};

const std::string kSetF = "SetMountPoint F:\\ " + kVolume, kSetE = "SetMountPoint E:\\ " + kVolume;
const std::string kDelE = "DeleteMountPoint E:\\", kDelF = "DeleteMountPoint F:\\";

TEST_F(VolumesFixture, TheVolumeGetsTheNewLetterOrKeepsTheOldOneAndNeverEndsWithout) {
  const MoveCase cases[] = {
      {"new letter before the old goes", {}, false, true, {"F:"}, {kSetF, kDelE}, 0},
      {"one letter a volume: the old goes first", {}, true, true, {"F:"}, {kSetF, kDelE, kSetF}, 0},
      {"the old cannot go: the new one is taken back", {kDelE}, false, false, {"E:"}, {kSetF, kDelE, kDelF}, 0},
      {"both refused, as under Wine", {kSetF, kDelE}, false, false, {"E:"}, {kSetF, kDelE}, 0},
      {"the new one refused after the old went: the old comes back", {kSetF}, true, false, {"E:"},
       {kSetF, kDelE, kSetF, kSetE}, 0},
      {"no letter can be set: the old name reaches it for the run", {kSetF, kSetE}, false, false, {},
       {kSetF, kDelE, kSetF, kSetE, "DefineName E: " + kDevice}, 1},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeVolumes v;
    v.AddVolume("E:", kVolume, kDevice);
    v.oneLetterPerVolume = c.oneLetterPerVolume;
    v.refused.insert(c.refused.begin(), c.refused.end());
    HostChanges h{fake.files, fake.registry, fake.desktop, fake.messages, journal + c.name};
    h.SetVolumes(&v);
    LetterMove move = MoveVolumeLetter(h, v, "E:", "F:");
    EXPECT_EQ(move.moved, c.moved);
    EXPECT_EQ(move.problem.empty(), c.moved);
    EXPECT_EQ(v.LettersOf(kVolume), c.letters);
    // The name is learnt through a temporary F:, which is gone before any letter changes.
    const std::vector<std::string> learn{"DeviceOf E:", "DefineName F: " + kDevice, "VolumeAt F:\\",
                                         "RemoveName F: " + kDevice};
    ASSERT_GE(v.calls.size(), learn.size());
    EXPECT_EQ(std::vector<std::string>(v.calls.begin(), v.calls.begin() + 4), learn);
    EXPECT_EQ(std::vector<std::string>(v.calls.begin() + 4, v.calls.end()), c.changes);
    EXPECT_EQ(v.sessionNames.count("F:"), 0u);
    EXPECT_EQ(h.Journal().Entries().size(), c.journalEntries);
    EXPECT_EQ(fake.files.FileExists(journal + c.name), c.journalEntries > 0);
  }
}

TEST_F(VolumesFixture, AVolumeLeftWithoutALetterGetsItBackAtTheNextStart) {
  volumes.refused = {kSetF, kSetE};
  ASSERT_FALSE(MoveVolumeLetter(host, volumes, "E:", "F:").moved);
  EXPECT_EQ(volumes.sessionNames.at("E:"), kDevice);
  ASSERT_EQ(host.Journal().Entries().size(), 1u);
  EXPECT_EQ(host.Journal().Entries()[0].Get("stage"), "lost");
  volumes.refused.clear();
  RepairAsTheNextStart();
  EXPECT_EQ(volumes.LettersOf(kVolume), std::vector<std::string>{"E:"});
  EXPECT_TRUE(volumes.sessionNames.empty());
  EXPECT_FALSE(fake.files.FileExists(journal));
}

TEST_F(VolumesFixture, EarlyStepsThatFailChangeNothingAndLeaveNoTemporaryLetter) {
  struct Case {
    const char* name;
    std::string refused;
    size_t journalEntries;
  } cases[] = {
      {"no device behind the letter", "DeviceOf E:", 0},
      {"the temporary name is refused", "DefineName F: " + kDevice, 0},
      {"the volume has no name", "VolumeAt F:\\", 0},
      // Kept for the next start, which takes the name away.
      {"the temporary name cannot be taken away", "RemoveName F: " + kDevice, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeVolumes v;
    v.AddVolume("E:", kVolume, kDevice);
    v.refused = {c.refused};
    HostChanges h{fake.files, fake.registry, fake.desktop, fake.messages, journal};
    h.SetVolumes(&v);
    LetterMove move = MoveVolumeLetter(h, v, "E:", "F:");
    EXPECT_FALSE(move.moved);
    EXPECT_FALSE(move.problem.empty());
    EXPECT_EQ(v.LettersOf(kVolume), std::vector<std::string>{"E:"});
    for (const std::string& call : v.calls) EXPECT_EQ(call.rfind("SetMountPoint", 0), std::string::npos) << call;
    EXPECT_EQ(h.Journal().Entries().size(), c.journalEntries);
    v.refused.clear();
    HostChanges next{fake.files, fake.registry, fake.desktop, fake.messages, journal};
    next.SetVolumes(&v);
    next.Repair();
    EXPECT_TRUE(v.sessionNames.empty());
    EXPECT_EQ(v.LettersOf(kVolume), std::vector<std::string>{"E:"});
    EXPECT_FALSE(fake.files.FileExists(journal));
  }
}

TEST_F(VolumesFixture, ACrashInTheMiddleIsRepairedAndAFinishedMoveIsKept) {
  // Killed after the old letter went, before the new one was set.
  JournalEntry e{"driveletter", {}};
  e.Set("old", "E:");
  e.Set("new", "F:");
  e.Set("device", kDevice);
  e.Set("volume", kVolume);
  e.Set("stage", "move");
  ASSERT_TRUE(host.Record(e));
  volumes.mounts.clear();
  RepairAsTheNextStart();
  EXPECT_EQ(volumes.LettersOf(kVolume), std::vector<std::string>{"E:"});
  EXPECT_FALSE(fake.files.FileExists(journal));

  // Killed after the move completed, before the entry was forgotten: F: stays.
  volumes.mounts = {{"F:", kVolume}};
  HostChanges again{fake.files, fake.registry, fake.desktop, fake.messages, journal};
  ASSERT_TRUE(again.Record(e));
  RepairAsTheNextStart();
  EXPECT_EQ(volumes.LettersOf(kVolume), std::vector<std::string>{"F:"});
  EXPECT_FALSE(fake.files.FileExists(journal));
}

TEST(FixedLetterTest, ChangesOnlyToAFreeOtherLetterAndTellsATakenOne) {
  struct Case {
    const char* name;
    bool use;
    std::string wanted;
    DriveType type;  // of the wanted root
    bool change;
    std::string message;
  } cases[] = {
      {"off", false, "F:", DriveType::NoRootDir, false, ""},
      {"no letter set", true, "", DriveType::NoRootDir, false, ""},
      {"the current letter", true, "E:", DriveType::NoRootDir, false, ""},
      {"the current letter in small case", true, "e:", DriveType::NoRootDir, false, ""},
      {"free", true, "F:", DriveType::NoRootDir, true, ""},
      {"taken", true, "F:", DriveType::Removable, false,
       "Selected F: is using with other Apps!\r\nSo Current Drive E: will be selected!"},
      {"no drive name", true, "FF", DriveType::NoRootDir, false,
       "The fixed drive letter \"FF\" is no drive name (such as F:).\r\nKestro stays on E:."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakePlatform fake;
    MessageTable table;
    table.Set("03", kEnglish03);
    fake.drives.types[c.wanted + "\\"] = c.type;
    EXPECT_EQ(FixedLetterWanted(c.use, c.wanted, "E:", fake.drives, fake.messages, table), c.change);
    if (c.message.empty()) {
      EXPECT_TRUE(fake.messages.shown.empty());
    } else {
      ASSERT_EQ(fake.messages.shown.size(), 1u);
      EXPECT_EQ(fake.messages.shown[0].text, c.message);
      EXPECT_EQ(fake.messages.shown[0].caption, "Notice");
      EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    }
  }
}

TEST(DriveValuesTest, MoveWithTheLetterAndTheLanguageFileFollows) {
  ProcessValues pv;
  pv.programDrive = "E:";
  pv.programDriveRoot = "E:\\";
  pv.programFolder = "E:\\Tools\\";
  pv.favoritesFolder = "E:\\Tools\\kestro_favorites";
  pv.languageFile = "e:\\Tools\\english.lng";
  MoveDriveValues(pv, "F:");
  EXPECT_EQ(pv.programDrive, "F:");
  EXPECT_EQ(pv.programDriveRoot, "F:\\");
  EXPECT_EQ(pv.programFolder, "F:\\Tools\\");
  EXPECT_EQ(pv.favoritesFolder, "F:\\Tools\\kestro_favorites");
  EXPECT_EQ(pv.languageFile, "F:\\Tools\\english.lng");
  pv.programFolder = "F:\\";
  MoveDriveValues(pv, "G:");
  EXPECT_EQ(pv.programFolder, "G:\\");
  EXPECT_EQ(PathOnDrive("C:\\x.lng", "G:", "H:"), "C:\\x.lng");
}

struct LetterStartFixture : VolumesFixture {
  AppState state;
  StartSequence seq{state, fake.platform};
  const std::string exe = "E:\\Kestro\\Kestro.exe";
  LetterStartFixture() {
    seq.hostChanges = &host;
    seq.volumes = &volumes;
    fake.files.files["E:\\Kestro\\Kestro.xml"] =
        "<Root><start><usefixdrive>True</usefixdrive><fixdrivename>F:</fixdrivename></start>"
        "<icon><iconmode>1</iconmode><appicon>Kestro\\k.ico</appicon></icon>"
        "<exelink><txt>Apps\\ed.exe</txt></exelink></Root>";
  }
};

TEST_F(LetterStartFixture, AMovedDriveIsReadAgainOnItsNewLetter) {
  ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
  EXPECT_EQ(volumes.LettersOf(kVolume), std::vector<std::string>{"F:"});
  EXPECT_EQ(state.pv.programDrive, "F:");
  EXPECT_EQ(state.pv.programFolder, "F:\\Kestro\\");
  EXPECT_TRUE(state.pv.driveLetterChanged);
  EXPECT_TRUE(state.pv.panelStartDelay);
  EXPECT_EQ(state.env.appicon, "F:\\Kestro\\k.ico");
  ASSERT_EQ(state.exeLinks.size(), 1u);  // read anew, not added twice
  EXPECT_EQ(state.exeLinks[0].second.program, "F:\\Apps\\ed.exe");
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_FALSE(fake.files.FileExists(journal));
  // No removal tool after a move.
  state.env.tryremovedrive = true;
  EXPECT_FALSE(PlanExit(ExitTrigger::TrayExit, state).Has(ExitStep::RunRemovalTool));
}

TEST_F(LetterStartFixture, ARefusedMoveKeepsEveryPathAndIsToldOnce) {
  volumes.refused = {kSetF, kDelE};
  ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
  EXPECT_EQ(volumes.LettersOf(kVolume), std::vector<std::string>{"E:"});
  EXPECT_EQ(state.pv.programDrive, "E:");
  EXPECT_EQ(state.pv.programFolder, "E:\\Kestro\\");
  EXPECT_EQ(state.env.appicon, "E:\\Kestro\\k.ico");
  EXPECT_FALSE(state.pv.driveLetterChanged);
  EXPECT_FALSE(state.pv.panelStartDelay);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text.rfind("Kestro could not move its drive to F: and stays on E:.\r\n", 0), 0u);
  EXPECT_TRUE(volumes.sessionNames.empty());
  EXPECT_FALSE(fake.files.FileExists(journal));
  state.env.tryremovedrive = true;
  EXPECT_TRUE(PlanExit(ExitTrigger::TrayExit, state).Has(ExitStep::RunRemovalTool));
}

TEST_F(LetterStartFixture, NeverFromCAndNeverInThePcEdition) {
  volumes.AddVolume("C:", "\\\\?\\Volume{1}\\", "\\Device\\HarddiskVolume1");
  fake.files.files["C:\\Kestro\\Kestro.xml"] = fake.files.files["E:\\Kestro\\Kestro.xml"];
  ASSERT_EQ(seq.Run("C:\\Kestro\\Kestro.exe"), StartOutcome::Running);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Never Change \"C:\" Drive");
  EXPECT_EQ(state.pv.programDrive, "C:");

  fake.messages.shown.clear();
  volumes.calls.clear();
  ASSERT_EQ(seq.Run("C:\\Kestro\\kestro-pc.exe"), StartOutcome::Running);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_TRUE(volumes.calls.empty());
}

struct ToolFixture : LetterStartFixture {
  const std::string tool = "E:\\Kestro\\env\\remount.exe";
  void SetUp() override {
    volumes.refused = {kSetF, kDelE};  // the start's own move fails, as under Wine
    ASSERT_EQ(seq.Run(exe), StartOutcome::Running);
    fake.messages.shown.clear();
    fake.files.files[tool] = "MZ";
    state.messages.Set("03", kEnglish03);
  }
  bool Apply(const std::string& letter) {
    return ChangeDriveLetterByTool(state, fake.platform, letter, WindowStateFromSettings(state.env), "C:\\windows");
  }
};

TEST_F(ToolFixture, TheToolStartsOnlyAfterKestroXmlWasSavedOnTheOldLetter) {
  ASSERT_TRUE(Apply("g:"));
  ASSERT_EQ(fake.shell.opened.size(), 1u);
  EXPECT_EQ(fake.shell.opened[0], (testing::ShellOpen{tool, "E: G:", "C:\\windows", kSwHide}));
  EXPECT_NE(fake.files.files["E:\\Kestro\\Kestro.xml"].find("<fixdrivename>G:</fixdrivename>"), std::string::npos);
  EXPECT_EQ(state.pv.programDrive, "G:");
  EXPECT_EQ(state.pv.programFolder, "G:\\Kestro\\");
  EXPECT_TRUE(state.pv.driveLetterChanged);
  // The exit that follows writes nothing more to the moving drive.
  const int writes = fake.files.atomicWrites;
  SaveAtExit(state, fake.platform, WindowStateFromSettings(state.env));
  EXPECT_EQ(fake.files.atomicWrites, writes);
  EXPECT_FALSE(fake.files.FileExists("G:\\Kestro\\Kestro.xml"));
  EXPECT_TRUE(fake.messages.shown.empty());
  // A direct end: no list, no shell windows, no removal tool.
  state.env.tryremovedrive = state.env.exituseprg = state.env.exitshellprg = true;
  const ExitPlan plan = PlanExit(ExitTrigger::SettingsApply, state);
  EXPECT_EQ(plan.steps, (std::vector<ExitStep>{ExitStep::SaveAndClosePanel, ExitStep::UndoHostChanges}));
}

TEST_F(ToolFixture, NothingChangesWhenTheToolCannotRun) {
  struct Case {
    const char* name;
    std::string letter;
    bool toolThere;
    int shellResult;
    std::string messageStart;
  } cases[] = {
      {"letter taken", "H:", true, 42, "Selected H: is using with other Apps!\r\nSo Current Drive E:"},
      {"no tool", "G:", false, 42, "E:\\Kestro\\env\\remount.exe is missing"},
      {"the tool does not start", "G:", true, 2, "E:\\Kestro\\env\\remount.exe could not be started (2)"},
  };
  fake.drives.types["H:\\"] = DriveType::Fixed;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fake.messages.shown.clear();
    fake.shell.result = c.shellResult;
    if (!c.toolThere) fake.files.files.erase(tool);
    EXPECT_FALSE(Apply(c.letter));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text.rfind(c.messageStart, 0), 0u) << fake.messages.shown[0].text;
    EXPECT_EQ(state.pv.programDrive, "E:");
    EXPECT_EQ(state.env.fixdrivename, "F:");
    EXPECT_FALSE(state.pv.driveLetterChanged);
    EXPECT_FALSE(state.savedBeforeLetterMove);
    fake.files.files[tool] = "MZ";
  }
}

TEST(DeviceChangeTest, ArrivalWatchesForThePinnedDrivesPromptAndOnlyTheOwnDrivesRemovalCounts) {
  testing::FakePlatform fake;
  testing::FakeVolumes volumes;
  ProcessValues pv;
  pv.programDriveRoot = "E:\\";
  EnvSet env;
  env.fixdrivename = "F:";
  fake.drives.types["E:\\"] = DriveType::Removable;
  EXPECT_EQ(ReactToDeviceChange(kDeviceArrival, pv, env, fake.drives), DeviceReaction::WatchAutoplay);
  EXPECT_EQ(ReactToDeviceChange(kDeviceRemoveComplete, pv, env, fake.drives), DeviceReaction::None);
  EXPECT_EQ(ReactToDeviceChange(0x8001, pv, env, fake.drives), DeviceReaction::None);
  fake.drives.types.erase("E:\\");
  EXPECT_EQ(ReactToDeviceChange(kDeviceRemoveComplete, pv, env, fake.drives), DeviceReaction::DriveGone);
  fake.drives.types["E:\\"] = DriveType::Unknown;
  EXPECT_EQ(ReactToDeviceChange(kDeviceRemoveComplete, pv, env, fake.drives), DeviceReaction::DriveGone);
  env.fixdrivename.clear();
  EXPECT_EQ(ReactToDeviceChange(kDeviceArrival, pv, env, fake.drives), DeviceReaction::None);

  // The title: autorun.inf's label, "Label" without the key, else the volume label.
  volumes.labels["F:\\"] = "USBDISK";
  EXPECT_EQ(AutoplayTitle("F:", fake.files, fake.codec, volumes), "USBDISK (F:)");
  fake.files.files["F:\\autorun.inf"] = "[autorun]\r\nopen=Kestro.exe\r\n";
  EXPECT_EQ(AutoplayTitle("F:", fake.files, fake.codec, volumes), "Label (F:)");
  fake.files.files["F:\\autorun.inf"] = "[AutoRun]\r\nlabel = My Tools\r\n";
  EXPECT_EQ(AutoplayTitle("F:", fake.files, fake.codec, volumes), "My Tools (F:)");
}

}  // namespace
}  // namespace kestro
