#pragma once
// A frame host without a panel, for the tests of the item tree frame and its
// editing: it counts what the frame reports.
#include <windows.h>

#include <string>
#include <vector>

#include "core/app/StartSequence.h"
#include "win/panel/FrameHost.h"

namespace kestro::win {

class TestFrameHost : public IFrameHost {
 public:
  TestFrameHost(AppState& s, Win32Platform& p) : state_(s), platform_(p) {}
  AppState& State() override { return state_; }
  Win32Platform& Host() override { return platform_; }
  HWND PanelWindow() override { return nullptr; }
  void TreesChanged() override { ++changes; }
  void PagesChanged() override { ++pageChanges; }
  void DeletePage(PanelPage& page) override { deleted.push_back(&page); }
  HIMAGELIST SmallImages() override { return platform_.images.Small(); }
  HIMAGELIST BigImages() override { return platform_.images.Big(); }
  bool PicturesAvailable() override { return picturesAvailable; }
  PanelWindowState WindowState() const override { return WindowStateFromSettings(state_.env); }
  int changes = 0;
  int pageChanges = 0;
  std::vector<PanelPage*> deleted;
  bool picturesAvailable = true;

 private:
  AppState& state_;
  Win32Platform& platform_;
};

// The visible dialog box of this thread, if any.
inline HWND VisibleBoxOfThisThread() {
  HWND box = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM out) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&box));
  return box;
}

// A message box's message: its longest static text (empty until it is shown).
inline std::wstring BoxMessageText(HWND box) {
  std::wstring text;
  EnumChildWindows(
      box,
      [](HWND c, LPARAM out) -> BOOL {
        wchar_t cls[16] = {}, t[512] = {};
        GetClassNameW(c, cls, 16);
        GetWindowTextW(c, t, 512);
        auto* s = reinterpret_cast<std::wstring*>(out);
        if (lstrcmpiW(cls, L"Static") == 0 && wcslen(t) > s->size()) *s = t;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

}  // namespace kestro::win
