// The shared picture lists and the background loader against Wine's shell.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/config/PathMacros.h"
#include "win/platform/IconLoader.h"
#include "win/platform/ImageLists.h"
#include "win/platform/Win32Platform.h"

namespace kestro::win {
namespace {

// The path macros with this Wine's folders.
struct WineMacros {
  Win32HostSystem host;
  std::string drive = "C:";
  MacroValues macros{host, drive};
};

std::string Notepad() {
  wchar_t buf[MAX_PATH];
  GetWindowsDirectoryW(buf, MAX_PATH);
  std::wstring w = std::wstring(buf) + L"\\notepad.exe";
  return std::string(w.begin(), w.end());
}

TEST(ImageListsTest, BothListsGrowInStepFromTheFixedPictures) {
  ImageLists lists;
  std::vector<std::string> log;
  lists.LoadBaseImages([&](const std::string& m) { log.push_back(m); });
  int base = lists.Count();
  EXPECT_EQ(ImageList_GetImageCount(lists.Small()), base);
  EXPECT_EQ(base + int(log.size()) / 2, 4) << "every missing fixed picture is logged";
  int32_t index = lists.AddFileIcon(Notepad());
  EXPECT_EQ(index, base);
  EXPECT_EQ(ImageList_GetImageCount(lists.Small()), lists.Count());
  EXPECT_EQ(lists.AddFileIcon("C:\\no\\such\\file.exe"), -1);
  EXPECT_EQ(lists.AddFileIcon("%windows%\\notepad.exe"), -1) << "no macros known: no picture";
  EXPECT_EQ(lists.Count(), base + 1);
}

std::string SystemFolder() {
  wchar_t buf[MAX_PATH];
  GetSystemDirectoryW(buf, MAX_PATH);
  std::wstring w = buf;
  return std::string(w.begin(), w.end());
}

// Items showing the same picture share one index, whether they name the same
// file, reach it through a path macro or name a file that looks alike; a
// different picture gets its own. Every index stays valid in both lists.
TEST(ImageListsTest, APictureIsAddedOnceAndPathMacrosAreExpanded) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring copyW = std::wstring(temp) + L"kestro-copy.exe";
  const std::string original = Notepad();
  ASSERT_TRUE(CopyFileW(std::wstring(original.begin(), original.end()).c_str(), copyW.c_str(), FALSE));
  const std::string copy(copyW.begin(), copyW.end());
  WineMacros wine;
  ImageLists lists;
  lists.SetMacros(&wine.macros);
  const int32_t notepad = lists.AddFileIcon(Notepad());
  ASSERT_EQ(notepad, 0);
  EXPECT_EQ(lists.AddFileIcon(Notepad()), notepad) << "the same file twice";
  EXPECT_EQ(lists.AddFileIcon("%windows%\\notepad.exe"), notepad) << "the macro leads to the same file";
  EXPECT_EQ(lists.AddFileIcon(copy), notepad) << "a copy looks the same";
  const int32_t folder = lists.AddFileIcon("%windows%");
  EXPECT_EQ(folder, 1) << "a folder's picture is another one";
  EXPECT_EQ(lists.AddFileIcon("%windows%\\no-such-program.exe"), -1);
  // Icons looked up elsewhere (the background loader's) join in the same way.
  ShellIcons again = LookUpShellIcons(Notepad());
  EXPECT_FALSE(again.fingerprint.empty());
  EXPECT_EQ(lists.AddLookedUp(Notepad(), again), notepad);
  EXPECT_EQ(lists.AddLookedUp("C:\\other\\name.exe", again), notepad) << "the same picture under another name";
  again.Release();
  EXPECT_EQ(lists.AddLookedUp("C:\\missing.exe", ShellIcons{}), -1);
  EXPECT_EQ(lists.Count(), 2);
  EXPECT_EQ(ImageList_GetImageCount(lists.Small()), 2);
  for (int32_t i : {notepad, folder}) {
    HICON icon = lists.ImageIcon(i);
    EXPECT_NE(icon, nullptr) << i;
    if (icon) DestroyIcon(icon);
  }
  HICON preview = lists.FileIcon("%system%\\cmd.exe");
  EXPECT_NE(preview, nullptr);
  if (preview) DestroyIcon(preview);
  DeleteFileW(copyW.c_str());
}

// The background loader's jobs: pictures of nodes only.
std::vector<PictureJob> NodeJobs(const std::vector<IconJob>& jobs) {
  std::vector<PictureJob> all;
  for (const IconJob& j : jobs) all.push_back({PictureJobKind::Node, -1, j.file, j.node});
  return all;
}

struct LoaderLog {
  std::vector<std::pair<NodeId, bool>> got;
  std::vector<std::string> files;
  bool ended = false;
  bool refuse = false;  // answer 0: the receiver did not take the picture
};
LoaderLog* g_log = nullptr;
constexpr UINT kLoaderMessage = WM_APP + 7;

LRESULT CALLBACK LoaderTarget(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kLoaderMessage || !g_log) return DefWindowProcW(hwnd, msg, wp, lp);
  auto* r = reinterpret_cast<IconResult*>(lp);
  if (!r) {
    g_log->ended = true;
    return 1;
  }
  if (g_log->refuse) return 0;
  g_log->got.emplace_back(r->node, r->icons.small != nullptr);
  g_log->files.push_back(r->file);
  r->icons.Release();
  delete r;
  return 1;
}

HWND LoaderWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = LoaderTarget;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LoaderTarget";
  RegisterClassW(&wc);
  return CreateWindowExW(0, L"LoaderTarget", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

void PumpUntilEnded(LoaderLog& log) {
  DWORD deadline = GetTickCount() + 20000;
  MSG msg;
  while (!log.ended && int(GetTickCount() - deadline) < 0) {
    // Sent messages are delivered while the thread looks at its queue.
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

TEST(IconLoaderTest, ResultsArriveOnTheCallingThreadInOrderThenTheEnd) {
  HWND target = LoaderWindow();
  ASSERT_NE(target, nullptr);
  LoaderLog log;
  g_log = &log;
  // Another loader runs already: the count grows by one.
  std::atomic<int> busy{1};
  StartIconLoader(NodeJobs({{11, Notepad()}, {12, "C:\\missing.exe"}, {13, Notepad()}}), target, kLoaderMessage, busy);
  EXPECT_EQ(busy, 2);
  PumpUntilEnded(log);
  EXPECT_TRUE(log.ended);
  // A file looked up before comes again without icons: the receiver has them.
  EXPECT_EQ(log.got, (std::vector<std::pair<NodeId, bool>>{{11, true}, {12, false}, {13, false}}));
  EXPECT_EQ(log.files, (std::vector<std::string>{Notepad(), "C:\\missing.exe", Notepad()}));
  DestroyWindow(target);
  g_log = nullptr;
}

TEST(IconLoaderTest, AReceiverThatRefusesStopsTheWalkButStillEndsIt) {
  HWND target = LoaderWindow();
  ASSERT_NE(target, nullptr);
  LoaderLog log;
  log.refuse = true;
  g_log = &log;
  std::atomic<int> busy{0};
  StartIconLoader(NodeJobs({{1, Notepad()}, {2, Notepad()}}), target, kLoaderMessage, busy);
  PumpUntilEnded(log);
  EXPECT_TRUE(log.ended);
  EXPECT_TRUE(log.got.empty());
  DestroyWindow(target);
  g_log = nullptr;
}

TEST(IconLoaderTest, StoppingEndsTheWorkerAfterTheCurrentPictureAndWaitsForIt) {
  HWND target = LoaderWindow();
  ASSERT_NE(target, nullptr);
  LoaderLog log;
  g_log = &log;
  std::atomic<int> busy{0};
  std::vector<IconJob> jobs;
  for (NodeId n = 1; n <= 5000; ++n) jobs.push_back({n, Notepad()});
  auto control = StartIconLoader(NodeJobs(jobs), target, kLoaderMessage, busy);
  // Let a few arrive, then stop: the thread answers the worker while it waits.
  MSG msg;
  for (int i = 0; i < 200 && log.got.size() < 3; ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  control->StopAndWait(10000);
  EXPECT_TRUE(control->Ended());
  EXPECT_TRUE(log.ended) << "the final message came";
  EXPECT_LT(log.got.size(), jobs.size());
  DestroyWindow(target);
  g_log = nullptr;
}

}  // namespace
}  // namespace kestro::win
