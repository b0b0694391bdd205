// A launch target for the end-to-end tests: records how it was started
// (command line, working folder, show command, creation time) as one JSON line appended to
// probe.log beside itself, or to the file named by KESTRO_PROBE_LOG.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::string Json(const std::string& s) {
  std::string r = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      r += '\\';
      r += char(c);
    } else if (c < 0x20) {
      char buf[8];
      wsprintfA(buf, "\\u%04x", c);
      r += buf;
    } else {
      r += char(c);
    }
  }
  return r + "\"";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring logPath = exe;
  logPath = logPath.substr(0, logPath.find_last_of(L'\\') + 1) + L"probe.log";
  wchar_t env[MAX_PATH];
  if (DWORD n = GetEnvironmentVariableW(L"KESTRO_PROBE_LOG", env, MAX_PATH); n && n < MAX_PATH) logPath = env;

  wchar_t cwd[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, cwd);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;

  // When the process was created: the order in which programs were started,
  // whatever order they get to write in.
  FILETIME created{}, ignored{};
  GetProcessTimes(GetCurrentProcess(), &created, &ignored, &ignored, &ignored);
  unsigned long long createdAt = (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;

  std::string line = "{\"exe\":" + Json(Utf8(exe)) + ",\"cmdline\":" + Json(Utf8(GetCommandLineW())) +
                     ",\"cwd\":" + Json(Utf8(cwd)) + ",\"show\":" + std::to_string(show) +
                     ",\"created\":" + std::to_string(createdAt) + "}\r\n";
  HANDLE h = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(h, line.data(), DWORD(line.size()), &written, nullptr);
  CloseHandle(h);
  return 0;
}
