#include "win/platform/HotKeys.h"

namespace kestro::win {

int32_t Win32HotKeys::IdentifierOf(const std::string& name) {
  // The atom stays for the run, so the same name gives the same identifier.
  return GlobalAddAtomA(name.c_str());
}

bool Win32HotKeys::Register(HotKeyWindow window, int32_t identifier, uint32_t fsModifiers, uint32_t virtualKey) {
  HWND w = Of(window);
  return w && identifier != 0 && RegisterHotKey(w, identifier, fsModifiers, virtualKey);
}

void Win32HotKeys::Unregister(HotKeyWindow window, int32_t identifier) {
  if (HWND w = Of(window)) UnregisterHotKey(w, identifier);
}

}  // namespace kestro::win
