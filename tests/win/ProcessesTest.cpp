// Other programs' processes: listing with modules, asking to close, ending.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "win/platform/Processes.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

PROCESS_INFORMATION StartNotepad(DWORD flags) {
  wchar_t line[] = L"notepad.exe";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  EXPECT_TRUE(CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi));
  return pi;
}

TEST(ProcessesTest, ListsItselfWithItsExecutableFirst) {
  Win32Processes processes;
  std::vector<uint32_t> ids;
  uint32_t error = 0;
  ASSERT_TRUE(processes.ProcessIds(ids, error));
  EXPECT_NE(std::find(ids.begin(), ids.end(), processes.OwnProcessId()), ids.end());
  ProcessHandle own = processes.Open(processes.OwnProcessId());
  ASSERT_NE(own, 0u);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::vector<std::string> modules = processes.Modules(own);
  ASSERT_GT(modules.size(), 1u);
  EXPECT_EQ(modules[0], Narrow(exe));
  EXPECT_TRUE(processes.Running(own));
  processes.Close(own);
  EXPECT_EQ(processes.Open(0xFFFFFFF0u), 0u);
}

TEST(ProcessesTest, AProgramWithAWindowIsAskedToCloseAndEnds) {
  PROCESS_INFORMATION pi = StartNotepad(0);
  ASSERT_EQ(WaitForInputIdle(pi.hProcess, 20000), 0u);
  Win32Processes processes;
  ProcessHandle h = processes.Open(pi.dwProcessId);
  ASSERT_NE(h, 0u);
  // Its window may come a moment after it is idle.
  bool asked = false;
  for (int i = 0; i < 100 && !asked; ++i) {
    asked = processes.AskToClose(pi.dwProcessId, 2000);
    if (!asked) Sleep(100);
  }
  EXPECT_TRUE(asked);
  processes.WaitForEnd({h}, 10000);
  EXPECT_FALSE(processes.Running(h));
  processes.Close(h);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

TEST(ProcessesTest, AProgramWithoutAWindowIsNotAskedAndIsEnded) {
  PROCESS_INFORMATION pi = StartNotepad(CREATE_SUSPENDED);
  Win32Processes processes;
  ProcessHandle h = processes.Open(pi.dwProcessId);
  ASSERT_NE(h, 0u);
  EXPECT_FALSE(processes.AskToClose(pi.dwProcessId, 100));
  processes.WaitForEnd({h}, 200);
  EXPECT_TRUE(processes.Running(h));
  processes.Terminate(h);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_FALSE(processes.Running(h));
  processes.Close(h);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
}  // namespace kestro::win
