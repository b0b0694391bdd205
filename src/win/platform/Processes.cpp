#include "win/platform/Processes.h"

#include <windows.h>
#include <psapi.h>

#include "win/platform/WinText.h"

namespace kestro::win {

namespace {

HANDLE H(ProcessHandle p) { return reinterpret_cast<HANDLE>(uintptr_t(p)); }

struct WindowSearch {
  DWORD id;
  HWND visible = nullptr;  // preferred: the window the user sees
  HWND any = nullptr;
};

BOOL CALLBACK FindProcessWindow(HWND w, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  // Owned windows (dialogs, tool windows) are passed over: the program's
  // own main window decides what closing means.
  if (owner != search->id || GetParent(w)) return TRUE;
  if (IsWindowVisible(w)) {
    search->visible = w;
    return FALSE;
  }
  if (!search->any) search->any = w;
  return TRUE;
}

}  // namespace

bool Win32Processes::ProcessIds(std::vector<uint32_t>& ids, uint32_t& error) {
  std::vector<DWORD> buffer(1024);
  for (;;) {
    DWORD bytes = 0;
    if (!EnumProcesses(buffer.data(), DWORD(buffer.size() * sizeof(DWORD)), &bytes)) {
      error = GetLastError();
      return false;
    }
    // A full buffer may have cut the list short.
    if (bytes < buffer.size() * sizeof(DWORD)) {
      ids.assign(buffer.begin(), buffer.begin() + bytes / sizeof(DWORD));
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

uint32_t Win32Processes::OwnProcessId() { return GetCurrentProcessId(); }

ProcessHandle Win32Processes::Open(uint32_t id) {
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
  return h ? ProcessHandle(reinterpret_cast<uintptr_t>(h)) : 0;
}

std::vector<std::string> Win32Processes::Modules(ProcessHandle process) {
  std::vector<HMODULE> modules(1024);
  DWORD needed = 0;
  if (!EnumProcessModules(H(process), modules.data(), DWORD(modules.size() * sizeof(HMODULE)), &needed)) return {};
  if (needed > modules.size() * sizeof(HMODULE)) {
    modules.resize(needed / sizeof(HMODULE));
    if (!EnumProcessModules(H(process), modules.data(), DWORD(modules.size() * sizeof(HMODULE)), &needed))
      return {};
  }
  modules.resize(needed / sizeof(HMODULE));
  std::vector<std::string> paths;
  for (HMODULE m : modules) {
    if (!m) break;
    wchar_t name[MAX_PATH * 2];
    DWORD n = GetModuleFileNameExW(H(process), m, name, DWORD(std::size(name)));
    if (n == 0) continue;
    paths.push_back(Narrow(std::wstring_view(name, n)));
  }
  return paths;
}

void Win32Processes::Close(ProcessHandle process) { CloseHandle(H(process)); }

bool Win32Processes::AskToClose(uint32_t id, int timeoutMs) {
  WindowSearch search{id};
  EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
  HWND w = search.visible ? search.visible : search.any;
  if (!w) return false;
  SetForegroundWindow(w);
  // With a time-out: a hung program, or one that asks its user first, must
  // not hold the exit.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(w, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, UINT(timeoutMs), &ignored);
  return true;
}

void Win32Processes::WaitForEnd(const std::vector<ProcessHandle>& processes, int timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + ULONGLONG(timeoutMs);
  for (ProcessHandle p : processes) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    WaitForSingleObject(H(p), DWORD(deadline - now));
  }
}

bool Win32Processes::Running(ProcessHandle process) { return WaitForSingleObject(H(process), 0) == WAIT_TIMEOUT; }

void Win32Processes::Terminate(ProcessHandle process) { TerminateProcess(H(process), 0); }

}  // namespace kestro::win
