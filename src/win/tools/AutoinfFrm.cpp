#include "win/tools/AutoinfFrm.h"

#include "../../../resources/resource.h"
#include "core/tools/Autorun.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modal.h"

namespace kestro::win {

namespace {

constexpr UINT kReadFailedMessage = WM_APP + 70;
constexpr int kMemoFontPoints = 8;

struct TautoinfFrm {
  AppState& state;
  Win32Platform& platform;
  AutorunFile file;
  HFONT memoFont = nullptr;

  void FormCreate(HWND dlg) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(kMemoFontPoints, WindowDpi(dlg), 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    memoFont = CreateFontIndirectW(&lf);
    HWND memo = GetDlgItem(dlg, IDC_AUTOINF_MEMO);
    SendMessageW(memo, WM_SETFONT, WPARAM(memoFont), FALSE);
    SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(memo, Widen(file.EditorText()).c_str());
    ApplyDialogCaptions(dlg, state.languageTexts, lang::kEditAutorun,
                        {{IDC_AUTOINF_HINT, "lb1_1.caption"},
                         {IDOK, "btSave.caption"},
                         {IDCANCEL, "btCancel.caption"}});
    if (file.ReadFailed()) {
      // One Enter must not wipe a file that could not be read.
      EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
      SendMessageW(dlg, DM_SETDEFID, IDCANCEL, 0);
      // Told once the editor is on screen, in a box it owns.
      PostMessageW(dlg, kReadFailedMessage, 0, 0);
    }
    // The caret at the start, nothing selected: a key typed first replaces nothing.
    SetFocus(memo);
    SendMessageW(memo, EM_SETSEL, 0, 0);
  }

  void btSaveClick(HWND dlg) {
    if (file.ReadFailed() || !IsWindowEnabled(GetDlgItem(dlg, IDOK))) return;
    HWND memo = GetDlgItem(dlg, IDC_AUTOINF_MEMO);
    std::wstring text(size_t(GetWindowTextLengthW(memo)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(memo, text.data(), int(text.size()))));
    WriteResult saved = file.Save(Narrow(text), platform.files, platform.codec);
    if (!saved) {
      // The editor stays open with the text as it is.
      ShowMessageBox(Widen("Could not write " + file.Path() + "\r\n" + saved.error), L"Notice", MB_OK | MB_ICONERROR);
      return;
    }
    EndDialog(dlg, IDOK);
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TautoinfFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        reinterpret_cast<TautoinfFrm*>(lParam)->FormCreate(dlg);
        return FALSE;  // the focus was set
      case kReadFailedMessage:
        ShowMessageBox(Widen(self->file.ReadFailureText()), L"Notice", MB_OK | MB_ICONERROR);
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          self->btSaveClick(dlg);
          return TRUE;
        }
        // btCancelClick, and Esc anywhere (btSaveKeyDown included).
        if (LOWORD(wParam) == IDCANCEL) {
          EndDialog(dlg, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  }
};

}  // namespace

void OpenAutorunEditor(AppState& state, Win32Platform& platform) {
  TautoinfFrm frm{state, platform,
                  AutorunFile::Open(state.pv.programDriveRoot, ExecutablePath(), state.messages, platform.files,
                                    platform.codec)};
  RunModalDialog(MAKEINTRESOURCEW(IDD_AUTOINF), &TautoinfFrm::Proc, reinterpret_cast<LPARAM>(&frm));
  if (frm.memoFont) DeleteObject(frm.memoFont);
}

}  // namespace kestro::win
