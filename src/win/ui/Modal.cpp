#include "win/ui/Modal.h"

#include <cwchar>

namespace kestro::win {
namespace {

// Only the user-interface thread runs modal loops and touches these.
struct ModalState {
  HWND mainWindow = nullptr;
  HWND panel = nullptr;
  int menus = 0;
  int dialogs = 0;
  HWND closePending = nullptr;  // gets WM_CLOSE again when the last loop returns
};
ModalState g;

BOOL CALLBACK EndDialogWindow(HWND w, LPARAM) {
  // Message boxes, the common dialogs and our own dialogs are all of the
  // dialog class; ending one makes its loop return as if cancelled.
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (std::wcscmp(cls, L"#32770") == 0) EndDialog(w, IDCANCEL);
  return TRUE;
}

void EndRunningLoops() {
  if (g.menus > 0) EndMenu();
  if (g.dialogs > 0) EnumThreadWindows(GetCurrentThreadId(), EndDialogWindow, 0);
}

}  // namespace

void SetModalWindows(HWND mainWindow, HWND panel) {
  g.mainWindow = mainWindow;
  g.panel = panel;
}

HWND ModalOwner() {
  // Opened from one of our dialogs (or boxes): that one, which is active.
  if (g.dialogs > 0) {
    HWND active = GetActiveWindow();
    if (active && active != g.mainWindow && active != g.panel && IsWindowEnabled(active)) return active;
  }
  // A minimised owner would hide the box with it.
  if (g.panel && IsWindowVisible(g.panel) && !IsIconic(g.panel)) return g.panel;
  return g.mainWindow;
}

ModalLoop::ModalLoop(ModalKind kind) : kind_(kind) { Enter(kind); }

ModalLoop::~ModalLoop() { Leave(kind_); }

void ModalLoop::Enter(ModalKind kind) { ++(kind == ModalKind::Menu ? g.menus : g.dialogs); }

void ModalLoop::Leave(ModalKind kind) {
  int& count = kind == ModalKind::Menu ? g.menus : g.dialogs;
  if (count > 0) --count;
  if (Depth() == 0 && g.closePending) {
    HWND w = g.closePending;
    g.closePending = nullptr;
    // Posted: the handler that opened the loop returns before it arrives.
    PostMessageW(w, WM_CLOSE, 0, 0);
  }
}

int ModalLoop::Depth() { return g.menus + g.dialogs; }

bool DeferCloseWhileModal(HWND window) {
  if (ModalLoop::Depth() == 0) return false;
  g.closePending = window;
  EndRunningLoops();
  return true;
}

int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
  ModalLoop loop(ModalKind::Dialog);
  return MessageBoxW(ModalOwner(), text.c_str(), caption.c_str(), flags);
}

UINT TrackModalPopup(HMENU menu, UINT flags, POINT screen, HWND window) {
  ModalLoop loop(ModalKind::Menu);
  return UINT(TrackPopupMenuEx(menu, flags, screen.x, screen.y, window, nullptr));
}

INT_PTR RunModalDialog(const wchar_t* dialogTemplate, DLGPROC proc, LPARAM param) {
  ModalLoop loop(ModalKind::Dialog);
  return DialogBoxParamW(GetModuleHandleW(nullptr), dialogTemplate, ModalOwner(), proc, param);
}

}  // namespace kestro::win
