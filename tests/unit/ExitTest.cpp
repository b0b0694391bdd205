#include "core/app/Exit.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "unit/FakePlatform.h"
#include "unit/FakeProcesses.h"
#include "unit/FakeShell.h"

namespace kestro {
namespace {

using testing::FakeFileSystem;
using testing::FakeProcess;
using testing::FakeProcesses;
using testing::FakeShell;
using S = ExitStep;

// --- which steps each way of ending runs ------------------------------------

struct PlanCase {
  const char* name;
  ExitTrigger trigger;
  std::function<void(AppState&)> setUp;
  std::vector<ExitStep> steps;
  bool endsProgram = true;
};

TEST(ExitPlan, StepsFollowTheTriggerTheSettingsAndTheRun) {
  auto all = [](AppState& s) {
    s.env.exituseprg = s.env.exittempprg = s.env.exitshellprg = s.env.tryremovedrive = true;
  };
  const std::vector<PlanCase> cases = {
      {"-exit, options off", ExitTrigger::ExitArgument, [](AppState&) {}, {S::SaveAndClosePanel, S::UndoHostChanges}},
      {"-exit, every option", ExitTrigger::ExitArgument, all,
       {S::ListPrograms, S::SaveAndClosePanel, S::CloseShellWindows, S::UndoHostChanges, S::RunRemovalTool}},
      {"tray, only the temp list", ExitTrigger::TrayExit, [](AppState& s) { s.env.exittempprg = true; },
       {S::ListPrograms, S::SaveAndClosePanel, S::UndoHostChanges}},
      {"quit slot, shell windows", ExitTrigger::QuitShortcut, [](AppState& s) { s.env.exitshellprg = true; },
       {S::SaveAndClosePanel, S::CloseShellWindows, S::UndoHostChanges}},
      {"panel exit: no list, no shell windows", ExitTrigger::PanelExit, all,
       {S::SaveAndClosePanel, S::UndoHostChanges, S::RunRemovalTool}},
      {"close box: no list, no shell windows", ExitTrigger::CloseBox, all,
       {S::SaveAndClosePanel, S::UndoHostChanges, S::RunRemovalTool}},
      {"settings apply after a letter change", ExitTrigger::SettingsApply,
       [&](AppState& s) { all(s); s.pv.driveLetterChanged = true; }, {S::SaveAndClosePanel, S::UndoHostChanges}},
      {"pulled drive: list, undo, nothing on the drive", ExitTrigger::DriveRemoved,
       [&](AppState& s) { all(s); s.pv.driveRemovedExit = true; },
       {S::ListPrograms, S::SaveAndClosePanel, S::UndoHostChanges}},
      {"PC edition: no removal tool", ExitTrigger::ExitArgument,
       [](AppState& s) { s.env.tryremovedrive = true; s.pv.pcEdition = true; },
       {S::SaveAndClosePanel, S::UndoHostChanges}},
      {"after the log-off answer nothing is undone again", ExitTrigger::ExitArgument,
       [&](AppState& s) { all(s); s.hostChangesUndone = true; },
       {S::ListPrograms, S::SaveAndClosePanel, S::CloseShellWindows, S::RunRemovalTool}},
      {"refused start: only the windows go", ExitTrigger::ExitArgument,
       [&](AppState& s) { all(s); s.started = false; }, {S::SaveAndClosePanel}},
      {"log-off: undo and save, runs on", ExitTrigger::LogOff, all, {S::UndoHostChanges, S::SaveDocument}, false},
      {"second log-off: save only", ExitTrigger::LogOff, [](AppState& s) { s.hostChangesUndone = true; },
       {S::SaveDocument}, false},
  };
  for (const PlanCase& c : cases) {
    AppState state;
    state.started = true;
    c.setUp(state);
    ExitPlan plan = PlanExit(c.trigger, state);
    EXPECT_EQ(plan.steps, c.steps) << c.name;
    EXPECT_EQ(plan.endsProgram, c.endsProgram) << c.name;
  }
}

TEST(ExitPlan, CloseRequestArgumentNamesTheTrigger) {
  EXPECT_EQ(TriggerOfCloseRequest(0), ExitTrigger::ExitArgument);
  EXPECT_EQ(TriggerOfCloseRequest(1), ExitTrigger::TrayExit);
  EXPECT_EQ(TriggerOfCloseRequest(3), ExitTrigger::DriveRemoved);
  EXPECT_EQ(TriggerOfCloseRequest(6), ExitTrigger::SettingsApply);
  // The log-off answer is no close request; unknown values come from outside.
  EXPECT_EQ(TriggerOfCloseRequest(7), ExitTrigger::ExitArgument);
  EXPECT_EQ(TriggerOfCloseRequest(0xFFFFFFFFull), ExitTrigger::ExitArgument);
}

// --- the list of running programs --------------------------------------------

ExitListScope ListScope(bool drive, bool temp, bool pc = false,
                        const char* tempFolder = "C:\\DOCUME~1\\KIM\\LOCALS~1\\Temp\\") {  // upper case
  AppState s;
  s.env.exituseprg = drive;
  s.env.exittempprg = temp;
  s.pv.pcEdition = pc;
  s.pv.programDrive = "E:";
  s.pv.tempFolder = tempFolder;
  return ExitListScopeOf(s);
}

FakeProcesses Host() {
  FakeProcesses p;
  p.own = 100;
  p.Add(4, {{"C:\\windows\\system32\\services.exe", "C:\\windows\\system32\\ntdll.dll"}});
  p.Add(100, {{"E:\\Kestro.exe", "E:\\Kestro.dll"}});  // ourselves, under any name
  p.Add(7, {{"E:\\Apps\\Editor.EXE", "C:\\windows\\system32\\ntdll.dll", "E:\\Apps\\Spell.dll"}});
  p.Add(9, {{"C:\\Docume~1\\kim\\Locals~1\\Temp\\setup.exe", "E:\\Apps\\hook.dll"}});
  p.Add(12, {{"C:\\windows\\explorer.exe", "E:\\Apps\\shellext.dll"}});  // a host program using the drive
  p.Add(13, {{"E:\\locked.exe"}, false});                                 // cannot be opened
  return p;
}

struct ListCase {
  const char* name;
  bool drive, temp, pc;
  std::vector<std::string> ids, paths;
  std::vector<ExitListNode> nodes;
};

TEST(DriveProcessList, ListsMatchingModulesWithTheirProcessAndTree) {
  const std::vector<ListCase> cases = {
      {"drive test",
       true, false, false,
       {"7", "7", "9", "12"},
       {"e:\\apps\\editor.exe", "e:\\apps\\spell.dll", "e:\\apps\\hook.dll", "e:\\apps\\shellext.dll"},
       {{"E:\\Apps\\Editor.EXE", {"E:\\Apps\\Spell.dll"}}, {"E:\\Apps\\hook.dll", {}},
        {"E:\\Apps\\shellext.dll", {}}}},
      {"temporary folder in another letter case",
       false, true, false,
       {"9"},
       {"c:\\docume~1\\kim\\locals~1\\temp\\setup.exe"},
       {{"C:\\Docume~1\\kim\\Locals~1\\Temp\\setup.exe", {}}}},
      {"both: a program of the temp folder with a drive module",
       true, true, false,
       {"7", "7", "9", "9", "12"},
       {"e:\\apps\\editor.exe", "e:\\apps\\spell.dll", "c:\\docume~1\\kim\\locals~1\\temp\\setup.exe",
        "e:\\apps\\hook.dll", "e:\\apps\\shellext.dll"},
       {{"E:\\Apps\\Editor.EXE", {"E:\\Apps\\Spell.dll"}},
        {"C:\\Docume~1\\kim\\Locals~1\\Temp\\setup.exe", {"E:\\Apps\\hook.dll"}},
        {"E:\\Apps\\shellext.dll", {}}}},
      {"PC edition: no drive test", true, false, true, {}, {}, {}},
      {"both options off", false, false, false, {}, {}, {}},
  };
  for (const ListCase& c : cases) {
    FakeProcesses processes = Host();
    {
      DriveProcessList list(processes);
      ASSERT_TRUE(list.Build(ListScope(c.drive, c.temp, c.pc))) << c.name;
      EXPECT_EQ(list.ids(), c.ids) << c.name;
      EXPECT_EQ(list.paths(), c.paths) << c.name;
      EXPECT_EQ(list.nodes(), c.nodes) << c.name;
      // Only the listed processes stay open.
      EXPECT_EQ(processes.openNow.size(), std::set<std::string>(c.ids.begin(), c.ids.end()).size()) << c.name;
    }
    EXPECT_TRUE(processes.openNow.empty()) << c.name << ": a process handle was left open";
  }
}

TEST(DriveProcessList, AModuleMatchingBothTestsIsListedTwice) {
  FakeProcesses processes;
  processes.Add(5, {{"E:\\Temp\\tool.exe"}});
  DriveProcessList list(processes);
  ASSERT_TRUE(list.Build(ListScope(true, true, false, "E:\\Temp\\")));
  EXPECT_EQ(list.paths(), (std::vector<std::string>{"e:\\temp\\tool.exe", "e:\\temp\\tool.exe"}));
  EXPECT_EQ(list.nodes().size(), 2u);
}

TEST(DriveProcessList, SkipsProcessZeroAndItselfByIdentifierNotByName) {
  FakeProcesses processes;
  processes.own = 55;
  processes.Add(0, {{"E:\\idle.exe"}});
  processes.Add(55, {{"E:\\Renamed-Launcher.exe"}});
  processes.Add(56, {{"E:\\kestro.exe"}});  // another program that happens to have the name
  DriveProcessList list(processes);
  ASSERT_TRUE(list.Build(ListScope(true, false)));
  EXPECT_EQ(list.ids(), std::vector<std::string>{"56"});
}

TEST(DriveProcessList, FailedEnumerationKeepsTheErrorAndAnEmptyList) {
  FakeProcesses processes = Host();
  processes.listFails = true;
  DriveProcessList list(processes);
  EXPECT_FALSE(list.Build(ListScope(true, true)));
  EXPECT_EQ(list.error(), 299u);
  EXPECT_TRUE(list.empty());
}

// --- closing them ---------------------------------------------------------------

TEST(DriveProcessList, ClosingAsksEachProgramOnceWaitsThenEndsOnlyThoseStillRunning) {
  FakeProcesses processes;
  processes.Add(7, {{"E:\\a.exe", "E:\\a.dll"}});                             // ends on WM_CLOSE
  processes.Add(8, {{"E:\\stubborn.exe"}, true, true, false});               // ignores it
  processes.Add(9, {{"C:\\host.exe", "E:\\hook.dll"}});                      // only a module listed
  processes.Add(10, {{"E:\\console.exe"}, true, false, false});              // no window
  DriveProcessList list(processes);
  ASSERT_TRUE(list.Build(ListScope(true, false)));
  processes.calls.clear();
  list.CloseAll();
  EXPECT_EQ(processes.calls, (std::vector<std::string>{"ask 7", "ask 8", "ask 10", "wait 4", "terminate 8",
                                                        "terminate 9", "terminate 10"}));
}

TEST(DriveProcessList, NoWaitWhenNoProgramCouldBeAsked) {
  FakeProcesses processes;
  processes.Add(9, {{"C:\\host.exe", "E:\\hook.dll"}});
  DriveProcessList list(processes);
  ASSERT_TRUE(list.Build(ListScope(true, false)));
  processes.calls.clear();
  list.CloseAll();
  EXPECT_EQ(processes.calls, std::vector<std::string>{"terminate 9"});
}

// --- the drive-removal tool ----------------------------------------------------

TEST(RemovalTool, BatchTextQuotesOnlyWhatCmdWouldSplit) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"E:\\", "E:", "@echo off\r\nc:\\\r\nE:\\env\\removedrive.exe E: -b\r\n"},
      {"E:\\Tools\\", "E:", "@echo off\r\nc:\\\r\nE:\\Tools\\env\\removedrive.exe E: -b\r\n"},
      {"F:\\My Tools\\", "F:", "@echo off\r\nc:\\\r\n\"F:\\My Tools\\env\\removedrive.exe\" F: -b\r\n"},
      {"F:\\R&D\\", "F:", "@echo off\r\nc:\\\r\n\"F:\\R&D\\env\\removedrive.exe\" F: -b\r\n"},
  };
  for (auto& [folder, drive, text] : cases) EXPECT_EQ(RemovalBatchText(folder, drive), text) << folder;
}

TEST(RemovalTool, WritesTheToolOnceTheBatchEveryTimeAndStartsItOffTheDrive) {
  FakeFileSystem files;
  FakeShell shell;
  ProcessValues pv;
  pv.programFolder = "E:\\Tools\\";
  pv.programDrive = "E:";
  files.missingFolders = {"E:\\Tools\\env"};
  files.files["E:\\Tools\\env\\removedrive.bat"] = "old";
  std::vector<std::string> order;
  auto pause = [&] { order.push_back("pause " + std::to_string(files.files.count("E:\\Tools\\env\\removedrive.exe"))); };
  ASSERT_TRUE(RunRemovalTool(files, shell, pv, "MZtool", "C:\\windows", pause));
  EXPECT_EQ(files.createdFolders, std::vector<std::string>{"E:\\Tools\\env"});
  EXPECT_EQ(files.files["E:\\Tools\\env\\removedrive.exe"], "MZtool");
  EXPECT_EQ(files.files["E:\\Tools\\env\\removedrive.bat"], RemovalBatchText("E:\\Tools\\", "E:"));
  EXPECT_EQ(order, std::vector<std::string>{"pause 1"});
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], (testing::ShellOpen{"E:\\Tools\\env\\removedrive.bat", "", "C:\\windows", kSwShow}));
  EXPECT_EQ(files.atomicWrites, 2);

  // An existing tool is kept as it is.
  files.files["E:\\Tools\\env\\removedrive.exe"] = "user's own";
  ASSERT_TRUE(RunRemovalTool(files, shell, pv, "MZtool", "C:\\windows", pause));
  EXPECT_EQ(files.files["E:\\Tools\\env\\removedrive.exe"], "user's own");
  EXPECT_EQ(shell.opened.size(), 2u);
}

TEST(RemovalTool, NothingStartsWhenAFileCannotBeWritten) {
  FakeFileSystem files;
  FakeShell shell;
  ProcessValues pv;
  pv.programFolder = "E:\\";
  pv.programDrive = "E:";
  files.failWrites = true;
  EXPECT_FALSE(RunRemovalTool(files, shell, pv, "MZtool", "C:\\windows", {}));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(files.files.empty());
}

}  // namespace
}  // namespace kestro
