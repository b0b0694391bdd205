#include "win/platform/IconLoader.h"

#include <unordered_set>

#include "win/platform/ShellHelpers.h"

namespace kestro::win {

IconLoaderControl::IconLoaderControl() : ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

IconLoaderControl::~IconLoaderControl() {
  if (ended_) CloseHandle(ended_);
}

bool IconLoaderControl::Ended() const { return WaitForSingleObject(ended_, 0) == WAIT_OBJECT_0; }

void IconLoaderControl::StopAndWait(DWORD ms) {
  stop_ = true;
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    DWORD r = MsgWaitForMultipleObjects(1, &ended_, FALSE, ms - spent, QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) return;  // ended, timed out or failed
    // Only the worker's sent messages are answered here; nothing is removed.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

std::shared_ptr<IconLoaderControl> StartIconLoader(std::vector<PictureJob> jobs, HWND target, UINT message,
                                                   std::atomic<int>& busy) {
  ++busy;
  auto control = std::make_shared<IconLoaderControl>();
  TRunThread([jobs = std::move(jobs), target, message, control]() mutable {
    std::unordered_set<std::string> lookedUp;  // many items show the same file
    for (size_t i = 0; i < jobs.size(); ++i) {
      if (control->stop_) break;
      PictureJob& job = jobs[i];
      auto* result = new IconResult{i, job.node, job.kind, std::move(job.file), {}, {}};
      if (job.kind == PictureJobKind::Fixed)
        result->fixed = LookUpFixedIcons(job.fixedIndex);
      else if (!result->file.empty() && lookedUp.insert(result->file).second)
        result->icons = LookUpShellIcons(result->file);
      // Sent, not posted: one picture at a time, so a large document cannot
      // fill the window's message queue (and lose the final message).
      if (!SendMessageW(target, message, 0, reinterpret_cast<LPARAM>(result))) {
        result->icons.Release();
        result->fixed.icons.Release();
        delete result;
        break;  // the window is gone
      }
    }
    SendMessageW(target, message, 0, 0);
    SetEvent(control->ended_);
  });
  return control;
}

NodeId PlaceNodePicture(const IconResult& result, ImageLists& images, PanelModel& panel) {
  const int32_t index = images.AddLookedUp(result.file, result.icons);
  // The node may have been deleted, or given a picture, meanwhile.
  ItemNode* node = panel.FindNode(result.node);
  if (!node || node->Data().imageindex != 0) return kNoNode;
  node->Data().imageindex = index;
  return result.node;
}

}  // namespace kestro::win
