// Process entry of Kestro.exe.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "core/app/Entry.h"
#include "win/app/MainFrm.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/Win32Platform.h"
#include "win/platform/WinText.h"
#include "win/ui/Modeless.h"

using namespace kestro;
using namespace kestro::win;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The C runtime's split of the command line: the shell's own would load
  // the shell before the panel is up.
  std::vector<std::string> args;
  for (int i = 1; i < __argc && __wargv; ++i) args.push_back(Narrow(__wargv[i]));

  // The common controls load when a window first needs them (see
  // EnsureCommonControls): at start that is after the panel shows.

  Win32EntryHost entryHost;  // holds the mutex until the process ends
  Win32Drives drives;
  const std::string exePath = ExecutablePath();
  if (RunProcessEntry(args, exePath, entryHost, drives) != EntryOutcome::Start) return 0;

  auto platform = std::make_unique<Win32Platform>();

  int exitCode = 0;
  {
    TmainFrm mainFrm(*platform, exePath);
    if (!mainFrm.Create()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (ModelessDialogMessage(msg)) continue;  // the about boxes' keys
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    exitCode = int(msg.wParam);
  }
  EndUiCom();
  return exitCode;
}
