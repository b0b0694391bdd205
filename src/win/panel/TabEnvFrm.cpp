#include "win/panel/TabEnvFrm.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <set>

#include "../../../resources/resource.h"
#include "core/text/Text.h"
#include "win/panel/VstFrame.h"
#include "win/platform/Pictures.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

// The preview's size and its two texts, at 96 DPI.
constexpr SIZE kPreviewSize{213, 49};
constexpr POINT kCaptionAt{5, 3}, kSubTextAt{5, 20};
constexpr std::string_view kNoPicture = "...";

UINT_PTR CALLBACK TopmostColourHook(HWND dlg, UINT msg, WPARAM, LPARAM) {
  // The common dialogs raise themselves to topmost when they show.
  if (msg == WM_INITDIALOG) SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return 0;
}

int CALLBACK CollectFont(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM list) {
  // Screen fonts only, each family once, in the order the system lists them.
  auto* fonts = reinterpret_cast<std::pair<std::set<std::wstring>, std::vector<std::wstring>>*>(list);
  std::wstring face = lf->lfFaceName;
  if (!(type & (TRUETYPE_FONTTYPE | RASTER_FONTTYPE | DEVICE_FONTTYPE))) return 1;
  if (OffersFont(Narrow(face)) && fonts->first.insert(face).second) fonts->second.push_back(face);
  return 1;
}

struct TtabEnvFrm {
  const TabPropertyInput& in;
  const AppState& state;
  TabPropertyResult result;
  // Pending values until OK.
  int32_t backColor = 0, textColor = 0, textColor2 = 0;
  std::string fontName;
  HBITMAP preview = nullptr;
  COLORREF lastColour = 0;  // one colour dialog for the three buttons: black at first
  COLORREF custom[16] = {};

  ~TtabEnvFrm() {
    if (preview) DeleteObject(preview);
  }

  std::string BackgroundCaption(HWND dlg) const {
    wchar_t text[MAX_PATH * 2] = {};
    GetDlgItemTextW(dlg, IDC_TABENV_BACKGROUND, text, MAX_PATH * 2);
    return Narrow(text);
  }

  void FormCreate(HWND dlg) {
    SetDlgItemTextW(dlg, IDC_TABENV_NAME, Widen(in.caption).c_str());
    EnableWindow(GetDlgItem(dlg, IDC_TABENV_NAME), in.captionEditable);
    backColor = in.style.backcolor;
    textColor = in.style.textcolor;
    textColor2 = in.style.textcolor2;
    fontName = in.style.fontname;
    if (in.style.backimage.size() > 3) SetDlgItemTextW(dlg, IDC_TABENV_BACKGROUND, Widen(in.style.backimage).c_str());

    std::pair<std::set<std::wstring>, std::vector<std::wstring>> fonts;
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(dlg);
    EnumFontFamiliesExW(dc, &all, CollectFont, reinterpret_cast<LPARAM>(&fonts), 0);
    ReleaseDC(dlg, dc);
    HWND combo = GetDlgItem(dlg, IDC_TABENV_FONT);
    for (const std::wstring& face : fonts.second) {
      auto i = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
      if (ToLowerAscii(Narrow(face)) == ToLowerAscii(fontName)) SendMessageW(combo, CB_SETCURSEL, WPARAM(i), 0);
    }

    LoadPreview(BackgroundCaption(dlg));
    // The preview is as large as the pictures it shows, in pixels.
    HWND view = GetDlgItem(dlg, IDC_TABENV_PREVIEW);
    const int dpi = WindowDpi(dlg);
    SetWindowPos(view, nullptr, 0, 0, Px(kPreviewSize.cx, dpi), Px(kPreviewSize.cy, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const LanguageTexts& t = state.languageTexts;
    ApplyDialogCaptions(dlg, t, lang::kTabProperty,
                        {{0, "self.caption"},
                         {IDC_TABENV_GBNAME, "gbTabName.caption"},
                         {IDC_TABENV_GBVIEW, "gbTreeViewSet.caption"},
                         {IDC_TABENV_LBFONT, "lbSelectFont.caption"},
                         {IDC_TABENV_TEXTCOLOR, "btTitleColor.caption"},
                         {IDC_TABENV_TEXTCOLOR2, "btTitleColor2.caption"},
                         {IDC_TABENV_BACKCOLOR, "btBackColor.caption"},
                         {IDC_TABENV_LBBACK, "lbBackImageSet.caption"}});
    ApplyDialogCaptions(dlg, t, lang::kTabPropertyButton, {{IDOK, "btnOK.caption"}, {IDCANCEL, "btnCancel.caption"}});
    // Always above the panel, whatever the panel's own style.
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  // The preview picture for the file the button names: a bitmap or a JPEG;
  // any other name leaves the picture as it was.
  void LoadPreview(const std::string& file) {
    std::optional<PictureFormat> format = BackgroundPictureFormat(file);
    if (!format) return;
    if (preview) DeleteObject(preview);
    preview = LoadPictureFile(file, *format);
  }

  void Redraw(HWND dlg) { InvalidateRect(GetDlgItem(dlg, IDC_TABENV_PREVIEW), nullptr, TRUE); }

  void DrawPreview(HWND dlg, const DRAWITEMSTRUCT& di) {
    HDC dc = di.hDC;
    const RECT& rc = di.rcItem;
    std::string caption = BackgroundCaption(dlg);
    HBRUSH brush = CreateSolidBrush(ScreenColour(backColor));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    BITMAP bm{};
    if (preview && !caption.empty() && caption != kNoPicture && GetObjectW(preview, sizeof bm, &bm)) {
      // At its own size from the top-left corner, cut at the preview's edges;
      // a smaller picture leaves the background colour around it.
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, preview);
      BitBlt(dc, rc.left, rc.top, std::min<LONG>(rc.right - rc.left, bm.bmWidth),
             std::min<LONG>(rc.bottom - rc.top, bm.bmHeight), mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
    }
    const int dpi = WindowDpi(dlg);
    LOGFONTW lf = TreeFontFor(fontName, dpi);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ScreenColour(textColor));
    TextOutW(dc, rc.left + Px(kCaptionAt.x, dpi), rc.top + Px(kCaptionAt.y, dpi), L"Kestro.exe", 10);
    SetTextColor(dc, ScreenColour(textColor2));
    TextOutW(dc, rc.left + Px(kSubTextAt.x, dpi), rc.top + Px(kSubTextAt.y, dpi), L"U:/Kestro/Kestro.exe", 20);
    SelectObject(dc, oldFont);
    DeleteObject(font);
  }

  void ChooseColour(HWND dlg, int32_t& pending) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = dlg;
    cc.rgbResult = lastColour;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
    cc.lpfnHook = TopmostColourHook;
    // The colour dialog stands above this one, which gives up the top meanwhile.
    SetWindowPos(dlg, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    bool chosen;
    {
      DialogScope dialog;
      chosen = ChooseColorW(&cc) != FALSE;
    }
    if (chosen) {
      lastColour = cc.rgbResult;
      pending = int32_t(cc.rgbResult & 0x00FFFFFF);
      Redraw(dlg);
    }
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  void btnBackgroundClick(HWND dlg) {
    wchar_t file[MAX_PATH * 2] = {};
    std::wstring initial = Widen(state.pv.programDrive);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = L"Icon Files(*.bmp,*.jpg)\0*.bmp;*.jpg\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH * 2;
    ofn.lpstrInitialDir = initial.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING;
    SetWindowPos(dlg, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (RunFileDialog(ofn, false)) {
      std::string chosen = Narrow(file);
      // A picture of another type cannot be shown: it changes nothing.
      if (BackgroundPictureFormat(chosen)) {
        SetDlgItemTextW(dlg, IDC_TABENV_BACKGROUND, file);
        LoadPreview(chosen);
        Redraw(dlg);
      } else {
        ShowMessageBox(Widen(state.messages.Message("11")), L"Notice", MB_ICONWARNING);
      }
    }
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  void btOKClick(HWND dlg) {
    wchar_t name[1024] = {};
    GetDlgItemTextW(dlg, IDC_TABENV_NAME, name, 1024);
    result.caption = Narrow(name);
    result.style = in.style;
    result.style.fontname = fontName;
    result.style.backcolor = backColor;
    result.style.textcolor = textColor;
    result.style.textcolor2 = textColor2;
    result.background = BackgroundOnOk(BackgroundCaption(dlg), in.style.backimage);
    result.style.backimage = result.background.backimage;
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TtabEnvFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        reinterpret_cast<TtabEnvFrm*>(lParam)->FormCreate(dlg);
        return TRUE;
      case WM_DRAWITEM:
        if (wParam != IDC_TABENV_PREVIEW || !self) return FALSE;
        self->DrawPreview(dlg, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_COMMAND:
        if (!self) return FALSE;
        switch (LOWORD(wParam)) {
          case IDC_TABENV_FONT:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
              wchar_t face[LF_FACESIZE] = {};
              GetDlgItemTextW(dlg, IDC_TABENV_FONT, face, LF_FACESIZE);
              self->fontName = Narrow(face);
              self->Redraw(dlg);
            }
            return TRUE;
          case IDC_TABENV_TEXTCOLOR: self->ChooseColour(dlg, self->textColor); return TRUE;
          case IDC_TABENV_TEXTCOLOR2: self->ChooseColour(dlg, self->textColor2); return TRUE;
          case IDC_TABENV_BACKCOLOR: self->ChooseColour(dlg, self->backColor); return TRUE;
          case IDC_TABENV_BACKGROUND: self->btnBackgroundClick(dlg); return TRUE;
          case IDC_TABENV_CLEAR:
            SetDlgItemTextW(dlg, IDC_TABENV_BACKGROUND, L"");
            self->Redraw(dlg);
            return TRUE;
          case IDOK:
            self->btOKClick(dlg);
            EndDialog(dlg, IDOK);
            return TRUE;
          case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
          default:
            return FALSE;
        }
      default:
        return FALSE;
    }
  }
};

}  // namespace

std::optional<TabPropertyResult> RunTabProperty(const TabPropertyInput& tab, const AppState& state) {
  TtabEnvFrm frm{tab, state, {}};
  if (RunModalDialog(MAKEINTRESOURCEW(IDD_TABENV), &TtabEnvFrm::Proc, reinterpret_cast<LPARAM>(&frm)) != IDOK)
    return std::nullopt;
  return frm.result;
}

}  // namespace kestro::win
