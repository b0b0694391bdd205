#include "win/app/ExitListFrm.h"

#include <windows.h>
#include <commctrl.h>

#include "../../../resources/resource.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {

namespace {

struct TexitListFrm {
  const std::vector<ExitListNode>& nodes;
  const LanguageTexts& texts;
  bool closeAll = true;
  SIZE minimum{};  // the layout's size: smaller would hide the options

  HTREEITEM AddNode(HWND tree, HTREEITEM parent, const std::string& text) {
    std::wstring wide = Widen(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = wide.data();
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }

  void FormCreate(HWND dlg) {
    ApplyDialogCaptions(dlg, texts, lang::kExitList,
                        {{0, "Self.Caption"},
                         {IDC_EXITLIST_OPTION, "gbExitOption.Caption"},
                         {IDC_EXITLIST_ALL, "rbExitAll.Caption"},
                         {IDC_EXITLIST_ONLYUP, "rbExitOnlyUp.Caption"}});
    ApplyDialogCaptions(dlg, texts, lang::kExitListButton, {{IDOK, "btnExit.Caption"}});
    HWND tree = GetDlgItem(dlg, IDC_EXITLIST_TREE);
    for (const ExitListNode& node : nodes) {
      HTREEITEM top = AddNode(tree, TVI_ROOT, node.text);
      for (const std::string& child : node.children) AddNode(tree, top, child);
      SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top));
    }
    RECT r{};
    GetWindowRect(dlg, &r);
    minimum = {(r.right - r.left) * 3 / 4, (r.bottom - r.top) * 3 / 4};
    CheckRadioButton(dlg, IDC_EXITLIST_ALL, IDC_EXITLIST_ONLYUP, IDC_EXITLIST_ALL);
    // Above everything, also above a stay-on-top panel and other programs.
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(GetDlgItem(dlg, IDOK));
  }

  // The tree takes what the bottom band (options and button) leaves.
  static void FormResize(HWND dlg) {
    RECT client{};
    GetClientRect(dlg, &client);
    RECT u{4, 0, 0, 0};  // dialog units of the layout in pixels
    RECT band{0, 50, 0, 0};
    RECT button{54, 18, 0, 0};
    MapDialogRect(dlg, &u);
    MapDialogRect(dlg, &band);
    MapDialogRect(dlg, &button);
    const int margin = u.left, bandH = band.top;
    const int w = client.right, h = client.bottom;
    const int bandTop = h - bandH;
    auto place = [&](int id, int x, int y, int cx, int cy) {
      SetWindowPos(GetDlgItem(dlg, id), nullptr, x, y, cx > 0 ? cx : 1, cy > 0 ? cy : 1, SWP_NOZORDER);
    };
    place(IDC_EXITLIST_TREE, margin, margin, w - 2 * margin, bandTop - margin);
    const int groupW = w - 3 * margin - button.left;
    place(IDC_EXITLIST_OPTION, margin, bandTop + margin, groupW, bandH - 2 * margin);
    const int radioH = (bandH - 2 * margin) / 3;
    place(IDC_EXITLIST_ALL, 2 * margin, bandTop + margin + radioH, groupW - 2 * margin, radioH);
    place(IDC_EXITLIST_ONLYUP, 2 * margin, bandTop + margin + 2 * radioH, groupW - 2 * margin, radioH);
    place(IDOK, w - margin - button.left, h - margin - button.top, button.left, button.top);
    InvalidateRect(dlg, nullptr, TRUE);
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TexitListFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        reinterpret_cast<TexitListFrm*>(lParam)->FormCreate(dlg);
        FormResize(dlg);
        return FALSE;  // the focus was set
      case WM_SIZE:
        FormResize(dlg);
        return TRUE;
      case WM_GETMINMAXINFO:
        if (self && self->minimum.cx > 0) {
          auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
          info->ptMinTrackSize = {self->minimum.cx, self->minimum.cy};
          return TRUE;
        }
        return FALSE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {  // btnExit: modal result 1
          self->closeAll = IsDlgButtonChecked(dlg, IDC_EXITLIST_ALL) == BST_CHECKED;
          EndDialog(dlg, 1);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {  // the close box, Escape
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

bool ShowExitList(const std::vector<ExitListNode>& nodes, const LanguageTexts& texts) {
  EnsureCommonControls();
  TexitListFrm frm{nodes, texts};
  INT_PTR r = RunModalDialog(MAKEINTRESOURCEW(IDD_EXITLIST), &TexitListFrm::Proc, reinterpret_cast<LPARAM>(&frm));
  return r == 1 && frm.closeAll;
}

}  // namespace kestro::win
