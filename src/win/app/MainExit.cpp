// The main window's part of the exit: the steps the core plans for each way
// of ending, carried out in their order.
#include "core/app/StartSequence.h"
#include "core/host/HostUndo.h"
#include "win/app/ExitListFrm.h"
#include "win/app/MainFrm.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"
#include "win/ui/Modeless.h"

namespace kestro::win {

namespace {
constexpr UINT kTimer3Interval = 3000;
// The system may not run a file just written at once.
constexpr DWORD kRemovalToolPause = 500;
}  // namespace

PanelWindowState TmainFrm::PanelBounds() const {
  // Without a panel its bounds are the stored ones.
  return panel_ ? panel_->WindowState() : WindowStateFromSettings(state_.env);
}

void TmainFrm::FormClose(ExitTrigger trigger) {
  exitPlan_ = PlanExit(trigger, state_);
  exiting_ = true;
  if (exitPlan_.Has(ExitStep::ListPrograms)) ExitList();
  if (exitPlan_.Has(ExitStep::SaveAndClosePanel)) {
    // The panel's destruction is the save point.
    WriteResult saved =
        SaveAtExit(state_, platform_.platform, PanelBounds());
    if (!saved && !saved.error.empty()) {
      FailedSaveNotice notice = NoticeOfFailedExitSave(state_, saved);
      // A close request meanwhile ends the box and comes back as the second try.
      exiting_ = false;
      ShowMessageBox(Widen(notice.text), L"Notice", MB_OK | MB_ICONWARNING);
      if (notice.keepRunning) {
        exiting_ = false;
        exitPlan_ = {};
        return;
      }
    }
    if (loader_) loader_->StopAndWait(5000);
    DestroyModelessDialogs();  // the about boxes, whichever window owns them
    SetModalWindows(Handle(), nullptr);
    panel_.reset();
  }
  if (exitPlan_.Has(ExitStep::CloseShellWindows)) CloseShellWindows();
  DestroyWindow(Handle());
}

void TmainFrm::ExitList() {
  DriveProcessList list(processes_);
  if (!list.Build(ExitListScopeOf(state_))) {
    ShowMessageBox(Widen("ErrorCode = " + std::to_string(list.error())), Widen(kPlainCaption), MB_OK);
    return;
  }
  if (list.empty()) return;
  if (ShowExitList(list.nodes(), state_.languageTexts)) list.CloseAll();
}

void TmainFrm::CloseShellWindows() {
  // The first file manager and the first folder window each get a close
  // request: they keep the drive busy.
  for (const wchar_t* cls : {L"TTOTAL_CMD", L"ExploreWClass"})
    if (HWND w = FindWindowW(cls, nullptr)) PostMessageW(w, WM_CLOSE, 0, 0);
}

void TmainFrm::FormDestroy() {
  tray_.Remove();
  KillTimer(Handle(), kTimer3);
  // A log-off answer during the exit (its list open) may have undone them.
  if (exitPlan_.Has(ExitStep::UndoHostChanges) && !state_.hostChangesUndone) {
    UndoHostChanges();
    state_.hostChangesUndone = true;
  }
  if (exitPlan_.Has(ExitStep::RunRemovalTool)) RunRemovalTool();
}

void TmainFrm::UndoHostChanges() { kestro::UndoHostChanges(state_, hostChanges_); }

void TmainFrm::RunRemovalTool() {
  // The batch runs from the Windows folder: a working folder on the drive
  // would keep it busy.
  kestro::RunRemovalTool(platform_.files, platform_.shell, state_.pv, ResourceBytes(L"EXEFILE", L"REMOVEDRIVE"),
                         platform_.host.WindowsFolder(), [] { Sleep(kRemovalToolPause); });
}

LRESULT TmainFrm::QueryEndSession(WPARAM wParam, LPARAM lParam) {
  // The standard handling first; the answer is ours.
  Window::HandleMessage(WM_QUERYENDSESSION, wParam, lParam);
  ExitPlan plan = PlanExit(ExitTrigger::LogOff, state_);
  if (plan.Has(ExitStep::UndoHostChanges)) {
    UndoHostChanges();
    state_.hostChangesUndone = true;
  }
  if (plan.Has(ExitStep::SaveDocument)) {
    // The session is ending: a failed save is not told and does not count
    // against a later exit.
    const int failed = state_.failedExitSaves;
    SaveAtExit(state_, platform_.platform, PanelBounds());
    state_.failedExitSaves = failed;
  }
  return 1;
}

void TmainFrm::DriveRemoved() { SetTimer(Handle(), kTimer3, kTimer3Interval, nullptr); }

void TmainFrm::Timer3() {
  KillTimer(Handle(), kTimer3);
  if (!state_.env.usballexit) return;
  state_.pv.driveRemovedExit = true;
  PostMessageW(Handle(), WM_CLOSE, WPARAM(ExitTrigger::DriveRemoved), 0);
}

}  // namespace kestro::win
