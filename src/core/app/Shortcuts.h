#pragma once
// The program's global shortcuts: the five system slots of the settings and
// the item shortcuts of the panel; what a slot does when it is pressed, and
// the notice for combinations that could not be registered.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/config/EnvSet.h"
#include "core/items/ItemShortcutTable.h"
#include "platform/HotKeys.h"

namespace kestro {

enum class SlotAction { TogglePanel, TrayMenu, Quit, DesktopIcons, None };

// Slot 4 is registered when in use but has no action.
SlotAction ActionOfSlot(int slot);

// The slot's name in the notice (the English row text of the settings list).
std::string SlotName(int slot);

// The quit slot does nothing while the pictures load; no message either.
inline bool QuitSlotAllowed(bool iconLoadBusy) { return !iconLoadBusy; }

// The desktop-icons slot: the new value of `desktopIconsShown`, which only
// changes when the desktop's view window was there to show or hide.
inline bool DesktopIconsShownAfterToggle(bool shown, bool viewFound) { return viewFound ? !shown : shown; }

// A combination the system refused, and whose it is.
struct ShortcutFailure {
  std::string combination;  // "Ctrl + Alt + A"; the codes as read when outside the encoding
  std::string owner;        // a slot's name or "item " + the item's name
  bool operator==(const ShortcutFailure&) const = default;
};

class GlobalShortcuts {
 public:
  explicit GlobalShortcuts(IHotKeys& keys) : keys_(keys) {}

  // At the start: every slot whose `useshortkey` is 1.
  void RegisterSlots(const EnvSet& env);
  // The settings dialog after the user set or cleared a slot: the old
  // combination is given up first; a slot not in use stays unregistered.
  // False when the system refused the new combination.
  bool ReregisterSlot(int slot, const ShortcutSlot& value);
  void UnregisterSlot(int slot);
  void UnregisterSlots();

  // Once, after the trees were read, in their load order. Identifiers come
  // from "hotkey" + the position in the table.
  void RegisterItems(ItemShortcutTable& table);

  // The slot whose identifier this is, if any.
  std::optional<int> SlotOf(int32_t identifier) const;

  // The combinations refused since the last call, as one notice; empty
  // when every one was registered.
  std::string TakeFailureNotice();
  const std::vector<ShortcutFailure>& Failures() const { return failures_; }

 private:
  bool RegisterSlot(int slot, const ShortcutSlot& value);
  bool Register(HotKeyWindow window, int32_t identifier, int32_t modifierCode, int32_t keyCode,
                std::string owner);

  IHotKeys& keys_;
  std::array<int32_t, kShortcutSlots> slotIds_{};  // 0 = never registered
  std::vector<ShortcutFailure> failures_;
};

}  // namespace kestro
