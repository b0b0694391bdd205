#include "win/platform/IconLoader.h"

#include "win/platform/ShellHelpers.h"

namespace kestro::win {

void StartIconLoader(std::vector<IconJob> jobs, HWND target, UINT message, std::atomic<bool>& busy) {
  busy = true;
  TRunThread([jobs = std::move(jobs), target, message] {
    for (const IconJob& job : jobs) {
      auto* result = new IconResult{job.node, LookUpShellIcons(job.file)};
      // Sent, not posted: one picture at a time, so a large document cannot
      // fill the window's message queue (and lose the final message).
      if (!SendMessageW(target, message, 0, reinterpret_cast<LPARAM>(result))) {
        result->icons.Release();
        delete result;
        break;  // the window is gone
      }
    }
    SendMessageW(target, message, 0, 0);
  });
}

}  // namespace kestro::win
