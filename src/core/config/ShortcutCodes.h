#pragma once
// The encoding of a key combination as a modifier code (0-11) and a key code
// (0-35), its translation for the system's hot-key registration and the texts
// in which the combination is shown.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kestro {

// RegisterHotKey's modifier bits.
constexpr uint32_t kModAlt = 1;
constexpr uint32_t kModControl = 2;
constexpr uint32_t kModShift = 4;
constexpr uint32_t kModWin = 8;

constexpr int32_t kModifierCodeCount = 12;
constexpr int32_t kKeyCodeCount = 36;

struct ModifierCode {
  uint32_t fsModifiers;
  const char* settingsComboText;    // the settings dialog's combo box and shortcut list
  const char* itemDialogComboText;  // the item property dialog's combo box
  const char* displayText;          // item tree, find list, item hints
  const char* keyStringPrefix;      // GetShortKeyString, followed directly by the key text
};

// Indexed by modifier code. Codes 9 and 11 are the same combination.
extern const std::array<ModifierCode, kModifierCodeCount> ModifierCodes;

bool IsModifierCode(int32_t code);
bool IsKeyCode(int32_t code);

// Nothing for codes outside the encoding: such a combination is not registered.
std::optional<uint32_t> FsModifiersOf(int32_t modifierCode);
std::optional<uint32_t> VirtualKeyOf(int32_t keyCode);

// "A" ... "Z" for 0-25, "0" ... "9" for 26-35; empty outside.
std::string KeyText(int32_t keyCode);

// The whole combination; empty when either code is outside the encoding.
// Item tree, find list and hints: "Control + Alt + A".
std::string ShortcutDisplayText(int32_t modifierCode, int32_t keyCode);
// The settings dialog's shortcut list: "Ctrl + Alt + A".
std::string ShortcutSettingsText(int32_t modifierCode, int32_t keyCode);
// The settings dialog's GetShortKeyString: the prefix and the key text.
std::string ShortKeyString(int32_t modifierCode, int32_t keyCode);

}  // namespace kestro
