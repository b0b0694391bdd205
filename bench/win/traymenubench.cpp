// Times the opening of the left-click tray menu against a plain popup menu of
// the same shape, in one process under Wine. Prints one JSON line.
//
//   traymenubench [RUNS]
//
// Kestro's menu: the menu model built from the panel's trees, its Win32
// menu with the pictures drawn from a 16 x 16 list, tracked until it is on
// screen. The plain menu: the same entries appended straight from the trees
// as strings, no pictures, tracked the same way. A menu counts as open when
// its loop first goes idle (WM_ENTERIDLE): it has been shown and painted.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/app/PanelModel.h"
#include "core/ui/TrayMenu.h"
#include "win/platform/WinText.h"
#include "win/ui/TrayMenus.h"

using namespace kestro;
using Clock = std::chrono::steady_clock;

namespace {

HIMAGELIST g_pictures = nullptr;
Clock::time_point g_start, g_open;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITMENUPOPUP:
      win::TrayMenuInitPopup(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_MEASUREITEM:
      if (win::TrayMenuMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_DRAWITEM:
      if (win::TrayMenuDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam), g_pictures)) return TRUE;
      break;
    case WM_ENTERIDLE:
      if (wParam == MSGF_MENU) {
        g_open = Clock::now();
        EndMenu();
      }
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// 2,000 items in 5 tabs: per tab 4 groups, each with 3 files and 4 groups,
// each of those with 2 files and 3 groups of 6 files (groups three deep).
void FillPanel(PanelModel& panel) {
  int n = 0;
  auto rec = [&](ItemKind kind) {
    TMyRec r;
    r.kind = kind;
    r.name = (kind == ItemKind::Group ? "Group " : "Program ") + std::to_string(++n);
    if (kind != ItemKind::Group) {
      r.path = "%udrive%\\apps\\p" + std::to_string(n) + "\\prog.exe";
      if (n % 3 == 0) r.parameters = "-a|b";
    }
    r.imageindex = n % 40;
    return r;
  };
  for (int t = 0; t < 5; ++t) {
    ItemTree& tree = *panel.AddPage("Tab " + std::to_string(t + 1), TabTag::Items).Tree();
    for (int g1 = 0; g1 < 4; ++g1) {
      ItemNode& a = tree.Add(nullptr, rec(ItemKind::Group));
      for (int f = 0; f < 3; ++f) tree.Add(&a, rec(ItemKind::File));
      for (int g2 = 0; g2 < 4; ++g2) {
        ItemNode& b = tree.Add(&a, rec(ItemKind::Group));
        for (int f = 0; f < 2; ++f) tree.Add(&b, rec(ItemKind::File));
        for (int g3 = 0; g3 < 3; ++g3) {
          ItemNode& c = tree.Add(&b, rec(ItemKind::Group));
          for (int f = 0; f < 6; ++f) tree.Add(&c, rec(ItemKind::File));
        }
      }
    }
  }
}

void AppendPlain(HMENU menu, const ItemTree& tree, const std::vector<ItemNode*>& nodes, UINT& id) {
  for (const ItemNode* node : nodes) {
    const TMyRec& r = node->Data();
    if (r.kind == ItemKind::Group && r.hidefromtray) continue;
    if (r.kind == ItemKind::Separator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!node->Children().empty()) {
      HMENU sub = CreatePopupMenu();
      AppendPlain(sub, tree, node->Children(), id);
      AppendMenuW(menu, MF_POPUP, UINT_PTR(sub), win::Widen(r.name).c_str());
    } else {
      AppendMenuW(menu, MF_STRING, id++, win::Widen(r.name).c_str());
    }
  }
}

HMENU PlainMenu(const PanelModel& panel) {
  HMENU menu = CreatePopupMenu();
  UINT id = 100;
  AppendMenuW(menu, MF_STRING, 1, L"Show ViewPanel");
  for (size_t i = 0; i < panel.PageCount(); ++i) {
    const ItemTree& tree = *panel.Page(i).Tree();
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendPlain(menu, tree, tree.TopLevel(), id);
  }
  return menu;
}

// Milliseconds from the start of the build until the menu is open.
double Open(HWND owner, const PanelModel& panel, bool kestro) {
  g_start = Clock::now();
  TrayMenuModel model;  // outlives the menu, whose submenus are filled from it
  if (kestro) model = BuildTrayMenu(panel, false, "Show ViewPanel");
  HMENU menu = kestro ? win::CreateTrayPopup(model) : PlainMenu(panel);
  SetForegroundWindow(owner);
  TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, 200, 100, owner, nullptr);
  const double ms = std::chrono::duration<double, std::milli>(g_open - g_start).count();
  DestroyMenu(menu);
  PostMessageW(owner, WM_NULL, 0, 0);
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
  InitCommonControls();
  // 40 pictures, as many items share the shell's few icons.
  g_pictures = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 40, 0);
  const LPCWSTR stock[] = {IDI_APPLICATION, IDI_ERROR, IDI_QUESTION, IDI_WARNING, IDI_INFORMATION};
  for (int i = 0; i < 40; ++i) ImageList_AddIcon(g_pictures, LoadIconW(nullptr, stock[i % 5]));

  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TrayMenuBench";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"bench", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               wc.hInstance, nullptr);

  PanelModel panel;
  FillPanel(panel);
  size_t items = 0;
  for (size_t i = 0; i < panel.PageCount(); ++i) items += panel.Page(i).Tree()->Count();

  // Warm up both, then alternate so that both see the same machine.
  Open(owner, panel, true);
  Open(owner, panel, false);
  std::vector<double> ours, plain;
  for (int i = 0; i < runs; ++i) {
    ours.push_back(Open(owner, panel, true));
    plain.push_back(Open(owner, panel, false));
  }
  // Where the time goes: the model alone, and the Win32 menu made from it.
  std::vector<double> model, menus;
  for (int i = 0; i < runs; ++i) {
    auto t0 = Clock::now();
    TrayMenuModel m = BuildTrayMenu(panel, false, "Show ViewPanel");
    auto t1 = Clock::now();
    HMENU h = win::CreateTrayPopup(m);
    auto t2 = Clock::now();
    DestroyMenu(h);
    model.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    menus.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
  }
  const double a = Median(ours), b = Median(plain);
  std::printf("{\"items\":%zu,\"runs\":%d,\"kestro_ms\":%.3f,\"plain_ms\":%.3f,\"kestro_min_ms\":%.3f,"
              "\"plain_min_ms\":%.3f,\"ratio\":%.3f,\"model_ms\":%.3f,\"menu_ms\":%.3f}\n",
              items, runs, a, b, *std::min_element(ours.begin(), ours.end()),
              *std::min_element(plain.begin(), plain.end()), a / b, Median(model), Median(menus));
  DestroyWindow(owner);
  return 0;
}
