// Global hot keys from atoms, and the desktop's icon view.
#include <gtest/gtest.h>
#include <windows.h>

#include "win/platform/DesktopIcons.h"
#include "win/platform/HotKeys.h"

namespace kestro::win {
namespace {

HWND MessageWindow() { return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }

TEST(Win32HotKeysTest, AtomsAreStableAndATakenCombinationIsRefused) {
  HWND main = MessageWindow(), panel = MessageWindow();
  Win32HotKeys keys;
  const int32_t a = keys.IdentifierOf("shortkey0"), b = keys.IdentifierOf("hotkey0");
  EXPECT_EQ(keys.IdentifierOf("shortkey0"), a);
  EXPECT_NE(a, b);
  EXPECT_NE(a, 0);
  // No windows yet: nothing is registered.
  EXPECT_FALSE(keys.Register(HotKeyWindow::Main, a, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F11));
  keys.SetWindows(main, panel);
  ASSERT_TRUE(keys.Register(HotKeyWindow::Main, a, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F11));
  // Held by another window (as another program would hold it).
  EXPECT_FALSE(keys.Register(HotKeyWindow::Panel, b, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F11));
  keys.Unregister(HotKeyWindow::Main, a);
  EXPECT_TRUE(keys.Register(HotKeyWindow::Panel, b, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F11));
  keys.Unregister(HotKeyWindow::Panel, b);
  DestroyWindow(main);
  DestroyWindow(panel);
}

TEST(DesktopIconsTest, TheViewIsTheDefViewChildOfProgman) {
  // Wine has no shell windows: without them there is nothing to show or hide.
  if (!FindWindowA("Progman", nullptr)) EXPECT_FALSE(ShowDesktopIcons(false));
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Progman";
  RegisterClassW(&wc);
  wc.lpszClassName = L"SHELLDLL_DefView";
  RegisterClassW(&wc);
  HWND progman = CreateWindowExW(0, L"Progman", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  // A view that is not Progman's child is not the desktop's.
  HWND stray = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                               nullptr);
  EXPECT_EQ(FindDesktopIconView(), nullptr);
  HWND view = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, progman, nullptr,
                              wc.hInstance, nullptr);
  EXPECT_EQ(FindDesktopIconView(), view);
  EXPECT_TRUE(ShowDesktopIcons(false));
  EXPECT_FALSE(GetWindowLongW(view, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(ShowDesktopIcons(true));
  EXPECT_TRUE(GetWindowLongW(view, GWL_STYLE) & WS_VISIBLE);
  DestroyWindow(stray);
  DestroyWindow(progman);
}

}  // namespace
}  // namespace kestro::win
