#include "core/app/Shortcuts.h"

#include "core/config/ShortcutCodes.h"

namespace kestro {

SlotAction ActionOfSlot(int slot) {
  switch (slot) {
    case 0: return SlotAction::TogglePanel;
    case 1: return SlotAction::TrayMenu;
    case 2: return SlotAction::Quit;
    case 3: return SlotAction::DesktopIcons;
    default: return SlotAction::None;
  }
}

std::string SlotName(int slot) {
  static const char* const names[kShortcutSlots] = {"Open/Close ViewPanel", "Open/Close TrayMenu", "Quit Kestro",
                                                    "Show/Hide Desktop Icon", "shortcut 5"};
  return slot >= 0 && slot < kShortcutSlots ? names[slot] : "";
}

bool GlobalShortcuts::Register(HotKeyWindow window, int32_t identifier, int32_t modifierCode, int32_t keyCode,
                               std::string owner) {
  auto mods = FsModifiersOf(modifierCode);
  auto vk = VirtualKeyOf(keyCode);
  // A code outside the encoding comes from an edited document: nothing is
  // registered for it, and the notice says so rather than dropping it.
  if (mods && vk && keys_.Register(window, identifier, *mods, *vk)) return true;
  std::string combination = ShortcutSettingsText(modifierCode, keyCode);
  if (combination.empty())
    combination = "modifier " + std::to_string(modifierCode) + ", key " + std::to_string(keyCode);
  failures_.push_back({std::move(combination), std::move(owner)});
  return false;
}

bool GlobalShortcuts::RegisterSlot(int slot, const ShortcutSlot& value) {
  slotIds_[slot] = keys_.IdentifierOf("shortkey" + std::to_string(slot));
  return Register(HotKeyWindow::Main, slotIds_[slot], value.mainkey, value.subkey, SlotName(slot));
}

void GlobalShortcuts::RegisterSlots(const EnvSet& env) {
  for (int n = 0; n < kShortcutSlots; ++n)
    if (env.shortcuts[n].useshortkey == 1) RegisterSlot(n, env.shortcuts[n]);
}

bool GlobalShortcuts::ReregisterSlot(int slot, const ShortcutSlot& value) {
  if (slot < 0 || slot >= kShortcutSlots) return false;
  UnregisterSlot(slot);
  return value.useshortkey != 1 || RegisterSlot(slot, value);
}

void GlobalShortcuts::UnregisterSlot(int slot) {
  if (slot < 0 || slot >= kShortcutSlots) return;
  slotIds_[slot] = keys_.IdentifierOf("shortkey" + std::to_string(slot));
  keys_.Unregister(HotKeyWindow::Main, slotIds_[slot]);
}

void GlobalShortcuts::UnregisterSlots() {
  for (int n = 0; n < kShortcutSlots; ++n) UnregisterSlot(n);
}

void GlobalShortcuts::RegisterItems(ItemShortcutTable& table) {
  for (ItemShortcut& e : table.Entries()) {
    e.identifier = keys_.IdentifierOf(e.identifierName);
    Register(HotKeyWindow::Panel, e.identifier, e.modifierCode, e.keyCode, "item \"" + e.name + "\"");
  }
}

std::optional<int> GlobalShortcuts::SlotOf(int32_t identifier) const {
  if (identifier == 0) return std::nullopt;
  for (int n = 0; n < kShortcutSlots; ++n)
    if (slotIds_[n] == identifier) return n;
  return std::nullopt;
}

std::string GlobalShortcuts::TakeFailureNotice() {
  if (failures_.empty()) return {};
  std::string text = "These shortcuts could not be registered (another program may be using them):";
  for (const ShortcutFailure& f : failures_) text += "\r\n" + f.combination + "  -  " + f.owner;
  failures_.clear();
  return text;
}

}  // namespace kestro
