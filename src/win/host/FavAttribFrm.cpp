#include "win/host/FavAttribFrm.h"

#include "../../../resources/resource.h"
#include "core/host/FavoritesTab.h"
#include "core/text/Text.h"
#include "win/panel/AttribFrm.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

struct TfavAttribFrm {
  const AppState& state;
  UrlFields fields;
  HWND dlg = nullptr;

  void FormCreate() {
    ApplyDialogCaptions(dlg, state.languageTexts, lang::kUrlProperty,
                        {{0, "self.caption"},
                         {IDC_FAVATTRIB_GBDEFAULT, "gbDefault.caption"},
                         {IDC_FAVATTRIB_LBTITLE, "lbTitle.caption"},
                         {IDC_FAVATTRIB_LBURL, "lbUrlAddress.caption"}});
    // The buttons are the property dialogs' own, in the language file's "Button" section.
    ApplyDialogCaptions(dlg, state.languageTexts, lang::kFilePropertyButton,
                        {{IDOK, "btnAppend.Caption"}, {IDCANCEL, "btnCancel.Caption"}});
    SetFocus(GetDlgItem(dlg, IDC_FAVATTRIB_TITLE));
  }

  void Refuse(const std::string& text, int control) {
    ShowMessageBox(Widen(text), L"Notice", MB_OK | MB_ICONINFORMATION);
    SetFocus(GetDlgItem(dlg, control));
  }

  void btnAppendClick() {
    fields.title = ControlText(dlg, IDC_FAVATTRIB_TITLE);
    fields.address = Trim(ControlText(dlg, IDC_FAVATTRIB_URL));
    // The title names the file: nothing that leaves the folder or cannot be a name.
    if (auto refusal = UrlTitleRefusal(fields.title)) return Refuse(*refusal, IDC_FAVATTRIB_TITLE);
    if (fields.address.empty()) return Refuse("Url주소를 넣어주세요", IDC_FAVATTRIB_URL);
    EndDialog(dlg, IDOK);
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TfavAttribFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        self = reinterpret_cast<TfavAttribFrm*>(lParam);
        self->dlg = dlg;
        self->FormCreate();
        return FALSE;  // the focus was set
      case WM_COMMAND:
        if (!self) return FALSE;
        if (LOWORD(wParam) == IDOK) self->btnAppendClick();
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dlg, IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  }
};

}  // namespace

std::optional<UrlFields> RunFavAttribFrm(const AppState& state) {
  TfavAttribFrm frm{state, {}};
  INT_PTR r = RunModalDialog(MAKEINTRESOURCEW(IDD_FAVATTRIB), &TfavAttribFrm::Proc, reinterpret_cast<LPARAM>(&frm));
  if (r != IDOK) return std::nullopt;
  return frm.fields;
}

}  // namespace kestro::win
