// Times the find tab's search in the running Kestro.exe against a raw
// FindFirstFileW walk of the same drive, in one Wine session. Prints one
// JSON line.
//
//   findbench DRIVE TEXT RUNS       (DRIVE such as "R:")
//
// Kestro's search is timed from the click of its button until its count
// shows "items" (the walk has ended and every row is listed). The raw walk
// lists every folder recursively with FindFirstFileW and compares each file
// name, lowered, with the text; a second raw walk does the same with
// FindFirstFileExW without short names, as Kestro lists. Between the two, Kestro is left to become idle (its pictures of
// the results are looked up after the walk), so that neither competes with
// the other.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

struct Target {
  HWND frame = nullptr, button = nullptr, edit = nullptr, label = nullptr;
};

BOOL CALLBACK FindChildren(HWND w, LPARAM lp) {
  auto* t = reinterpret_cast<Target*>(lp);
  wchar_t cls[64] = {};
  GetClassNameW(w, cls, 64);
  if (!t->frame && wcscmp(cls, L"KestroFindFrame") == 0) t->frame = w;
  if (t->frame && GetParent(w) == t->frame) {
    if (!_wcsicmp(cls, L"Button")) t->button = w;
    if (!_wcsicmp(cls, L"Edit")) t->edit = w;
    if (!_wcsicmp(cls, L"Static")) t->label = w;
  }
  return TRUE;
}

// `basic`: FindFirstFileExW without the short (8.3) names, as Kestro lists.
size_t RawWalk(const std::wstring& folder, const std::wstring& text, bool basic) {
  size_t found = 0;
  WIN32_FIND_DATAW fd;
  const std::wstring pattern = folder + L"\\*.*";
  HANDLE h = basic ? FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, 0)
                   : FindFirstFileW(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      found += RawWalk(folder + L"\\" + fd.cFileName, text, basic);
    } else {
      std::wstring name = fd.cFileName;
      for (wchar_t& c : name) c = wchar_t(std::towlower(c));
      if (name.find(text) != std::wstring::npos) ++found;
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return found;
}

std::wstring Text(HWND w) {
  wchar_t buf[128] = {};
  SendMessageTimeoutW(w, WM_GETTEXT, 128, LPARAM(buf), SMTO_BLOCK, 5000, nullptr);
  return buf;
}

// Waits until the process has used no processor time for 300 ms (at most 30 s).
void WaitIdle(HANDLE process) {
  auto cpu = [&] {
    FILETIME c, e, k, u;
    GetProcessTimes(process, &c, &e, &k, &u);
    return (ULONGLONG(k.dwHighDateTime) << 32 | k.dwLowDateTime) + (ULONGLONG(u.dwHighDateTime) << 32 | u.dwLowDateTime);
  };
  ULONGLONG last = cpu();
  for (int i = 0; i < 100; ++i) {
    Sleep(300);
    ULONGLONG now = cpu();
    if (now == last) return;
    last = now;
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: findbench DRIVE TEXT RUNS\n");
    return 2;
  }
  const std::wstring drive = argv[1], text = argv[2];
  const int runs = std::max(1, _wtoi(argv[3]));
  HWND panel = FindWindowW(L"TviewFrm", nullptr);
  Target t;
  if (panel) EnumChildWindows(panel, FindChildren, LPARAM(&t));
  if (!t.frame || !t.button || !t.edit || !t.label) {
    std::fprintf(stderr, "findbench: no find tab in a running Kestro\n");
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(panel, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  SendMessageW(t.edit, WM_SETTEXT, 0, LPARAM(text.c_str()));

  auto kestro = [&](size_t& count) {
    SendMessageW(t.label, WM_SETTEXT, 0, LPARAM(L""));
    auto start = Clock::now();
    PostMessageW(t.frame, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.button), BN_CLICKED), LPARAM(t.button));
    std::wstring shown;
    for (;;) {
      shown = Text(t.label);
      if (shown.size() > 5 && shown.compare(shown.size() - 5, 5, L"items") == 0) break;
      if (Clock::now() - start > std::chrono::minutes(5)) return -1.0;
      Sleep(5);
    }
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    count = size_t(_wtoi(shown.c_str()));
    WaitIdle(process);
    return ms;
  };
  auto raw = [&](size_t& count, bool basic) {
    auto start = Clock::now();
    count = RawWalk(drive, text, basic);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };

  size_t kestroCount = 0, rawCount = 0;
  // Warm-up: the file system's caches and Kestro's first pictures.
  size_t basicCount = 0;
  raw(rawCount, false);
  kestro(kestroCount);
  std::vector<double> k, r, b;
  for (int i = 0; i < runs; ++i) {
    // Alternating order, so that none always runs on the warmer cache.
    if (i % 2) {
      k.push_back(kestro(kestroCount));
      r.push_back(raw(rawCount, false));
      b.push_back(raw(basicCount, true));
    } else {
      b.push_back(raw(basicCount, true));
      r.push_back(raw(rawCount, false));
      k.push_back(kestro(kestroCount));
    }
  }
  const double km = Median(k), rm = Median(r), bm = Median(b);
  std::printf(
      "{\"runs\":%d,\"kestro_ms\":%.1f,\"kestro_min_ms\":%.1f,\"raw_ms\":%.1f,\"raw_min_ms\":%.1f,\"ratio\":%.3f,"
      "\"raw_basic_ms\":%.1f,\"ratio_basic\":%.3f,\"kestro_found\":%zu,\"raw_found\":%zu}\n",
      runs, km, *std::min_element(k.begin(), k.end()), rm, *std::min_element(r.begin(), r.end()), km / rm, bm,
      km / bm, kestroCount, rawCount);
  return 0;
}
