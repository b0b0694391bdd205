#pragma once
// RegisterHotKey for the main window and the panel, identifiers from global atoms.
#include <windows.h>

#include "platform/HotKeys.h"

namespace kestro::win {

class Win32HotKeys : public IHotKeys {
 public:
  void SetWindows(HWND main, HWND panel) {
    main_ = main;
    panel_ = panel;
  }
  int32_t IdentifierOf(const std::string& name) override;
  bool Register(HotKeyWindow window, int32_t identifier, uint32_t fsModifiers, uint32_t virtualKey) override;
  void Unregister(HotKeyWindow window, int32_t identifier) override;

 private:
  HWND Of(HotKeyWindow w) const { return w == HotKeyWindow::Main ? main_ : panel_; }
  HWND main_ = nullptr;
  HWND panel_ = nullptr;
};

}  // namespace kestro::win
