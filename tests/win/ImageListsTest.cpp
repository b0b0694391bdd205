// The shared picture lists and the background loader against Wine's shell.
#include <gtest/gtest.h>
#include <windows.h>

#include "win/platform/IconLoader.h"
#include "win/platform/ImageLists.h"

namespace kestro::win {
namespace {

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
  EXPECT_EQ(lists.AddFileIcon(Notepad()), base + 1);  // no cache: every lookup appends
  EXPECT_EQ(ImageList_GetImageCount(lists.Small()), lists.Count());
  EXPECT_EQ(lists.AddFileIcon("C:\\no\\such\\file.exe"), -1);
  EXPECT_EQ(lists.AddFileIcon("%windows%\\notepad.exe"), -1);
  EXPECT_EQ(lists.Count(), base + 2);
}

TEST(IconLoaderTest, ResultsArriveOnTheCallingThreadInOrderThenTheEnd) {
  HWND target = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(target, nullptr);
  constexpr UINT kMessage = WM_APP + 7;
  std::atomic<bool> busy{false};
  StartIconLoader({{11, Notepad()}, {12, "C:\\missing.exe"}, {13, Notepad()}}, target, kMessage, busy);
  EXPECT_TRUE(busy);
  std::vector<std::pair<NodeId, bool>> got;
  bool ended = false;
  DWORD deadline = GetTickCount() + 20000;
  MSG msg;
  while (!ended && int(GetTickCount() - deadline) < 0) {
    if (!PeekMessageW(&msg, target, kMessage, kMessage, PM_REMOVE)) {
      Sleep(5);
      continue;
    }
    auto* r = reinterpret_cast<IconResult*>(msg.lParam);
    if (!r) {
      ended = true;
      break;
    }
    got.emplace_back(r->node, r->icons.small != nullptr);
    r->icons.Release();
    delete r;
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(got, (std::vector<std::pair<NodeId, bool>>{{11, true}, {12, false}, {13, true}}));
  DestroyWindow(target);
}

}  // namespace
}  // namespace kestro::win
