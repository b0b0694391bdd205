#include "win/ui/Modal.h"

#include <cwchar>

#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

// Only the user-interface thread runs modal loops and touches these.
struct ModalState {
  HWND mainWindow = nullptr;
  HWND panel = nullptr;
  int menus = 0;
  int dialogs = 0;
  HWND closePending = nullptr;  // gets WM_CLOSE again when the last loop returns
  WPARAM closeArgument = 0;     // the close request's argument (why it closes)
  int ourDialogs = 0;           // DialogScopes open now (our dialogs, file and folder dialogs)
};
ModalState g;

// The dialog procedure and parameter of the dialog being created: the
// wrapper below hands WM_INITDIALOG on with them and keeps the procedure in
// a window property for the rest of the dialog's messages.
struct PendingDialog {
  DLGPROC proc;
  LPARAM param;
};
constexpr wchar_t kProcProperty[] = L"KestroDialogProc";

bool PanelStaysOnTop() {
  return g.panel && (GetWindowLongW(g.panel, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

INT_PTR CALLBACK DialogWrapper(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* pending = reinterpret_cast<PendingDialog*>(lParam);
    SetPropW(dlg, kProcProperty, reinterpret_cast<HANDLE>(pending->proc));
    // A dialog takes the panel's stay-on-top style of this moment.
    if (PanelStaysOnTop()) SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return pending->proc(dlg, msg, wParam, pending->param);
  }
  auto proc = reinterpret_cast<DLGPROC>(GetPropW(dlg, kProcProperty));
  if (msg == WM_NCDESTROY) RemovePropW(dlg, kProcProperty);
  return proc ? proc(dlg, msg, wParam, lParam) : FALSE;
}

UINT_PTR CALLBACK TopmostFileDialogHook(HWND dlg, UINT msg, WPARAM, LPARAM) {
  // Every file dialog raises itself to topmost when it shows.
  if (msg == WM_INITDIALOG)
    SetWindowPos(GetParent(dlg), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return 0;
}

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
    PostMessageW(w, WM_CLOSE, g.closeArgument, 0);
  }
}

int ModalLoop::Depth() { return g.menus + g.dialogs; }

bool DeferCloseWhileModal(HWND window, WPARAM argument) {
  if (ModalLoop::Depth() == 0) return false;
  g.closePending = window;
  g.closeArgument = argument;
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
  DialogScope dialog;
  PendingDialog pending{proc, param};
  return DialogBoxParamW(GetModuleHandleW(nullptr), dialogTemplate, ModalOwner(), DialogWrapper,
                         reinterpret_cast<LPARAM>(&pending));
}

bool ModalDialogOpen() { return g.ourDialogs > 0; }

DialogScope::DialogScope() : loop_(ModalKind::Dialog) { ++g.ourDialogs; }

DialogScope::~DialogScope() { --g.ourDialogs; }

void ApplyDialogCaptions(HWND dlg, const LanguageTexts& texts, LanguageSection section,
                         std::initializer_list<DialogCaption> captions) {
  if (!texts.InUse()) return;
  for (const DialogCaption& c : captions) {
    std::wstring text = Widen(texts.Text(section, c.key));
    if (c.id == 0)
      SetWindowTextW(dlg, text.c_str());
    else
      SetDlgItemTextW(dlg, c.id, text.c_str());
  }
}

bool RunFileDialog(OPENFILENAMEW& ofn, bool save) {
  ofn.hwndOwner = ModalOwner();
  ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
  ofn.lpfnHook = TopmostFileDialogHook;
  EnsureUiCom();
  DialogScope dialog;
  return (save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)) != FALSE;
}

std::optional<std::string> ChooseExistingFile(const std::string& current, const wchar_t* filter) {
  wchar_t file[MAX_PATH * 2] = {};
  lstrcpynW(file, Widen(current).c_str(), MAX_PATH * 2);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH * 2;
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_FILEMUSTEXIST;
  if (!RunFileDialog(ofn, false)) return std::nullopt;
  return Narrow(file);
}

}  // namespace kestro::win
