#include "win/app/MainFrm.h"

#include "core/app/StartSequence.h"
#include "win/platform/WinText.h"

namespace kestro::win {

namespace {
constexpr wchar_t kClassName[] = L"TmainFrm";
}

TmainFrm::TmainFrm(Win32Platform& platform, std::string exePath)
    : platform_(platform), exePath_(std::move(exePath)) {}

bool TmainFrm::Create() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  if (!RegisterWindowClass(kClassName, icon, nullptr)) return false;
  // A tool window gets no taskbar button; it is never shown.
  return CreateWindowHandle(WS_EX_TOOLWINDOW, kClassName, Widen(kMainWindowCaption).c_str(), WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr) != nullptr;
}

void TmainFrm::FormCreate() {
  StartSequence sequence(state_, platform_.platform, ResourceBytes(L"EXEFILE", L"english"));
  if (sequence.Run(exePath_) == StartOutcome::CloseRequested) {
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
    return;
  }
}

void TmainFrm::FormClose() {
  // Until the panel window exists, its bounds are the stored ones.
  SaveAtExit(state_, platform_.platform, WindowStateFromSettings(state_.env));
  DestroyWindow(Handle());
}

LRESULT TmainFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Window::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace kestro::win
