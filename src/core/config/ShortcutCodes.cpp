#include "core/config/ShortcutCodes.h"

namespace kestro {

const std::array<ModifierCode, kModifierCodeCount> ModifierCodes = {{
    {kModAlt | kModControl, "Ctrl + Alt", "Ctrl + Alt", "Control + Alt", "Ctrl + Alt + "},
    {kModControl | kModShift, "Shift + Ctrl", "Shift + Ctrl", "Shift + Control", "Shift + Ctrl + "},
    {kModAlt | kModShift, "Shift + Alt", "Shift + Alt", "Shift + Alt", "Shift + Alt + "},
    {kModAlt | kModControl | kModShift, "Shift + Ctrl + Alt", "Shift + Ctrl + Alt", "Shift + Control + Alt",
     "Shift + Ctrl + Alt + "},
    {kModWin, "Win", "Windows", "Win", "Win + "},
    {kModWin | kModShift, "Win + Shift", "Windows + Shift", "Win + Shift", "Win + Shift + "},
    {kModWin | kModControl, "Win + Ctrl", "Windows + Ctrl", "Win + Control", "Win + Ctrl + "},
    // The prefix really has two blanks: the settings dialog shows it so.
    {kModWin | kModAlt, "Win + Alt", "Windows + Alt", "Win + Alt", "Win +  Alt + "},
    {kModWin | kModAlt | kModControl, "Win + Ctrl + Alt", "Windows + Ctrl + Alt", "Win + Control + Alt",
     "Win + Ctrl + Alt + "},
    {kModWin | kModControl | kModShift, "Win + Shift + Ctrl", "Windows + Shift + Ctrl", "Win + Shift + Control",
     "Win + Shift + Ctrl + "},
    {kModWin | kModAlt | kModShift, "Win + Shift + Alt", "Windows + Shift + Alt", "Win + Shift + Alt",
     "Win + Shift + Alt + "},
    {kModWin | kModControl | kModShift, "Win + Shift + Ctrl", "Windows + Shift + Ctrl", "Win + Shift + Control",
     "Win + Shift + Ctrl + "},
}};

bool IsModifierCode(int32_t code) { return code >= 0 && code < kModifierCodeCount; }
bool IsKeyCode(int32_t code) { return code >= 0 && code < kKeyCodeCount; }

std::optional<uint32_t> FsModifiersOf(int32_t modifierCode) {
  if (!IsModifierCode(modifierCode)) return std::nullopt;
  return ModifierCodes[modifierCode].fsModifiers;
}

std::optional<uint32_t> VirtualKeyOf(int32_t keyCode) {
  if (!IsKeyCode(keyCode)) return std::nullopt;
  return keyCode < 26 ? uint32_t('A' + keyCode) : uint32_t('0' + (keyCode - 26));
}

std::string KeyText(int32_t keyCode) {
  if (!IsKeyCode(keyCode)) return {};
  return keyCode < 26 ? std::string(1, char('A' + keyCode)) : std::to_string(keyCode - 26);
}

namespace {
std::string Combination(int32_t modifierCode, int32_t keyCode, const char* ModifierCode::*text,
                        const char* between) {
  if (!IsModifierCode(modifierCode) || !IsKeyCode(keyCode)) return {};
  return std::string(ModifierCodes[modifierCode].*text) + between + KeyText(keyCode);
}
}  // namespace

std::string ShortcutDisplayText(int32_t modifierCode, int32_t keyCode) {
  return Combination(modifierCode, keyCode, &ModifierCode::displayText, " + ");
}

std::string ShortcutSettingsText(int32_t modifierCode, int32_t keyCode) {
  return Combination(modifierCode, keyCode, &ModifierCode::settingsComboText, " + ");
}

std::string ShortKeyString(int32_t modifierCode, int32_t keyCode) {
  return Combination(modifierCode, keyCode, &ModifierCode::keyStringPrefix, "");
}

}  // namespace kestro
