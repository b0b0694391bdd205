#pragma once
// The end of the program: which steps each way of ending runs, the list of
// programs still running from the drive or the temporary folder, closing
// them, and the hand-over to the drive-removal tool.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/AppState.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/Shell.h"

namespace kestro {

// Why the program is asked to end. Carried as the argument of the main
// window's close request; 0 is a request from outside ("-exit").
enum class ExitTrigger : uint32_t {
  ExitArgument = 0,  // a second start with "-exit"
  TrayExit = 1,      // tray menu "종료"
  QuitShortcut = 2,  // the quit slot of the global shortcuts
  DriveRemoved = 3,  // the drive was pulled out (with usballexit)
  PanelExit = 4,     // the panel's exit entry
  CloseBox = 5,      // the panel's close box with xbuttonaction 2
  SettingsApply = 6, // the settings dialog after a drive-letter change
  LogOff = 7,        // Windows asks whether the user may log off
};

// The trigger a close request's argument names; anything unknown is taken
// as a request from outside.
ExitTrigger TriggerOfCloseRequest(uint64_t argument);

enum class ExitStep {
  ListPrograms,       // show the running programs and maybe close them
  SaveAndClosePanel,  // the panel's destruction: trees, window section, Kestro.xml
  CloseShellWindows,  // "TTOTAL_CMD" and "ExploreWClass" get a close request
  UndoHostChanges,    // at the main window's destruction, or in the log-off answer
  RunRemovalTool,     // last, at the main window's destruction
  SaveDocument,       // the log-off answer's save (trees, window section, file)
};

struct ExitPlan {
  std::vector<ExitStep> steps;
  bool endsProgram = true;  // false: the log-off answer, the program runs on
  bool Has(ExitStep step) const;
};

// Whether a close request with `trigger` is refused (message "02") while a
// Favorites copy runs in either direction: every end the user asks for.
// The log-off answer ends nothing, and after a pulled drive the copy is
// stopped and waited for.
bool RefusedWhileCopying(ExitTrigger trigger);

// The steps for `trigger`, from the settings and the state of the run: a
// close request lists programs and closes shell windows when asked, a direct
// end does neither, the log-off answer only undoes and saves. Host changes
// are undone once per run; nothing after a forced removal touches the drive.
ExitPlan PlanExit(ExitTrigger trigger, const AppState& state);

// One node of the exit list's tree: a program, with the modules of it that
// matched below it.
struct ExitListNode {
  std::string text;
  std::vector<std::string> children;
  bool operator==(const ExitListNode&) const = default;
};

// What the list looks for: modules on the program's drive (never in the PC
// edition, whose drive is the host's), modules in the temporary folder.
struct ExitListScope {
  bool drive = false;
  bool temp = false;
  std::string programDrive;  // "E:"
  std::string tempFolder;    // with trailing backslash
};
ExitListScope ExitListScopeOf(const AppState& state);

// The programs still running from the drive or the temporary folder: one
// entry per matching module (a module that meets both tests twice), with
// the process identifier as text and the module path in lower case. The
// processes of the entries stay open, so that ending one later can never hit
// another program that got its identifier meanwhile.
class DriveProcessList {
 public:
  explicit DriveProcessList(IProcesses& processes) : processes_(processes) {}
  ~DriveProcessList();
  DriveProcessList(const DriveProcessList&) = delete;
  DriveProcessList& operator=(const DriveProcessList&) = delete;

  // Lists the processes; false when they cannot be enumerated (error() has
  // the system's number, the list stays empty). Kestro's own process and
  // process 0 are never listed.
  bool Build(const ExitListScope& scope);
  uint32_t error() const { return error_; }

  const std::vector<std::string>& ids() const { return ids_; }
  const std::vector<std::string>& paths() const { return paths_; }
  const std::vector<ExitListNode>& nodes() const { return nodes_; }
  bool empty() const { return paths_.empty(); }

  // Asks every listed program with an executable entry to close, once per
  // process; waits for them, then ends those still running.
  void CloseAll();

  // How long a program's window may take to handle the close request (a
  // hung one cannot hang the exit), and how long the programs then get to
  // end, answering a "save changes?" question on the way.
  static constexpr int kCloseMessageTimeoutMs = 3000;
  static constexpr int kEndWaitMs = 10000;

 private:
  struct Listed {
    uint32_t id;
    ProcessHandle handle;
  };
  IProcesses& processes_;
  uint32_t error_ = 0;
  std::vector<std::string> ids_, paths_;
  std::vector<ExitListNode> nodes_;
  std::vector<Listed> listed_;  // one per process with entries, in order
};

// The drive-removal tool's files: the folder "env" of the program's folder,
// the tool and the batch file that starts it.
struct RemovalToolFiles {
  std::string folder;  // programFolder + "env"
  std::string tool;    // folder + "\removedrive.exe"
  std::string batch;   // folder + "\removedrive.bat"
};
RemovalToolFiles RemovalToolFilesOf(const std::string& programFolder);

// The batch file's text, lines ending in CR LF. The tool's path is quoted
// when the batch would otherwise split it or take "&" as a command break.
std::string RemovalBatchText(const std::string& programFolder, const std::string& programDrive);

// Writes the tool (atomically, only when missing), pauses as the system
// needs before the new file can be run, writes the batch and starts it with
// `workFolder` (a folder off the drive) as its working folder. False when a
// file could not be written (nothing is started then).
bool RunRemovalTool(IFileSystem& files, IShell& shell, const ProcessValues& pv, std::string_view toolBytes,
                    const std::string& workFolder, const std::function<void()>& pause);

}  // namespace kestro
