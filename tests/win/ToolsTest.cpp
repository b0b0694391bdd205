// The system facts, the text codec's way back and the about boxes, against
// Wine's real registry, drives and windows. The runner maps R: removable and
// H: as a fixed disk.
#include <gtest/gtest.h>
#include <windows.h>

#include "../../resources/resource.h"
#include "win/platform/SystemFacts.h"
#include "win/platform/Win32Platform.h"
#include "win/tools/IntroFrm.h"
#include "win/ui/Modeless.h"

namespace kestro::win {
namespace {

constexpr char kTestKey[] = "SOFTWARE\\KestroTest\\CentralProcessor\\0";

TEST(Win32SystemFactsTest, RegistryValuesByTypeDrivesAndTheScreen) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KestroTest\\CentralProcessor\\0", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t name[] = L"Intel(R) CPU";
  RegSetValueExW(key, L"ProcessorNameString", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
  DWORD mhz = 2394;
  RegSetValueExW(key, L"~MHz", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mhz), sizeof mhz);
  RegCloseKey(key);

  Win32SystemFacts facts;
  EXPECT_EQ(facts.MachineText(kTestKey, "ProcessorNameString"), "Intel(R) CPU");
  EXPECT_EQ(facts.MachineNumber(kTestKey, "~MHz"), 2394u);
  // A value of the other type, a missing value, a missing key: nothing.
  EXPECT_EQ(facts.MachineText(kTestKey, "~MHz"), std::nullopt);
  EXPECT_EQ(facts.MachineNumber(kTestKey, "ProcessorNameString"), std::nullopt);
  EXPECT_EQ(facts.MachineText(kTestKey, "Identifier"), std::nullopt);
  EXPECT_EQ(facts.MachineNumber("SOFTWARE\\KestroTest\\Nothing", "~MHz"), std::nullopt);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KestroTest");

  EXPECT_EQ(facts.TypeOf("H:\\"), DriveType::Fixed);
  EXPECT_EQ(facts.TypeOf("R:\\"), DriveType::Removable);
  DiskBytes disk = facts.DiskSpace("R:\\");
  EXPECT_GT(disk.total, 0);
  EXPECT_GE(disk.total, disk.free);
  EXPECT_EQ(facts.DiskSpace("B:\\").total, 0);  // no such drive
  EXPECT_FALSE(facts.FileSystemName("C:\\").empty());
  EXPECT_GE(facts.ProcessorCount(), 1);
  ScreenFacts screen = facts.Screen();
  EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GT(screen.bitsPerPixel, 0);
  MemoryFacts memory = facts.Memory();
  EXPECT_GT(memory.total, 0);
  EXPECT_LE(memory.available, memory.total);
  NumberSeparators sep = facts.Separators();
  EXPECT_FALSE(sep.decimal.empty());
}

TEST(Win32SystemFactsTest, AFailedRequestGivesNothing) {
  // A port nobody listens on: refused at once, whatever the proxy setting.
  SetEnvironmentVariableW(L"http_proxy", nullptr);
  WinHttpClient web;
  EXPECT_EQ(web.Get("http://127.0.0.1:9/"), std::nullopt);
  EXPECT_EQ(web.Get("not a url"), std::nullopt);
}

TEST(Win32TextCodecTest, Utf8BackToTheAnsiCodePageOnlyWhenExact) {
  Win32TextCodec codec;  // a Western host: code page 1252
  EXPECT_EQ(codec.Utf8ToAnsi("Label=\xC3\xA9t\xC3\xA9"), "Label=\xE9t\xE9");
  EXPECT_EQ(codec.Utf8ToAnsi(""), "");
  EXPECT_EQ(codec.Utf8ToAnsi("\xED\x95\x9C"), std::nullopt);  // Hangul has no form there
  EXPECT_EQ(codec.Utf8ToAnsi("\xE2\x84\xA2"), "\x99");         // the trade mark sign has one
}

TEST(IntroBoxTest, BoxesOpenWithoutWaitingAndCloseOnTheirOwn) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND first = ShowIntroBox(owner);
  HWND second = ShowIntroBox(owner);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first, second);
  EXPECT_EQ(ModelessDialogCount(), 2);
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_EQ(GetWindow(first, GW_OWNER), owner);
  EXPECT_TRUE(GetWindowLongW(first, GWL_EXSTYLE) & WS_EX_TOPMOST);
  wchar_t text[64] = {};
  GetDlgItemTextW(first, IDC_INTRO_VERSION, text, 64);
  EXPECT_STREQ(text, L"Kestro v1.3.5.1");
  GetWindowTextW(first, text, 64);
  EXPECT_STREQ(text, L"Kestro?");

  // Esc reaches the box through the loop's dialog handling and closes it alone.
  MSG esc{first, WM_KEYDOWN, VK_ESCAPE, 0};
  SetFocus(GetDlgItem(first, IDOK));
  esc.hwnd = GetDlgItem(first, IDOK);
  EXPECT_TRUE(ModelessDialogMessage(esc));
  for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(second));
  EXPECT_EQ(ModelessDialogCount(), 1);
  MSG other{owner, WM_KEYDOWN, VK_ESCAPE, 0};
  EXPECT_FALSE(ModelessDialogMessage(other));  // not one of the boxes

  ShowIntroBox(owner);
  DestroyModelessDialogs();
  EXPECT_EQ(ModelessDialogCount(), 0);
  EXPECT_FALSE(IsWindow(second));
  DestroyWindow(owner);
}

}  // namespace
}  // namespace kestro::win
