#include "win/tools/EnvFrm.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>

#include "../../../resources/resource.h"
#include "core/app/StartSequence.h"
#include "core/config/Settings.h"
#include "core/config/ShortcutCodes.h"
#include "core/config/Tabs.h"
#include "core/host/DesktopChanges.h"
#include "core/items/ItemRecord.h"
#include "win/platform/Pictures.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

constexpr int kPageCount = 6;
// The controls of each page; the page strip shows one group at a time.
const std::vector<int> kPages[kPageCount] = {
    {IDC_ENV_GBDEFAULT, IDC_ENV_LB1, IDC_ENV_TITLE, IDC_ENV_LB2, IDC_ENV_ITEMINFO, IDC_ENV_LB3, IDC_ENV_XBUTTON,
     IDC_ENV_STARTVIEW, IDC_ENV_FIXWINDOW, IDC_ENV_FREESPACEBAR, IDC_ENV_TOOLTIP, IDC_ENV_TREELINE, IDC_ENV_DELETEEXT,
     IDC_ENV_GBTRANS, IDC_ENV_TRACKBAR, IDC_ENV_LBTRANS, IDC_ENV_GBLANG, IDC_ENV_LANGUAGE},
    {IDC_ENV_GBSTART, IDC_ENV_USEFIXDRIVE, IDC_ENV_FIXDRIVE, IDC_ENV_LB2_1, IDC_ENV_APPLYDRIVE, IDC_ENV_GBEND,
     IDC_ENV_TRYREMOVEDRIVE, IDC_ENV_EXITUSBPRG, IDC_ENV_EXITTEMPPRG, IDC_ENV_EXITSHELLPRG},
    {IDC_ENV_FOLDERICON, IDC_ENV_IGFOLDERICON, IDC_ENV_LB3_1, IDC_ENV_BTFOLDERICON, IDC_ENV_GROUPICON,
     IDC_ENV_IGGROUPICON, IDC_ENV_LB3_2, IDC_ENV_BTGROUPICON, IDC_ENV_CHANGEDRIVEICON, IDC_ENV_SELECTICONFOLDER,
     IDC_ENV_LBICONFOLDER, IDC_ENV_DRIVEICONLIST, IDC_ENV_LB3_3},
    {IDC_ENV_CHANGEWALLPAPER, IDC_ENV_LB4_1, IDC_ENV_WALLPAPERNAME, IDC_ENV_SELECTWALLPAPER, IDC_ENV_IGWALLPAPER,
     IDC_ENV_HIDEICON},
    {IDC_ENV_SHORTKEYLIST, IDC_ENV_EXPLAIN, IDC_ENV_MAINKEY, IDC_ENV_PLUS, IDC_ENV_SUBKEY, IDC_ENV_APPEND,
     IDC_ENV_SKCANCEL},  // the hidden id field stays hidden
    {IDC_ENV_TRAYMENUTAB, IDC_ENV_USBALLEXIT, IDC_ENV_STARTUSEUPFAVORITE, IDC_ENV_STARTUSEUPEXELINK},
};
constexpr const char* kPageCaptions[kPageCount] = {"실행창 옵션", "시작/ 종료", "아이콘 설정",
                                                   "바탕화면",   "단축키 설정", "기타"};
constexpr const char* kItemInfoTexts[] = {"파일 상대경로", "파일 절대경로", "파라메터", "단축키", "파일 설명", "없음"};
constexpr const char* kXButtonTexts[] = {"트레이로 최소화", "작업표시줄로 최소화", "Kestro 종료"};
constexpr const char* kRowTexts[kShortcutRows] = {"실행창 열고(닫기)", "메뉴 보기(닫기)", "Kestro종료",
                                                  "바탕화면 아이콘 숨기기(보이기)"};
constexpr const char* kFixDriveCaption = "USB 드라이브를 고정 사용(현재 ";
// The shortcut list's columns at 96 DPI.
constexpr int kColumnWidths[3] = {16, 240, 120};

bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }
void Check(HWND dlg, int id, bool on) { CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED); }
void Enable(HWND dlg, int id, bool on) { EnableWindow(GetDlgItem(dlg, id), on); }
std::string TextOf(HWND dlg, int id) {
  HWND w = GetDlgItem(dlg, id);
  std::wstring text(size_t(GetWindowTextLengthW(w)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(w, text.data(), int(text.size()))));
  return Narrow(text);
}
void SetText(HWND dlg, int id, const std::string& text) { SetDlgItemTextW(dlg, id, Widen(text).c_str()); }
int Selection(HWND dlg, int id) { return int(SendDlgItemMessageW(dlg, id, CB_GETCURSEL, 0, 0)); }
void FillCombo(HWND dlg, int id, const std::vector<std::string>& entries, int selected) {
  SendDlgItemMessageW(dlg, id, CB_RESETCONTENT, 0, 0);
  for (const std::string& e : entries) SendDlgItemMessageW(dlg, id, CB_ADDSTRING, 0, LPARAM(Widen(e).c_str()));
  SendDlgItemMessageW(dlg, id, CB_SETCURSEL, WPARAM(selected), 0);
}
std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct TenvFrm {
  EnvFrmHost& host;
  AppState& state;
  EnvDialogValues values;
  bool refreshTrees = false;
  bool filling = true;
  int32_t opacity = 255;  // the panel's opacity now (the preview's)
  HBITMAP wallpaper = nullptr;
  HIMAGELIST driveIcons = nullptr;
  std::array<HICON, 2> shownIcons{};  // folder, group

  explicit TenvFrm(EnvFrmHost& h) : host(h), state(h.state) {}
  ~TenvFrm() {
    if (wallpaper) DeleteObject(wallpaper);
    for (HICON i : shownIcons)
      if (i) DestroyIcon(i);
  }

  const LanguageTexts& Texts() const { return state.languageTexts; }
  std::string Caption(std::string_view key, std::string_view builtIn) const {
    return Texts().Caption(lang::kEnvironment, key, builtIn);
  }

  std::vector<std::string> ProgramFolderEntries() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(Widen(state.pv.programFolder + "*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(Narrow(fd.cFileName));
    while (FindNextFileW(find, &fd));
    FindClose(find);
    return names;
  }

  void FormCreate(HWND dlg) {
    EnvDialogContext ctx;
    ctx.programDrive = state.pv.programDrive;
    ctx.pcEdition = state.pv.pcEdition;
    ctx.folderEntries = ProgramFolderEntries();
    ctx.letterFree = [](char letter) {
      const wchar_t root[] = {wchar_t(letter), L':', L'\\', 0};
      return GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR;
    };
    ctx.fileExists = [this](const std::string& p) { return host.platform.files.FileExists(p); };
    values = FillEnvDialog(state.env, ctx);
    opacity = state.env.trans;
    const int dpi = WindowDpi(dlg);

    HWND pages = GetDlgItem(dlg, IDC_ENV_PAGES);
    for (int i = 0; i < kPageCount; ++i) {
      std::wstring caption = Widen(Caption("TabSheet" + std::to_string(i + 1) + ".Caption", kPageCaptions[i]));
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      TabCtrl_InsertItem(pages, i, &item);
    }
    ShowPage(dlg, 0);

    // Page 1
    SendDlgItemMessageW(dlg, IDC_ENV_TITLE, EM_LIMITTEXT, 0, 0);
    SetText(dlg, IDC_ENV_TITLE, values.title);
    Check(dlg, IDC_ENV_STARTVIEW, values.showOnStart);
    Check(dlg, IDC_ENV_TOOLTIP, values.tooltip);
    HWND slider = GetDlgItem(dlg, IDC_ENV_TRACKBAR);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(10, 100));
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 5);
    SendMessageW(slider, TBM_SETTICFREQ, 5, 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, values.transPercent);  // shown only: the panel keeps its opacity
    SetText(dlg, IDC_ENV_LBTRANS, std::to_string(values.transPercent) + "%");
    Check(dlg, IDC_ENV_TREELINE, values.treeLine);
    Check(dlg, IDC_ENV_FIXWINDOW, values.fixWindow);
    Check(dlg, IDC_ENV_FREESPACEBAR, values.freeSpaceBar);
    Check(dlg, IDC_ENV_DELETEEXT, values.deleteExt);
    FillCombo(dlg, IDC_ENV_LANGUAGE, values.languages.entries, values.languages.selected);

    // Page 2
    Check(dlg, IDC_ENV_USEFIXDRIVE, values.useFixDrive);
    FillCombo(dlg, IDC_ENV_FIXDRIVE, values.drives.entries, values.drives.selected);
    Check(dlg, IDC_ENV_EXITUSBPRG, values.exitUsbPrg);
    Check(dlg, IDC_ENV_EXITTEMPPRG, values.exitTempPrg);
    Check(dlg, IDC_ENV_EXITSHELLPRG, values.exitShellPrg);
    Check(dlg, IDC_ENV_TRYREMOVEDRIVE, values.tryRemoveDrive);

    // Page 3
    Check(dlg, IDC_ENV_FOLDERICON, values.folderIcon);
    Check(dlg, IDC_ENV_GROUPICON, values.groupIcon);
    ShowIconChoice(dlg, 0);
    ShowIconChoice(dlg, 1);
    Check(dlg, IDC_ENV_CHANGEDRIVEICON, values.changeDriveIcon);
    if (values.changeDriveIcon && !values.driveIconFolder.empty()) FillDriveIconList(dlg);
    SetText(dlg, IDC_ENV_LBICONFOLDER, values.driveIconFolder);

    // Page 4
    Check(dlg, IDC_ENV_CHANGEWALLPAPER, values.changeWallpaper);
    SetText(dlg, IDC_ENV_WALLPAPERNAME, values.wallpaperName);
    if (!values.wallpaperName.empty()) LoadWallpaper(values.wallpaperName);
    Enable(dlg, IDC_ENV_WALLPAPERNAME, values.changeWallpaper);
    Enable(dlg, IDC_ENV_SELECTWALLPAPER, values.changeWallpaper);
    Check(dlg, IDC_ENV_HIDEICON, values.hideIcon);

    // Page 5
    HWND list = GetDlgItem(dlg, IDC_ENV_SHORTKEYLIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const std::wstring columns[3] = {L"id", Widen(Caption("lvShortKeyList.Column1.Caption", "설 명..")),
                                     Widen(Caption("lvShortKeyList.Column2.Caption", "단축키"))};
    for (int c = 0; c < 3; ++c) {
      LVCOLUMNW col{};
      col.mask = LVCF_TEXT | LVCF_WIDTH;
      col.cx = Px(kColumnWidths[c], dpi);
      col.pszText = const_cast<wchar_t*>(columns[c].c_str());
      ListView_InsertColumn(list, c, &col);
    }
    for (int row = 0; row < kShortcutRows; ++row) {
      std::wstring id = std::to_wstring(row);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = id.data();
      ListView_InsertItem(list, &item);
      std::wstring text = Widen(Caption("lvShortKeyList.subitems" + std::to_string(row), kRowTexts[row]));
      ListView_SetItemText(list, row, 1, text.data());
      SetRowShortcut(dlg, row, values.shortcutTexts[size_t(row)]);
    }
    for (const ModifierCode& m : ModifierCodes)
      SendDlgItemMessageW(dlg, IDC_ENV_MAINKEY, CB_ADDSTRING, 0, LPARAM(Widen(m.settingsComboText).c_str()));
    for (int k = 0; k < kKeyCodeCount; ++k)
      SendDlgItemMessageW(dlg, IDC_ENV_SUBKEY, CB_ADDSTRING, 0, LPARAM(Widen(KeyText(k)).c_str()));

    // Page 6
    Check(dlg, IDC_ENV_TRAYMENUTAB, values.trayMenuTab);
    Check(dlg, IDC_ENV_USBALLEXIT, values.usbAllExit);
    Check(dlg, IDC_ENV_STARTUSEUPFAVORITE, values.startUseUpFavorite);
    Check(dlg, IDC_ENV_STARTUSEUPEXELINK, values.startUseUpExeLink);

    for (int id : {IDC_ENV_GBSTART, IDC_ENV_USEFIXDRIVE, IDC_ENV_LB2_1, IDC_ENV_GBEND, IDC_ENV_TRYREMOVEDRIVE,
                   IDC_ENV_EXITUSBPRG, IDC_ENV_EXITTEMPPRG, IDC_ENV_EXITSHELLPRG, IDC_ENV_USBALLEXIT,
                   IDC_ENV_STARTUSEUPFAVORITE, IDC_ENV_STARTUSEUPEXELINK})
      Enable(dlg, id, values.driveEntriesEnabled);
    Enable(dlg, IDC_ENV_FIXDRIVE, values.driveEntriesEnabled && values.useFixDrive);
    Enable(dlg, IDC_ENV_APPLYDRIVE, values.driveEntriesEnabled && bool(host.applyDriveLetter));

    ApplyDialogCaptions(dlg, Texts(), lang::kEnvironment,
                        {{0, "Self.Caption"},
                         {IDC_ENV_GBDEFAULT, "gbDefault.caption"},
                         {IDC_ENV_LB1, "lb1.caption"},
                         {IDC_ENV_LB2, "lb2.caption"},
                         {IDC_ENV_LB3, "lb3.caption"},
                         {IDC_ENV_STARTVIEW, "ckstartview.caption"},
                         {IDC_ENV_FIXWINDOW, "ckfixwindow.caption"},
                         {IDC_ENV_FREESPACEBAR, "ckFreeSpaceBar.caption"},
                         {IDC_ENV_TOOLTIP, "ckTooltip.caption"},
                         {IDC_ENV_TREELINE, "ckTreeLine.caption"},
                         {IDC_ENV_DELETEEXT, "ckDeleteExt.caption"},
                         {IDC_ENV_GBTRANS, "gbTrans.caption"},
                         {IDC_ENV_GBSTART, "gbStart.caption"},
                         {IDC_ENV_LB2_1, "lb2_1.caption"},
                         {IDC_ENV_GBEND, "gbEnd.caption"},
                         {IDC_ENV_TRYREMOVEDRIVE, "ckTryRemoveDrive.caption"},
                         {IDC_ENV_EXITUSBPRG, "ckExitUsbPrg.caption"},
                         {IDC_ENV_EXITTEMPPRG, "ckExitTempPrg.caption"},
                         {IDC_ENV_EXITSHELLPRG, "ckExitShellPrg.caption"},
                         {IDC_ENV_FOLDERICON, "ckFolderIcon.Caption"},
                         {IDC_ENV_LB3_1, "lb3_1.Caption"},
                         {IDC_ENV_GROUPICON, "ckGroupIcon.Caption"},
                         {IDC_ENV_LB3_2, "lb3_2.Caption"},
                         {IDC_ENV_CHANGEDRIVEICON, "ckChangeDriveIcon.Caption"},
                         {IDC_ENV_SELECTICONFOLDER, "btSelectIconFolder.Caption"},
                         {IDC_ENV_LB3_3, "lb3_3.Caption"},
                         {IDC_ENV_CHANGEWALLPAPER, "ckChangeWallpaper.caption"},
                         {IDC_ENV_LB4_1, "lb4_1.Caption"},
                         {IDC_ENV_HIDEICON, "ckHideIcon.caption"},
                         {IDC_ENV_TRAYMENUTAB, "ckTrayMenuTab.Caption"},
                         {IDC_ENV_USBALLEXIT, "ckUsbAllExit.Caption"},
                         {IDC_ENV_STARTUSEUPFAVORITE, "ckStartUseUpFavorite.Caption"},
                         {IDC_ENV_STARTUSEUPEXELINK, "ckStartUseUpExeLink.Caption"}});
    ApplyDialogCaptions(dlg, Texts(), lang::kEnvironmentButton,
                        {{IDC_ENV_APPEND, "btnAppend.Caption"},
                         {IDC_ENV_SKCANCEL, "btnCancel.Caption"},
                         {IDOK, "btnOK.caption"},
                         {IDCANCEL, "btnCancel.caption"}});
    SetText(dlg, IDC_ENV_USEFIXDRIVE,
            FixDriveCaption(Caption("ckUseFixDrive.caption", kFixDriveCaption), state.pv.programDrive));
    // The lists whose entries the language replaces get their selection last.
    std::vector<std::string> itemInfo, xbutton;
    for (int i = 0; i < 6; ++i) itemInfo.push_back(Caption("cbItemInfo.Item" + std::to_string(i), kItemInfoTexts[i]));
    for (int i = 0; i < 3; ++i)
      xbutton.push_back(Caption("cbXbutton_Action.Item" + std::to_string(i), kXButtonTexts[i]));
    FillCombo(dlg, IDC_ENV_ITEMINFO, itemInfo, values.itemInfo);
    FillCombo(dlg, IDC_ENV_XBUTTON, xbutton, values.xbuttonAction);
    refreshTrees = false;
    filling = false;
  }

  void ShowPage(HWND dlg, int page) {
    TabCtrl_SetCurSel(GetDlgItem(dlg, IDC_ENV_PAGES), page);
    for (int p = 0; p < kPageCount; ++p)
      for (int id : kPages[p]) ShowWindow(GetDlgItem(dlg, id), p == page ? SW_SHOW : SW_HIDE);
  }

  // The folder (0) or group (1) picture: the chosen file's, else the default one.
  void ShowIconChoice(HWND dlg, int which) {
    const bool on = which == 0 ? values.folderIcon : values.groupIcon;
    const std::string& path = which == 0 ? values.folderIconPath : values.groupIconPath;
    const int button = which == 0 ? IDC_ENV_BTFOLDERICON : IDC_ENV_BTGROUPICON;
    ImageLists& images = host.platform.images;
    HICON icon = on && !path.empty() ? images.FileIcon(path)
                                     : images.ImageIcon(which == 0 ? kFolderPicture : kGroupPicture);
    HICON old = HICON(SendDlgItemMessageW(dlg, which == 0 ? IDC_ENV_IGFOLDERICON : IDC_ENV_IGGROUPICON, STM_SETICON,
                                          WPARAM(icon), 0));
    (void)old;
    if (shownIcons[size_t(which)]) DestroyIcon(shownIcons[size_t(which)]);
    shownIcons[size_t(which)] = icon;
    SetText(dlg, button, on && !path.empty() ? FileNameOf(path) : "..");
    Enable(dlg, button, on);
  }

  void FillDriveIconList(HWND dlg) {
    HWND list = GetDlgItem(dlg, IDC_ENV_DRIVEICONLIST);
    ListView_DeleteAllItems(list);
    // The list owns its image list (no LVS_SHAREIMAGELISTS): the old one goes with the new.
    driveIcons = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    if (HIMAGELIST old = ListView_SetImageList(list, driveIcons, LVSIL_SMALL)) ImageList_Destroy(old);
    if (values.driveIconFolder.empty()) return;
    const std::string folder = values.driveIconFolder + "\\";
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(Widen(folder + "*.ico").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    int row = 0;
    do {
      SHFILEINFOW info{};
      int image = -1;
      if (SHGetFileInfoW(Widen(folder + Narrow(fd.cFileName)).c_str(), 0, &info, sizeof info,
                         SHGFI_ICON | SHGFI_SMALLICON) &&
          info.hIcon) {
        image = ImageList_AddIcon(driveIcons, info.hIcon);
        DestroyIcon(info.hIcon);
      }
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = row++;
      item.pszText = fd.cFileName;
      item.iImage = image;
      ListView_InsertItem(list, &item);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }

  // A picture that cannot be read is said so; the preview then stays empty.
  void LoadWallpaper(const std::string& file) {
    if (wallpaper) DeleteObject(wallpaper);
    wallpaper = nullptr;
    std::optional<PictureFormat> format = BackgroundPictureFormat(file);
    if (format) wallpaper = LoadPictureFile(file, *format);
    if (!wallpaper && !filling)
      ShowMessageBox(Widen("Cannot read the picture " + file), L"Notice", MB_OK | MB_ICONWARNING);
  }

  void DrawWallpaper(const DRAWITEMSTRUCT& di) {
    RECT rc = di.rcItem;
    FillRect(di.hDC, &rc, GetSysColorBrush(COLOR_WINDOW));
    BITMAP bm{};
    if (wallpaper && GetObjectW(wallpaper, sizeof bm, &bm)) {
      HDC mem = CreateCompatibleDC(di.hDC);
      HGDIOBJ old = SelectObject(mem, wallpaper);
      SetStretchBltMode(di.hDC, HALFTONE);
      StretchBlt(di.hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem, 0, 0, bm.bmWidth,
                 bm.bmHeight, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
    }
    FrameRect(di.hDC, &rc, GetSysColorBrush(COLOR_WINDOWTEXT));
  }

  void SetRowShortcut(HWND dlg, int row, const std::string& text) {
    std::wstring wide = Widen(text);
    ListView_SetItemText(GetDlgItem(dlg, IDC_ENV_SHORTKEYLIST), row, 2, wide.data());
  }

  std::optional<int> SelectedRow(HWND dlg) const {
    std::string id = TextOf(dlg, IDC_ENV_ID);
    if (id.empty()) return std::nullopt;
    return std::stoi(id);
  }

  void lvShortKeyListChange(HWND dlg) {
    HWND list = GetDlgItem(dlg, IDC_ENV_SHORTKEYLIST);
    int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    int mod = -1, key = -1;
    if (row >= 0 && row < kShortcutRows) {
      wchar_t text[256] = {};
      ListView_GetItemText(list, row, 1, text, 256);
      SetText(dlg, IDC_ENV_ID, std::to_string(row));
      SetDlgItemTextW(dlg, IDC_ENV_EXPLAIN, text);
      const ShortcutSlot& slot = state.env.shortcuts[size_t(row)];
      if (slot.useshortkey == 1) {
        mod = slot.mainkey;
        key = slot.subkey;
      }
    } else {
      SetText(dlg, IDC_ENV_ID, "");
      SetText(dlg, IDC_ENV_EXPLAIN, "");
    }
    SendDlgItemMessageW(dlg, IDC_ENV_MAINKEY, CB_SETCURSEL, WPARAM(mod), 0);
    SendDlgItemMessageW(dlg, IDC_ENV_SUBKEY, CB_SETCURSEL, WPARAM(key), 0);
  }

  void btAppendClick(HWND dlg) {
    std::optional<int> row = SelectedRow(dlg);
    if (!row || *row < 0 || *row >= kShortcutRows) return;
    const int mod = Selection(dlg, IDC_ENV_MAINKEY), key = Selection(dlg, IDC_ENV_SUBKEY);
    std::optional<ShortcutSlot> slot = ShortcutSlotFromChoice(mod, key);
    if (!slot) {
      ShowMessageBox(L"Choose both parts of the shortcut from the two lists.", L"Notice", MB_OK | MB_ICONWARNING);
      return;
    }
    state.env.shortcuts[size_t(*row)] = *slot;
    SetRowShortcut(dlg, *row, ShortcutChoiceText(mod, key));
    if (!host.shortcuts.ReregisterSlot(*row, *slot))
      ShowMessageBox(Widen(host.shortcuts.TakeFailureNotice()), L"Notice", MB_OK | MB_ICONWARNING);
  }

  void btCancelClick(HWND dlg) {
    std::optional<int> row = SelectedRow(dlg);
    if (!row || *row < 0 || *row >= kShortcutRows) return;
    SetRowShortcut(dlg, *row, "");
    state.env.shortcuts[size_t(*row)] = ShortcutSlot{0, -1, -1};
    host.shortcuts.UnregisterSlot(*row);
  }

  void TrackBar1Change(HWND dlg) {
    const int percent = int(SendDlgItemMessageW(dlg, IDC_ENV_TRACKBAR, TBM_GETPOS, 0, 0));
    opacity = OpacityOfPercent(percent);
    if (host.setOpacity) host.setOpacity(opacity);
    SetText(dlg, IDC_ENV_LBTRANS, std::to_string(percent) + "%");
  }

  void ChooseIcon(HWND dlg, int which) {
    std::string& pending = which == 0 ? values.folderIconPath : values.groupIconPath;
    std::optional<std::string> file = ChooseExistingFile(pending, L"Icon Files(*.ico,*.exe)\0*.ico;*.exe\0");
    if (!file) return;
    pending = *file;
    ShowIconChoice(dlg, which);
  }

  void IconBoxClick(HWND dlg, int which) {
    bool& on = which == 0 ? values.folderIcon : values.groupIcon;
    on = Checked(dlg, which == 0 ? IDC_ENV_FOLDERICON : IDC_ENV_GROUPICON);
    if (!on) (which == 0 ? values.folderIconPath : values.groupIconPath).clear();
    ShowIconChoice(dlg, which);
    refreshTrees = true;
  }

  void ckChangeDriveIconClick(HWND dlg) {
    values.changeDriveIcon = Checked(dlg, IDC_ENV_CHANGEDRIVEICON);
    Enable(dlg, IDC_ENV_DRIVEICONLIST, values.changeDriveIcon);
    Enable(dlg, IDC_ENV_SELECTICONFOLDER, values.changeDriveIcon);
    if (values.changeDriveIcon)
      FillDriveIconList(dlg);
    else
      ListView_DeleteAllItems(GetDlgItem(dlg, IDC_ENV_DRIVEICONLIST));
  }

  void btSelectIconFolderClick(HWND dlg) {
    std::optional<std::string> folder;
    {
      DialogScope scope;
      folder = BrowseForFolder("Select a folder", state.pv.programDriveRoot, 0, 0);
    }
    if (!folder) return;
    values.driveIconFolder = *folder;
    KeepLiveValue(state.env, values, LiveControl::DriveIconFolder);
    SetText(dlg, IDC_ENV_LBICONFOLDER, *folder);
    FillDriveIconList(dlg);
  }

  void ckChangeWallpaperClick(HWND dlg) {
    const bool on = Checked(dlg, IDC_ENV_CHANGEWALLPAPER);
    Enable(dlg, IDC_ENV_WALLPAPERNAME, on);
    Enable(dlg, IDC_ENV_SELECTWALLPAPER, on);
    if (!on) {
      SetText(dlg, IDC_ENV_WALLPAPERNAME, "");
      if (wallpaper) DeleteObject(wallpaper);
      wallpaper = nullptr;
      InvalidateRect(GetDlgItem(dlg, IDC_ENV_IGWALLPAPER), nullptr, TRUE);
    }
  }

  void btSelectWallpaperClick(HWND dlg) {
    std::optional<std::string> file =
        ChooseExistingFile(TextOf(dlg, IDC_ENV_WALLPAPERNAME), L"Icon Files(*.bmp,*.jpg)\0*.bmp;*.jpg\0");
    if (!file) return;
    SetText(dlg, IDC_ENV_WALLPAPERNAME, *file);
    LoadWallpaper(*file);
    InvalidateRect(GetDlgItem(dlg, IDC_ENV_IGWALLPAPER), nullptr, TRUE);
  }

  void cbSelectLangChange() {
    ShowMessageBox(Widen(state.messages.Message("17")), L"Notice",
                   MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_TOPMOST);
  }

  void btApplyDriveClick(HWND dlg) {
    const std::string letter = TextOf(dlg, IDC_ENV_FIXDRIVE);
    if (host.applyDriveLetter && !letter.empty()) host.applyDriveLetter(letter);
  }

  // The controls' values as OK reads them.
  void ReadControls(HWND dlg) {
    values.title = TextOf(dlg, IDC_ENV_TITLE);
    values.itemInfo = Selection(dlg, IDC_ENV_ITEMINFO);
    values.xbuttonAction = Selection(dlg, IDC_ENV_XBUTTON);
    values.showOnStart = Checked(dlg, IDC_ENV_STARTVIEW);
    values.tooltip = Checked(dlg, IDC_ENV_TOOLTIP);
    values.treeLine = Checked(dlg, IDC_ENV_TREELINE);
    values.fixWindow = Checked(dlg, IDC_ENV_FIXWINDOW);
    values.freeSpaceBar = Checked(dlg, IDC_ENV_FREESPACEBAR);
    values.deleteExt = Checked(dlg, IDC_ENV_DELETEEXT);
    values.languages.selected = Selection(dlg, IDC_ENV_LANGUAGE);
    values.useFixDrive = Checked(dlg, IDC_ENV_USEFIXDRIVE);
    values.drives.selected = Selection(dlg, IDC_ENV_FIXDRIVE);
    values.tryRemoveDrive = Checked(dlg, IDC_ENV_TRYREMOVEDRIVE);
    values.exitUsbPrg = Checked(dlg, IDC_ENV_EXITUSBPRG);
    values.exitTempPrg = Checked(dlg, IDC_ENV_EXITTEMPPRG);
    values.exitShellPrg = Checked(dlg, IDC_ENV_EXITSHELLPRG);
    values.changeDriveIcon = Checked(dlg, IDC_ENV_CHANGEDRIVEICON);
    values.driveIconFolder = TextOf(dlg, IDC_ENV_LBICONFOLDER);
    values.changeWallpaper = Checked(dlg, IDC_ENV_CHANGEWALLPAPER);
    values.wallpaperName = TextOf(dlg, IDC_ENV_WALLPAPERNAME);
    values.hideIcon = Checked(dlg, IDC_ENV_HIDEICON);
    values.trayMenuTab = Checked(dlg, IDC_ENV_TRAYMENUTAB);
    values.usbAllExit = Checked(dlg, IDC_ENV_USBALLEXIT);
    values.startUseUpFavorite = Checked(dlg, IDC_ENV_STARTUSEUPFAVORITE);
    values.startUseUpExeLink = Checked(dlg, IDC_ENV_STARTUSEUPEXELINK);
  }

  void btnOKClick(HWND dlg) {
    ReadControls(dlg);
    const std::string root = state.pv.programDriveRoot;
    EnvDialogApply apply = ApplyEnvDialog(state.env, values, opacity, refreshTrees, state.pv.programDrive,
                                          state.pv.programFolder, host.platform.files);
    if (host.applied) host.applied(apply);
    ApplyDesktopSettings(state, host.hostChanges, {apply.changeWallpaper, apply.wallpaperName, apply.hideIcons});
    WriteSettings(state.doc, state.env, root);
    PanelWindowState panel = host.panelState ? host.panelState() : PanelWindowState{};
    if (!SaveDocumentNow(state, host.platform.platform, panel) && state.started && state.documentSavable &&
        !state.pv.driveRemovedExit)
      ShowMessageBox(Widen("Could not write " + state.pv.programFolder + kDocumentFileName), L"Notice",
                     MB_OK | MB_ICONWARNING);
  }

  INT_PTR Command(HWND dlg, int id, int code) {
    if (filling) return FALSE;
    switch (id) {
      case IDC_ENV_TRYREMOVEDRIVE: {
        TryRemoveDriveClicked(values, Checked(dlg, IDC_ENV_TRYREMOVEDRIVE));
        Check(dlg, IDC_ENV_EXITUSBPRG, values.exitUsbPrg);
        Check(dlg, IDC_ENV_EXITTEMPPRG, values.exitTempPrg);
        Check(dlg, IDC_ENV_EXITSHELLPRG, values.exitShellPrg);
        KeepLiveValue(state.env, values, LiveControl::TryRemoveDrive);
        return TRUE;
      }
      case IDC_ENV_EXITUSBPRG:
        values.exitUsbPrg = Checked(dlg, IDC_ENV_EXITUSBPRG);
        KeepLiveValue(state.env, values, LiveControl::ExitUsbPrg);
        return TRUE;
      case IDC_ENV_EXITTEMPPRG:
        values.exitTempPrg = Checked(dlg, IDC_ENV_EXITTEMPPRG);
        KeepLiveValue(state.env, values, LiveControl::ExitTempPrg);
        return TRUE;
      case IDC_ENV_ITEMINFO:
        if (code == CBN_SELCHANGE) {
          values.itemInfo = Selection(dlg, IDC_ENV_ITEMINFO);
          KeepLiveValue(state.env, values, LiveControl::ItemInfo);
        }
        return TRUE;
      case IDC_ENV_USEFIXDRIVE: Enable(dlg, IDC_ENV_FIXDRIVE, Checked(dlg, IDC_ENV_USEFIXDRIVE)); return TRUE;
      case IDC_ENV_FOLDERICON: IconBoxClick(dlg, 0); return TRUE;
      case IDC_ENV_GROUPICON: IconBoxClick(dlg, 1); return TRUE;
      case IDC_ENV_BTFOLDERICON: ChooseIcon(dlg, 0); return TRUE;
      case IDC_ENV_BTGROUPICON: ChooseIcon(dlg, 1); return TRUE;
      case IDC_ENV_TREELINE: refreshTrees = true; return TRUE;
      case IDC_ENV_CHANGEDRIVEICON: ckChangeDriveIconClick(dlg); return TRUE;
      case IDC_ENV_SELECTICONFOLDER: btSelectIconFolderClick(dlg); return TRUE;
      case IDC_ENV_CHANGEWALLPAPER: ckChangeWallpaperClick(dlg); return TRUE;
      case IDC_ENV_SELECTWALLPAPER: btSelectWallpaperClick(dlg); return TRUE;
      case IDC_ENV_LANGUAGE:
        if (code == CBN_SELCHANGE) cbSelectLangChange();
        return TRUE;
      case IDC_ENV_APPLYDRIVE: btApplyDriveClick(dlg); return TRUE;
      case IDC_ENV_APPEND: btAppendClick(dlg); return TRUE;
      case IDC_ENV_SKCANCEL: btCancelClick(dlg); return TRUE;
      case IDOK:
        btnOKClick(dlg);
        EndDialog(dlg, IDOK);
        return TRUE;
      case IDCANCEL:
        // Esc and the close box too: only OK keeps the previewed opacity.
        if (host.setOpacity && opacity != state.env.trans) host.setOpacity(state.env.trans);
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  }

  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TenvFrm*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        reinterpret_cast<TenvFrm*>(lParam)->FormCreate(dlg);
        return TRUE;
      case WM_VSCROLL:
        if (self && !self->filling && HWND(lParam) == GetDlgItem(dlg, IDC_ENV_TRACKBAR)) self->TrackBar1Change(dlg);
        return TRUE;
      case WM_DRAWITEM:
        if (!self || wParam != IDC_ENV_IGWALLPAPER) return FALSE;
        self->DrawWallpaper(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (!self || self->filling) return FALSE;
        if (hdr->idFrom == IDC_ENV_PAGES && hdr->code == TCN_SELCHANGE)
          self->ShowPage(dlg, TabCtrl_GetCurSel(hdr->hwndFrom));
        else if (hdr->idFrom == IDC_ENV_SHORTKEYLIST && hdr->code == LVN_ITEMCHANGED)
          self->lvShortKeyListChange(dlg);
        return FALSE;
      }
      case WM_COMMAND:
        if (!self) return FALSE;
        return self->Command(dlg, LOWORD(wParam), HIWORD(wParam));
      default:
        return FALSE;
    }
  }
};

}  // namespace

bool RunEnvFrm(EnvFrmHost& host) {
  EnsureCommonControls();
  TenvFrm frm(host);
  return RunModalDialog(MAKEINTRESOURCEW(IDD_ENV), &TenvFrm::Proc, reinterpret_cast<LPARAM>(&frm)) == IDOK;
}

}  // namespace kestro::win
