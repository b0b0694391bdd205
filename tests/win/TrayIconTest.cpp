// The tray icon's menus in this process: the tray-menu shortcut opens the
// left-click menu and its next press dismisses it, a menu opened with the
// mouse only leaves the mark, and no menu opens beside one of our dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win/app/TrayIcon.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

TrayIcon* g_tray = nullptr;
std::vector<std::string> g_events;
// What the timer does when it finds a menu open: dismiss it with the
// shortcut's press, or end it as a click elsewhere does.
bool g_pressAgain = true;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT r = 0;
  if (g_tray && g_tray->HandleMessage(msg, wParam, lParam, r)) return r;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool MenuOnScreen() {
  HWND m = FindWindowW(L"#32768", nullptr);
  return m && IsWindowVisible(m);
}

void CALLBACK WhileOpen(HWND, UINT, UINT_PTR id, DWORD) {
  if (!MenuOnScreen()) return;
  KillTimer(nullptr, id);
  g_events.push_back("open");
  if (g_pressAgain) {
    g_events.push_back("press");
    g_tray->ToggleMenuFromShortcut();
  } else {
    EndMenu();
  }
}

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.pv.programDrive = "R:";
    state_.messages.Set("18", "Show ViewPanel");
    state_.panel.AddPage("A", TabTag::Items).Tree()->Add(nullptr, TMyRec{});
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TrayIconTestOwner";
    RegisterClassW(&wc);
    owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             wc.hInstance, nullptr);
    g_tray = &tray_;
    g_events.clear();
    tray_.Add(owner_, LoadIconW(nullptr, IDI_APPLICATION), "hint");
  }
  void TearDown() override {
    tray_.Remove();
    g_tray = nullptr;
    DestroyWindow(owner_);
  }

  // Runs `action` with a timer watching for a menu; a menu nobody ends is
  // ended after two seconds, and says so.
  void Watch(bool pressAgain, const std::function<void()>& action) {
    g_pressAgain = pressAgain;
    UINT_PTR watch = SetTimer(nullptr, 0, 50, WhileOpen);
    UINT_PTR guard = SetTimer(nullptr, 0, 2000, [](HWND, UINT, UINT_PTR, DWORD) {
      if (MenuOnScreen()) {
        g_events.push_back("stuck");
        EndMenu();
      }
    });
    action();
    g_events.push_back("returned");
    // A press that opened nothing leaves the watch running for a moment.
    MSG m;
    DWORD until = GetTickCount() + 300;
    while (GetTickCount() < until)
      if (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    KillTimer(nullptr, watch);
    KillTimer(nullptr, guard);
  }
  void Shortcut() { tray_.ToggleMenuFromShortcut(); }
  void LeftPress() { SendMessageW(owner_, TrayIcon::kCallbackMessage, 0, WM_LBUTTONDOWN); }
  void RightPress() { SendMessageW(owner_, TrayIcon::kCallbackMessage, 0, WM_RBUTTONDOWN); }

  Win32Platform platform_;
  AppState state_;
  MacroValues macros_{platform_.host, state_.pv.programDrive};
  std::unique_ptr<TviewFrm> panel_;
  TrayIcon tray_{state_, platform_, macros_, panel_};
  HWND owner_ = nullptr;
};

TEST_F(TrayIconTest, TheShortcutOpensTheMenuAndItsNextPressDismissesIt) {
  Watch(true, [&] { Shortcut(); });
  EXPECT_EQ(g_events, (std::vector<std::string>{"open", "press", "returned"}));
  EXPECT_FALSE(MenuOnScreen());
  // The mark went with the menu: the next press opens it again.
  g_events.clear();
  Watch(true, [&] { Shortcut(); });
  EXPECT_EQ(g_events, (std::vector<std::string>{"open", "press", "returned"}));
}

TEST_F(TrayIconTest, AfterAMenuOfTheMouseThePressOnlyClearsTheMark) {
  Watch(false, [&] { LeftPress(); });
  EXPECT_EQ(g_events, (std::vector<std::string>{"open", "returned"}));
  g_events.clear();
  Watch(false, [&] { Shortcut(); });
  EXPECT_EQ(g_events, (std::vector<std::string>{"returned"}));
  g_events.clear();
  Watch(false, [&] { Shortcut(); });
  EXPECT_EQ(g_events, (std::vector<std::string>{"open", "returned"}));
}

TEST_F(TrayIconTest, NoMenuBesideOneOfOurDialogs) {
  {
    DialogScope dialog;
    Watch(false, [&] {
      LeftPress();
      RightPress();
      Shortcut();
    });
    EXPECT_EQ(g_events, (std::vector<std::string>{"returned"}));
  }
  g_events.clear();
  Watch(false, [&] { RightPress(); });
  EXPECT_EQ(g_events, (std::vector<std::string>{"open", "returned"}));
}

}  // namespace
}  // namespace kestro::win
