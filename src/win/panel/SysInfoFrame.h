#pragma once
// The system information tab's content: one picture of the gathered values.
// The values are gathered on a worker when the page is first shown, the
// external address last; the page draws what has arrived and never waits.
#include <windows.h>

#include <memory>
#include <string>

#include "core/tools/SystemInfo.h"
#include "win/ui/Window.h"

namespace kestro::win {

class SysInfoFrame : public Window {
 public:
  explicit SysInfoFrame(std::string programDrive);
  ~SysInfoFrame() override;

  // Creates the (hidden) page content and starts gathering.
  bool Create(HWND parent);
  void SetDpi(int dpi);

  struct Job;  // shared with the worker

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Arrived();
  void Draw();

  std::string programDrive_;
  std::shared_ptr<Job> job_;
  std::unique_ptr<SystemInfoTexts> info_;  // null until gathered
  HBITMAP picture_ = nullptr;
  int dpi_ = 96;
};

}  // namespace kestro::win
