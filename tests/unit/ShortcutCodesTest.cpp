#include <gtest/gtest.h>

#include "core/config/ShortcutCodes.h"
#include "core/items/ItemShortcutTable.h"

namespace kestro {
namespace {

TEST(ShortcutCodesTest, ModifierCodesRegisterTheirCombination) {
  const uint32_t expected[kModifierCodeCount] = {3, 6, 5, 7, 8, 12, 10, 9, 11, 14, 13, 14};
  for (int32_t code = 0; code < kModifierCodeCount; ++code) EXPECT_EQ(FsModifiersOf(code), expected[code]) << code;
  EXPECT_EQ(*FsModifiersOf(0), kModAlt | kModControl);
  EXPECT_EQ(*FsModifiersOf(9), kModWin | kModControl | kModShift);
  EXPECT_FALSE(FsModifiersOf(-1));
  EXPECT_FALSE(FsModifiersOf(12));
}

TEST(ShortcutCodesTest, KeyCodesAreLettersThenDigits) {
  EXPECT_EQ(VirtualKeyOf(0), 65u);
  EXPECT_EQ(VirtualKeyOf(25), 90u);
  EXPECT_EQ(VirtualKeyOf(26), 48u);
  EXPECT_EQ(VirtualKeyOf(35), 57u);
  EXPECT_FALSE(VirtualKeyOf(-1));
  EXPECT_FALSE(VirtualKeyOf(36));
  EXPECT_EQ(KeyText(2), "C");
  EXPECT_EQ(KeyText(26), "0");
  EXPECT_EQ(KeyText(27), "1");
  EXPECT_EQ(KeyText(35), "9");
  EXPECT_EQ(KeyText(36), "");
  for (int32_t code = 0; code < kKeyCodeCount; ++code)
    EXPECT_EQ(KeyText(code), std::string(1, char(*VirtualKeyOf(code)))) << code;
}

TEST(ShortcutCodesTest, TheFourTextsOfACombination) {
  EXPECT_EQ(ShortcutDisplayText(0, 0), "Control + Alt + A");
  EXPECT_EQ(ShortcutSettingsText(0, 0), "Ctrl + Alt + A");
  EXPECT_EQ(ShortKeyString(0, 0), "Ctrl + Alt + A");
  EXPECT_EQ(ShortcutDisplayText(0, 27), "Control + Alt + 1");
  EXPECT_EQ(ShortcutDisplayText(3, 25), "Shift + Control + Alt + Z");
  EXPECT_EQ(ShortKeyString(7, 31), "Win +  Alt + 5");
  EXPECT_EQ(ShortcutSettingsText(7, 31), "Win + Alt + 5");
  EXPECT_STREQ(ModifierCodes[4].itemDialogComboText, "Windows");
  EXPECT_STREQ(ModifierCodes[4].settingsComboText, "Win");
  EXPECT_EQ(ShortcutDisplayText(12, 0), "");
  EXPECT_EQ(ShortcutDisplayText(0, -1), "");
  EXPECT_EQ(ShortKeyString(-1, 0), "");
}

TEST(ShortcutCodesTest, EveryTextNamesTheModifiersItRegisters) {
  // Each column spells the same combination as the fsModifiers value.
  auto names = [](const std::string& text) {
    uint32_t bits = 0;
    if (text.find("Alt") != std::string::npos) bits |= kModAlt;
    if (text.find("Ctrl") != std::string::npos || text.find("Control") != std::string::npos) bits |= kModControl;
    if (text.find("Shift") != std::string::npos) bits |= kModShift;
    if (text.find("Win") != std::string::npos) bits |= kModWin;
    return bits;
  };
  for (const ModifierCode& m : ModifierCodes) {
    EXPECT_EQ(names(m.settingsComboText), m.fsModifiers) << m.settingsComboText;
    EXPECT_EQ(names(m.itemDialogComboText), m.fsModifiers) << m.itemDialogComboText;
    EXPECT_EQ(names(m.displayText), m.fsModifiers) << m.displayText;
    EXPECT_EQ(names(m.keyStringPrefix), m.fsModifiers) << m.keyStringPrefix;
  }
  // Codes 9 and 11 are one combination in every column.
  EXPECT_STREQ(ModifierCodes[9].settingsComboText, ModifierCodes[11].settingsComboText);
  EXPECT_STREQ(ModifierCodes[9].itemDialogComboText, ModifierCodes[11].itemDialogComboText);
  EXPECT_STREQ(ModifierCodes[9].displayText, ModifierCodes[11].displayText);
  EXPECT_STREQ(ModifierCodes[9].keyStringPrefix, ModifierCodes[11].keyStringPrefix);
}

TEST(ShortcutCodesTest, ItemShortcutsAreNamedByTheirPosition) {
  ItemShortcutTable table;
  table.Add("E:\\a.exe", 0, 0);
  const ItemShortcut& second = table.Add("%udrive%\\b.exe", 4, 26);
  EXPECT_EQ(second.identifierName, "hotkey1");
  EXPECT_EQ(second.path, "%udrive%\\b.exe");
  ASSERT_EQ(table.Size(), 2u);
  EXPECT_EQ(table.Entries()[0].identifierName, "hotkey0");
  EXPECT_EQ(table.Entries()[1].modifierCode, 4);
  EXPECT_EQ(table.Entries()[1].keyCode, 26);
}

}  // namespace
}  // namespace kestro
