// A program for the exit's end-to-end tests that reacts to a close request
// as real programs do. Every event is appended to LOG as one line
// ("<mode> <event> <pid>").
//
//   closeprobe normal LOG           a window that ends on WM_CLOSE
//   closeprobe ignore LOG           a window that ignores WM_CLOSE
//   closeprobe ask LOG FILE         on WM_CLOSE asks "Save changes?" (Yes/No);
//                                   Yes writes FILE, then it ends
//   closeprobe module LOG DLL       loads DLL (any PE file) as a module, then as normal
//   closeprobe shell LOG            windows of the classes "TTOTAL_CMD" and
//                                   "ExploreWClass" that log WM_CLOSE and stay
// The main window's caption is "closeprobe-<mode>".
#include <windows.h>

#include <string>

namespace {

std::wstring g_mode, g_log, g_file;

void Log(const std::wstring& event) {
  std::wstring line = g_mode + L" " + event + L" " + std::to_wstring(GetCurrentProcessId()) + L"\r\n";
  int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), int(line.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.data(), int(line.size()), bytes.data(), n, nullptr, nullptr);
  HANDLE h = CreateFileW(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (g_mode == L"shell") {
      Log(std::wstring(L"WM_CLOSE ") + cls);
      return 0;
    }
    if (g_mode == L"ignore") {
      Log(L"ignored");
      return 0;
    }
    if (g_mode == L"ask") {
      Log(L"asking");
      if (MessageBoxW(w, L"Save changes?", L"closeprobe", MB_YESNO) == IDYES) {
        HANDLE h = CreateFileW(g_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
          DWORD written = 0;
          WriteFile(h, "saved", 5, &written, nullptr);
          FlushFileBuffers(h);
          CloseHandle(h);
        }
        Log(L"saved");
      }
    }
    Log(L"closed");
    DestroyWindow(w);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

HWND Make(const wchar_t* cls, const std::wstring& caption, int y) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = cls;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, cls, caption.c_str(), WS_OVERLAPPEDWINDOW, 600, y, 300, 120, nullptr, nullptr,
                           wc.hInstance, nullptr);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  return w;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (__argc < 3) return 2;
  g_mode = __wargv[1];
  g_log = __wargv[2];
  if (__argc > 3) g_file = __wargv[3];
  if (g_mode == L"module" && !LoadLibraryExW(g_file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {
    Log(L"noload");
    return 3;
  }
  if (g_mode == L"shell") {
    Make(L"TTOTAL_CMD", L"closeprobe-shell", 400);
    Make(L"ExploreWClass", L"closeprobe-explorer", 520);
  } else {
    Make(L"KestroCloseProbe", L"closeprobe-" + g_mode, 100);
  }
  Log(L"started");
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  Log(L"ended");
  return 0;
}
