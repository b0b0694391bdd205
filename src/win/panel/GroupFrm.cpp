#include "win/panel/GroupFrm.h"

#include "../../../resources/resource.h"
#include "core/text/Text.h"
#include "win/panel/AttribFrm.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

constexpr wchar_t kIconFilesFilter[] = L"Icon Files(*.ico,*.exe)\0*.ico;*.exe\0";

struct TGroupFrm {
  const TMyRec* group;  // null: a group being added
  const AppState& state;
  GroupPropertyFields fields;
  std::string pendingIcon;
  HWND dlg = nullptr;

  HWND Image() const { return GetDlgItem(dlg, IDC_GROUP_ICON); }
  const std::string& GroupIcon() const { return state.env.groupicon; }

  void FormCreate() {
    ApplyDialogCaptions(dlg, state.languageTexts, lang::kGroupProperty,
                        {{0, "Self.Caption"},
                         {IDC_GROUP_GBNAME, "gbGroupName.Caption"},
                         {IDC_GROUP_CHANGEICON, "ckGroupIcon.Caption"},
                         {IDC_GROUP_HIDEFROMTRAY, "ckHideFromTray.Caption"},
                         // The language files carry the buttons in this section too.
                         {IDOK, "btnAppend.Caption"},
                         {IDCANCEL, "btnCancel.Caption"}});
    if (group) {
      // No click rule runs while the dialog is filled.
      SetWindowTextW(dlg, Widen(PropertyCaption(*group, state.messages)).c_str());
      fields = GroupFieldsOf(*group);
      SetDlgItemTextW(dlg, IDC_GROUP_NAME, Widen(fields.name).c_str());
      pendingIcon = fields.iconFile;
      const bool own = !pendingIcon.empty();
      CheckDlgButton(dlg, IDC_GROUP_CHANGEICON, own ? BST_CHECKED : BST_UNCHECKED);
      EnableWindow(GetDlgItem(dlg, IDC_GROUP_SELECTICON), own);
      if (own) SetDlgItemTextW(dlg, IDC_GROUP_SELECTICON, Widen(FileNamePart(pendingIcon)).c_str());
      CheckDlgButton(dlg, IDC_GROUP_HIDEFROMTRAY, fields.hidefromtray ? BST_CHECKED : BST_UNCHECKED);
      ShowPictureIn(Image(), GroupDialogPicture(pendingIcon, GroupIcon(), state.pv.programDriveRoot));
    } else {
      EnableWindow(GetDlgItem(dlg, IDC_GROUP_SELECTICON), FALSE);
      ShowPictureIn(Image(), PictureSource{"", kGroupPicture});
    }
    SendDlgItemMessageW(dlg, IDC_GROUP_NAME, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dlg, IDC_GROUP_NAME));
  }

  void btnAppendClick() {
    fields.name = ControlText(dlg, IDC_GROUP_NAME);
    fields.iconFile = pendingIcon;
    fields.hidefromtray = IsDlgButtonChecked(dlg, IDC_GROUP_HIDEFROMTRAY) == BST_CHECKED;
    if (auto refusal = GroupPropertyRefusal(fields)) {
      ShowMessageBox(Widen(FormatMessageText(state.messages.Text(*refusal))), L"GroupName?",
                     MB_OK | MB_ICONINFORMATION);
      SetFocus(GetDlgItem(dlg, IDC_GROUP_NAME));
      return;
    }
    EndDialog(dlg, IDOK);
  }

  void btGroupIconClick() {
    auto file = ChooseFileFor(dlg, kIconFilesFilter, state);
    if (!file) return;
    pendingIcon = *file;
    SetDlgItemTextW(dlg, IDC_GROUP_SELECTICON, Widen(FileNamePart(*file)).c_str());
    ShowPictureIn(Image(), PictureSource{*file, kGroupPicture});
  }

  void ckGroupIconClick() {
    const bool on = IsDlgButtonChecked(dlg, IDC_GROUP_CHANGEICON) == BST_CHECKED;
    EnableWindow(GetDlgItem(dlg, IDC_GROUP_SELECTICON), on);
    if (on) return;
    SetDlgItemTextW(dlg, IDC_GROUP_SELECTICON, L"..");
    pendingIcon.clear();
    ShowPictureIn(Image(), GroupDialogPicture("", GroupIcon(), state.pv.programDriveRoot));
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TGroupFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        self = reinterpret_cast<TGroupFrm*>(lParam);
        self->dlg = dlg;
        self->FormCreate();
        return FALSE;  // the focus was set
      case WM_COMMAND:
        if (!self) return FALSE;
        switch (LOWORD(wParam)) {
          case IDOK:
            self->btnAppendClick();
            break;
          case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            break;
          case IDC_GROUP_SELECTICON:
            self->btGroupIconClick();
            break;
          case IDC_GROUP_CHANGEICON:
            if (HIWORD(wParam) == BN_CLICKED) self->ckGroupIconClick();
            break;
          default:
            break;
        }
        return TRUE;
      case WM_DESTROY:
        ShowPictureIn(GetDlgItem(dlg, IDC_GROUP_ICON), PictureSource{"", kNoPicture});
        return FALSE;
      default:
        return FALSE;
    }
  }
};

}  // namespace

std::optional<GroupPropertyFields> RunGroupFrm(const TMyRec* group, const AppState& state) {
  TGroupFrm frm{group, state, {}};
  INT_PTR r = RunModalDialog(MAKEINTRESOURCEW(IDD_GROUP), &TGroupFrm::Proc, reinterpret_cast<LPARAM>(&frm));
  if (r != IDOK) return std::nullopt;
  return frm.fields;
}

}  // namespace kestro::win
