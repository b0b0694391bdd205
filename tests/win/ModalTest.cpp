// Modal loops and close requests, in this process: a close that arrives
// while a message box or a menu runs ends that loop and is handled only
// after the loop has returned.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/platform/Win32Platform.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

// What happened, in order.
std::vector<std::string> events;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_CLOSE) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (DeferCloseWhileModal(hwnd)) {
    events.push_back("close deferred");
  } else {
    events.push_back("closed");
    DestroyWindow(hwnd);
  }
  return 0;
}

// The first dialog-class window of this thread (a message box), or null.
HWND FindBox() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM out) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (std::wstring(cls) != L"#32770") return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// A loop that was not ended would hang the test: this ends it after a while
// and says so.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  events.push_back("watchdog");
  EndMenu();
  if (HWND box = FindBox()) EndDialog(box, IDOK);
}

class ModalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestroModalTest";
    RegisterClassW(&wc);
    panel_ = CreateWindowExW(0, L"STATIC", L"panel", WS_OVERLAPPEDWINDOW, 100, 100, 300, 300, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    NewMainWindow();
    watchdog_ = SetTimer(nullptr, 0, 8000, Watchdog);
  }
  void TearDown() override {
    KillTimer(nullptr, watchdog_);
    SetModalWindows(nullptr, nullptr);
    if (IsWindow(panel_)) DestroyWindow(panel_);
    if (IsWindow(main_)) DestroyWindow(main_);
  }
  void NewMainWindow() {
    if (main_ && IsWindow(main_)) DestroyWindow(main_);
    events.clear();
    main_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"KestroModalTest", L"main", WS_POPUP, 0, 0, 10, 10, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(main_ && panel_);
    SetModalWindows(main_, panel_);
  }
  // Handles what is queued (the close posted again) for up to a second.
  void Pump() {
    DWORD end = GetTickCount() + 1000;
    MSG msg;
    while (IsWindow(main_) && int(GetTickCount() - end) < 0) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
  }
  // A close arrives while `loop` runs; what happened, in order.
  std::vector<std::string> CloseDuring(const std::function<void()>& loop) {
    NewMainWindow();
    PostMessageW(main_, WM_CLOSE, 0, 0);
    loop();
    events.push_back("returned");
    EXPECT_EQ(ModalLoop::Depth(), 0);
    Pump();
    EXPECT_FALSE(IsWindow(main_));
    return events;
  }

  HWND main_ = nullptr, panel_ = nullptr;
  UINT_PTR watchdog_ = 0;
};

TEST_F(ModalTest, BoxesBelongToTheVisiblePanelElseToTheMainWindow) {
  EXPECT_EQ(ModalOwner(), main_);  // the panel is hidden
  ShowWindow(panel_, SW_SHOWNOACTIVATE);
  EXPECT_EQ(ModalOwner(), panel_);
  ShowWindow(panel_, SW_SHOWMINNOACTIVE);  // a minimised owner would hide the box
  EXPECT_EQ(ModalOwner(), main_);
  SetModalWindows(main_, nullptr);
  EXPECT_EQ(ModalOwner(), main_);
}

// Inside the first box: who would own a box opened now, the box, its owner.
HWND ownerInside = nullptr, firstBox = nullptr, firstBoxOwner = nullptr;

void CALLBACK AskOwnerInsideTheBox(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  ownerInside = ModalOwner();
  firstBox = FindBox();
  if (!firstBox) return;
  firstBoxOwner = GetWindow(firstBox, GW_OWNER);
  EndDialog(firstBox, IDOK);
}

TEST_F(ModalTest, ABoxOpenedFromABoxOrDialogBelongsToIt) {
  ShowWindow(panel_, SW_SHOW);
  SetTimer(nullptr, 0, 200, AskOwnerInsideTheBox);
  ShowMessageBox(L"first", L"Notice", MB_OK);
  ASSERT_NE(firstBox, nullptr);
  EXPECT_EQ(firstBoxOwner, panel_);
  EXPECT_EQ(ownerInside, firstBox);
  EXPECT_EQ(ModalOwner(), panel_);  // back to the panel once it returned
}

TEST_F(ModalTest, ACloseDuringABoxOrAMenuEndsItAndComesAfterIt) {
  ShowWindow(panel_, SW_SHOW);
  const std::vector<std::string> inOrder{"close deferred", "returned", "closed"};
  Win32MessageBoxes boxes;
  EXPECT_EQ(CloseDuring([&] { boxes.Show("text", "Notice", MessageIcon::Warning); }), inOrder);
  // A question ended so is answered No.
  EXPECT_EQ(CloseDuring([&] { EXPECT_FALSE(boxes.Ask("Delete?", "Delete?")); }), inOrder);
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"one");
  EXPECT_EQ(CloseDuring([&] { EXPECT_EQ(TrackModalPopup(menu, TPM_RETURNCMD, POINT{120, 120}, panel_), 0u); }),
            inOrder);
  DestroyMenu(menu);
}

TEST_F(ModalTest, NestedLoopsAllEndBeforeTheClose) {
  // A message box opened from a menu's handler: both loops run when the
  // close arrives, and it comes after the outer one returned.
  auto happened = CloseDuring([&] {
    ModalLoop outer(ModalKind::Menu);
    Win32MessageBoxes().Show("inner", "Notice", MessageIcon::None);
    events.push_back("inner returned");
    Pump();  // nothing yet: the outer loop still runs
  });
  EXPECT_EQ(happened, (std::vector<std::string>{"close deferred", "inner returned", "returned", "closed"}));
}

// What the test dialog saw of itself while it ran.
struct DialogSeen {
  LPARAM param = 0;
  bool topmost = false;
  bool openFlag = false;
  HWND owner = nullptr;
  int messages = 0;
};

INT_PTR CALLBACK TestDialogProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* seen = reinterpret_cast<DialogSeen*>(lParam);
    SetWindowLongPtrW(dlg, DWLP_USER, lParam);
    seen->param = lParam;
    seen->topmost = (GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    seen->openFlag = ModalDialogOpen();
    seen->owner = GetWindow(dlg, GW_OWNER);
    PostMessageW(dlg, WM_APP, 0, 0);
    return TRUE;
  }
  auto* seen = reinterpret_cast<DialogSeen*>(GetWindowLongPtrW(dlg, DWLP_USER));
  if (msg == WM_APP && seen) {
    ++seen->messages;  // later messages reach the dialog's own procedure
    EndDialog(dlg, 7);
    return TRUE;
  }
  return FALSE;
}

TEST_F(ModalTest, DialogsTakeThePanelsStayOnTopStyleAndMarkThemselvesOpen) {
  ShowWindow(panel_, SW_SHOW);
  for (bool onTop : {false, true}) {
    SetWindowPos(panel_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    DialogSeen seen;
    EXPECT_EQ(RunModalDialog(MAKEINTRESOURCEW(101), TestDialogProc, reinterpret_cast<LPARAM>(&seen)), 7);
    EXPECT_EQ(seen.param, reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen.topmost, onTop);
    EXPECT_TRUE(seen.openFlag);
    EXPECT_EQ(seen.owner, panel_);
    EXPECT_EQ(seen.messages, 1);
    EXPECT_FALSE(ModalDialogOpen());
    EXPECT_EQ(ModalLoop::Depth(), 0);
  }
}

INT_PTR CALLBACK WaitingDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST_F(ModalTest, ACloseDuringOneOfOurDialogsCancelsItFirst) {
  ShowWindow(panel_, SW_SHOW);
  INT_PTR result = 0;
  auto happened = CloseDuring([&] { result = RunModalDialog(MAKEINTRESOURCEW(101), WaitingDialogProc, 0); });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(happened, (std::vector<std::string>{"close deferred", "returned", "closed"}));
  EXPECT_FALSE(ModalDialogOpen());
}

TEST_F(ModalTest, WithoutALoopTheCloseIsHandledAtOnce) {
  SendMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"closed"}));
}

}  // namespace
}  // namespace kestro::win
