#pragma once
// The modal loops of the user-interface thread (menus, dialogs, message
// boxes): who owns their windows, and how a close request waits for them.
// A window destroyed while a loop runs over it would leave that loop (and
// the handler that opened it, still on the stack) with a dead window, so a
// close that arrives meanwhile ends the loops first and is handled after.
#include <windows.h>
#include <commdlg.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/config/Language.h"

namespace kestro::win {

enum class ModalKind { Menu, Dialog };

// The windows that own dialogs and message boxes: the hidden main window
// and the panel (null while there is none).
void SetModalWindows(HWND mainWindow, HWND panel);

// The owner of every dialog and message box: the panel when it is visible,
// else the hidden main window; inside one of our dialogs, that dialog. An
// owned box disables its owner while it is open and stays above it, also
// above a stay-on-top panel.
HWND ModalOwner();

// Marks a modal loop as running for the lifetime of the object. Loops that
// Windows runs on its own (the panel's menu bar) call Enter/Leave directly.
class ModalLoop {
 public:
  explicit ModalLoop(ModalKind kind);
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  static void Enter(ModalKind kind);
  static void Leave(ModalKind kind);
  // Loops running now.
  static int Depth();

 private:
  ModalKind kind_;
};

// For a close request that `window` received: while no modal loop runs,
// false (handle it now). Otherwise the running loops are ended (menus closed,
// dialogs and message boxes cancelled), WM_CLOSE with the same `argument` is
// posted to `window` again once the last of them has returned, and true is
// returned.
bool DeferCloseWhileModal(HWND window, WPARAM argument = 0);

// MessageBoxW with ModalOwner() as owner, counted as a modal loop.
int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

// TrackPopupMenuEx counted as a modal loop.
UINT TrackModalPopup(HMENU menu, UINT flags, POINT screen, HWND window);

// DialogBoxParamW of a dialog template of this executable: owner
// ModalOwner(), counted as a modal loop, the panel's current stay-on-top
// style applied when the dialog is created, and ModalDialogOpen() true
// while it runs.
INT_PTR RunModalDialog(const wchar_t* dialogTemplate, DLGPROC proc, LPARAM param);

// True while one of our modal dialogs (or file dialogs) is open: the main
// window's `modalDialogOpen`; the tray offers no menu meanwhile.
bool ModalDialogOpen();

// One of our dialogs that Windows runs itself (the folder browser, the
// colour dialog) for the lifetime of the object: counted as a modal loop and
// for ModalDialogOpen(), as RunModalDialog counts its own.
class DialogScope {
 public:
  DialogScope();
  ~DialogScope();
  DialogScope(const DialogScope&) = delete;
  DialogScope& operator=(const DialogScope&) = delete;

 private:
  ModalLoop loop_;
};

// A control's caption and the language key that replaces it; id 0 is the
// dialog's own caption.
struct DialogCaption {
  int id;
  std::string_view key;
};

// Replaces the captions from `section` of the language file in use; without
// a language file the template's built-in captions stay. A missing key
// shows the section's fallback.
void ApplyDialogCaptions(HWND dlg, const LanguageTexts& texts, LanguageSection section,
                         std::initializer_list<DialogCaption> captions);

// GetOpenFileNameW / GetSaveFileNameW with owner ModalOwner(), counted as a
// modal loop, raised to topmost when it shows (the hook and OFN_EXPLORER |
// OFN_ENABLEHOOK are set here). False on Cancel.
bool RunFileDialog(OPENFILENAMEW& ofn, bool save);

// RunFileDialog for one existing file, starting from `current`; the chosen
// file, or nothing on Cancel.
std::optional<std::string> ChooseExistingFile(const std::string& current, const wchar_t* filter);

}  // namespace kestro::win
