// The main window's part of the global shortcuts: registering them after
// the start, the system slots' actions, and the notice for combinations
// that another program holds.
#include "win/app/MainFrm.h"
#include "core/host/DesktopChanges.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {

void TmainFrm::StartShortcuts() {
  hotKeys_.SetWindows(Handle(), panel_ ? panel_->Handle() : nullptr);
  // Item shortcuts first: a slot that repeats an item's combination loses.
  if (panel_) shortcuts_.RegisterItems(state_.itemShortcuts);
  shortcuts_.RegisterSlots(state_.env);
  // After the start: the notice must not hold up the panel's first showing.
  if (!shortcuts_.Failures().empty()) PostMessageW(Handle(), kShortcutNoticeMessage, 0, 0);
}

void TmainFrm::ShortcutNotice() {
  std::string text = shortcuts_.TakeFailureNotice();
  if (!text.empty()) ShowMessageBox(Widen(text), L"Notice", MB_OK | MB_ICONWARNING);
}

void TmainFrm::SystemHotKey(WPARAM id) {
  std::optional<int> slot = shortcuts_.SlotOf(int32_t(id));
  if (!slot) return;
  switch (ActionOfSlot(*slot)) {
    case SlotAction::TogglePanel:
      if (!panel_) return;
      if (IsWindowVisible(panel_->Handle()))
        ShowWindow(panel_->Handle(), SW_HIDE);
      else
        panel_->ShowPanel();
      return;
    case SlotAction::TrayMenu:
      ToggleTrayMenuFromShortcut();
      return;
    case SlotAction::Quit:
      // The one close request of the program: a menu, dialog or box that
      // runs meanwhile is ended first (WM_CLOSE's handler sees to it).
      if (QuitSlotAllowed(state_.iconLoadBusy > 0)) PostMessageW(Handle(), WM_CLOSE, WPARAM(ExitTrigger::QuitShortcut), 0);
      return;
    case SlotAction::DesktopIcons:
      state_.pv.desktopIconsShown = ToggleDesktopIcons(hostChanges_, state_.pv.desktopIconsShown);
      return;
    case SlotAction::None:
      return;
  }
}

}  // namespace kestro::win
