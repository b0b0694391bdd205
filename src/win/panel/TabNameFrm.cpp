#include "win/panel/TabNameFrm.h"

#include "../../../resources/resource.h"
#include "core/config/Language.h"
#include "core/ui/TabDialogs.h"
#include "win/platform/Win32Platform.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {

namespace {

struct TtabNameFrm {
  std::string languageFile;
  HWND panel;
  std::string name;

  void FormCreate(HWND dlg) {
    RECT p{}, d{};
    if (panel && GetWindowRect(panel, &p) && GetWindowRect(dlg, &d)) {
      DialogPlace at = TabNameDialogPlace(Rect{p.left, p.top, p.right, p.bottom}, d.bottom - d.top);
      SetWindowPos(dlg, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Win32FileSystem files;
    Win32TextCodec codec;
    LanguageTexts texts = LanguageTexts::Open(languageFile, files, codec);
    if (texts.InUse()) {
      SetWindowTextW(dlg, Widen(texts.Text(lang::kTabCreate, "Self.Caption")).c_str());
      SetDlgItemTextW(dlg, IDOK, Widen(texts.Text(lang::kTabCreateButton, "btnOk.Caption")).c_str());
      SetDlgItemTextW(dlg, IDCANCEL, Widen(texts.Text(lang::kTabCreateButton, "btnCancel.Caption")).c_str());
    }
    SetFocus(GetDlgItem(dlg, IDC_TABNAME_EDIT));
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TtabNameFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        reinterpret_cast<TtabNameFrm*>(lParam)->FormCreate(dlg);
        return FALSE;  // the focus was set
      case WM_COMMAND:
        // Enter in the edit box arrives as IDOK (the default button).
        if (LOWORD(wParam) == IDOK) {
          wchar_t buf[1024] = {};
          GetDlgItemTextW(dlg, IDC_TABNAME_EDIT, buf, 1024);
          self->name = Narrow(buf);
          EndDialog(dlg, IDOK);
          return TRUE;
        }
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

std::optional<std::string> AskTabName(const std::string& languageFile, HWND panel) {
  TtabNameFrm frm{languageFile, panel, {}};
  INT_PTR r = RunModalDialog(MAKEINTRESOURCEW(IDD_TABNAME), &TtabNameFrm::Proc, reinterpret_cast<LPARAM>(&frm));
  if (r != IDOK) return std::nullopt;
  return frm.name;
}

}  // namespace kestro::win
