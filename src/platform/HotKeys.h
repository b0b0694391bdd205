#pragma once
// System-wide key combinations, registered for one of the program's windows.
#include <cstdint>
#include <string>

namespace kestro {

// System slots belong to the hidden main window, item shortcuts to the panel.
enum class HotKeyWindow { Main, Panel };

class IHotKeys {
 public:
  virtual ~IHotKeys() = default;
  // The same name gives the same identifier for the whole run.
  virtual int32_t IdentifierOf(const std::string& name) = 0;
  // False when the combination is taken (by another program or already by us).
  virtual bool Register(HotKeyWindow window, int32_t identifier, uint32_t fsModifiers, uint32_t virtualKey) = 0;
  virtual void Unregister(HotKeyWindow window, int32_t identifier) = 0;
};

}  // namespace kestro
