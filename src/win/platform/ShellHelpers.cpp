#include "win/platform/ShellHelpers.h"

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {

namespace {
bool g_uiCom = false;
}  // namespace

void EnsureUiCom() {
  if (g_uiCom) return;
  g_uiCom = SUCCEEDED(OleInitialize(nullptr));
}

void EnsureCommonControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  done = InitCommonControlsEx(&icc) != FALSE;
}

void EndUiCom() {
  if (!g_uiCom) return;
  OleUninitialize();
  g_uiCom = false;
}

void TRunThread(std::function<void()> method) {
  std::thread([method = std::move(method)] {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    method();
    if (SUCCEEDED(com)) CoUninitialize();
  }).detach();
}

POINT BrowserPosition(SIZE window, SIZE screen, int x, int y) {
  POINT p{x, y};
  if (x == 0 || y == 0) p = POINT{(screen.cx - window.cx) / 2, (screen.cy - window.cy) / 2};
  p.x = std::clamp<LONG>(p.x, 0, std::max<LONG>(0, screen.cx - window.cx));
  p.y = std::clamp<LONG>(p.y, 0, std::max<LONG>(0, screen.cy - window.cy));
  return p;
}

namespace {

struct BrowseState {
  std::wstring initial;
  int x = 0, y = 0;
};

int CALLBACK BrowseCallback(HWND dlg, UINT msg, LPARAM lParam, LPARAM data) {
  auto* state = reinterpret_cast<BrowseState*>(data);
  if (msg == BFFM_INITIALIZED) {
    if (state->initial.size() > 1)
      SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(state->initial.c_str()));
    RECT r{};
    GetWindowRect(dlg, &r);
    POINT p = BrowserPosition(SIZE{r.right - r.left, r.bottom - r.top},
                              SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, state->x, state->y);
    SetWindowPos(dlg, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (msg == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path)) path[0] = L'\0';
    SendMessageW(dlg, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
  }
  return 0;
}

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM list) {
  if (IsWindowEnabled(hwnd) && IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder, int x,
                                           int y) {
  EnsureUiCom();
  BrowseState state{Widen(initialFolder), x, y};
  std::wstring caption = Widen(title);
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW bi{};
  bi.hwndOwner = ModalOwner();
  bi.pszDisplayName = displayName;
  bi.lpszTitle = caption.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  bi.lpfn = BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(&state);

  // Only the browser takes input while it is open.
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
  for (HWND w : disabled) EnableWindow(w, FALSE);
  PIDLIST_ABSOLUTE chosen = nullptr;
  {
    DialogScope dialog;
    chosen = SHBrowseForFolderW(&bi);
  }
  for (HWND w : disabled)
    if (IsWindow(w)) EnableWindow(w, TRUE);

  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (!ok) return std::nullopt;
  return Narrow(path);
}

std::string VolumeLabel(const std::string& drive) {
  wchar_t label[256] = {};
  std::wstring root = Widen(drive + "\\");
  if (!GetVolumeInformationW(root.c_str(), label, 256, nullptr, nullptr, nullptr, nullptr, 0)) return {};
  return Narrow(label);
}

}  // namespace kestro::win
