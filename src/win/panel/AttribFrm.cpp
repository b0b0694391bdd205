#include "win/panel/AttribFrm.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>

#include "../../../resources/resource.h"
#include "core/config/ShortcutCodes.h"
#include "core/text/Text.h"
#include "win/panel/EnvVarFrm.h"
#include "win/platform/ImageLists.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

constexpr wchar_t kAllFilesFilter[] = L"All files (*.*)\0*.*\0";
constexpr wchar_t kIconFilesFilter[] = L"Icon Files(*.ico,*.exe)\0*.ico;*.exe\0";

// The controls of each page; the page strip shows one group at a time.
constexpr int kPage1[] = {IDC_ATTRIB_GBDEFAULT, IDC_ATTRIB_LBNAME,      IDC_ATTRIB_NAME,
                          IDC_ATTRIB_LBPATH,    IDC_ATTRIB_PATH,        IDC_ATTRIB_SEARCHPATH,
                          IDC_ATTRIB_LBPARAMETER, IDC_ATTRIB_PARAMETER, IDC_ATTRIB_LBDESC,
                          IDC_ATTRIB_DESC};
constexpr int kPage2[] = {IDC_ATTRIB_CHANGEICON, IDC_ATTRIB_ICON,     IDC_ATTRIB_SELECTICON,
                          IDC_ATTRIB_HOTKEY,     IDC_ATTRIB_MAINHOTKEY, IDC_ATTRIB_SUBHOTKEY,
                          IDC_ATTRIB_LBAUTORUN,  IDC_ATTRIB_AUTORUN,  IDC_ATTRIB_LBWINSTATE,
                          IDC_ATTRIB_WINSTATE};

constexpr const char* kAutoRunItems[] = {"하지않음", "시작시", "종료시", "시작, 종료시"};
constexpr const char* kWinStateItems[] = {"보통", "최대화", "최소화", "숨기"};

void SetText(HWND dlg, int id, const std::string& text) { SetDlgItemTextW(dlg, id, Widen(text).c_str()); }

void AddItems(HWND combo, const std::string& text) {
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void Select(HWND dlg, int id, int32_t position) { SendDlgItemMessageW(dlg, id, CB_SETCURSEL, WPARAM(position), 0); }

// A box without a selection keeps the value the dialog was filled with.
void ReadSelection(HWND dlg, int id, int32_t& field) {
  LRESULT at = SendDlgItemMessageW(dlg, id, CB_GETCURSEL, 0, 0);
  if (at != CB_ERR) field = int32_t(at);
}

bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

struct TattribFrm {
  const TMyRec& rec;
  const AppState& state;
  ItemPropertyFields fields;
  std::string pendingIcon;  // the own icon chosen; empty for none
  bool folderFlag = false;
  HWND dlg = nullptr;
  HWND envVarFrm = nullptr;
  std::wstring envVarCaption;

  std::string FolderIcon() const { return state.env.foldericon; }
  const std::string& Root() const { return state.pv.programDriveRoot; }

  void FormCreate() {
    const LanguageTexts& texts = state.languageTexts;
    ApplyDialogCaptions(dlg, texts, lang::kFileProperty,
                        {{0, "Self.Caption"},
                         {IDC_ATTRIB_GBDEFAULT, "gbDefult.Caption"},
                         {IDC_ATTRIB_LBNAME, "lbExefileName.Caption"},
                         {IDC_ATTRIB_LBPATH, "lbFilePath.Caption"},
                         {IDC_ATTRIB_LBPARAMETER, "lbParameter.Caption"},
                         {IDC_ATTRIB_LBDESC, "lbFileDesc.Caption"},
                         {IDC_ATTRIB_CHANGEICON, "ckChangeIcon.Caption"},
                         {IDC_ATTRIB_HOTKEY, "ckHotKey.Caption"},
                         {IDC_ATTRIB_LBAUTORUN, "lbAutoRun.Caption"},
                         {IDC_ATTRIB_LBWINSTATE, "lbWindowState.Caption"},
                         {IDC_ATTRIB_ENVVARLIST, "btEnvVarList.Caption"}});
    ApplyDialogCaptions(dlg, texts, lang::kFilePropertyButton,
                        {{IDOK, "btnAppend.Caption"}, {IDCANCEL, "btnCancel.Caption"}});

    HWND pages = GetDlgItem(dlg, IDC_ATTRIB_PAGES);
    const char* sheets[][2] = {{"TabSheet1.Caption", "기본"}, {"TabSheet2.Caption", "추가"}};
    for (int i = 0; i < 2; ++i) {
      std::wstring caption = Widen(texts.Caption(lang::kFileProperty, sheets[i][0], sheets[i][1]));
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      TabCtrl_InsertItem(pages, i, &item);
    }
    // The page strip is below the pages' controls in the template; it must
    // not paint over them. Unthemed, its pages have the dialog's colour, on
    // which the labels and boxes are drawn.
    SetWindowPos(pages, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowTheme(pages, L"", L"");
    ShowPage(0);

    HWND main = GetDlgItem(dlg, IDC_ATTRIB_MAINHOTKEY);
    for (const ModifierCode& m : ModifierCodes) AddItems(main, m.itemDialogComboText);
    HWND sub = GetDlgItem(dlg, IDC_ATTRIB_SUBHOTKEY);
    for (int32_t k = 0; k < kKeyCodeCount; ++k) AddItems(sub, KeyText(k));
    for (int i = 0; i < 4; ++i) {
      std::string n = std::to_string(i);
      AddItems(GetDlgItem(dlg, IDC_ATTRIB_AUTORUN),
               texts.Caption(lang::kFileProperty, "cbAutoRun.item" + n, kAutoRunItems[i]));
      AddItems(GetDlgItem(dlg, IDC_ATTRIB_WINSTATE),
               texts.Caption(lang::kFileProperty, "cbWinState.item" + n, kWinStateItems[i]));
    }

    wchar_t caption[256] = {};
    GetDlgItemTextW(dlg, IDC_ATTRIB_ENVVARLIST, caption, 256);
    envVarCaption = caption;
    SetGlyph(L"downbmp");

    Fill();
  }

  // The record's values; no click rule runs.
  void Fill() {
    SetWindowTextW(dlg, Widen(PropertyCaption(rec, state.messages)).c_str());
    fields = ItemFieldsOf(rec, Root());
    folderFlag = UsesFolderFallback(rec, FolderIcon());
    const bool ownIcon = !rec.icon.empty();
    CheckDlgButton(dlg, IDC_ATTRIB_CHANGEICON, ownIcon ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dlg, IDC_ATTRIB_SELECTICON), ownIcon);
    ShowPictureIn(GetDlgItem(dlg, IDC_ATTRIB_ICON), ItemDialogPicture(rec, FolderIcon(), Root()));

    SetText(dlg, IDC_ATTRIB_NAME, fields.name);
    SetText(dlg, IDC_ATTRIB_PATH, fields.path);
    pendingIcon = fields.iconFile;
    if (!pendingIcon.empty()) SetText(dlg, IDC_ATTRIB_SELECTICON, std::string(FileNamePart(pendingIcon)));
    SetText(dlg, IDC_ATTRIB_PARAMETER, fields.parameters);
    SetText(dlg, IDC_ATTRIB_DESC, fields.addexplain);
    CheckDlgButton(dlg, IDC_ATTRIB_HOTKEY, fields.hotkey ? BST_CHECKED : BST_UNCHECKED);
    Select(dlg, IDC_ATTRIB_MAINHOTKEY, fields.hotkeymodifier);
    Select(dlg, IDC_ATTRIB_SUBHOTKEY, fields.hotkeycode);
    Select(dlg, IDC_ATTRIB_AUTORUN, fields.autorun);
    Select(dlg, IDC_ATTRIB_WINSTATE, fields.windowstate);
    EnableShortcutBoxes();
    SendDlgItemMessageW(dlg, IDC_ATTRIB_NAME, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dlg, IDC_ATTRIB_NAME));
  }

  void ShowPage(int page) {
    for (int id : kPage1) ShowWindow(GetDlgItem(dlg, id), page == 0 ? SW_SHOW : SW_HIDE);
    for (int id : kPage2) ShowWindow(GetDlgItem(dlg, id), page == 1 ? SW_SHOW : SW_HIDE);
  }

  void EnableShortcutBoxes() {
    const bool on = Checked(dlg, IDC_ATTRIB_HOTKEY);
    EnableWindow(GetDlgItem(dlg, IDC_ATTRIB_MAINHOTKEY), on);
    EnableWindow(GetDlgItem(dlg, IDC_ATTRIB_SUBHOTKEY), on);
  }

  void SetGlyph(const wchar_t* name) {
    // Shared: the system keeps the bitmap, the button never owns it.
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0,
                                                  LR_LOADMAP3DCOLORS | LR_SHARED));
    SendDlgItemMessageW(dlg, IDC_ATTRIB_ENVVARLIST, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
    // The caption stays what it was before the glyph changed.
    SetDlgItemTextW(dlg, IDC_ATTRIB_ENVVARLIST, envVarCaption.c_str());
  }

  void CloseEnvVarFrm() {
    if (envVarFrm) DestroyWindow(envVarFrm);
  }

  void btnAppendClick() {
    CloseEnvVarFrm();
    fields.name = ControlText(dlg, IDC_ATTRIB_NAME);
    fields.path = ControlText(dlg, IDC_ATTRIB_PATH);
    fields.parameters = ControlText(dlg, IDC_ATTRIB_PARAMETER);
    fields.addexplain = ControlText(dlg, IDC_ATTRIB_DESC);
    fields.iconFile = pendingIcon;
    fields.hotkey = Checked(dlg, IDC_ATTRIB_HOTKEY);
    ReadSelection(dlg, IDC_ATTRIB_MAINHOTKEY, fields.hotkeymodifier);
    ReadSelection(dlg, IDC_ATTRIB_SUBHOTKEY, fields.hotkeycode);
    ReadSelection(dlg, IDC_ATTRIB_AUTORUN, fields.autorun);
    ReadSelection(dlg, IDC_ATTRIB_WINSTATE, fields.windowstate);
    if (auto refusal = ItemPropertyRefusal(fields)) {
      ShowMessageBox(Widen(FormatMessageText(state.messages.Text(*refusal))), L"notice", MB_OK | MB_ICONINFORMATION);
      SetFocus(GetDlgItem(dlg, IDC_ATTRIB_NAME));
      return;
    }
    EndDialog(dlg, IDOK);
  }

  void btnCancelClick() {
    CloseEnvVarFrm();
    EndDialog(dlg, IDCANCEL);
  }

  void btnSearchPathClick() {
    auto file = ChooseFileFor(dlg, kAllFilesFilter, state);
    if (!file) return;
    SetText(dlg, IDC_ATTRIB_PATH, *file);
    SetWindowTextW(dlg, Widen(FileNamePart(*file)).c_str());
  }

  void btSelectIconClick() {
    auto file = ChooseFileFor(dlg, kIconFilesFilter, state);
    if (!file) return;
    pendingIcon = *file;
    SetText(dlg, IDC_ATTRIB_SELECTICON, std::string(FileNamePart(*file)));
    ShowPictureIn(GetDlgItem(dlg, IDC_ATTRIB_ICON), PictureSource{*file, kFilePicture});
  }

  void ckChangeIconClick() {
    if (Checked(dlg, IDC_ATTRIB_CHANGEICON)) {
      EnableWindow(GetDlgItem(dlg, IDC_ATTRIB_SELECTICON), TRUE);
      return;
    }
    EnableWindow(GetDlgItem(dlg, IDC_ATTRIB_SELECTICON), FALSE);
    SetDlgItemTextW(dlg, IDC_ATTRIB_SELECTICON, L"..");
    pendingIcon.clear();
    const ItemKind kind = folderFlag ? ItemKind::Folder : ItemKind::File;
    ShowPictureIn(GetDlgItem(dlg, IDC_ATTRIB_ICON),
                  ItemPictureWithoutOwnIcon(kind, ControlText(dlg, IDC_ATTRIB_PATH), FolderIcon(), Root()));
  }

  void btEnvVarListClick() {
    if (envVarFrm) {
      DestroyWindow(envVarFrm);  // its close gives the button the "downbmp" glyph back
      return;
    }
    envVarFrm = ShowEnvVarFrm(dlg, state, [this] {
      envVarFrm = nullptr;
      if (IsWindow(dlg)) SetGlyph(L"downbmp");
    });
    if (envVarFrm) SetGlyph(L"upbmp");
  }

  void Command(int id, int code) {
    switch (id) {
      case IDOK:
        btnAppendClick();
        break;
      case IDCANCEL:
        btnCancelClick();
        break;
      case IDC_ATTRIB_SEARCHPATH:
        btnSearchPathClick();
        break;
      case IDC_ATTRIB_SELECTICON:
        btSelectIconClick();
        break;
      case IDC_ATTRIB_CHANGEICON:
        if (code == BN_CLICKED) ckChangeIconClick();
        break;
      case IDC_ATTRIB_HOTKEY:
        if (code == BN_CLICKED) EnableShortcutBoxes();
        break;
      case IDC_ATTRIB_ENVVARLIST:
        btEnvVarListClick();
        break;
      default:
        break;
    }
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TattribFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        self = reinterpret_cast<TattribFrm*>(lParam);
        self->dlg = dlg;
        self->FormCreate();
        return FALSE;  // the focus was set
      case WM_COMMAND:
        if (self) self->Command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (self && hdr->idFrom == IDC_ATTRIB_PAGES && hdr->code == TCN_SELCHANGE)
          self->ShowPage(TabCtrl_GetCurSel(hdr->hwndFrom));
        return TRUE;
      }
      case WM_DESTROY:
        if (self) {
          self->CloseEnvVarFrm();
          ShowPictureIn(GetDlgItem(dlg, IDC_ATTRIB_ICON), PictureSource{"", kNoPicture});
        }
        return FALSE;
      default:
        return FALSE;
    }
  }
};

}  // namespace

std::string ControlText(HWND dlg, int id) {
  HWND control = GetDlgItem(dlg, id);
  std::wstring text(size_t(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(control, text.data(), int(text.size()))));
  return Narrow(text);
}

void ShowPictureIn(HWND image, const PictureSource& picture) {
  HICON icon = nullptr;
  if (!picture.file.empty()) {
    ShellIcons icons = LookUpShellIcons(picture.file);
    icon = icons.large;
    icons.large = nullptr;
    icons.Release();
  } else if (picture.fixed >= kFilePicture && picture.fixed <= kUrlPicture) {
    FixedIcons fixed = LookUpFixedIcons(picture.fixed);
    icon = fixed.icons.large;
    fixed.icons.large = nullptr;
    fixed.icons.Release();
  }
  HICON old = reinterpret_cast<HICON>(SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
  if (old && old != icon) DestroyIcon(old);
}

std::optional<std::string> ChooseFileFor(HWND dialog, const wchar_t* filter, const AppState& state) {
  wchar_t file[MAX_PATH] = {};
  std::wstring initial = Widen(state.pv.programDrive);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = initial.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const bool chosen = RunFileDialog(ofn, false);
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!chosen) return std::nullopt;
  return Narrow(file);
}

std::optional<ItemPropertyFields> RunAttribFrm(const TMyRec& rec, const AppState& state) {
  TattribFrm frm{rec, state, {}};
  INT_PTR r = RunModalDialog(MAKEINTRESOURCEW(IDD_ATTRIB), &TattribFrm::Proc, reinterpret_cast<LPARAM>(&frm));
  if (r != IDOK) return std::nullopt;
  return frm.fields;
}

}  // namespace kestro::win
