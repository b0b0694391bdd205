#include "win/tools/IntroFrm.h"

#include "../../../resources/resource.h"
#include "core/app/AppState.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modeless.h"

namespace kestro::win {

namespace {

constexpr int kVersionFontPoints = 8;

struct TintroFrm {
  HFONT versionFont = nullptr;

  void FormCreate(HWND dlg) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(kVersionFontPoints, WindowDpi(dlg), 72);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    versionFont = CreateFontIndirectW(&lf);
    SendDlgItemMessageW(dlg, IDC_INTRO_VERSION, WM_SETFONT, WPARAM(versionFont), FALSE);
    SetDlgItemTextW(dlg, IDC_INTRO_VERSION, Widen(std::string("Kestro v") + kVersionText).c_str());
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    auto* self = reinterpret_cast<TintroFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        self = new TintroFrm;
        SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->FormCreate(dlg);
        return TRUE;
      case WM_COMMAND:
        // "O K" (Button1Click), and Esc (FormKeyDown) as IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
          DestroyWindow(dlg);
          return TRUE;
        }
        return FALSE;
      case WM_CLOSE:
        DestroyWindow(dlg);
        return TRUE;
      case WM_NCDESTROY:
        RemoveModelessDialog(dlg);
        if (self) {
          if (self->versionFont) DeleteObject(self->versionFont);
          delete self;
          SetWindowLongPtrW(dlg, DWLP_USER, 0);
        }
        return FALSE;
      default:
        return FALSE;
    }
  }
};

}  // namespace

HWND ShowIntroBox(HWND owner) {
  HWND dlg = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INTRO), owner, &TintroFrm::Proc, 0);
  if (!dlg) return nullptr;
  AddModelessDialog(dlg);
  ShowWindow(dlg, SW_SHOW);
  return dlg;
}

}  // namespace kestro::win
