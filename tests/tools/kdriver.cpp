// Drives Kestro from outside in the end-to-end tests, as a user would: finds
// windows by class and caption, reads and answers message boxes, clicks and
// types. Prints its answers as UTF-8 (JSON where structured); exit code 0 on
// success, 1 when what was asked for did not happen in time, 2 on bad usage.
//
//   kdriver find  CLASS CAPTION           (either may be "-": any)
//   kdriver wait  CLASS CAPTION MS
//   kdriver gone  CLASS CAPTION MS
//   kdriver count CLASS CAPTION           top-level windows, hidden ones too
//   kdriver info  HWND                     (every description has the window's
//                                          owner and whether it is enabled)
//   kdriver windows                       visible top-level windows
//   kdriver msgbox MS                     wait for a message box, describe it
//   kdriver press HWND BUTTONTEXT         click a button of a dialog
//   kdriver post  HWND MSG WPARAM LPARAM
//   kdriver send  HWND MSG WPARAM LPARAM
//   kdriver child HWND CLASS [N]           the N-th (0) descendant of that class
//   kdriver item  HWND ID                  a dialog's control by its id (its caption
//                                          is an edit's text, a list box's choice)
//   kdriver prop  HWND NAME                whether the window has that property (exit code)
//   kdriver settext HWND TEXT              WM_SETTEXT to a (child) window
//   kdriver menu  HWND                     the window's menu bar, one entry a line
//   kdriver click X Y [left|right] [double] [ctrl]
//   kdriver move  X Y                      move the pointer there
//   kdriver drag  X1 Y1 X2 Y2              press, move past the drag threshold, release
//   kdriver type  TEXT
//   kdriver key   VK [ctrl] [alt] [shift] [win]
//   kdriver desktop MS [VK FSMODIFIERS]    for MS ms: a hidden "Progman" window with a visible
//                                          "SHELLDLL_DefView" child, as the shell's desktop has;
//                                          with VK, first holds that global hot key as another
//                                          program would (exit code 1 if it could not)
//   kdriver foreground                    the foreground window's handle
//   kdriver size  HWND W H                 resizes a top-level window as its frame would
//   kdriver tree  HWND                     a tree view's items (of any process), one JSON
//                                          line each: its text and its depth (0 top level)
//   kdriver rows  HWND                     a list view's rows (of any process), one JSON
//                                          array of its column texts a line
//   kdriver alpha HWND                     a window's opacity (255 when it is not layered)
//   kdriver selrow HWND N                  selects and focuses row N of a list view, as a click does
//   kdriver register NAME                 the number of a registered window message
//   kdriver untray HWND ID                takes that window's notification icon away,
//                                          as a restarting taskbar loses it
//   kdriver hold  PATH MS                 opens the file for MS ms sharing nothing, as a
//                                          program that locks it does; prints "held" once open
//   kdriver prompt CAPTION MS              a "#32770" dialog window with that caption, as the
//                                          AutoPlay prompt is; prints its handle, then "closed"
//                                          when a close request ended it (exit code 1: time up)
//   kdriver dosdevice X:                   the device the drive name stands for (1: none)
//   kdriver drivetype X:\                  the drive type of a root
//   kdriver device HWND EVENT X            sends WM_DEVICECHANGE with a volume's broadcast record
//                                          for drive X, as the system does (a posted one is refused)
//   kdriver unmount X                      Wine's mount manager removes drive X, as when the
//                                          drive is pulled out
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <winioctl.h>
#include <ddk/mountmgr.h>  // the request codes
#include <dbt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring Utf8ToWide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
  return w;
}

std::string Json(const std::wstring& w) {
  std::string r = "\"";
  for (unsigned char c : Utf8(w)) {
    if (c == '"' || c == '\\') {
      r += '\\';
      r += char(c);
    } else if (c == '\r') {
      r += "\\r";
    } else if (c == '\n') {
      r += "\\n";
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      r += buf;
    } else {
      r += char(c);
    }
  }
  return r + "\"";
}

std::wstring Text(HWND w) {
  int n = GetWindowTextLengthW(w);
  std::wstring s(size_t(n) + 1, L'\0');
  GetWindowTextW(w, s.data(), n + 1);
  s.resize(wcslen(s.c_str()));
  return s;
}

std::wstring ClassOf(HWND w) {
  wchar_t buf[256] = {};
  GetClassNameW(w, buf, 256);
  return buf;
}

HWND ParseHwnd(const wchar_t* s) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(_wcstoui64(s, nullptr, 0))); }

HWND Find(const std::wstring& cls, const std::wstring& caption) {
  return FindWindowW(cls == L"-" ? nullptr : cls.c_str(), caption == L"-" ? nullptr : caption.c_str());
}

std::string Describe(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char buf[640];
  std::snprintf(buf, sizeof buf,
                "\"hwnd\":%llu,\"visible\":%s,\"enabled\":%s,\"owner\":%llu,\"style\":%lu,\"exstyle\":%lu,"
                "\"rect\":[%ld,%ld,%ld,%ld],\"pid\":%lu",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)), IsWindowVisible(w) ? "true" : "false",
                IsWindowEnabled(w) ? "true" : "false",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetWindow(w, GW_OWNER))),
                static_cast<unsigned long>(GetWindowLongW(w, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(w, GWL_EXSTYLE)), r.left, r.top, r.right, r.bottom,
                static_cast<unsigned long>(pid));
  return std::string("{\"class\":") + Json(ClassOf(w)) + ",\"caption\":" + Json(Text(w)) + "," + buf + "}";
}

// The items of a tree view in another process: the item structure and its
// text buffer live in that process's memory.
void DumpTree(HWND tree) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!p) return;
  constexpr size_t kText = 520;
  auto* remote = static_cast<char*>(VirtualAllocEx(p, nullptr, sizeof(TVITEMW) + kText * sizeof(wchar_t),
                                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  auto dump = [&](auto&& self, HTREEITEM item, int depth) -> void {
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      TVITEMW tv{};
      tv.mask = TVIF_TEXT;
      tv.hItem = item;
      tv.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
      tv.cchTextMax = int(kText);
      WriteProcessMemory(p, remote, &tv, sizeof tv, nullptr);
      SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
      wchar_t text[kText] = {};
      ReadProcessMemory(p, remote + sizeof(TVITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
      std::printf("{\"text\":%s,\"depth\":%d}\n", Json(text).c_str(), depth);
      self(self, reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))),
           depth + 1);
    }
  };
  if (remote) {
    dump(dump, reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0);
    VirtualFreeEx(p, remote, 0, MEM_RELEASE);
  }
  CloseHandle(p);
}

// A list view of another process: the item structure and its text buffer
// live in that process's memory. With `select` >= 0 only selects that row.
void ListRows(HWND list, int select) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!p) return;
  constexpr size_t kText = 520;
  auto* remote = static_cast<char*>(VirtualAllocEx(p, nullptr, sizeof(LVITEMW) + kText * sizeof(wchar_t),
                                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (remote && select >= 0) {
    LVITEMW lv{};
    lv.stateMask = lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    WriteProcessMemory(p, remote, &lv, sizeof lv, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(select), reinterpret_cast<LPARAM>(remote));
  } else if (remote) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    int columns = header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    int rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
      std::string line = "[";
      for (int c = 0; c < std::max(columns, 1); ++c) {
        LVITEMW lv{};
        lv.iSubItem = c;
        lv.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        lv.cchTextMax = int(kText);
        WriteProcessMemory(p, remote, &lv, sizeof lv, nullptr);
        SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(remote));
        wchar_t text[kText] = {};
        ReadProcessMemory(p, remote + sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
        line += (c ? "," : "") + Json(text);
      }
      std::printf("%s]\n", line.c_str());
    }
  }
  if (remote) VirtualFreeEx(p, remote, 0, MEM_RELEASE);
  CloseHandle(p);
}

bool WaitFor(int ms, auto&& condition) {
  DWORD end = GetTickCount() + DWORD(ms);
  for (;;) {
    if (condition()) return true;
    if (int(GetTickCount() - end) >= 0) return false;
    Sleep(25);
  }
}

struct MessageBoxInfo {
  std::wstring text;
  std::vector<std::wstring> buttons;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM lp) {
  auto* info = reinterpret_cast<MessageBoxInfo*>(lp);
  std::wstring cls = ClassOf(child);
  if (_wcsicmp(cls.c_str(), L"Button") == 0) {
    info->buttons.push_back(Text(child));
  } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
    std::wstring t = Text(child);
    if (!t.empty() && info->text.empty()) info->text = t;
  }
  return TRUE;
}

struct TopLevel {
  std::vector<HWND> found;
  bool dialogsOnly = false;
};

BOOL CALLBACK CollectTop(HWND w, LPARAM lp) {
  auto* t = reinterpret_cast<TopLevel*>(lp);
  if (!IsWindowVisible(w)) return TRUE;
  if (t->dialogsOnly && ClassOf(w) != L"#32770") return TRUE;
  t->found.push_back(w);
  return TRUE;
}

BOOL CALLBACK FindButton(HWND child, LPARAM lp) {
  auto* want = reinterpret_cast<std::pair<std::wstring, HWND>*>(lp);
  std::wstring t = Text(child);
  std::wstring plain;
  for (wchar_t c : t)
    if (c != L'&') plain += c;
  if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && _wcsicmp(plain.c_str(), want->first.c_str()) == 0) {
    want->second = child;
    return FALSE;
  }
  return TRUE;
}

struct ChildSearch {
  std::wstring cls;
  int skip;
  HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND child, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (_wcsicmp(ClassOf(child).c_str(), s->cls.c_str()) == 0 && s->skip-- == 0) {
    s->found = child;
    return FALSE;
  }
  return TRUE;
}

void DumpMenu(HMENU menu, const std::string& path) {
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    wchar_t text[512] = {};
    MENUITEMINFOW mi{sizeof mi};
    mi.fMask = MIIM_STRING | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_ID;
    mi.dwTypeData = text;
    mi.cch = 511;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &mi);
    if (mi.fType & MFT_SEPARATOR) {
      std::printf("{\"path\":%s,\"separator\":true}\n", Json(Utf8ToWide(path)).c_str());
      continue;
    }
    std::string here = path.empty() ? Utf8(text) : path + "/" + Utf8(text);
    std::printf("{\"path\":%s,\"id\":%u,\"enabled\":%s,\"checked\":%s}\n", Json(Utf8ToWide(here)).c_str(),
                mi.wID, (mi.fState & MFS_DISABLED) ? "false" : "true", (mi.fState & MFS_CHECKED) ? "true" : "false");
    if (mi.hSubMenu) DumpMenu(mi.hSubMenu, here);
  }
}

void Input(std::vector<INPUT>& in) { SendInput(UINT(in.size()), in.data(), sizeof(INPUT)); }

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
  INPUT i{};
  i.type = INPUT_KEYBOARD;
  i.ki.wVk = vk;
  i.ki.wScan = scan;
  i.ki.dwFlags = flags;
  return i;
}

int Usage() {
  std::fprintf(stderr, "kdriver: bad usage\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  std::wstring cmd = argv[1];
  auto arg = [&](int i) { return std::wstring(i < argc ? argv[i] : L""); };

  if (cmd == L"find" && argc == 4) {
    HWND w = Find(arg(2), arg(3));
    if (!w) return 1;
    std::printf("%s\n", Describe(w).c_str());
    return 0;
  }
  if ((cmd == L"wait" || cmd == L"gone") && argc == 5) {
    HWND w = nullptr;
    bool ok = WaitFor(_wtoi(argv[4]), [&] {
      w = Find(arg(2), arg(3));
      return cmd == L"wait" ? w != nullptr : w == nullptr;
    });
    if (ok && w) std::printf("%s\n", Describe(w).c_str());
    return ok ? 0 : 1;
  }
  if (cmd == L"count" && argc == 4) {
    int n = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, arg(2) == L"-" ? nullptr : argv[2],
                                              arg(3) == L"-" ? nullptr : argv[3])) != nullptr;)
      ++n;
    std::printf("%d\n", n);
    return 0;
  }
  if (cmd == L"info" && argc == 3) {
    HWND w = ParseHwnd(argv[2]);
    if (!IsWindow(w)) return 1;
    std::printf("%s\n", Describe(w).c_str());
    return 0;
  }
  if (cmd == L"windows") {
    TopLevel t;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&t));
    for (HWND w : t.found) std::printf("%s\n", Describe(w).c_str());
    return 0;
  }
  if (cmd == L"msgbox" && argc == 3) {
    TopLevel t;
    t.dialogsOnly = true;
    bool ok = WaitFor(_wtoi(argv[2]), [&] {
      t.found.clear();
      EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&t));
      return !t.found.empty();
    });
    if (!ok) return 1;
    HWND w = t.found.front();
    // The text control may be filled a moment after the box appears.
    MessageBoxInfo info;
    WaitFor(1000, [&] {
      info = {};
      EnumChildWindows(w, CollectChild, reinterpret_cast<LPARAM>(&info));
      return !info.text.empty();
    });
    std::string buttons;
    for (auto& b : info.buttons) buttons += (buttons.empty() ? "" : ",") + Json(b);
    std::string d = Describe(w);
    d.pop_back();
    std::printf("%s,\"text\":%s,\"buttons\":[%s]}\n", d.c_str(), Json(info.text).c_str(), buttons.c_str());
    return 0;
  }
  if (cmd == L"press" && argc == 4) {
    std::pair<std::wstring, HWND> want{arg(3), nullptr};
    EnumChildWindows(ParseHwnd(argv[2]), FindButton, reinterpret_cast<LPARAM>(&want));
    if (!want.second) return 1;
    PostMessageW(GetParent(want.second), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(want.second), BN_CLICKED),
                 reinterpret_cast<LPARAM>(want.second));
    return 0;
  }
  if ((cmd == L"post" || cmd == L"send") && argc == 6) {
    HWND w = ParseHwnd(argv[2]);
    UINT msg = UINT(wcstoul(argv[3], nullptr, 0));
    WPARAM wp = WPARAM(_wcstoui64(argv[4], nullptr, 0));
    LPARAM lp = LPARAM(_wcstoi64(argv[5], nullptr, 0));
    if (cmd == L"post") return PostMessageW(w, msg, wp, lp) ? 0 : 1;
    std::printf("%lld\n", static_cast<long long>(SendMessageW(w, msg, wp, lp)));
    return 0;
  }
  if (cmd == L"size" && argc == 5) {
    HWND w = ParseHwnd(argv[2]);
    return SetWindowPos(w, nullptr, 0, 0, _wtoi(argv[3]), _wtoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
  }
  if (cmd == L"tree" && argc == 3) {
    DumpTree(ParseHwnd(argv[2]));
    return 0;
  }
  if (cmd == L"alpha" && argc == 3) {
    BYTE alpha = 255;
    DWORD flags = 0;
    HWND w = ParseHwnd(argv[2]);
    if (!(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !GetLayeredWindowAttributes(w, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
      alpha = 255;
    std::printf("%u\n", unsigned(alpha));
    return 0;
  }
  if (cmd == L"rows" && argc == 3) {
    ListRows(ParseHwnd(argv[2]), -1);
    return 0;
  }
  if (cmd == L"selrow" && argc == 4) {
    ListRows(ParseHwnd(argv[2]), _wtoi(argv[3]));
    return 0;
  }
  if (cmd == L"foreground") {
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetForegroundWindow())));
    return 0;
  }
  if (cmd == L"register" && argc == 3) {
    std::printf("%u\n", RegisterWindowMessageW(argv[2]));
    return 0;
  }
  if (cmd == L"untray" && argc == 4) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = ParseHwnd(argv[2]);
    data.uID = UINT(_wtoi(argv[3]));
    return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
  }
  if (cmd == L"hold" && argc == 4) {
    HANDLE h = CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(DWORD(_wtoi(argv[3])));
    CloseHandle(h);
    return 0;
  }
  if (cmd == L"child" && argc >= 4) {
    ChildSearch search{arg(3), argc > 4 ? _wtoi(argv[4]) : 0};
    EnumChildWindows(ParseHwnd(argv[2]), FindChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    std::printf("%s\n", Describe(search.found).c_str());
    return 0;
  }
  if (cmd == L"prop" && argc == 4) {
    return GetPropW(ParseHwnd(argv[2]), argv[3]) ? 0 : 1;
  }
  if (cmd == L"item" && argc == 4) {
    HWND item = GetDlgItem(ParseHwnd(argv[2]), _wtoi(argv[3]));
    if (!item) return 1;
    // Asked of the control itself: GetWindowText does not ask another
    // process's controls.
    wchar_t text[1024] = {};
    DWORD_PTR unused = 0;
    SendMessageTimeoutW(item, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
    DWORD_PTR check = 0;
    SendMessageTimeoutW(item, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &check);
    std::string d = Describe(item);
    d.pop_back();
    std::printf("%s,\"text\":%s,\"checked\":%s}\n", d.c_str(), Json(text).c_str(), check == BST_CHECKED ? "true" : "false");
    return 0;
  }
  if (cmd == L"settext" && argc == 4) {
    return SendMessageW(ParseHwnd(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3])) ? 0 : 1;
  }
  if (cmd == L"menu" && argc == 3) {
    HMENU m = GetMenu(ParseHwnd(argv[2]));
    if (!m) return 1;
    DumpMenu(m, "");
    return 0;
  }
  if (cmd == L"move" && argc == 4) {
    SetCursorPos(_wtoi(argv[2]), _wtoi(argv[3]));
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    return 0;
  }
  if (cmd == L"drag" && argc == 6) {
    int x1 = _wtoi(argv[2]), y1 = _wtoi(argv[3]), x2 = _wtoi(argv[4]), y2 = _wtoi(argv[5]);
    SetCursorPos(x1, y1);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &down, sizeof down);
    for (int i = 1; i <= 10; ++i) {
      Sleep(20);
      SetCursorPos(x1 + (x2 - x1) * i / 10, y1 + (y2 - y1) * i / 10);
      INPUT move{};
      move.type = INPUT_MOUSE;
      move.mi.dwFlags = MOUSEEVENTF_MOVE;
      SendInput(1, &move, sizeof move);
    }
    Sleep(50);
    INPUT up{};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &up, sizeof up);
    return 0;
  }
  if (cmd == L"click" && argc >= 4) {
    // click X Y [right] [double] [ctrl]
    bool right = false, twice = false, ctrl = false;
    for (int i = 4; i < argc; ++i) {
      std::wstring o = argv[i];
      if (o == L"right") right = true;
      else if (o == L"double") twice = true;
      else if (o == L"ctrl") ctrl = true;
      else if (o == L"left") continue;
      else return Usage();
    }
    SetCursorPos(_wtoi(argv[2]), _wtoi(argv[3]));
    DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    std::vector<INPUT> in;
    if (ctrl) in.push_back(KeyInput(VK_CONTROL, 0, 0));
    for (int i = 0; i < (twice ? 2 : 1); ++i)
      for (DWORD f : {down, up}) {
        INPUT m{};
        m.type = INPUT_MOUSE;
        m.mi.dwFlags = f;
        in.push_back(m);
      }
    if (ctrl) in.push_back(KeyInput(VK_CONTROL, 0, KEYEVENTF_KEYUP));
    Input(in);
    return 0;
  }
  if (cmd == L"type" && argc == 3) {
    std::vector<INPUT> in;
    for (wchar_t c : arg(2)) {
      in.push_back(KeyInput(0, c, KEYEVENTF_UNICODE));
      in.push_back(KeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    Input(in);
    return 0;
  }
  if (cmd == L"key" && argc >= 3) {
    std::vector<WORD> mods;
    for (int i = 3; i < argc; ++i) {
      std::wstring m = argv[i];
      if (m == L"ctrl") mods.push_back(VK_CONTROL);
      else if (m == L"alt") mods.push_back(VK_MENU);
      else if (m == L"shift") mods.push_back(VK_SHIFT);
      else if (m == L"win") mods.push_back(VK_LWIN);
      else return Usage();
    }
    WORD vk = WORD(wcstoul(argv[2], nullptr, 0));
    std::vector<INPUT> in;
    for (WORD m : mods) in.push_back(KeyInput(m, 0, 0));
    in.push_back(KeyInput(vk, 0, 0));
    in.push_back(KeyInput(vk, 0, KEYEVENTF_KEYUP));
    for (auto it = mods.rbegin(); it != mods.rend(); ++it) in.push_back(KeyInput(*it, 0, KEYEVENTF_KEYUP));
    Input(in);
    return 0;
  }
  if (cmd == L"prompt" && argc == 4) {
    HWND w = CreateWindowExW(0, L"#32770", argv[2], WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 300,
                             120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!w) return 1;
    // A close request ends it, as it ends the real prompt.
    static WNDPROC dialogProc = nullptr;
    dialogProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
          if (msg == WM_CLOSE) {
            DestroyWindow(h);
            return 0;
          }
          return CallWindowProcW(dialogProc, h, msg, wp, lp);
        })));
    std::printf("%llu\n", (unsigned long long)(uintptr_t)w);
    std::fflush(stdout);
    const DWORD end = GetTickCount() + DWORD(_wtoi(argv[3]));
    MSG m;
    while (int(GetTickCount() - end) < 0) {
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      if (!IsWindow(w)) {
        std::printf("closed\n");
        return 0;
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return 1;
  }
  if (cmd == L"dosdevice" && argc == 3) {
    wchar_t target[1024] = {};
    if (!QueryDosDeviceW(argv[2], target, 1024)) return 1;
    std::printf("%s\n", Utf8(target).c_str());
    return 0;
  }
  if (cmd == L"drivetype" && argc == 3) {
    std::printf("%u\n", GetDriveTypeW(argv[2]));
    return 0;
  }
  if (cmd == L"device" && argc == 5) {
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (towupper(argv[4][0]) - L'A');
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(ParseHwnd(argv[2]), WM_DEVICECHANGE, WPARAM(wcstoul(argv[3], nullptr, 0)),
                               reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG, 10000, &result)
               ? 0
               : 1;
  }
  if (cmd == L"unmount" && argc == 3) {
    HANDLE mgr = CreateFileW(MOUNTMGR_DOS_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (mgr == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "mount manager: error %lu\n", GetLastError());
      return 1;
    }
    // The request as Wine 8's mount manager reads it (mingw-w64's header has an older, shorter one).
    struct {
      ULONG size, type, fs_type;
      DWORD serial;
      ULONGLONG unix_dev;
      WCHAR letter;
      USHORT mount_point_offset, device_offset, label_offset;
    } drive{};
    drive.size = sizeof drive;
    drive.type = DRIVE_NO_ROOT_DIR;
    drive.letter = wchar_t(towlower(argv[2][0]));
    DWORD got = 0;
    BOOL ok = DeviceIoControl(mgr, IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE, &drive, sizeof drive, nullptr, 0, &got, nullptr);
    if (!ok) std::fprintf(stderr, "define unix drive: error %lu\n", GetLastError());
    CloseHandle(mgr);
    return ok ? 0 : 1;
  }
  if (cmd == L"desktop" && (argc == 3 || argc == 5)) {
    if (argc == 5 && !RegisterHotKey(nullptr, 1, UINT(_wtoi(argv[4])), UINT(wcstoul(argv[3], nullptr, 0)))) return 1;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Progman";
    RegisterClassW(&wc);
    wc.lpszClassName = L"SHELLDLL_DefView";
    RegisterClassW(&wc);
    HWND progman = CreateWindowExW(WS_EX_TOOLWINDOW, L"Progman", L"Program Manager", WS_POPUP, 0, 0, 1, 1, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, progman, nullptr, wc.hInstance,
                    nullptr);
    const DWORD end = GetTickCount() + DWORD(_wtoi(argv[2]));
    MSG m;
    while (int(GetTickCount() - end) < 0) {
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return 0;
  }
  return Usage();
}
