// The find tab and the exe search in this process, on a folder that stands
// in for the drive.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <set>

#include "core/items/RunFile.h"
#include "core/ui/TreeMenu.h"
#include "win/panel/ViewFrm.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

void PumpUntil(const std::function<bool()>& done, DWORD ms = 20000) {
  DWORD end = GetTickCount() + ms;
  MSG msg;
  while (!done() && int(GetTickCount() - end) < 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(5);
  }
}

std::string MenuText(HMENU menu, UINT item, bool byPosition) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, item, text, 255, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  return Narrow(text);
}

bool Enabled(HMENU menu, UINT item, bool byPosition) {
  return !(GetMenuState(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND) & MF_GRAYED);
}

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    drive_ = Narrow(temp) + "kestro-find-" + std::to_string(GetCurrentProcessId());
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring notepad = std::wstring(windows) + L"\\notepad.exe";
    for (const char* folder : {"", "\\sub", "\\probe-dir"}) CreateDirectoryW(Widen(drive_ + folder).c_str(), nullptr);
    for (const char* exe : {"\\a.exe", "\\B.EXE", "\\sub\\c.exe"})
      CopyFileW(notepad.c_str(), Widen(drive_ + exe).c_str(), FALSE);
    for (const char* file : {"\\sub\\PROBE.txt", "\\probe-dir\\x.dat", "\\probe-dir\\probe2.dat"}) {
      HANDLE h = CreateFileW(Widen(drive_ + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(h);
    }
    // The folder stands in for the drive: "E:" and "E:\".
    state_.pv.programDrive = drive_;
    state_.pv.programDriveRoot = drive_ + "\\";
    state_.pv.programFolder = drive_ + "\\";
    state_.pv.systemLocale = 1033;
    state_.env.freespacebar = false;
    platform_.images.LoadBaseImages([](const std::string&) {});
    for (const char* name : {"A", "B"}) state_.panel.AddPage(name, TabTag::Items);
    state_.panel.SetActivePageIndex(0);
    panel_ = std::make_unique<TviewFrm>(state_, platform_);
    ASSERT_TRUE(panel_->Create());
    panel_->BuildPages();
    panel_->PicturesReady();
  }
  void TearDown() override {
    panel_.reset();
    for (const char* file : {"\\a.exe", "\\B.EXE", "\\sub\\c.exe", "\\sub\\PROBE.txt", "\\probe-dir\\x.dat",
                             "\\probe-dir\\probe2.dat"})
      DeleteFileW(Widen(drive_ + file).c_str());
    for (const char* folder : {"\\sub", "\\probe-dir", ""}) RemoveDirectoryW(Widen(drive_ + folder).c_str());
  }
  void Command(UINT id) { SendMessageW(panel_->Handle(), WM_COMMAND, id, 0); }
  HMENU Menu(int position) {
    HMENU menu = GetSubMenu(GetMenu(panel_->Handle()), position);
    SendMessageW(panel_->Handle(), WM_INITMENUPOPUP, WPARAM(menu), MAKELPARAM(position, FALSE));
    return menu;
  }
  ItemTree& Tab(size_t i) { return *state_.panel.Page(i).Tree(); }

  std::string drive_;
  Win32Platform platform_;
  AppState state_;
  std::unique_ptr<TviewFrm> panel_;
};

TEST_F(FindTest, TheExeSearchGroupsTheDrivesProgramsAndTheirPicturesFindTheirNodesAfterATabSwitch) {
  Tab(0).Add(nullptr).Data().name = "first";
  HMENU file = Menu(0);
  EXPECT_TRUE(Enabled(file, kMenuSearchExe, false));
  EXPECT_EQ(MenuText(file, kMenuSearchExe, false), drive_ + "\\의 실행파일 검색");

  Command(kMenuSearchExe);
  ASSERT_EQ(Tab(0).TopLevel().size(), 2u);
  ItemNode& group = *Tab(0).TopLevel().back();
  EXPECT_EQ(group.Data().kind, ItemKind::Group);
  EXPECT_EQ(group.Data().name, drive_ + "\\ ..");
  EXPECT_EQ(group.Data().imageindex, kGroupPicture);
  EXPECT_FALSE(group.Expanded());
  std::set<std::string> paths;
  for (const ItemNode* child : group.Children()) {
    EXPECT_EQ(child->Data().kind, ItemKind::File);
    EXPECT_EQ(child->Data().imageindex, 0) << "pictures come later";
    paths.insert(child->Data().path);
  }
  EXPECT_EQ(paths, (std::set<std::string>{drive_ + "\\a.exe", drive_ + "\\sub\\c.exe"}));
  EXPECT_EQ(state_.iconLoadBusy, 1);

  // Another tab becomes active and gets a group at its end meanwhile: the
  // pictures still go to the searched group's children.
  state_.panel.SetActivePageIndex(1);
  ItemNode& other = Tab(1).Add(nullptr);
  other.Data().kind = ItemKind::Group;
  Tab(1).Add(&other).Data().path = drive_ + "\\a.exe";
  PumpUntil([&] { return state_.iconLoadBusy == 0; });
  EXPECT_EQ(state_.iconLoadBusy, 0);
  for (const ItemNode* child : group.Children()) EXPECT_GT(child->Data().imageindex, kUrlPicture);
  EXPECT_EQ(other.Children()[0]->Data().imageindex, 0);
}

TEST_F(FindTest, TheExeSearchIsOfferedOnlyOnAnItemTabOutsideThePcEdition) {
  state_.pv.pcEdition = true;
  EXPECT_FALSE(Enabled(Menu(0), kMenuSearchExe, false));
  state_.pv.pcEdition = false;
  Command(kMenuFindTab);  // the find tab is now the active one
  EXPECT_FALSE(Enabled(Menu(0), kMenuSearchExe, false));
  Command(kMenuSearchExe);
  EXPECT_EQ(state_.iconLoadBusy, 0);
  EXPECT_TRUE(Tab(0).Empty() && Tab(1).Empty());
}

TEST_F(FindTest, TheFindTabSearchesOffTheUserThreadAndCopiesAResultIntoAnItemTab) {
  Command(kMenuFindTab);
  ASSERT_EQ(state_.panel.PageCount(), 3u);
  EXPECT_EQ(state_.panel.Page(2).Tag(), TabTag::Find);
  EXPECT_EQ(state_.panel.Page(2).Caption(), "검색");
  EXPECT_EQ(state_.panel.ActivePageIndex(), 2);
  EXPECT_TRUE(state_.env.findTabPresent);
  TfindFrame* find = panel_->FindFrame();
  ASSERT_NE(find, nullptr);

  // The View menu's sizes act on the results.
  HMENU view = Menu(1);
  EXPECT_TRUE(Enabled(view, kMenuBigIcon, false));
  EXPECT_TRUE(GetMenuState(view, kMenuSmallIcon, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(view, kMenuFindTab, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(find->ResultView().NodeHeight(), 20);
  Command(kMenuBigIcon);
  EXPECT_EQ(find->ResultView().NodeHeight(), 36);
  EXPECT_EQ(find->ResultView().ImageList(), platform_.images.Big());
  Command(kMenuSmallIcon);
  EXPECT_EQ(find->ResultView().NodeHeight(), 20);

  SetWindowTextW(find->SearchEdit(), L"probe");
  find->btSearchClick();
  EXPECT_TRUE(find->Searching());
  PumpUntil([&] { return !find->Searching(); });
  ASSERT_FALSE(find->Searching());
  EXPECT_EQ(find->Count(), 2u);
  wchar_t total[64] = {};
  GetWindowTextW(find->TotalLabel(), total, 64);
  EXPECT_EQ(Narrow(total), "2items");
  std::set<std::string> found;
  for (const ItemNode* n : find->Results().TopLevel()) found.insert(n->Data().path);
  EXPECT_EQ(found, (std::set<std::string>{drive_ + "\\sub\\PROBE.txt", drive_ + "\\probe-dir\\probe2.dat"}));
  // Their pictures arrive after the walk.
  PumpUntil([&] {
    return std::all_of(find->Results().TopLevel().begin(), find->Results().TopLevel().end(),
                       [](const ItemNode* n) { return n->Data().imageindex != 0; });
  });
  for (const ItemNode* n : find->Results().TopLevel()) EXPECT_NE(n->Data().imageindex, 0) << n->Data().path;

  // The popup: its entries only over a row; "항목 이동" lists the item tabs.
  HMENU none = find->BuildPopupMenu(false);
  EXPECT_FALSE(Enabled(none, 0, true));
  EXPECT_FALSE(Enabled(none, 2, true));
  DestroyMenu(none);
  HMENU menu = find->BuildPopupMenu(true);
  EXPECT_EQ(MenuText(menu, 0, true), "실행");
  EXPECT_EQ(MenuText(menu, 1, true), "대상폴더 열기");
  EXPECT_EQ(MenuText(menu, 2, true), "항목 이동");
  EXPECT_TRUE(Enabled(menu, 2, true));
  HMENU move = GetSubMenu(menu, 2);
  ASSERT_EQ(GetMenuItemCount(move), 2);
  EXPECT_EQ(MenuText(move, 0, true), "A");
  EXPECT_EQ(MenuText(move, 1, true), "B");
  DestroyMenu(menu);

  ItemNode* first = find->Results().TopLevel().at(0);
  find->ResultView().SetFocusedNode(first);
  ASSERT_EQ(find->CurrentResult(), &first->Data());
  find->RunCommand(kMoveTabFirst + 1);
  ASSERT_EQ(Tab(1).TopLevel().size(), 1u);
  const TMyRec& copy = Tab(1).TopLevel()[0]->Data();
  EXPECT_EQ(copy.kind, ItemKind::File);
  EXPECT_EQ(copy.path, first->Data().path);
  EXPECT_EQ(copy.name, first->Data().name);
  EXPECT_EQ(copy.imageindex, first->Data().imageindex);
  EXPECT_EQ(find->Results().Count(), 2u) << "the result stays";

  // Typed letters become lower case.
  SetWindowTextW(find->SearchEdit(), L"");
  for (wchar_t c : std::wstring(L"PrO")) SendMessageW(find->SearchEdit(), WM_CHAR, c, 0);
  wchar_t typed[16] = {};
  GetWindowTextW(find->SearchEdit(), typed, 16);
  EXPECT_STREQ(typed, L"pro");

  // Enter runs a new search, which replaces the rows; the tab goes with the second toggle.
  SetWindowTextW(find->SearchEdit(), L"**");
  SendMessageW(find->SearchEdit(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(find->Searching());
  PumpUntil([&] { return !find->Searching(); });
  EXPECT_EQ(find->Count(), 0u);
  EXPECT_TRUE(find->Results().Empty());
  EXPECT_EQ(find->CurrentResult(), nullptr);
  Command(kMenuFindTab);
  EXPECT_EQ(state_.panel.PageCount(), 2u);
  EXPECT_FALSE(state_.env.findTabPresent);
  EXPECT_EQ(panel_->FindFrame(), nullptr);
}

TEST_F(FindTest, RemovingTheFindTabDuringASearchStopsTheWorker) {
  Command(kMenuFindTab);
  TfindFrame* find = panel_->FindFrame();
  ASSERT_NE(find, nullptr);
  SetWindowTextW(find->SearchEdit(), L"exe");
  find->btSearchClick();
  Command(kMenuFindTab);  // gone at once, whatever the walk was doing
  EXPECT_EQ(panel_->FindFrame(), nullptr);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace
}  // namespace kestro::win
