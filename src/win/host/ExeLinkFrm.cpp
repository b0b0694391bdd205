#include "win/host/ExeLinkFrm.h"

#include <windows.h>
#include <commctrl.h>

#include "../../../resources/resource.h"
#include "core/host/Associations.h"
#include "core/host/ExeLinkEdit.h"
#include "win/panel/AttribFrm.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

constexpr wchar_t kExeFilter[] = L"All files (*.exe)\0*.exe\0";

std::wstring ItemText(HWND dlg, int id) {
  wchar_t buf[2048] = {};
  GetDlgItemTextW(dlg, id, buf, 2048);
  return buf;
}

struct TexeLinkFrm {
  AppState& state;
  std::vector<ExeLinkRow> rows;
  bool changed = false;
  bool accepted = false;
  bool filling = false;
  HWND dlg = nullptr;

  HWND lvExeLink() const { return GetDlgItem(dlg, IDC_EXELINK_LIST); }
  HWND cbExt() const { return GetDlgItem(dlg, IDC_EXELINK_EXT); }

  void FormCreate() {
    ApplyDialogCaptions(dlg, state.languageTexts, lang::kExtLink,
                        {{0, "Self.Caption"},
                         {IDC_EXELINK_GBEXTAPPEND, "gbExtAppend.Caption"},
                         {IDC_EXELINK_LBEXT, "lbExt.Caption"},
                         {IDC_EXELINK_SELECTEXE, "btSelectExe.Caption"},
                         {IDC_EXELINK_ADDLIST, "btAddList.Caption"}});
    ApplyDialogCaptions(dlg, state.languageTexts, lang::kExtLinkButton, {{IDOK, "btnOK.Caption"}});
    const bool translated = state.languageTexts.InUse();
    auto text = [&](const char* key, const char* korean) {
      return Widen(translated ? state.languageTexts.Text(lang::kExtLink, key) : std::string(korean));
    };
    HWND lv = lvExeLink();
    ListView_SetExtendedListViewStyle(
        lv, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    const int dpi = WindowDpi(dlg);
    std::wstring ext = text("lvExeLink.Column1.Caption", "확장자");
    std::wstring program = text("lvExeLink.Column2.Caption", "실행 프로그램");
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<wchar_t*>(L"");
    col.cx = Px(20, dpi);
    ListView_InsertColumn(lv, 0, &col);
    col.pszText = ext.data();
    col.cx = Px(60, dpi);
    ListView_InsertColumn(lv, 1, &col);
    col.pszText = program.data();
    col.cx = Px(240, dpi);
    ListView_InsertColumn(lv, 2, &col);
    rows = RowsOf(state.exeLinks);
    for (const ExeLinkRow& r : rows) AddComboItem(r.extension);
    Refill();
    changed = false;
  }

  void AddComboItem(const std::string& ext) {
    std::wstring w = Widen(ext);
    if (SendMessageW(cbExt(), CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(w.c_str())) == CB_ERR)
      SendMessageW(cbExt(), CB_ADDSTRING, 0, LPARAM(w.c_str()));
  }

  // The check boxes as the user left them.
  void ReadChecks() {
    for (size_t i = 0; i < rows.size(); ++i) rows[i].checked = ListView_GetCheckState(lvExeLink(), int(i)) != 0;
  }

  // The list view from the rows; filling runs no selection rule.
  void Refill() {
    filling = true;
    HWND lv = lvExeLink();
    ListView_DeleteAllItems(lv);
    for (size_t i = 0; i < rows.size(); ++i) {
      std::wstring ext = Widen(rows[i].extension), program = Widen(rows[i].program);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = int(i);
      item.pszText = ext.data();  // the caption, drawn in the check box column
      ListView_InsertItem(lv, &item);
      ListView_SetItemText(lv, int(i), 1, ext.data());
      ListView_SetItemText(lv, int(i), 2, program.data());
      ListView_SetCheckState(lv, int(i), rows[i].checked);
    }
    filling = false;
  }

  void btSelectExeClick() {
    if (auto file = ChooseFileFor(dlg, kExeFilter, state))
      SetDlgItemTextW(dlg, IDC_EXELINK_EXEFILE, Widen(*file).c_str());
  }

  void btAddListClick() {
    std::string typed = Narrow(ItemText(dlg, IDC_EXELINK_EXT));
    if (typed.empty()) return;
    std::optional<std::string> ext = NormalizeExtension(typed);
    if (!ext) {
      ShowMessageBox(Widen("\"" + typed + "\" is no file extension: it may not be empty or hold blanks, \"\\\" or \"/\"."),
                     L"Notice", MB_OK | MB_ICONWARNING);
      return;
    }
    const std::string file = Narrow(ItemText(dlg, IDC_EXELINK_EXEFILE));
    if (file.empty()) {
      // A row without a program would redirect the extension to nothing.
      ShowMessageBox(L"Choose the program for \"" + Widen(*ext) + L"\" first.", L"Notice", MB_OK | MB_ICONWARNING);
      return;
    }
    ReadChecks();
    AddOrUpdateRow(rows, *ext, file, Narrow(ItemText(dlg, IDC_EXELINK_PARAMETER)));
    Refill();
    AddComboItem(*ext);
    SetWindowTextW(cbExt(), L"");
    changed = true;
  }

  void popupMenu_DeleteClick() {
    int selected = ListView_GetNextItem(lvExeLink(), -1, LVNI_SELECTED);
    if (selected < 0 || size_t(selected) >= rows.size()) return;
    ReadChecks();
    std::wstring ext = Widen(rows[size_t(selected)].extension);
    LRESULT at = SendMessageW(cbExt(), CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(ext.c_str()));
    if (at != CB_ERR) SendMessageW(cbExt(), CB_DELETESTRING, WPARAM(at), 0);
    rows.erase(rows.begin() + selected);
    Refill();
    changed = true;
  }

  void lvExeLinkPopup() {
    if (ListView_GetNextItem(lvExeLink(), -1, LVNI_SELECTED) < 0) return;
    HMENU menu = CreatePopupMenu();
    // The language files carry no text for it.
    AppendMenuW(menu, MF_STRING, IDC_EXELINK_DELETE, L"삭제");
    POINT p;
    GetCursorPos(&p);
    TrackModalPopup(menu, TPM_RIGHTBUTTON, p, dlg);
    DestroyMenu(menu);
  }

  void lvExeLinkSelect(int index) {
    if (filling || index < 0 || size_t(index) >= rows.size()) return;
    const ExeLinkRow& r = rows[size_t(index)];
    SetWindowTextW(cbExt(), Widen(r.extension).c_str());
    auto [file, parameters] = SplitProgramText(r.program);
    SetDlgItemTextW(dlg, IDC_EXELINK_EXEFILE, Widen(file).c_str());
    SetDlgItemTextW(dlg, IDC_EXELINK_PARAMETER, Widen(parameters).c_str());
  }

  void btOkClick() {
    ReadChecks();
    accepted = true;
    EndDialog(dlg, 1);
  }

  void FormCloseQuery() {
    if (changed && ShowMessageBox(Widen(state.messages.Message("12")), L"Notice?", MB_YESNO | MB_ICONQUESTION) == IDYES) {
      btOkClick();
      return;
    }
    EndDialog(dlg, IDCANCEL);
  }

  INT_PTR Notify(NMHDR* nm) {
    if (nm->idFrom != IDC_EXELINK_LIST) return FALSE;
    switch (nm->code) {
      case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(nm);
        if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
            !(change->uOldState & LVIS_SELECTED))
          lvExeLinkSelect(change->iItem);
        return TRUE;
      }
      case LVN_GETINFOTIPW: {
        // The hint of the row under the pointer: its extension.
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(nm);
        if (tip->iItem >= 0 && size_t(tip->iItem) < rows.size() && tip->pszText && tip->cchTextMax > 0)
          lstrcpynW(tip->pszText, Widen(rows[size_t(tip->iItem)].extension).c_str(), tip->cchTextMax);
        return TRUE;
      }
      case NM_RCLICK:
        lvExeLinkPopup();
        return TRUE;
      default:
        return FALSE;
    }
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TexeLinkFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        self = reinterpret_cast<TexeLinkFrm*>(lParam);
        self->dlg = dlg;
        self->FormCreate();
        return TRUE;
      case WM_NOTIFY:
        return self ? self->Notify(reinterpret_cast<NMHDR*>(lParam)) : FALSE;
      case WM_COMMAND:
        if (!self) return FALSE;
        switch (LOWORD(wParam)) {
          case IDOK:
            // Enter in the combo box adds the row, as the add button does.
            if (GetFocus() == GetWindow(self->cbExt(), GW_CHILD) || GetFocus() == self->cbExt())
              self->btAddListClick();
            else
              self->btOkClick();
            break;
          case IDCANCEL:
            self->FormCloseQuery();
            break;
          case IDC_EXELINK_SELECTEXE:
            self->btSelectExeClick();
            break;
          case IDC_EXELINK_ADDLIST:
            self->btAddListClick();
            break;
          case IDC_EXELINK_DELETE:
            self->popupMenu_DeleteClick();
            break;
          default:
            return FALSE;
        }
        return TRUE;
      default:
        return FALSE;
    }
  }
};

}  // namespace

void RunExeLinkFrm(AppState& state, HostChanges& host) {
  TexeLinkFrm frm{state, {}};
  RunModalDialog(MAKEINTRESOURCEW(IDD_EXELINK), &TexeLinkFrm::Proc, reinterpret_cast<LPARAM>(&frm));
  // Applied once the dialog is gone, so that a notice of the apply has the
  // panel as its owner.
  if (frm.accepted) ApplyExeLinkRows(state, host, frm.rows);
}

}  // namespace kestro::win
