#include "win/panel/ViewFrm.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/config/Language.h"
#include "core/app/StartSequence.h"
#include "core/config/PathMacros.h"
#include "core/items/RunFile.h"
#include "core/text/Text.h"
#include "core/host/Associations.h"
#include "core/host/ExeLinkEdit.h"
#include "win/host/ExeLinkFrm.h"
#include "win/panel/ItemPropertyCommands.h"
#include "win/panel/TabNameFrm.h"
#include "win/tools/AutoinfFrm.h"
#include "win/tools/IntroFrm.h"
#include "win/platform/OleDrag.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modal.h"

namespace kestro::win {

namespace {

constexpr wchar_t kClassName[] = L"TviewFrm";
constexpr UINT kFreeSpaceMessage = WM_USER + 16;
constexpr UINT kDeletePageMessage = WM_APP + 41;
constexpr UINT kExePicturesMessage = WM_APP + 42;
constexpr int kTabStripId = 10;
// Sizes at 96 DPI.
constexpr int kFreeBarHeight = 14;
constexpr int kBarLabelsWidth = 130;
constexpr int kPercentWidth = 36;
constexpr int kStripFontHeight = 12;
constexpr SIZE kMinimumSize{150, 250};
// Submenus of the Setting menu, by position.
constexpr UINT kEnvUseLinkPos = 1, kEnvFavoriteUsePos = 3, kEnvFavoriteCopyPos = 4;

struct MenuText {
  UINT id;  // command, or 0 for a submenu found by `menu` and `pos`
  const char* key;
  const char* korean;
};

// Captions of the commands, Korean as built in; the language file replaces
// them from section "viewpanel".
const MenuText kCommandTexts[] = {
    {kMenuSearchExe, "menu_searchexe.caption", "$의 실행파일 검색"},
    {kMenuHide, "menu_hide.caption", "창닫기"},
    {kMenuAppExit, "menu_appexit.caption", "프로그램 종료"},
    {kMenuTopWin, "menu_topwin.caption", "최상위 윈도우"},
    {kMenuBigIcon, "menu_bigicon.caption", "큰아이콘"},
    {kMenuSmallIcon, "menu_smallicon.caption", "작은아이콘"},
    {kMenuFavoriteTab, "menu_favoritetab.caption", "즐겨찾기"},
    {kMenuFindTab, "menu_findtab.caption", "검색탭"},
    {kMenuSysInfoTab, "menu_sysinfotab.caption", "시스템 정보"},
    {kMenuEnvSetting, "menu_envsetting.caption", "환경설정"},
    {kMenuUsePcLink, "menu_usepclink.caption", "PC 기본프로그램으로 실행"},
    {kMenuUseUsbLink, "menu_useusblink.caption", "USB 연결프로그램으로 실행"},
    {kMenuExeLinkSetting, "menu_ExeLinkSetting.caption", "확장자별 프로그램 설정"},
    {kMenuAutorunInf, "menu_autoruninf.caption", "Autorun.inf 설정"},
    {kMenuBackup, "menu_backup.caption", "설정백업"},
    {kMenuGoHome, "menu_gohome.caption", "제작자 까페"},
    {kMenuDorvane, "menu_dorvane.caption", "Dorvane 까페"},
    {kMenuIntro, "menu_intro.caption", "프로그램에 대해.."},
    {kPopMenuTabAdd, "popmenu_tabadd.caption", "탭 추가"},
};

void SetItemText(HMENU menu, UINT item, bool byPosition, const std::wstring& text) {
  MENUITEMINFOW mi{sizeof mi};
  mi.fMask = MIIM_STRING;
  mi.dwTypeData = const_cast<wchar_t*>(text.c_str());
  SetMenuItemInfoW(menu, item, byPosition, &mi);
}

void Enable(HMENU menu, UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); }
void Check(HMENU menu, UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); }

std::string FormatFixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

}  // namespace

HWND TviewFrm::Page::Handle() const {
  if (frame) return frame->Handle();
  if (find) return find->Handle();
  return sysInfo ? sysInfo->Handle() : plain;
}

TviewFrm::TviewFrm(AppState& state, Win32Platform& platform) : state_(state), platform_(platform) {}

TviewFrm::~TviewFrm() {
  // The loaders' last pictures still reach this window while it waits.
  exeSearch_.Stop(5000);
  StopFavoritesCopy(5000);
  if (stripDrops_) RevokeDragDrop(tabStrip_.Handle());
  pages_.clear();
  if (popup_) DestroyMenu(popup_);
  if (stripFont_) DeleteObject(stripFont_);
  if (uiFont_) DeleteObject(uiFont_);
}

bool TviewFrm::Create() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  if (!RegisterWindowClass(kClassName, icon, GetSysColorBrush(COLOR_BTNFACE), CS_DBLCLKS)) return false;
  const EnvSet& env = state_.env;
  // Its own taskbar button, and no owner, so that it does not follow the
  // hidden main window.
  DWORD ex = WS_EX_APPWINDOW | (env.topwindow ? WS_EX_TOPMOST : 0);
  if (env.trans < 255) ex |= WS_EX_LAYERED;
  BuildMenus();
  if (!CreateWindowHandle(ex, kClassName, Widen(env.title).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          env.left, env.top, env.width, env.height, nullptr, menu_))
    return false;
  if (env.trans < 255) SetLayeredWindowAttributes(Handle(), 0, BYTE(std::max(0, env.trans)), LWA_ALPHA);

  textOffset_ = state_.pv.systemLocale == kKoreanLocale ? 0 : 2;
  dpi_ = WindowDpi(Handle());
  tabStrip_.Create(Handle(), kTabStripId);
  tabStrip_.SetDpi(dpi_);
  CreateFonts();
  tabStrip_.SetTextOffset(textOffset_);
  tabStrip_.onSelect = [this](int i) { ActivatePage(i); };
  tabStrip_.onDragActiveTo = [this](int to) {
    int from = state_.panel.ActivePageIndex();
    if (from < 0 || !state_.panel.MovePage(size_t(from), size_t(to))) return;
    Page moved = std::move(pages_[size_t(from)]);
    pages_.erase(pages_.begin() + from);
    pages_.insert(pages_.begin() + to, std::move(moved));
    SyncTabStrip();
  };
  tabStrip_.onContextMenu = [this](POINT p) { PanelPopup(p); };

  // The bar's controls are made with its first update, after the panel shows.
  if (env.freespacebar) PostMessageW(Handle(), kFreeSpaceMessage, 0, 0);
  ApplyLanguage();
  return true;
}

void TviewFrm::CreateFonts() {
  // The tab strip's font turned by 270 degrees, so captions run downwards.
  LOGFONTW lf{};
  lf.lfHeight = -Px(kStripFontHeight, dpi_);
  lf.lfEscapement = lf.lfOrientation = 2700;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(lf.lfFaceName, state_.pv.systemLocale == kKoreanLocale ? L"@굴림" : L"Arial");
  HFONT strip = CreateFontIndirectW(&lf);
  LOGFONTW message = MessageFontFor(dpi_);
  HFONT ui = CreateFontIndirectW(&message);
  // The controls take the new fonts before the old ones go.
  tabStrip_.SetFont(strip);
  for (HWND w : {percentLabel_, spaceLabel_})
    if (w) SendMessageW(w, WM_SETFONT, WPARAM(ui), TRUE);
  if (stripFont_) DeleteObject(stripFont_);
  if (uiFont_) DeleteObject(uiFont_);
  stripFont_ = strip;
  uiFont_ = ui;
}

void TviewFrm::DpiChanged(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  tabStrip_.SetDpi(dpi_);
  CreateFonts();
  for (Page& p : pages_) {
    if (p.frame) p.frame->SetDpi(dpi_);
    if (p.sysInfo) p.sysInfo->SetDpi(dpi_);
    if (p.find) p.find->SetDpi(dpi_);
  }
  if (suggested)
    SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  Relayout();  // also when the size stayed
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TviewFrm::EnsureFreeBar() {
  if (progress_) return;
  EnsureCommonControls();
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, Handle(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(progress_, PBM_SETRANGE32, 0, 100);
  percentLabel_ = CreateWindowExW(0, L"STATIC", L"100%", WS_CHILD | SS_RIGHT, 0, 0, 0, 0, Handle(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  spaceLabel_ = CreateWindowExW(0, L"STATIC", L"(000.0/000.0)G", WS_CHILD | SS_RIGHT, 0, 0, 0, 0, Handle(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  for (HWND w : {percentLabel_, spaceLabel_}) SendMessageW(w, WM_SETFONT, WPARAM(uiFont_), FALSE);
}

void TviewFrm::BuildMenus() {
  fileMenu_ = CreatePopupMenu();
  AppendMenuW(fileMenu_, MF_STRING, kMenuSearchExe, L"");
  AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(fileMenu_, MF_STRING, kMenuHide, L"");
  AppendMenuW(fileMenu_, MF_STRING, kMenuAppExit, L"");

  viewMenu_ = CreatePopupMenu();
  AppendMenuW(viewMenu_, MF_STRING, kMenuTopWin, L"");
  AppendMenuW(viewMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(viewMenu_, MF_STRING, kMenuBigIcon, L"");
  AppendMenuW(viewMenu_, MF_STRING, kMenuSmallIcon, L"");
  AppendMenuW(viewMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(viewMenu_, MF_STRING, kMenuFavoriteTab, L"");
  AppendMenuW(viewMenu_, MF_STRING, kMenuFindTab, L"");
  AppendMenuW(viewMenu_, MF_STRING, kMenuSysInfoTab, L"");

  HMENU useLink = CreatePopupMenu();
  AppendMenuW(useLink, MF_STRING, kMenuUsePcLink, L"");
  AppendMenuW(useLink, MF_STRING, kMenuUseUsbLink, L"");
  AppendMenuW(useLink, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(useLink, MF_STRING, kMenuExeLinkSetting, L"");
  HMENU favUse = CreatePopupMenu();
  AppendMenuW(favUse, MF_STRING, kMenuFavoriteUsePc, L"PC");
  AppendMenuW(favUse, MF_STRING, kMenuFavoriteUseUsb, L"USB");
  HMENU favCopy = CreatePopupMenu();
  AppendMenuW(favCopy, MF_STRING, kMenuPcToUsb, L"PC->USB");
  AppendMenuW(favCopy, MF_STRING, kMenuUsbToPc, L"USB->PC");
  envMenu_ = CreatePopupMenu();
  AppendMenuW(envMenu_, MF_STRING, kMenuEnvSetting, L"");
  AppendMenuW(envMenu_, MF_POPUP, UINT_PTR(useLink), L"연결 프로그램");
  AppendMenuW(envMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(envMenu_, MF_POPUP, UINT_PTR(favUse), L"즐겨찾기 적용");
  AppendMenuW(envMenu_, MF_POPUP, UINT_PTR(favCopy), L"즐겨찾기 복사");
  AppendMenuW(envMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(envMenu_, MF_STRING, kMenuAutorunInf, L"");
  AppendMenuW(envMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(envMenu_, MF_STRING, kMenuBackup, L"");

  HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, kMenuGoHome, L"");
  AppendMenuW(help, MF_STRING, kMenuDorvane, L"");
  AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(help, MF_STRING, kMenuIntro, L"");

  menu_ = CreateMenu();
  AppendMenuW(menu_, MF_POPUP, UINT_PTR(fileMenu_), L"파일");
  AppendMenuW(menu_, MF_POPUP, UINT_PTR(viewMenu_), L"보기");
  AppendMenuW(menu_, MF_POPUP, UINT_PTR(envMenu_), L"설정");
  AppendMenuW(menu_, MF_POPUP, UINT_PTR(help), L"?");  // never translated

  popup_ = CreatePopupMenu();
  AppendMenuW(popup_, MF_STRING, kPopMenuTabAdd, L"");

  for (const MenuText& t : kCommandTexts) {
    SetItemText(menu_, t.id, false, Widen(t.korean));
    SetItemText(popup_, t.id, false, Widen(t.korean));
  }
  searchCaption_ = Widen(kCommandTexts[0].korean);
}

void TviewFrm::ApplyLanguage() {
  // The file as read at start; read here only when the start did not.
  LanguageTexts opened;
  const bool atStart = state_.languageTexts.InUse();
  if (!atStart) opened = LanguageTexts::Open(state_.pv.languageFile, platform_.files, platform_.codec);
  const LanguageTexts& texts = atStart ? state_.languageTexts : opened;
  if (!texts.InUse()) return;
  const LanguageSection& s = lang::kViewPanel;
  SetItemText(menu_, 0, true, Widen(texts.Text(s, "menu_file.caption")));
  SetItemText(menu_, 1, true, Widen(texts.Text(s, "menu_view.caption")));
  SetItemText(menu_, 2, true, Widen(texts.Text(s, "menu_env.caption")));
  SetItemText(envMenu_, kEnvUseLinkPos, true, Widen(texts.Text(s, "menu_uselink.caption")));
  SetItemText(envMenu_, kEnvFavoriteUsePos, true, Widen(texts.Text(s, "menu_favoriteuse.caption")));
  SetItemText(envMenu_, kEnvFavoriteCopyPos, true, Widen(texts.Text(s, "menu_favoritecopy.caption")));
  for (const MenuText& t : kCommandTexts) {
    std::wstring text = Widen(texts.Text(s, t.key));
    if (t.id == kMenuSearchExe) text = L"\"$\" " + text;
    SetItemText(menu_, t.id, false, text);
    SetItemText(popup_, t.id, false, text);
    if (t.id == kMenuSearchExe) searchCaption_ = text;
  }
  findCaption_ = texts.Text(s, "strsearch.caption");
  // A hidden panel lays its menu bar out when it shows.
  if (IsWindowVisible(Handle())) DrawMenuBar(Handle());
}

void TviewFrm::BuildPages() {
  pages_.clear();
  for (size_t i = 0; i < state_.panel.PageCount(); ++i) {
    AddPageWindow(i);
    // The document keeps the tab, the drive's folder its entries.
    if (state_.panel.Page(i).Tag() == TabTag::Favorites) FillFavoritesPage(i);
  }
  SyncTabStrip();
}

void TviewFrm::AddPageWindow(size_t index) {
  // The page's windows are made when it is first shown (EnsurePageWindow):
  // a start with many tabs builds only the active one.
  pages_.insert(pages_.begin() + long(index), Page{});
}

void TviewFrm::EnsurePageWindow(size_t index) {
  if (index >= pages_.size() || pages_[index].Handle()) return;
  PanelPage& page = state_.panel.Page(index);
  Page& p = pages_[index];
  RECT none{0, 0, 0, 0};
  if (page.Tree()) {
    p.frame = std::make_unique<TvstFrame>(*this, page);
    p.frame->Create(Handle(), none);
    p.frame->SetDpi(dpi_);
    p.frame->SetCommandHandler([this](TreeCommand c, ItemNode*) {
      if (c == TreeCommand::TabAdd) CreateItemTab();
    });
    p.frame->Show(false);
  } else if (page.Tag() == TabTag::SystemInfo) {
    // Gathering starts now, when the page is first shown.
    p.sysInfo = std::make_unique<SysInfoFrame>(state_.pv.programDrive);
    p.sysInfo->Create(Handle());
    p.sysInfo->SetDpi(dpi_);
  } else if (page.Tag() == TabTag::Find) {
    p.find = std::make_unique<TfindFrame>(*this);
    p.find->Create(Handle(), none);
    p.find->SetDpi(dpi_);
  } else {
    // Any other tab shows an empty page.
    p.plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 0, 0, Handle(), nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  }
}

void TviewFrm::SyncTabStrip() {
  std::vector<std::string> captions;
  for (size_t i = 0; i < state_.panel.PageCount(); ++i) captions.push_back(state_.panel.Page(i).Caption());
  int active = state_.panel.ActivePageIndex();
  tabStrip_.SetTabs(std::move(captions), active);
  if (active >= 0) EnsurePageWindow(size_t(active));
  Relayout();
  for (size_t i = 0; i < pages_.size(); ++i)
    if (HWND h = pages_[i].Handle()) ShowWindow(h, int(i) == active ? SW_SHOW : SW_HIDE);
}

void TviewFrm::ActivatePage(int index) {
  state_.panel.SetActivePageIndex(index);
  SyncTabStrip();
  if (index >= 0 && size_t(index) < pages_.size()) SetFocus(pages_[size_t(index)].Handle());
}

void TviewFrm::Relayout() {
  if (!Handle()) return;
  RECT rc;
  GetClientRect(Handle(), &rc);
  int bottom = rc.bottom;
  bool bar = state_.env.freespacebar;
  auto px = [this](int v) { return Px(v, dpi_); };
  if (bar) {
    const int height = px(kFreeBarHeight), gap = px(1), labels = px(kBarLabelsWidth), percent = px(kPercentWidth);
    bottom = rc.bottom - height - gap;
    MoveWindow(progress_, 0, bottom + gap, std::max(0, int(rc.right) - labels), height, TRUE);
    MoveWindow(percentLabel_, rc.right - labels, bottom + gap, percent, height, TRUE);
    MoveWindow(spaceLabel_, rc.right - labels + percent, bottom + gap, labels - percent, height, TRUE);
  }
  for (HWND w : {progress_, percentLabel_, spaceLabel_})
    if (w) ShowWindow(w, bar ? SW_SHOW : SW_HIDE);
  int stripWidth = tabStrip_.WidthFor(bottom);
  MoveWindow(tabStrip_.Handle(), rc.right - stripWidth, 0, stripWidth, bottom, TRUE);
  // The page's content is 3 pixels narrower and 1 pixel lower than the page.
  RECT page{0, px(1), std::max(0L, LONG(rc.right - stripWidth - px(3))), bottom};
  for (Page& p : pages_) {
    if (p.frame)
      p.frame->SetBounds(page);
    else if (p.find)
      p.find->SetBounds(page);
    else if (HWND h = p.Handle())
      MoveWindow(h, page.left, page.top, page.right - page.left, page.bottom - page.top, TRUE);
  }
}

void TviewFrm::SetBounds(int left, int top, int width, int height) {
  RECT now{};
  GetWindowRect(Handle(), &now);
  if (now.left == left && now.top == top && now.right - now.left == width && now.bottom - now.top == height) return;
  SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TviewFrm::ShowPanel() {
  ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(Handle());
}

void TviewFrm::HotKey(WPARAM id) {
  MacroValues macros(platform_.host, state_.pv.programDrive);
  for (const ItemShortcut& e : state_.itemShortcuts.Entries())
    if (e.identifier == int(id)) RunFile(platform_.shell, ExpandMacros(e.path, macros), "", kSwShowNormal);
}

bool TviewFrm::StayOnTop() const { return (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

PanelWindowState TviewFrm::WindowState() const {
  RECT r{};
  WINDOWPLACEMENT wp{sizeof wp};
  if (IsIconic(Handle()) && GetWindowPlacement(Handle(), &wp))
    r = wp.rcNormalPosition;
  else
    GetWindowRect(Handle(), &r);
  PanelWindowState s;
  s.left = r.left;
  s.top = r.top;
  s.width = r.right - r.left;
  s.height = r.bottom - r.top;
  s.topwindow = StayOnTop();
  s.tabindex = state_.panel.ActivePageIndex();
  return s;
}

void TviewFrm::InvalidateNode(NodeId id) {
  for (Page& p : pages_)
    if (p.frame) p.frame->InvalidateNode(id);
}

void TviewFrm::PicturesReady() {
  picturesReady_ = true;
  AddWaitingPictures(state_, platform_.images);
  // OLE runs from now on (it starts with the pictures, after the panel shows).
  EnsureUiCom();
  stripDrops_ = RegisterDropTarget(
      tabStrip_.Handle(),
      TabStripDrop(
          state_.panel,
          [this](POINT screen) {
            ScreenToClient(tabStrip_.Handle(), &screen);
            return tabStrip_.TabAt(screen.x, screen.y);
          },
          [this](int tab) { ActivatePage(tab); }, [this] { TreesChanged(); }));
  for (Page& p : pages_) {
    if (p.frame) {
      p.frame->SetBigIcons(p.frame->BigIcons());
      p.frame->PicturesArrived();
    }
    if (p.find) p.find->PicturesArrived();
  }
}

TfindFrame* TviewFrm::FindFrame() {
  for (Page& p : pages_)
    if (p.find) return p.find.get();
  return nullptr;
}

void TviewFrm::TreesChanged() {
  for (Page& p : pages_)
    if (p.frame) p.frame->Refresh();
}

void TviewFrm::DeletePage(PanelPage& page) { PostMessageW(Handle(), kDeletePageMessage, 0, LPARAM(&page)); }

void TviewFrm::RemovePage(const PanelPage* page) {
  for (size_t i = 0; i < state_.panel.PageCount(); ++i) {
    if (&state_.panel.Page(i) != page) continue;
    // The content goes first, then the model's entry.
    if (i < pages_.size()) {
      if (pages_[i].plain) DestroyWindow(pages_[i].plain);
      pages_.erase(pages_.begin() + long(i));
    }
    if (page->Tag() == TabTag::SystemInfo) state_.env.sysInfoTabPresent = false;
    if (page->Tag() == TabTag::Favorites) state_.env.favoritesTabPresent = false;
    state_.panel.RemovePage(i);
    SyncTabStrip();
    int active = state_.panel.ActivePageIndex();
    if (active >= 0 && size_t(active) < pages_.size()) SetFocus(pages_[size_t(active)].Handle());
    return;
  }
}

void TviewFrm::PrepareMenu(HMENU menu) {
  int active = state_.panel.ActivePageIndex();
  PanelPage* page = active >= 0 ? &state_.panel.Page(size_t(active)) : nullptr;
  if (menu == fileMenu_) {
    std::wstring caption = Widen(ReplaceAll(Narrow(searchCaption_), "$", state_.pv.programDriveRoot));
    SetItemText(menu, kMenuSearchExe, false, caption);
    // Only into an item tab that shows its tree; the PC's own disk is not searched.
    bool itemTab = page && page->Tag() == TabTag::Items && size_t(active) < pages_.size() &&
                   pages_[size_t(active)].frame;
    Enable(menu, kMenuSearchExe, !state_.pv.pcEdition && itemTab);
  } else if (menu == viewMenu_) {
    Check(menu, kMenuTopWin, StayOnTop());
    const Page* shown = page && active < int(pages_.size()) ? &pages_[size_t(active)] : nullptr;
    bool hasTree = shown && (shown->frame || shown->find);
    Enable(menu, kMenuBigIcon, hasTree);
    Enable(menu, kMenuSmallIcon, hasTree);
    bool big = hasTree && (shown->frame ? shown->frame->BigIcons() : shown->find->BigIcons());
    CheckMenuRadioItem(menu, kMenuBigIcon, kMenuSmallIcon, hasTree ? (big ? kMenuBigIcon : kMenuSmallIcon) : 0,
                       MF_BYCOMMAND);
    if (!hasTree) {
      Check(menu, kMenuBigIcon, false);
      Check(menu, kMenuSmallIcon, false);
    }
    Check(menu, kMenuFindTab, state_.env.findTabPresent);
    Check(menu, kMenuFavoriteTab, state_.env.favoritesTabPresent);
    Check(menu, kMenuSysInfoTab, state_.env.sysInfoTabPresent);
  } else if (menu == envMenu_) {
    if (state_.pv.pcEdition) {
      // On the PC's own disk there is nothing of a drive to set up.
      Enable(menu, kMenuExeLinkSetting, false);
      Enable(menu, kMenuAutorunInf, false);
      Enable(menu, kMenuBackup, false);
      for (UINT pos : {kEnvUseLinkPos, kEnvFavoriteUsePos, kEnvFavoriteCopyPos})
        EnableMenuItem(menu, pos, MF_BYPOSITION | MF_GRAYED);
      return;
    }
    Enable(menu, kMenuBackup, true);
    Enable(menu, kMenuExeLinkSetting, true);
    // The mark shows the host as it is (a user may have changed it meanwhile).
    if (hostChanges) state_.pv.associationsApplied = AnyAssociationApplied(hostChanges->Registry(), state_.exeLinks);
    CheckMenuRadioItem(menu, kMenuUsePcLink, kMenuUseUsbLink,
                       state_.pv.associationsApplied ? kMenuUseUsbLink : kMenuUsePcLink, MF_BYCOMMAND);
    CheckMenuRadioItem(menu, kMenuFavoriteUsePc, kMenuFavoriteUseUsb,
                       state_.pv.favoritesRedirected ? kMenuFavoriteUseUsb : kMenuFavoriteUsePc, MF_BYCOMMAND);
    // One copy at a time.
    Enable(menu, kMenuPcToUsb, state_.favoritesCopyState == 0);
    Enable(menu, kMenuUsbToPc, state_.favoritesCopyState == 0);
  }
}

void TviewFrm::SetIconMode(bool big) {
  int active = state_.panel.ActivePageIndex();
  if (active < 0 || size_t(active) >= pages_.size()) return;
  Page& p = pages_[size_t(active)];
  if (p.frame) p.frame->SetBigIcons(big);
  if (p.find) p.find->SetBigIcons(big);
}

void TviewFrm::SetStayOnTop(bool on) {
  SetWindowPos(Handle(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TviewFrm::CreateItemTab() {
  std::optional<std::string> name = AskTabName(state_.pv.languageFile, Handle());
  if (!name) return;
  ITabPage& page = state_.panel.AddPage(*name, TabTag::Items);
  // New tabs start in big-icon mode with the frame's own colours and font.
  TabStyle style;
  style.bigicon = true;
  page.ApplyStyle(style);
  size_t index = state_.panel.PageCount() - 1;
  AddPageWindow(index);
  ActivatePage(int(index));
}

void TviewFrm::menu_FindTabClick() {
  for (size_t i = 0; i < state_.panel.PageCount(); ++i)
    if (state_.panel.Page(i).Tag() == TabTag::Find) {
      RemovePage(&state_.panel.Page(i));
      state_.env.findTabPresent = false;
      return;
    }
  state_.panel.AddPage(findCaption_, TabTag::Find);
  size_t index = state_.panel.PageCount() - 1;
  AddPageWindow(index);
  state_.env.findTabPresent = true;
  ActivatePage(int(index));
}

void TviewFrm::menu_SearchExeClick() {
  int active = state_.panel.ActivePageIndex();
  if (state_.pv.pcEdition || active < 0 || size_t(active) >= pages_.size()) return;
  PanelPage& page = state_.panel.Page(size_t(active));
  TvstFrame* frame = pages_[size_t(active)].frame.get();
  if (page.Tag() != TabTag::Items || !frame || !page.Tree()) return;
  HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  ItemNode& group = exeSearch_.Run(*page.Tree(), state_, Handle(), kExePicturesMessage);
  SetCursor(old);
  frame->Refresh();
  frame->Tree().SetFocusedNode(&group);
}

void TviewFrm::Backup() {
  wchar_t file[MAX_PATH] = L"Kestro-backup.xml";
  OPENFILENAMEW ofn{sizeof ofn};
  ofn.lpstrFilter = L"All files (*.xml)\0*.xml\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = L"xml";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
  if (!RunFileDialog(ofn, true)) return;
  WriteResult saved = WriteTreesAndSave(state_, platform_.platform, WindowState(), Narrow(file));
  if (!saved)
    ShowMessageBox(L"Could not write " + std::wstring(file) + L"\r\n" + Widen(saved.error), L"Notice", MB_ICONWARNING);
}

void TviewFrm::menu_SysInfoTabClick() {
  for (size_t i = 0; i < state_.panel.PageCount(); ++i)
    if (state_.panel.Page(i).Tag() == TabTag::SystemInfo) {
      RemovePage(&state_.panel.Page(i));
      return;
    }
  // Without a language file the built-in name.
  std::string caption =
      state_.languageTexts.InUse() ? state_.languageTexts.Text(lang::kViewPanel, "strSystemInfo.caption") : "시스템정보";
  state_.panel.AddPage(caption, TabTag::SystemInfo);
  state_.env.sysInfoTabPresent = true;
  size_t index = state_.panel.PageCount() - 1;
  AddPageWindow(index);
  ActivatePage(int(index));
}

void TviewFrm::PanelPopup(POINT screen) {
  if (screen.x == -1 && screen.y == -1) GetCursorPos(&screen);
  TrackModalPopup(popup_, TPM_RIGHTBUTTON, screen, Handle());
}

void TviewFrm::UpdateFreeSpace() {
  if (!progress_) {
    EnsureFreeBar();
    Relayout();
  }
  DWORD spc = 0, bps = 0, freeClusters = 0, totalClusters = 0;
  GetDiskFreeSpaceW(Widen(state_.pv.programDriveRoot).c_str(), &spc, &bps, &freeClusters, &totalClusters);
  double unit = double(spc) * double(bps) / 1048576.0;
  double total = unit * totalClusters, free = unit * freeClusters, used = total - free;
  if (total == 0) {
    ShowMessageBox(Widen("divide 0:" + state_.pv.programDriveRoot), Widen(kPlainCaption), MB_OK);
    return;
  }
  double percent = used * 100.0 / total;
  SetWindowTextW(percentLabel_, Widen(FormatFixed(std::round(percent), 0) + "%").c_str());
  SetWindowTextW(spaceLabel_,
                 Widen("(" + FormatFixed(used / 1024, 1) + "G/" + FormatFixed(total / 1024, 1) + "G)").c_str());
  SendMessageW(progress_, PBM_SETPOS, WPARAM(int(percent)), 0);
}

void TviewFrm::SetOpacity(int32_t opacity) {
  const LONG_PTR ex = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(Handle(), GWL_EXSTYLE, ex | WS_EX_LAYERED);
  SetLayeredWindowAttributes(Handle(), 0, BYTE(std::clamp(opacity, 0, 255)), LWA_ALPHA);
}

void TviewFrm::ApplySettings(const EnvDialogApply& apply) {
  SetWindowTextW(Handle(), Widen(apply.panelCaption).c_str());
  SetOpacity(apply.opacity);
  if (apply.freeSpaceBar)
    UpdateFreeSpace();  // makes the bar on first use
  Relayout();
  if (!apply.refreshTrees) return;
  if (platform_.images.Created()) RefreshTreePictures(state_.panel, state_.env, platform_.images);
  for (Page& p : pages_)
    if (p.frame) {
      p.frame->ApplyPageStyle();
      p.frame->Refresh();
    }
}

void TviewFrm::FormClose() {
  switch (state_.env.xbuttonaction) {
    case 1:
      ShowWindow(Handle(), SW_MINIMIZE);
      break;
    case 2:
      if (state_.iconLoadBusy > 0 || state_.favoritesCopyState != 0) {
        ShowWindow(Handle(), SW_HIDE);
      } else if (onTerminate) {
        onTerminate(ExitTrigger::CloseBox);
      }
      break;
    default:
      ShowWindow(Handle(), SW_HIDE);
      break;
  }
}

void TviewFrm::Command(UINT id) {
  switch (id) {
    case kMenuHide:
      ShowWindow(Handle(), SW_HIDE);
      break;
    case kMenuAppExit:
      if (state_.iconLoadBusy > 0 || state_.favoritesCopyState != 0) {
        ShowMessageBox(Widen(state_.messages.Message("02")), L"Notice", MB_ICONWARNING);
      } else if (onTerminate) {
        onTerminate(ExitTrigger::PanelExit);
      }
      break;
    case kMenuTopWin:
      SetStayOnTop(!StayOnTop());
      break;
    case kMenuBigIcon:
    case kMenuSmallIcon:
      SetIconMode(id == kMenuBigIcon);
      break;
    case kMenuSysInfoTab:
      menu_SysInfoTabClick();
      break;
    case kMenuAutorunInf:
      OpenAutorunEditor(state_, platform_);
      break;
    case kMenuIntro:
      ShowIntroBox(Handle());
      break;
    case kMenuBackup:
      Backup();
      break;
    case kMenuEnvSetting:
      if (onSettings) onSettings();
      break;
    case kMenuUsePcLink:
    case kMenuUseUsbLink:
    case kMenuExeLinkSetting:
      if (!hostChanges) break;
      if (id == kMenuUsePcLink)
        UsePcLinks(state_, *hostChanges);
      else if (id == kMenuUseUsbLink)
        UseUsbLinks(state_, *hostChanges);
      else
        RunExeLinkFrm(state_, *hostChanges);
      // The marks at once, not only when the menu opens next.
      PrepareMenu(envMenu_);
      break;
    case kPopMenuTabAdd:
      CreateItemTab();
      break;
    case kMenuFindTab:
      menu_FindTabClick();
      break;
    case kMenuFavoriteTab:
      menu_FavoriteTabClick();
      break;
    case kMenuFavoriteUsePc:
    case kMenuFavoriteUseUsb:
      menu_FavoriteUseClick(id == kMenuFavoriteUseUsb);
      break;
    case kMenuPcToUsb:
    case kMenuUsbToPc:
      menu_FavoritesCopyClick(id == kMenuPcToUsb ? FavoritesCopyDirection::PcToUsb : FavoritesCopyDirection::UsbToPc);
      break;
    case kMenuSearchExe:
      menu_SearchExeClick();
      break;
    case kMenuGoHome:
    case kMenuDorvane:
      EnsureUiCom();
      ShellExecuteW(Handle(), L"open", id == kMenuGoHome ? kHomePage : kDorvanePage, nullptr, nullptr,
                    SW_SHOWNORMAL);
      break;
    default:
      break;
  }
}

LRESULT TviewFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      Relayout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      mm->ptMinTrackSize = POINT{Px(kMinimumSize.cx, dpi_), Px(kMinimumSize.cy, dpi_)};
      if (state_.env.fixwindow && !initialPlacement && IsWindowVisible(Handle())) {
        RECT r;
        GetWindowRect(Handle(), &r);
        mm->ptMinTrackSize = mm->ptMaxTrackSize = POINT{r.right - r.left, r.bottom - r.top};
      }
      return 0;
    }
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
      // The menu bar's loop (popup menus count themselves).
      if (!wParam) {
        if (msg == WM_ENTERMENULOOP)
          ModalLoop::Enter(ModalKind::Menu);
        else
          ModalLoop::Leave(ModalKind::Menu);
      }
      return 0;
    case WM_INITMENUPOPUP:
      PrepareMenu(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_COMMAND:
      Command(LOWORD(wParam));
      return 0;
    case WM_CONTEXTMENU:
      // Everywhere in the client area outside the item trees, which open
      // menus of their own: the tab strip, the pages without a tree and the
      // free-space bar, whose controls pass the message up. The caption and
      // the borders keep the system menu.
      if (lParam != -1 && Window::HandleMessage(WM_NCHITTEST, 0, lParam) != HTCLIENT)
        return Window::HandleMessage(msg, wParam, lParam);
      PanelPopup(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DPICHANGED:
      DpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_HOTKEY:
      HotKey(wParam);
      return 0;
    case kFreeSpaceMessage:
      UpdateFreeSpace();
      return 0;
    case kExePicturesMessage:
      if (NodeId placed = exeSearch_.PictureArrived(lParam, state_, platform_.images); placed != kNoNode)
        InvalidateNode(placed);
      return 1;
    case kDeletePageMessage:
      RemovePage(reinterpret_cast<const PanelPage*>(lParam));
      return 0;
    case kFavoritesProgressMessage:
      FavoritesCopyProgress(wParam, lParam);
      return 0;
    case kFavoritesDoneMessage:
      FavoritesCopyDone();
      return 0;
    case WM_CLOSE:
      FormClose();
      return 0;
    default:
      return Window::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace kestro::win
