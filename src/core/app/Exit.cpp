#include "core/app/Exit.h"

#include <algorithm>

#include "core/text/Text.h"

namespace kestro {

ExitTrigger TriggerOfCloseRequest(uint64_t argument) {
  if (argument > uint64_t(ExitTrigger::SettingsApply)) return ExitTrigger::ExitArgument;
  return ExitTrigger(argument);
}

bool RefusedWhileCopying(ExitTrigger trigger) {
  return trigger != ExitTrigger::LogOff && trigger != ExitTrigger::DriveRemoved;
}

bool ExitPlan::Has(ExitStep step) const { return std::find(steps.begin(), steps.end(), step) != steps.end(); }

ExitPlan PlanExit(ExitTrigger trigger, const AppState& state) {
  const EnvSet& env = state.env;
  const ProcessValues& pv = state.pv;
  ExitPlan plan;
  // A start that was refused changed nothing and has nothing to save.
  const bool started = state.started;
  const bool undo = started && !state.hostChangesUndone;
  if (trigger == ExitTrigger::LogOff) {
    plan.endsProgram = false;
    if (undo) plan.steps.push_back(ExitStep::UndoHostChanges);
    if (started && !pv.driveRemovedExit) plan.steps.push_back(ExitStep::SaveDocument);
    return plan;
  }
  const bool closeRequest = trigger == ExitTrigger::ExitArgument || trigger == ExitTrigger::TrayExit ||
                            trigger == ExitTrigger::QuitShortcut || trigger == ExitTrigger::DriveRemoved;
  if (closeRequest && started && (env.exituseprg || env.exittempprg)) plan.steps.push_back(ExitStep::ListPrograms);
  plan.steps.push_back(ExitStep::SaveAndClosePanel);
  if (closeRequest && started && env.exitshellprg && !pv.driveRemovedExit)
    plan.steps.push_back(ExitStep::CloseShellWindows);
  if (undo) plan.steps.push_back(ExitStep::UndoHostChanges);
  if (started && env.tryremovedrive && !pv.driveLetterChanged && !pv.pcEdition && !pv.driveRemovedExit)
    plan.steps.push_back(ExitStep::RunRemovalTool);
  return plan;
}

ExitListScope ExitListScopeOf(const AppState& state) {
  ExitListScope scope;
  // In the PC edition the drive is the host's own: every program loads
  // modules from it.
  scope.drive = state.env.exituseprg && !state.pv.pcEdition;
  scope.temp = state.env.exittempprg;
  scope.programDrive = state.pv.programDrive;
  scope.tempFolder = state.pv.tempFolder;
  return scope;
}

DriveProcessList::~DriveProcessList() {
  for (const Listed& p : listed_) processes_.Close(p.handle);
}

bool DriveProcessList::Build(const ExitListScope& scope) {
  std::vector<uint32_t> ids;
  if (!processes_.ProcessIds(ids, error_)) return false;
  const uint32_t own = processes_.OwnProcessId();
  const std::string drive = ToLowerAscii(scope.programDrive);
  const std::string temp = ToLowerAscii(scope.tempFolder);
  for (uint32_t id : ids) {
    if (id == 0 || id == own) continue;
    ProcessHandle handle = processes_.Open(id);
    if (!handle) continue;
    const std::vector<std::string> modules = processes_.Modules(handle);
    const std::string idText = std::to_string(id);
    bool listed = false;
    bool exeNode = false;  // this process's executable got a node
    for (size_t m = 0; m < modules.size(); ++m) {
      const std::string lower = ToLowerAscii(modules[m]);
      const bool onDrive = scope.drive && !drive.empty() && lower.size() >= 2 && lower.compare(0, 2, drive) == 0;
      const bool inTemp = scope.temp && !temp.empty() && lower.find(temp) != std::string::npos;
      const int matches = int(onDrive) + int(inTemp);
      for (int i = 0; i < matches; ++i) {
        ids_.push_back(idText);
        paths_.push_back(lower);
        // A module of a host program that is not itself listed stands on
        // its own, never under another program.
        if (m == 0 || !exeNode)
          nodes_.push_back({modules[m], {}});
        else
          nodes_.back().children.push_back(modules[m]);
        exeNode = exeNode || m == 0;
        listed = true;
      }
    }
    if (listed)
      listed_.push_back({id, handle});
    else
      processes_.Close(handle);
  }
  return true;
}

void DriveProcessList::CloseAll() {
  // Only programs (an executable entry) have a window to ask; each is asked
  // once however many of its modules were listed.
  std::vector<uint32_t> asked;
  for (size_t i = 0; i < paths_.size(); ++i) {
    if (!EndsWith(paths_[i], ".exe")) continue;
    const uint32_t id = uint32_t(std::stoul(ids_[i]));
    if (id == 0 || std::find(asked.begin(), asked.end(), id) != asked.end()) continue;
    asked.push_back(id);
    processes_.AskToClose(id, kCloseMessageTimeoutMs);
  }
  std::vector<ProcessHandle> handles;
  for (const Listed& p : listed_) handles.push_back(p.handle);
  if (!asked.empty()) processes_.WaitForEnd(handles, kEndWaitMs);
  for (const Listed& p : listed_)
    if (processes_.Running(p.handle)) processes_.Terminate(p.handle);
}

RemovalToolFiles RemovalToolFilesOf(const std::string& programFolder) {
  RemovalToolFiles f;
  f.folder = programFolder + "env";
  f.tool = f.folder + "\\removedrive.exe";
  f.batch = f.folder + "\\removedrive.bat";
  return f;
}

std::string RemovalBatchText(const std::string& programFolder, const std::string& programDrive) {
  std::string tool = programFolder + "env\\removedrive.exe";
  if (tool.find_first_of(" &^(),;=") != std::string::npos) tool = "\"" + tool + "\"";
  return "@echo off\r\nc:\\\r\n" + tool + " " + programDrive + " -b\r\n";
}

bool RunRemovalTool(IFileSystem& files, IShell& shell, const ProcessValues& pv, std::string_view toolBytes,
                    const std::string& workFolder, const std::function<void()>& pause) {
  const RemovalToolFiles f = RemovalToolFilesOf(pv.programFolder);
  if (!files.DirectoryExists(f.folder) && !files.CreateFolder(f.folder)) return false;
  // Written whole or not at all: a half-written tool would be started by
  // every later exit.
  if (!files.FileExists(f.tool)) {
    if (toolBytes.empty() || !files.WriteFileAtomic(f.tool, std::string(toolBytes))) return false;
  }
  if (pause) pause();
  if (!files.WriteFileAtomic(f.batch, RemovalBatchText(pv.programFolder, pv.programDrive))) return false;
  shell.Open(f.batch, "", workFolder, kSwShow);
  return true;
}

}  // namespace kestro
