// Starts a program and measures how long it takes until a visible top-level
// window of a given class belongs to it, then ends it again.
//
//   startwatch.exe [options] -- PROGRAM [ARGUMENTS...]
//     --class NAME          window class to wait for (required)
//     --close-caption TEXT  end the program by posting WM_CLOSE to its
//                           top-level window of this caption (hidden ones
//                           too); without it the awaited window gets it
//     --cwd DIR             working folder of the started program
//     --timeout MS          how long to wait for the window (30000)
//     --exit-timeout MS     how long to wait for the end (30000)
//     --poll MS             polling interval (1)
//
// It runs inside the same Wine session as the program it starts, so that no
// start of a helper process lies between the two clocks. One JSON line goes
// to stdout. Exit code 0: shown and ended; 2: not shown in time; 3: shown but
// did not end in time (then it is terminated); 1: bad use or no start.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Unix epoch in FILETIME units, so that Python can set our times beside its own.
constexpr ULONGLONG kUnixEpoch = 116444736000000000ULL;

struct Watch {
  std::wstring cls;
  DWORD pid = 0;
  HWND hookHwnd = nullptr;
  LONGLONG hookAt = 0;
  ULONGLONG hookWall = 0;
} g;

LONGLONG Now() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return c.QuadPart;
}

ULONGLONG WallNow() {
  FILETIME ft;
  GetSystemTimePreciseAsFileTime(&ft);
  return ((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) - kUnixEpoch;
}

DWORD OwnerOf(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

bool IsAwaited(HWND h) {
  if (!g.pid || OwnerOf(h) != g.pid || !IsWindowVisible(h)) return false;
  if (GetAncestor(h, GA_PARENT) != GetDesktopWindow()) return false;
  wchar_t name[256];
  return GetClassNameW(h, name, 256) && _wcsicmp(name, g.cls.c_str()) == 0;
}

void CALLBACK OnShow(HWINEVENTHOOK, DWORD, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
  if (g.hookAt || !hwnd || idObject != OBJID_WINDOW || idChild != CHILDID_SELF) return;
  if (!IsAwaited(hwnd)) return;
  g.hookAt = Now();
  g.hookWall = WallNow();
  g.hookHwnd = hwnd;
}

// FindWindowEx filters by class in one request, so polling every millisecond
// puts little load on the wineserver the measured program also needs.
HWND PollAwaited() {
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, g.cls.c_str(), nullptr)) != nullptr)
    if (IsAwaited(h)) return h;
  return nullptr;
}

struct CaptionSearch {
  DWORD pid;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindCaption(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<CaptionSearch*>(lp);
  if (OwnerOf(h) != s->pid) return TRUE;
  wchar_t text[256];
  GetWindowTextW(h, text, 256);
  if (wcscmp(text, s->caption) != 0) return TRUE;
  s->found = h;
  return FALSE;
}

// The quoting CommandLineToArgvW undoes.
void AppendQuoted(std::wstring& out, const std::wstring& arg) {
  if (!out.empty()) out += L' ';
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
    out += arg;
    return;
  }
  out += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
}

double Ms(LONGLONG from, LONGLONG to, LONGLONG freq) { return double(to - from) * 1000.0 / double(freq); }

int Fail(int code, const char* what) {
  std::printf("{\"ok\":false,\"error\":\"%s\"}\n", what);
  std::fflush(stdout);
  return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring closeCaption, cwd;
  DWORD timeout = 30000, exitTimeout = 30000, poll = 1, linger = 0;
  int i = 1;
  for (; i < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) return Fail(1, "option without value");
    if (a == L"--class")
      g.cls = argv[++i];
    else if (a == L"--close-caption")
      closeCaption = argv[++i];
    else if (a == L"--cwd")
      cwd = argv[++i];
    else if (a == L"--timeout")
      timeout = wcstoul(argv[++i], nullptr, 10);
    else if (a == L"--exit-timeout")
      exitTimeout = wcstoul(argv[++i], nullptr, 10);
    else if (a == L"--poll")
      poll = wcstoul(argv[++i], nullptr, 10);
    else if (a == L"--linger")
      linger = wcstoul(argv[++i], nullptr, 10);
    else
      return Fail(1, "unknown option");
  }
  if (g.cls.empty() || i >= argc) return Fail(1, "usage: startwatch --class NAME [options] -- PROGRAM [ARGS]");
  std::wstring commandLine;
  for (; i < argc; ++i) AppendQuoted(commandLine, argv[i]);

  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  const LONGLONG freq = f.QuadPart;

  // Set for every process before the start: the started one's id is only
  // known afterwards, and the events wait in our queue until we look.
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr, OnShow, 0, 0, WINEVENT_OUTOFCONTEXT);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(0);
  const ULONGLONG wall0 = WallNow();
  const LONGLONG t0 = Now();
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.empty() ? nullptr : cwd.c_str(),
                      &si, &pi))
    return Fail(1, "CreateProcess failed");
  g.pid = pi.dwProcessId;

  HWND shown = nullptr;
  LONGLONG shownAt = 0;
  ULONGLONG shownWall = 0;
  const char* by = "";
  bool ended = false;
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, poll, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (g.hookAt) {
      shown = g.hookHwnd, shownAt = g.hookAt, shownWall = g.hookWall, by = "hook";
      break;
    }
    if (HWND h = PollAwaited()) {
      shownAt = Now();
      shownWall = WallNow();
      shown = h, by = "poll";
      break;
    }
    if (r == WAIT_OBJECT_0) {
      ended = true;
      break;
    }
    if (Ms(t0, Now(), freq) > timeout) break;
  }
  if (hook) UnhookWinEvent(hook);
  if (!shown) {
    if (!ended) TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    return Fail(2, ended ? "the program ended without showing the window" : "the window did not appear in time");
  }

  // The first moment the program waits for input: its start-up code has
  // returned and the message loop runs.
  double idleMs = -1;
  if (WaitForInputIdle(pi.hProcess, timeout) == 0) idleMs = Ms(t0, Now(), freq);
  // Time for work the program does in the background after it shows.
  if (linger) Sleep(linger);

  HWND closeTarget = shown;
  const LONGLONG closeStart = Now();
  if (!closeCaption.empty()) {
    CaptionSearch s{pi.dwProcessId, closeCaption.c_str(), nullptr};
    while (!s.found && Ms(closeStart, Now(), freq) < exitTimeout) {
      EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&s));
      if (!s.found) Sleep(5);
    }
    closeTarget = s.found;
  }
  const LONGLONG closeAt = Now();
  bool posted = closeTarget && PostMessageW(closeTarget, WM_CLOSE, 0, 0);
  DWORD left = DWORD(exitTimeout - std::min<double>(exitTimeout, Ms(closeStart, closeAt, freq)));
  bool finished = posted && WaitForSingleObject(pi.hProcess, left) == WAIT_OBJECT_0;
  const LONGLONG endAt = Now();
  if (!finished) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(pi.hProcess, &exitCode);

  std::printf(
      "{\"ok\":%s,\"shown_ms\":%.3f,\"by\":\"%s\",\"idle_ms\":%.3f,\"exit_ms\":%.3f,\"ended\":%s,\"exit_code\":%lu,"
      "\"pid\":%lu,\"hwnd\":%llu,\"start_unix_100ns\":%llu,\"shown_unix_100ns\":%llu}\n",
      finished ? "true" : "false", Ms(t0, shownAt, freq), by, idleMs, Ms(closeAt, endAt, freq),
      finished ? "true" : "false", static_cast<unsigned long>(exitCode), static_cast<unsigned long>(pi.dwProcessId),
      static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(shown)), wall0, shownWall);
  std::fflush(stdout);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return finished ? 0 : 3;
}
