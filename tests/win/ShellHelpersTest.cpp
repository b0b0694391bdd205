// The worker, the folder browser, the volume label and the 32 x 32 icons.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "win/platform/ImageLists.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

std::string WindowsFolder() {
  wchar_t buf[MAX_PATH];
  GetWindowsDirectoryW(buf, MAX_PATH);
  return Narrow(buf);
}

TEST(RunThreadTest, RunsTheMethodOnceOnAnotherThread) {
  std::atomic<int> calls{0};
  std::atomic<DWORD> thread{0};
  TRunThread([&] {
    thread = GetCurrentThreadId();
    ++calls;
  });
  for (int i = 0; i < 500 && calls == 0; ++i) Sleep(10);
  Sleep(50);
  EXPECT_EQ(calls, 1);
  EXPECT_NE(thread, GetCurrentThreadId());
}

TEST(BrowserPositionTest, CentredUnlessPlacedAndAlwaysOnTheScreen) {
  SIZE screen{1024, 768}, window{300, 400};
  POINT p = BrowserPosition(window, screen, 0, 0);
  EXPECT_EQ(p.x, 362);
  EXPECT_EQ(p.y, 184);
  p = BrowserPosition(window, screen, 0, 50);  // both must be given
  EXPECT_EQ(p.x, 362);
  p = BrowserPosition(window, screen, 100, 50);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 50);
  p = BrowserPosition(window, screen, 900, 700);
  EXPECT_EQ(p.x, 724);
  EXPECT_EQ(p.y, 368);
  p = BrowserPosition(window, screen, -20, -5);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
}

// Answers the folder browser from a timer of this thread.
struct BrowserProbe {
  HWND dialog = nullptr;
  RECT rect{};
  bool ownerDisabled = false;
  HWND owner = nullptr;
  bool choose = false;
  bool openFlag = false;  // ModalDialogOpen() while it showed
};
BrowserProbe* g_probe = nullptr;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

int g_ticks = 0;

void CALLBACK AnswerBrowser(HWND, UINT, UINT_PTR id, DWORD) {
  // Never wait for ever: after 20 s the timer gives up.
  if (++g_ticks > 400) {
    KillTimer(nullptr, id);
    return;
  }
  HWND dlg = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dlg));
  if (!dlg) return;
  KillTimer(nullptr, id);
  g_probe->dialog = dlg;
  GetWindowRect(dlg, &g_probe->rect);
  g_probe->ownerDisabled = !IsWindowEnabled(g_probe->owner);
  g_probe->openFlag = ModalDialogOpen();
  PostMessageW(dlg, WM_COMMAND, g_probe->choose ? IDOK : IDCANCEL, 0);
}

TEST(BrowseForFolderTest, OpensCentredDisablesTheProgramAndReturnsTheChoice) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  BrowserProbe probe;
  probe.owner = owner;
  g_probe = &probe;
  g_ticks = 0;
  SetTimer(nullptr, 0, 50, AnswerBrowser);
  EXPECT_FALSE(BrowseForFolder("Select a folder", "", 0, 0).has_value());
  ASSERT_NE(probe.dialog, nullptr);
  EXPECT_TRUE(probe.ownerDisabled);
  EXPECT_TRUE(probe.openFlag) << "the tray offers no menu meanwhile";
  EXPECT_FALSE(ModalDialogOpen());
  EXPECT_TRUE(IsWindowEnabled(owner)) << "enabled again afterwards";
  int w = probe.rect.right - probe.rect.left, h = probe.rect.bottom - probe.rect.top;
  EXPECT_EQ(probe.rect.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
  EXPECT_EQ(probe.rect.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);

  // OK with the initial folder selected returns that folder.
  probe = BrowserProbe{};
  probe.owner = owner;
  probe.choose = true;
  g_ticks = 0;
  SetTimer(nullptr, 0, 50, AnswerBrowser);
  auto chosen = BrowseForFolder("Select a folder", WindowsFolder(), 10, 20);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, Widen(*chosen).c_str(), -1,
                           Widen(WindowsFolder()).c_str(), -1),
            CSTR_EQUAL)
      << *chosen;
  EXPECT_EQ(probe.rect.left, 10);
  EXPECT_EQ(probe.rect.top, 20);
  g_probe = nullptr;
  DestroyWindow(owner);
}

TEST(VolumeLabelTest, EmptyForADriveThatCannotBeRead) {
  EXPECT_EQ(VolumeLabel("B:"), "");
  // Whatever its label, the system drive answers without failing.
  std::string system = WindowsFolder().substr(0, 2);
  wchar_t label[256] = {};
  GetVolumeInformationW(Widen(system + "\\").c_str(), label, 256, nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_EQ(VolumeLabel(system), Narrow(label));
}

TEST(ImageListsIconTest, FileIconAppendsAndHandsOutTheLargePicture) {
  ImageLists lists;
  int before = lists.Count();
  HICON icon = lists.FileIcon(WindowsFolder() + "\\notepad.exe");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(lists.Count(), before + 1);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 32);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  EXPECT_EQ(lists.FileIcon("C:\\no\\such.exe"), nullptr);
  EXPECT_EQ(lists.Count(), before + 1);
  EXPECT_EQ(lists.ImageIcon(-1), nullptr);
  EXPECT_EQ(lists.ImageIcon(lists.Count()), nullptr);
}

}  // namespace
}  // namespace kestro::win
