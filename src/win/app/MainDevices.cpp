// The main window and the drives: the AutoPlay prompt of the pinned drive,
// the program's own drive pulled out, the move to another letter by the
// remount tool.
#include "core/host/DriveLetter.h"
#include "win/app/MainFrm.h"
#include "win/platform/WinText.h"

namespace kestro::win {

namespace {
constexpr UINT kTimer1Interval = 50;
constexpr UINT kTimer2Interval = 5000;
}  // namespace

void TmainFrm::DeviceChange(WPARAM event) {
  Win32Platform& p = platform_;
  switch (ReactToDeviceChange(uint32_t(event), state_.pv, state_.env, p.drives)) {
    case DeviceReaction::WatchAutoplay:
      autoplayTitle_ = AutoplayTitle(state_.env.fixdrivename, p.files, p.codec, p.volumes);
      SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr);
      SetTimer(Handle(), kTimer2, kTimer2Interval, nullptr);
      KillTimer(Handle(), kTimer3);
      break;
    case DeviceReaction::DriveGone:
      DriveRemoved();
      break;
    case DeviceReaction::None:
      break;
  }
}

void TmainFrm::Timer1() {
  if (HWND prompt = FindWindowW(L"#32770", Widen(autoplayTitle_).c_str())) {
    SendMessageW(prompt, WM_CLOSE, 0, 0);
    KillTimer(Handle(), kTimer1);
  }
}

void TmainFrm::Timer2() {
  // The prompt is looked for five seconds at most.
  KillTimer(Handle(), kTimer1);
  KillTimer(Handle(), kTimer2);
}

bool TmainFrm::ChangeDriveLetterByTool(const std::string& fixdrivename) {
  if (exiting_) return false;
  // The tool runs from the Windows folder: a working folder on the drive
  // would keep it busy.
  if (!kestro::ChangeDriveLetterByTool(state_, platform_.platform, fixdrivename, PanelBounds(),
                                       platform_.host.WindowsFolder()))
    return false;
  // A direct end: the open dialog's loop is ended first.
  PostMessageW(Handle(), WM_CLOSE, WPARAM(ExitTrigger::SettingsApply), 0);
  return true;
}

}  // namespace kestro::win
