#include "win/panel/EnvVarFrm.h"

#include <commctrl.h>

#include <string>

#include "../../../resources/resource.h"
#include "core/config/PathMacros.h"
#include "win/platform/Win32Platform.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

struct TenvVarFrm {
  const AppState& state;
  std::function<void()> onClose;

  void FormCreate(HWND dlg) {
    const LanguageTexts& texts = state.languageTexts;
    const LanguageSection& section = lang::kEnvVariantList;
    if (texts.InUse()) SetWindowTextW(dlg, Widen(" " + texts.Text(section, "self.caption")).c_str());

    HWND list = GetDlgItem(dlg, IDC_ENVVAR_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    RECT rc{};
    GetClientRect(list, &rc);
    const int width = rc.right - rc.left;
    const char* columns[] = {"환경변수", "적용값", "설 명"};
    const int widths[] = {width * 3 / 10, width * 4 / 10, width * 3 / 10};
    for (int i = 0; i < 3; ++i) {
      std::wstring caption =
          Widen(texts.Caption(section, "lvEnvVarList.Column" + std::to_string(i) + ".Caption", columns[i]));
      LVCOLUMNW col{};
      col.mask = LVCF_TEXT | LVCF_WIDTH;
      col.cx = widths[i];
      col.pszText = caption.data();
      ListView_InsertColumn(list, i, &col);
    }
    Win32HostSystem host;
    MacroValues values(host, state.pv.programDrive);
    for (size_t row = 0; row < PathMacros.size(); ++row) {
      std::wstring token = Widen(PathMacros[row].token);
      std::wstring value = Widen(values.ValueOf(row));
      std::wstring description = Widen(texts.Caption(section, "lvEnvVarList.subitems" + std::to_string(row),
                                                     PathMacros[row].koreanDescription));
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = int(row);
      item.pszText = token.data();
      ListView_InsertItem(list, &item);
      ListView_SetItemText(list, int(row), 1, value.data());
      ListView_SetItemText(list, int(row), 2, description.data());
    }

    // Directly below the property dialog, with its own size.
    HWND owner = GetWindow(dlg, GW_OWNER);
    RECT o{}, self{};
    GetWindowRect(owner, &o);
    GetWindowRect(dlg, &self);
    const bool topmost = (GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(dlg, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, o.left, o.bottom, self.right - self.left,
                 self.bottom - self.top, SWP_NOACTIVATE);
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TenvVarFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        reinterpret_cast<TenvVarFrm*>(lParam)->FormCreate(dlg);
        return FALSE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) DestroyWindow(dlg);
        return TRUE;
      case WM_CLOSE:
        DestroyWindow(dlg);
        return TRUE;
      case WM_NCDESTROY:
        if (self) {
          SetWindowLongPtrW(dlg, DWLP_USER, 0);
          auto onClose = std::move(self->onClose);
          delete self;
          if (onClose) onClose();
        }
        return FALSE;
      default:
        return FALSE;
    }
  }
};

}  // namespace

HWND ShowEnvVarFrm(HWND owner, const AppState& state, std::function<void()> onClose) {
  auto* frm = new TenvVarFrm{state, std::move(onClose)};
  HWND w = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ENVVAR), owner, &TenvVarFrm::Proc,
                              reinterpret_cast<LPARAM>(frm));
  if (!w) {
    delete frm;
    return nullptr;
  }
  ShowWindow(w, SW_SHOWNOACTIVATE);
  return w;
}

}  // namespace kestro::win
