#include "win/ui/Modeless.h"

#include <algorithm>
#include <vector>

namespace kestro::win {

namespace {
// Only the user-interface thread creates and destroys them.
std::vector<HWND> g_dialogs;
}  // namespace

void AddModelessDialog(HWND dialog) { g_dialogs.push_back(dialog); }

void RemoveModelessDialog(HWND dialog) { std::erase(g_dialogs, dialog); }

bool ModelessDialogMessage(MSG& msg) {
  if (g_dialogs.empty() || !msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (std::find(g_dialogs.begin(), g_dialogs.end(), root) == g_dialogs.end()) return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}

void DestroyModelessDialogs() {
  // Each one takes itself off the list as it goes.
  while (!g_dialogs.empty()) {
    HWND dialog = g_dialogs.back();
    DestroyWindow(dialog);
    RemoveModelessDialog(dialog);
  }
}

int ModelessDialogCount() { return int(g_dialogs.size()); }

}  // namespace kestro::win
