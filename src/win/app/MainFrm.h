#pragma once
// The hidden main window: it runs the start sequence when it is created and
// the exit path when it is asked to close.
#include <string>

#include "core/app/AppState.h"
#include "win/platform/Win32Platform.h"
#include "win/ui/Window.h"

namespace kestro::win {

class TmainFrm : public Window {
 public:
  TmainFrm(Win32Platform& platform, std::string exePath);
  bool Create();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void FormClose();

  Win32Platform& platform_;
  std::string exePath_;
  AppState state_;
};

}  // namespace kestro::win
