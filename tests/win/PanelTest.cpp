// The panel window and its item tree frames, in this process, so that their
// menus and controls can be read (Wine keeps menus per process).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "TestFrameHost.h"
#include "core/app/StartSequence.h"
#include "core/host/HostChanges.h"
#include "unit/TreeShape.h"
#include "win/panel/ItemPropertyCommands.h"
#include "win/panel/ViewFrm.h"
#include "win/panel/VstFrame.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"

namespace kestro::win {
namespace {

struct Entry {
  UINT id = 0;
  bool enabled = false;
  bool checked = false;
};

void Dump(HMENU menu, const std::string& prefix, std::map<std::string, Entry>& out) {
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW mi{sizeof mi};
    mi.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_STATE | MIIM_ID | MIIM_FTYPE;
    mi.dwTypeData = text;
    mi.cch = 255;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &mi);
    if (mi.fType & MFT_SEPARATOR) continue;
    std::string path = prefix + Narrow(text);
    if (mi.hSubMenu) {
      Dump(mi.hSubMenu, path + "/", out);
      continue;
    }
    out[path] = Entry{mi.wID, !(mi.fState & MFS_GRAYED), (mi.fState & MFS_CHECKED) != 0};
  }
}

std::map<std::string, Entry> Entries(HMENU menu) {
  std::map<std::string, Entry> out;
  Dump(menu, "", out);
  return out;
}

// english.lng of the program, beside the test data.
std::string EnglishLanguageFile() {
  const char* data = std::getenv("KESTRO_TEST_DATA");
  return data ? std::string(data) + "\\..\\..\\..\\resources\\english.lng" : std::string();
}

TMyRec Item(ItemKind kind, const std::string& name, const std::string& path = {}) {
  TMyRec r;
  r.kind = kind;
  r.name = name;
  r.path = path;
  return r;
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.pv.programDrive = "R:";
    state_.pv.programDriveRoot = "R:\\";
    state_.pv.programFolder = "R:\\";
    state_.pv.systemLocale = 1033;
    state_.env.freespacebar = false;
    platform_.images.LoadBaseImages([](const std::string&) {});
  }

  void AddTabs() {
    for (const char* name : {"A", "B", "C"}) state_.panel.AddPage(name, TabTag::Items);
    ItemTree& a = *state_.panel.Page(0).Tree();
    a.Add(nullptr, Item(ItemKind::File, "one", "R:\\one.exe"));
    a.Add(nullptr, Item(ItemKind::Separator, ""));
    ItemNode& group = a.Add(nullptr, Item(ItemKind::Group, "tools"));
    a.Add(&group, Item(ItemKind::File, "two", "R:\\two.exe"));
    TabStyle big;
    big.bigicon = true;
    state_.panel.Page(1).ApplyStyle(big);
    state_.panel.SetActivePageIndex(0);
  }

  TviewFrm& Panel() {
    panel_ = std::make_unique<TviewFrm>(state_, platform_);
    EXPECT_TRUE(panel_->Create());
    panel_->BuildPages();
    return *panel_;
  }

  HMENU Menu(int position) { return GetSubMenu(GetMenu(panel_->Handle()), position); }
  void Prepare(int position) {
    SendMessageW(panel_->Handle(), WM_INITMENUPOPUP, WPARAM(Menu(position)), MAKELPARAM(position, FALSE));
  }
  void Command(UINT id) { SendMessageW(panel_->Handle(), WM_COMMAND, id, 0); }

  Win32Platform platform_;
  AppState state_;
  std::unique_ptr<TviewFrm> panel_;
};

TEST_F(PanelTest, MenusCarryTheBuiltInKoreanCaptionsWithoutALanguageFile) {
  AddTabs();
  Panel();
  auto menu = Entries(GetMenu(panel_->Handle()));
  for (const char* path :
       {"파일/$의 실행파일 검색", "파일/창닫기", "파일/프로그램 종료", "보기/최상위 윈도우", "보기/큰아이콘",
        "보기/작은아이콘", "보기/즐겨찾기", "보기/검색탭", "보기/시스템 정보", "설정/환경설정",
        "설정/연결 프로그램/PC 기본프로그램으로 실행", "설정/연결 프로그램/USB 연결프로그램으로 실행",
        "설정/연결 프로그램/확장자별 프로그램 설정", "설정/즐겨찾기 적용/PC", "설정/즐겨찾기 적용/USB",
        "설정/즐겨찾기 복사/PC->USB", "설정/즐겨찾기 복사/USB->PC", "설정/Autorun.inf 설정", "설정/설정백업",
        "?/제작자 까페", "?/Dorvane 까페", "?/프로그램에 대해.."})
    EXPECT_TRUE(menu.count(path)) << path;
  EXPECT_EQ(menu.size(), 22u);
  EXPECT_TRUE(menu["보기/즐겨찾기"].enabled);
  EXPECT_TRUE(menu["설정/환경설정"].enabled);
  EXPECT_TRUE(menu["보기/검색탭"].enabled);
  EXPECT_TRUE(menu["?/프로그램에 대해.."].enabled);
  EXPECT_TRUE(menu["보기/시스템 정보"].enabled);
  EXPECT_TRUE(menu["설정/Autorun.inf 설정"].enabled);
  EXPECT_TRUE(menu["설정/설정백업"].enabled);
  EXPECT_TRUE(menu["?/제작자 까페"].enabled);

  // Opening the File menu puts the drive into the search entry.
  Prepare(0);
  menu = Entries(GetMenu(panel_->Handle()));
  EXPECT_TRUE(menu.count("파일/R:\\의 실행파일 검색"));
}

TEST_F(PanelTest, MenusTakeTheirCaptionsFromTheLanguageFile) {
  std::string lng = EnglishLanguageFile();
  ASSERT_NE(GetFileAttributesW(Widen(lng).c_str()), INVALID_FILE_ATTRIBUTES) << lng;
  state_.pv.languageFile = lng;
  AddTabs();
  Panel();
  auto menu = Entries(GetMenu(panel_->Handle()));
  for (const char* path : {"File/\"$\" Exe-File Search", "File/Minimize", "File/Exit", "View/Top Window",
                           "View/Big Icon", "View/Small Icon", "View/Favorite", "View/Find", "View/SystemInfo",
                           "Setting/Enviroment", "Setting/Ext Associate/Use PC Ext-Link",
                           "Setting/Ext Associate/Use USB Ext-Link", "Setting/Ext Associate/Ext-Link Setting",
                           "Setting/Use Favorite/PC", "Setting/Copy Favorite/PC->USB", "Setting/Edit Autorun.inf",
                           "Setting/Backup Kestro.xml", "?/Kestro Home", "?/Dorvane Home", "?/Kestro ?"})
    EXPECT_TRUE(menu.count(path)) << path;
  Prepare(0);
  menu = Entries(GetMenu(panel_->Handle()));
  EXPECT_TRUE(menu.count("File/\"R:\\\" Exe-File Search"));
}

TEST_F(PanelTest, ViewMenuFollowsTheActiveTabAndTheSwitchChangesOnlyIt) {
  AddTabs();
  Panel();
  Prepare(1);
  auto menu = Entries(GetMenu(panel_->Handle()));
  EXPECT_TRUE(menu["보기/작은아이콘"].checked);
  EXPECT_FALSE(menu["보기/큰아이콘"].checked);
  EXPECT_FALSE(menu["보기/최상위 윈도우"].checked);

  Command(kMenuBigIcon);
  EXPECT_TRUE(state_.panel.Page(0).Style().bigicon);
  EXPECT_TRUE(state_.panel.Page(1).Style().bigicon);
  EXPECT_FALSE(state_.panel.Page(2).Style().bigicon);
  Prepare(1);
  menu = Entries(GetMenu(panel_->Handle()));
  EXPECT_TRUE(menu["보기/큰아이콘"].checked);
  EXPECT_FALSE(menu["보기/작은아이콘"].checked);

  Command(kMenuTopWin);
  EXPECT_TRUE(panel_->StayOnTop());
  Prepare(1);
  EXPECT_TRUE(Entries(GetMenu(panel_->Handle()))["보기/최상위 윈도우"].checked);
  Command(kMenuTopWin);
  EXPECT_FALSE(panel_->StayOnTop());
}

TEST_F(PanelTest, IconEntriesAreDisabledWithoutAnItemTab) {
  state_.panel.AddPage("info", TabTag::SystemInfo);
  state_.panel.SetActivePageIndex(0);
  Panel();
  Prepare(1);
  auto menu = Entries(GetMenu(panel_->Handle()));
  EXPECT_FALSE(menu["보기/큰아이콘"].enabled);
  EXPECT_FALSE(menu["보기/작은아이콘"].enabled);
}

// Answers (OK) every dialog box of this thread and keeps their texts.
struct BoxAnswers {
  static inline std::vector<std::string> texts;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = VisibleBoxOfThisThread();
    if (!box) return;
    std::wstring text = BoxMessageText(box);
    if (text.empty()) return;
    texts.push_back(Narrow(text.c_str()));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  BoxAnswers() : timer(SetTimer(nullptr, 0, 50, &Tick)) { texts.clear(); }
  ~BoxAnswers() { KillTimer(nullptr, timer); }
  UINT_PTR timer;
};

TEST_F(PanelTest, TheFavoritesTabShowsTheDrivesFolderAndThePcToUsbCopyRefillsIt) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string root = Narrow(temp) + "kestro-panel-fav-" + std::to_string(GetCurrentProcessId());
  const std::string pc = root + "\\pc";
  for (const std::string& d : {root, pc, pc + "\\Links"}) CreateDirectoryW(Widen(d).c_str(), nullptr);
  for (const char* f : {"\\Links\\a.url", "\\b.url", "\\c.URL"})
    platform_.files.WriteFile(pc + f, "[InternetShortcut]\r\nURL=http://x/\r\n");
  state_.pv.savedFavorites = pc;
  state_.pv.favoritesFolder = root + "\\usb";
  state_.messages.FillKoreanDefaults();
  AddTabs();
  Panel();
  Command(kMenuFavoriteTab);
  ASSERT_EQ(state_.panel.PageCount(), 4u);
  PanelPage& fav = state_.panel.Page(3);
  EXPECT_EQ(fav.Tag(), TabTag::Favorites);
  EXPECT_EQ(fav.Caption(), "즐겨찾기");
  EXPECT_EQ(state_.panel.ActivePageIndex(), 3);
  EXPECT_TRUE(fav.Tree()->Empty()) << "the drive's folder is not there yet";
  Prepare(1);
  EXPECT_TRUE(Entries(GetMenu(panel_->Handle()))["보기/즐겨찾기"].checked);

  {
    BoxAnswers answers;
    Command(kMenuPcToUsb);
    EXPECT_EQ(state_.favoritesCopyState, 1);
    Prepare(2);
    EXPECT_FALSE(Entries(GetMenu(panel_->Handle()))["설정/즐겨찾기 복사/USB->PC"].enabled) << "one copy at a time";
    MSG msg;
    for (DWORD start = GetTickCount(); state_.favoritesCopyState != 0 && GetTickCount() - start < 20000;)
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
      else
        Sleep(5);
    EXPECT_EQ(state_.favoritesCopyState, 0);
    for (DWORD start = GetTickCount(); answers.texts.empty() && GetTickCount() - start < 5000;)
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(answers.texts, std::vector<std::string>{"PC->USB 작업완료!"});
  }
  EXPECT_EQ(testing::ShapeOf(*fav.Tree()), "Links/(a.url) b.url");
  EXPECT_TRUE(platform_.files.FileExists(root + "\\usb\\c.URL")) << "copied, though not shown";
  Command(kMenuFavoriteTab);
  EXPECT_EQ(state_.panel.PageCount(), 3u);
  EXPECT_FALSE(state_.env.favoritesTabPresent);
  for (const char* f : {"\\usb\\Links\\a.url", "\\usb\\b.url", "\\usb\\c.URL", "\\pc\\Links\\a.url",
                        "\\pc\\b.url", "\\pc\\c.URL"})
    DeleteFileW(Widen(root + f).c_str());
  for (const char* d : {"\\usb\\Links", "\\usb", "\\pc\\Links", "\\pc", ""})
    RemoveDirectoryW(Widen(root + d).c_str());
}

TEST_F(PanelTest, PcEditionDisablesTheDriveEntries) {
  AddTabs();
  state_.pv.pcEdition = true;
  Panel();
  Prepare(0);
  Prepare(2);
  auto menu = Entries(GetMenu(panel_->Handle()));
  EXPECT_FALSE(menu["파일/$의 실행파일 검색"].enabled);
  EXPECT_FALSE(menu["설정/설정백업"].enabled);
  HMENU setting = Menu(2);
  for (UINT pos : {1u, 3u, 4u}) EXPECT_TRUE(GetMenuState(setting, pos, MF_BYPOSITION) & MF_GRAYED) << pos;
}

TEST_F(PanelTest, TheAssociationMarksFollowTheHost) {
  // Wine's own registry and a journal of this test's own.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  HostChanges host(platform_.files, platform_.registry, platform_.desktop, platform_.messages,
                   Narrow(temp) + "kestro-panel-test.journal");
  state_.exeLinks = {{"kestropaneltest", {true, "R:\\ed.exe"}}};
  AddTabs();
  Panel().hostChanges = &host;
  auto marks = [&] {
    auto menu = Entries(GetMenu(panel_->Handle()));
    return std::make_pair(menu["설정/연결 프로그램/PC 기본프로그램으로 실행"].checked,
                          menu["설정/연결 프로그램/USB 연결프로그램으로 실행"].checked);
  };
  Prepare(2);
  EXPECT_EQ(marks(), std::make_pair(true, false));
  auto menu = Entries(GetMenu(panel_->Handle()));
  EXPECT_TRUE(menu["설정/연결 프로그램/확장자별 프로그램 설정"].enabled);
  EXPECT_TRUE(menu["설정/연결 프로그램/USB 연결프로그램으로 실행"].enabled);
  Command(kMenuUseUsbLink);
  EXPECT_EQ(marks(), std::make_pair(false, true));
  EXPECT_EQ(platform_.registry.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\Classes\\.kestropaneltest", ""),
            "kestro.kestropaneltest");
  // Another program takes the extension back: the menu shows it when it opens.
  platform_.registry.WriteValue(RegistryRoot::LocalMachine, "SOFTWARE\\Classes\\.kestropaneltest", "",
                                RegistryValue{"other"});
  Prepare(2);
  EXPECT_EQ(marks(), std::make_pair(true, false));
  Command(kMenuUseUsbLink);
  Command(kMenuUsePcLink);
  EXPECT_EQ(marks(), std::make_pair(true, false));
  EXPECT_EQ(platform_.registry.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\Classes\\.kestropaneltest", ""),
            "other");
  platform_.registry.DeleteKeyTree(RegistryRoot::LocalMachine, "SOFTWARE\\Classes\\.kestropaneltest");
  EXPECT_TRUE(host.Journal().Entries().empty());
}

// ---- the item tree frame ----


class FrameTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    AddTabs();
    state_.panel.AddPage("find", TabTag::Find);
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 400, nullptr, nullptr, nullptr, nullptr);
    host_ = std::make_unique<TestFrameHost>(state_, platform_);
    frame_ = std::make_unique<TvstFrame>(*host_, state_.panel.Page(0));
    ASSERT_TRUE(frame_->Create(parent_, RECT{0, 0, 300, 400}));
  }
  void TearDown() override {
    frame_.reset();
    DestroyWindow(parent_);
  }
  ItemNode& Top(size_t i) { return *state_.panel.Page(0).Tree()->TopLevel().at(i); }

  HWND parent_ = nullptr;
  std::unique_ptr<TestFrameHost> host_;
  std::unique_ptr<TvstFrame> frame_;
};

TEST_F(FrameTest, RowsAreMeasuredByIconModeAndSeparatorsAreSixPixels) {
  const TreeLayout& layout = frame_->Tree().Layout();
  ASSERT_EQ(layout.Rows().size(), 3u);  // the group is closed
  EXPECT_EQ(frame_->Tree().NodeHeight(), 20);
  EXPECT_EQ(layout.Rows()[1].height, 6);
  EXPECT_EQ(layout.Rows()[0].height, 20);
  frame_->SetBigIcons(true);
  EXPECT_EQ(frame_->Tree().NodeHeight(), 36);
  EXPECT_EQ(frame_->Tree().ImageList(), platform_.images.Big());
  EXPECT_TRUE(state_.panel.Page(0).Style().bigicon);
  EXPECT_EQ(layout.Rows()[0].height, 36);
  EXPECT_EQ(layout.Rows()[1].height, 6);
  EXPECT_EQ(layout.Rows()[2].top, 42);
}

TEST_F(FrameTest, PopupEntriesFollowTheFocusedItemAndTheMoveListNamesOtherItemTabs) {
  auto entries = [&](ItemNode* hit) {
    HMENU m = frame_->BuildPopupMenu(hit);
    auto e = Entries(m);
    DestroyMenu(m);
    return e;
  };
  // Empty space: launch, folder, delete, property and move are off.
  auto e = entries(nullptr);
  EXPECT_FALSE(e["실행"].enabled);
  EXPECT_FALSE(e["대상폴더 열기"].enabled);
  EXPECT_TRUE(e["탭/탭 추가"].enabled);

  frame_->Tree().SetFocusedNode(&Top(0));
  e = entries(&Top(0));
  EXPECT_TRUE(e["실행"].enabled);
  EXPECT_TRUE(e["대상폴더 열기"].enabled);
  // Only the other item tabs, not the find tab and not this one.
  EXPECT_TRUE(e.count("항목 이동/B"));
  EXPECT_TRUE(e.count("항목 이동/C"));
  EXPECT_EQ(e.count("항목 이동/A") + e.count("항목 이동/find"), 0u);
  EXPECT_TRUE(e["삭제"].enabled);
  EXPECT_TRUE(e["탭/탭 설정"].enabled);

  frame_->Tree().SetFocusedNode(&Top(2));
  e = entries(&Top(2));
  EXPECT_FALSE(e["실행"].enabled);
  EXPECT_FALSE(e["대상폴더 열기"].enabled);
}

TEST_F(FrameTest, MovingAnItemCarriesItsSubtreeToTheEndOfTheOtherTab) {
  frame_->Tree().SetFocusedNode(&Top(2));
  HMENU m = frame_->BuildPopupMenu(&Top(2));
  auto e = Entries(m);
  DestroyMenu(m);
  frame_->RunCommand(e.at("항목 이동/C").id);
  ItemTree& c = *state_.panel.Page(2).Tree();
  ASSERT_EQ(c.TopLevel().size(), 1u);
  EXPECT_EQ(c.TopLevel()[0]->Data().name, "tools");
  ASSERT_EQ(c.TopLevel()[0]->Children().size(), 1u);
  EXPECT_EQ(c.TopLevel()[0]->Children()[0]->Data().name, "two");
  EXPECT_EQ(state_.panel.Page(0).Tree()->TopLevel().size(), 2u);
  EXPECT_EQ(frame_->Tree().Layout().Rows().size(), 2u);
  EXPECT_EQ(host_->changes, 1);
}

TEST_F(FrameTest, PressOnEmptySpaceDropsTheFocusAndEnterTogglesAGroup) {
  HWND tree = frame_->Tree().Handle();
  frame_->Tree().SetFocusedNode(&Top(0));
  ASSERT_NE(frame_->FocusedItem(), nullptr);
  SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 390));
  SendMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(100, 390));
  EXPECT_EQ(frame_->FocusedItem(), nullptr);

  frame_->Tree().SetFocusedNode(&Top(2));
  SendMessageW(tree, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(Top(2).Expanded());
  EXPECT_EQ(frame_->Tree().Layout().Rows().size(), 4u);
  SendMessageW(tree, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(Top(2).Expanded());
}

TEST_F(FrameTest, OpeningAGroupGivesItsChildrenTheirPicturesOnce) {
  ItemNode& group = Top(2);
  ItemTree& tree = *state_.panel.Page(0).Tree();
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  TMyRec notepad = Item(ItemKind::File, "np", Narrow(windows) + "\\notepad.exe");
  tree.Add(&group, notepad);
  ASSERT_EQ(group.Children().size(), 2u);
  int before = platform_.images.Count();
  frame_->Tree().Expand(group, true);
  // R:\two.exe does not exist: no picture, and it is not tried again.
  EXPECT_EQ(group.Children()[0]->Data().imageindex, -1);
  EXPECT_EQ(group.Children()[1]->Data().imageindex, before);
  EXPECT_EQ(platform_.images.Count(), before + 1);
  frame_->Tree().Expand(group, false);
  frame_->Tree().Expand(group, true);
  EXPECT_EQ(platform_.images.Count(), before + 1);
}

}  // namespace
}  // namespace kestro::win

namespace kestro::win {
namespace {

RECT ChildRect(HWND parent, const wchar_t* cls) {
  struct Find {
    const wchar_t* cls;
    HWND found;
  } f{cls, nullptr};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM l) -> BOOL {
        auto* f = reinterpret_cast<Find*>(l);
        wchar_t name[64] = {};
        GetClassNameW(h, name, 64);
        if (lstrcmpiW(name, f->cls) != 0 || !IsWindowVisible(h)) return TRUE;
        f->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&f));
  RECT r{};
  if (f.found) {
    GetWindowRect(f.found, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

TEST_F(PanelTest, TheFreeSpaceBarTakesTheBottomOnlyWhenOn) {
  AddTabs();
  for (bool bar : {false, true}) {
    state_.env.freespacebar = bar;
    TviewFrm& panel = Panel();
    panel.SetBounds(10, 10, 250, 400);
    ShowWindow(panel.Handle(), SW_SHOWNOACTIVATE);
    // The bar's controls come with its first update, a posted message.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    RECT client;
    GetClientRect(panel.Handle(), &client);
    RECT tree = ChildRect(panel.Handle(), L"KestroItemTree");
    RECT progress = ChildRect(panel.Handle(), PROGRESS_CLASSW);
    if (bar) {
      EXPECT_EQ(progress.bottom, client.bottom);
      EXPECT_EQ(progress.bottom - progress.top, 14);
      EXPECT_LE(tree.bottom, progress.top);
    } else {
      EXPECT_TRUE(IsRectEmpty(&progress)) << "the bar shows";
      EXPECT_EQ(tree.bottom, client.bottom);
    }
    EXPECT_EQ(tree.top, 1);
  }
}

TEST_F(PanelTest, AFixedPanelCannotBeResizedByTheUser) {
  AddTabs();
  state_.env.fixwindow = true;
  TviewFrm& panel = Panel();
  panel.SetBounds(10, 10, 260, 420);
  ShowWindow(panel.Handle(), SW_SHOWNOACTIVATE);
  MINMAXINFO mm{};
  SendMessageW(panel.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMinTrackSize.x, 260);
  EXPECT_EQ(mm.ptMaxTrackSize.x, 260);
  EXPECT_EQ(mm.ptMaxTrackSize.y, 420);
  state_.env.fixwindow = false;
  mm = MINMAXINFO{};
  SendMessageW(panel.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMinTrackSize.x, 150);
  EXPECT_EQ(mm.ptMinTrackSize.y, 250);
}

TEST_F(FrameTest, PopupCaptionsComeFromTheLanguageFileWhenTheTreeGetsTheFocus) {
  auto caption = [&] {
    HMENU m = frame_->BuildPopupMenu(nullptr);
    wchar_t text[64] = {};
    GetMenuStringW(m, 0, text, 64, MF_BYPOSITION);
    DestroyMenu(m);
    return Narrow(text);
  };
  EXPECT_EQ(caption(), "실행");
  state_.pv.languageFile = EnglishLanguageFile();
  EXPECT_EQ(caption(), "실행") << "read only on entering the frame";
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  SetForegroundWindow(parent_);
  SetFocus(frame_->Tree().Handle());
  EXPECT_EQ(caption(), "Excute");
}

}  // namespace
}  // namespace kestro::win

namespace kestro::win {
namespace {

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  MSG msg;
  while (int(GetTickCount() - end) < 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

TEST_F(FrameTest, DraggingMarksTheSpotOpensAHeldGroupAndScrollsNearTheEdge) {
  ItemTreeView& view = frame_->Tree();
  // Rows: one (0..20), the separator (20..26), tools (26..46).
  auto spot = view.DragOver(POINT{100, 10});
  EXPECT_EQ(spot.node, &Top(0));
  EXPECT_EQ(spot.position, DropPosition::Below);
  spot = view.DragOver(POINT{100, 4});
  EXPECT_EQ(spot.position, DropPosition::Above);
  spot = view.DragOver(POINT{100, 36});  // the middle of a group: into it
  EXPECT_EQ(spot.node, &Top(2));
  EXPECT_EQ(spot.position, DropPosition::On);
  EXPECT_EQ(view.DropMark().node, &Top(2));
  EXPECT_FALSE(Top(2).Expanded());
  Pump(ItemTreeView::kAutoExpandDelayMs + 400);
  EXPECT_TRUE(Top(2).Expanded()) << "a group held under the pointer opens";
  view.DragLeave();
  EXPECT_EQ(view.DropMark().node, nullptr);

  ItemTree& tree = *state_.panel.Page(0).Tree();
  for (int i = 0; i < 40; ++i) tree.Add(nullptr, Item(ItemKind::File, "more"));
  frame_->Refresh();
  ASSERT_EQ(view.ScrollOffset(), 0);
  RECT client;
  GetClientRect(view.Handle(), &client);
  view.DragOver(POINT{100, client.bottom - 3});
  Pump(200);
  EXPECT_EQ(view.ScrollOffset(), 0) << "scrolling waits a moment first";
  Pump(ItemTreeView::kAutoScrollDelayMs + 300);
  EXPECT_GT(view.ScrollOffset(), 0);
  view.DragLeave();
  int stopped = view.ScrollOffset();
  Pump(300);
  EXPECT_EQ(view.ScrollOffset(), stopped);
}

TEST_F(FrameTest, TreeLinesFollowThePage) {
  EXPECT_FALSE(frame_->Tree().TreeLines());
  state_.panel.Page(0).ShowTreeLines(true);
  frame_->ApplyPageStyle();
  EXPECT_TRUE(frame_->Tree().TreeLines());
}

}  // namespace
}  // namespace kestro::win

namespace kestro::win {
namespace {

TEST_F(FrameTest, GroupsOpenedBeforeThePicturesExistGetThemWhenTheyArrive) {
  ItemNode& group = Top(2);
  host_->picturesAvailable = false;
  int before = platform_.images.Count();
  frame_->Tree().Expand(group, true);
  EXPECT_EQ(platform_.images.Count(), before) << "nothing appended before the fixed pictures are in";
  EXPECT_EQ(group.Children()[0]->Data().imageindex, 0);
  host_->picturesAvailable = true;
  frame_->PicturesArrived();
  EXPECT_EQ(group.Children()[0]->Data().imageindex, -1) << "R:\\two.exe does not exist";
  frame_->PicturesArrived();  // once only
  EXPECT_EQ(platform_.images.Count(), before);
}

TEST_F(FrameTest, PicturesOfEditedItemsWaitForTheStartsPictures) {
  ItemNode& one = Top(0);
  ItemNode& group = Top(2);
  ItemNode& gone = *group.Children()[0];
  host_->picturesAvailable = false;
  const int before = platform_.images.Count();
  SetItemPicture(*host_, one, PictureSource{"C:\\windows\\notepad.exe", kFilePicture});
  SetItemPicture(*host_, group, PictureSource{"C:\\windows\\regedit.exe", kGroupPicture});
  SetItemPicture(*host_, gone, PictureSource{"C:\\windows\\notepad.exe", kFilePicture});
  SetItemPicture(*host_, group, PictureSource{"", kGroupPicture});  // edited again: its own icon given up
  EXPECT_EQ(platform_.images.Count(), before) << "nothing appended before the start's pictures are in";
  EXPECT_EQ(one.Data().imageindex, kFilePicture);
  EXPECT_EQ(group.Data().imageindex, kGroupPicture);
  state_.panel.Page(0).Tree()->Remove(gone);

  AddWaitingPictures(state_, platform_.images);
  EXPECT_EQ(one.Data().imageindex, before) << "notepad's icon, the first one appended";
  EXPECT_EQ(group.Data().imageindex, kGroupPicture);
  EXPECT_EQ(platform_.images.Count(), before + 1) << "the deleted node and the replaced request add nothing";
  AddWaitingPictures(state_, platform_.images);  // once only
  EXPECT_EQ(platform_.images.Count(), before + 1);

  host_->picturesAvailable = true;
  SetItemPicture(*host_, group, PictureSource{"C:\\windows\\regedit.exe", kGroupPicture});
  // Wine's programs share one picture, so the index may be notepad's.
  EXPECT_GE(group.Data().imageindex, before) << "afterwards at once";
}

TEST(FixedIconsTest, OneSizeFillsBothListsAndAMissingFolderIsLogged) {
  ImageLists lists;
  std::vector<std::string> log;
  auto logger = [&](const std::string& m) { log.push_back(m); };
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  ShellIcons shell = LookUpShellIcons(Narrow(windows) + "\\notepad.exe");
  ASSERT_NE(shell.small, nullptr);
  FixedIcons onlySmall;
  onlySmall.icons.small = shell.small;
  onlySmall.smallFolder = onlySmall.largeFolder = true;
  lists.AddFixedIcons(onlySmall, logger);
  EXPECT_EQ(ImageList_GetImageCount(lists.Small()), 1);
  EXPECT_EQ(ImageList_GetImageCount(lists.Big()), 1);
  FixedIcons none;  // the shell could name neither folder
  lists.AddFixedIcons(none, logger);
  EXPECT_EQ(lists.Count(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"smallicon error", "bigicon error"}));
  shell.Release();
}

}  // namespace
}  // namespace kestro::win

// ---- the screen's DPI, and the panel's popup ----

namespace kestro::win {
namespace {

// The tree control of a window (a Window keeps itself in the user data).
ItemTreeView* TreeIn(HWND parent) {
  HWND h = FindWindowExW(parent, nullptr, L"KestroVstFrame", nullptr);
  while (h && !IsWindowVisible(h)) h = FindWindowExW(parent, h, L"KestroVstFrame", nullptr);
  HWND tree = h ? FindWindowExW(h, nullptr, L"KestroItemTree", nullptr) : nullptr;
  return tree ? static_cast<ItemTreeView*>(reinterpret_cast<Window*>(GetWindowLongPtrW(tree, GWLP_USERDATA)))
              : nullptr;
}

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// What the panel lays out at `dpi`, with the bar on, in a 300 x 500 window.
void ExpectPanelAt(TviewFrm& panel, int dpi) {
  // 96-DPI lengths rounded to the nearest pixel at `dpi`.
  auto at = [dpi](int v) { return (v * dpi + 48) / 96; };
  EXPECT_EQ(panel.Dpi(), dpi);
  RECT client;
  GetClientRect(panel.Handle(), &client);
  RECT strip = ChildRect(panel.Handle(), L"KestroTabStrip");
  RECT progress = ChildRect(panel.Handle(), PROGRESS_CLASSW);
  RECT tree = ChildRect(panel.Handle(), L"KestroItemTree");
  EXPECT_EQ(strip.right - strip.left, at(24)) << "one column of tabs";
  EXPECT_EQ(progress.bottom - progress.top, at(14));
  EXPECT_EQ(progress.bottom, client.bottom);
  EXPECT_EQ(tree.right, strip.left - at(3));
  ItemTreeView* view = TreeIn(panel.Handle());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->Dpi(), dpi);
  // Page A in small icons: one, the separator, the group.
  const auto& rows = view->Layout().Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].height, at(20));
  EXPECT_EQ(rows[1].height, at(6));
  EXPECT_EQ(view->Layout().Metrics().indent, at(18));
  MINMAXINFO mm{};
  SendMessageW(panel.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMinTrackSize.x, at(150));
}

TEST_F(PanelTest, AChangeOfDpiLaysThePanelOutAgainInTheSuggestedRectangle) {
  AddTabs();
  state_.env.freespacebar = true;
  TviewFrm& panel = Panel();
  panel.SetBounds(10, 10, 300, 500);
  ShowWindow(panel.Handle(), SW_SHOWNOACTIVATE);
  PumpPending();
  const int start = panel.Dpi();
  ASSERT_EQ(start, 96) << "this suite runs on a 96-DPI screen";
  ExpectPanelAt(panel, 96);
  // Moved to a 200 % monitor: Windows suggests a larger rectangle there.
  RECT suggested{20, 30, 520, 730};
  SendMessageW(panel.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  RECT now;
  GetWindowRect(panel.Handle(), &now);
  EXPECT_TRUE(EqualRect(&now, &suggested));
  ExpectPanelAt(panel, 192);
  // And back.
  SendMessageW(panel.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  ExpectPanelAt(panel, 96);
}

// This suite runs in a prefix whose screen is at 144 DPI.
class HighDpiPanelTest : public FrameTest {};

TEST_F(HighDpiPanelTest, RowsColumnsTabStripAndBarAreHalfAsLargeAgain) {
  ASSERT_EQ(WindowDpi(nullptr), 144) << "the prefix's LogPixels did not take";
  // The frame made in SetUp takes its window's DPI.
  ItemTreeView& view = frame_->Tree();
  EXPECT_EQ(view.Dpi(), 144);
  EXPECT_EQ(view.NodeHeight(), 20) << "sizes are kept at 96 DPI";
  EXPECT_EQ(view.Layout().Rows()[0].height, 30);
  EXPECT_EQ(view.Layout().Rows()[1].height, 9);
  frame_->SetBigIcons(true);
  EXPECT_TRUE(frame_->BigIcons());
  EXPECT_EQ(view.Layout().Rows()[0].height, 54);
  EXPECT_EQ(view.Layout().Rows()[2].top, 63);

  frame_->SetBigIcons(false);
  frame_.reset();
  state_.env.freespacebar = true;
  TviewFrm& panel = Panel();
  panel.SetBounds(10, 10, 300, 500);
  ShowWindow(panel.Handle(), SW_SHOWNOACTIVATE);
  PumpPending();
  ExpectPanelAt(panel, 144);
}

// Reads the first entry of a popup menu that opened in this thread and
// closes it, from a timer that runs inside the menu's own loop (the trees'
// menus send no WM_INITMENUPOPUP).
struct MenuSpy {
  static inline std::vector<std::string> opened;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, id);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    wchar_t text[64] = {};
    if (menu) GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    opened.push_back(Narrow(text));
    EndMenu();
  }
};

// A real right click at a point of `window`'s client area; returns the
// first popup that opened, or "" when none did.
std::string RightClick(HWND window, POINT client) {
  MenuSpy::opened.clear();
  POINT screen = client;
  ClientToScreen(window, &screen);
  const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT in[3] = {};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = screen.x * 65535 / w;
    i.mi.dy = screen.y * 65535 / h;
    i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  in[1].mi.dwFlags |= MOUSEEVENTF_RIGHTDOWN;
  in[2].mi.dwFlags |= MOUSEEVENTF_RIGHTUP;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, &MenuSpy::Tick);
  SendInput(3, in, sizeof(INPUT));
  DWORD end = GetTickCount() + 3000;
  MSG msg;
  while (MenuSpy::opened.empty() && int(GetTickCount() - end) < 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  Pump(100);
  KillTimer(nullptr, timer);
  return MenuSpy::opened.empty() ? std::string() : MenuSpy::opened.front();
}

TEST_F(PanelTest, ThePanelPopupOpensEverywhereOutsideTheItemTrees) {
  AddTabs();
  state_.panel.AddPage("find", TabTag::Find);
  state_.env.freespacebar = true;
  for (int active : {0, 3}) {
    state_.panel.SetActivePageIndex(active);
    TviewFrm& panel = Panel();
    HWND h = panel.Handle();
    panel.SetBounds(100, 100, 300, 400);
    ShowWindow(h, SW_SHOW);
    SetForegroundWindow(h);
    PumpPending();
    RECT client;
    GetClientRect(h, &client);
    RECT strip = ChildRect(h, L"KestroTabStrip");
    RECT bar = ChildRect(h, PROGRESS_CLASSW);
    ASSERT_FALSE(IsRectEmpty(&bar));
    const POINT onStrip{(strip.left + strip.right) / 2, strip.bottom - 10};  // below the tabs
    const POINT onBar{bar.left + 10, (bar.top + bar.bottom) / 2};
    const POINT onLabels{client.right - 20, (bar.top + bar.bottom) / 2};
    const POINT onPage{40, 200};
    if (active == 0) {
      EXPECT_EQ(RightClick(h, onPage), "실행") << "an item tree opens its own menu";
      EXPECT_EQ(RightClick(h, POINT{strip.left + 5, 5}), "탭 추가") << "a tab";
    } else {
      EXPECT_EQ(RightClick(h, onPage), "실행") << "the find tab's results open their own menu";
      EXPECT_EQ(RightClick(h, POINT{40, bar.top - 8}), "탭 추가") << "the find tab's count";
    }
    EXPECT_EQ(RightClick(h, onStrip), "탭 추가") << "the strip below the tabs";
    EXPECT_EQ(RightClick(h, onBar), "탭 추가") << "the free-space bar";
    EXPECT_EQ(RightClick(h, onLabels), "탭 추가") << "the bar's labels";
    EXPECT_NE(RightClick(h, POINT{60, -GetSystemMetrics(SM_CYMENU) - 8}), "탭 추가") << "the caption";
  }
}

}  // namespace
}  // namespace kestro::win
