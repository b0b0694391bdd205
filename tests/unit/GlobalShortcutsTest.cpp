#include <gtest/gtest.h>

#include "core/app/Shortcuts.h"
#include "unit/FakeHotKeys.h"

namespace kestro {
namespace {

using testing::FakeHotKeys;

EnvSet WithSlots(std::initializer_list<std::pair<int, ShortcutSlot>> slots) {
  EnvSet env;
  for (auto& [n, s] : slots) env.shortcuts[n] = s;
  return env;
}

TEST(GlobalShortcuts, SlotsHaveFixedActions) {
  const SlotAction want[] = {SlotAction::TogglePanel, SlotAction::TrayMenu, SlotAction::Quit,
                             SlotAction::DesktopIcons, SlotAction::None};
  for (int n = 0; n < kShortcutSlots; ++n) EXPECT_EQ(ActionOfSlot(n), want[n]) << n;
  EXPECT_EQ(ActionOfSlot(7), SlotAction::None);
  EXPECT_TRUE(QuitSlotAllowed(false));
  EXPECT_FALSE(QuitSlotAllowed(true));
  // The flag only follows a view that was there to show or hide.
  EXPECT_FALSE(DesktopIconsShownAfterToggle(true, true));
  EXPECT_TRUE(DesktopIconsShownAfterToggle(false, true));
  EXPECT_TRUE(DesktopIconsShownAfterToggle(true, false));
  EXPECT_FALSE(DesktopIconsShownAfterToggle(false, false));
}

TEST(GlobalShortcuts, SlotsInUseAreRegisteredOnTheMainWindowUnderTheirAtoms) {
  FakeHotKeys keys;
  GlobalShortcuts shortcuts(keys);
  shortcuts.RegisterSlots(WithSlots({{0, {1, 0, 0}}, {2, {1, 9, 26}}, {3, {0, 1, 1}}, {4, {1, 11, 26}}}));
  const int32_t slot0 = keys.IdentifierOf("shortkey0"), slot2 = keys.IdentifierOf("shortkey2"),
                slot4 = keys.IdentifierOf("shortkey4");
  EXPECT_EQ(keys.registered.size(), 2u);
  EXPECT_EQ((keys.registered[{HotKeyWindow::Main, slot0}]), (FakeHotKeys::Combination{3, 65}));
  EXPECT_EQ((keys.registered[{HotKeyWindow::Main, slot2}]), (FakeHotKeys::Combination{14, 48}));
  EXPECT_EQ(shortcuts.SlotOf(slot0), 0);
  EXPECT_EQ(shortcuts.SlotOf(slot2), 2);
  EXPECT_EQ(shortcuts.SlotOf(slot4), 4);  // refused, yet its identifier is known
  // Slot 3 is not in use; its name was never made an identifier.
  EXPECT_EQ(shortcuts.SlotOf(keys.IdentifierOf("shortkey3")), std::nullopt);
  EXPECT_EQ(shortcuts.SlotOf(0), std::nullopt);
  // Slots 2 and 4 have one combination under two codes (9 and 11): the
  // second is refused, and the notice tells.
  ASSERT_EQ(shortcuts.Failures().size(), 1u) << "codes 9 and 11 are one combination";
  EXPECT_EQ(shortcuts.Failures()[0], (ShortcutFailure{"Win + Shift + Ctrl + 0", "shortcut 5"}));
}

TEST(GlobalShortcuts, ItemShortcutsGetAtomsByPositionAndTheFirstOfTwoEqualCombinationsWins) {
  FakeHotKeys keys;
  GlobalShortcuts shortcuts(keys);
  ItemShortcutTable table;
  table.Add("%DRIVE%\\a.exe", 0, 27, "Editor");
  table.Add("%DRIVE%\\b.exe", 0, 27, "Viewer");
  table.Add("%DRIVE%\\c.exe", 1, 2, "Notes");
  shortcuts.RegisterItems(table);
  const auto& e = table.Entries();
  EXPECT_EQ(e[0].identifier, keys.IdentifierOf("hotkey0"));
  EXPECT_EQ(e[1].identifier, keys.IdentifierOf("hotkey1"));
  EXPECT_EQ(e[2].identifier, keys.IdentifierOf("hotkey2"));
  EXPECT_EQ((keys.registered[{HotKeyWindow::Panel, e[0].identifier}]), (FakeHotKeys::Combination{3, 49}));
  EXPECT_EQ(keys.registered.count({HotKeyWindow::Panel, e[1].identifier}), 0u);
  EXPECT_EQ((keys.registered[{HotKeyWindow::Panel, e[2].identifier}]), (FakeHotKeys::Combination{6, 67}));
  // Item identifiers never stand for a slot.
  EXPECT_EQ(shortcuts.SlotOf(e[0].identifier), std::nullopt);
  EXPECT_EQ(shortcuts.TakeFailureNotice(),
            "These shortcuts could not be registered (another program may be using them):\r\n"
            "Ctrl + Alt + 1  -  item \"Viewer\"");
}

TEST(GlobalShortcuts, OneNoticeListsEveryRefusedCombinationThenIsEmpty) {
  FakeHotKeys keys;
  keys.heldElsewhere = {{3, 81}, {8, 69}};  // Ctrl+Alt+Q, Win+E
  GlobalShortcuts shortcuts(keys);
  ItemShortcutTable table;
  table.Add("x.exe", 4, 4, "Mail");      // Win + E: taken
  table.Add("y.exe", 0, 25, "Zip");      // free
  table.Add("z.exe", 12, 3, "Broken");   // an edited document's code
  shortcuts.RegisterItems(table);
  shortcuts.RegisterSlots(WithSlots({{0, {1, 0, 16}}, {2, {1, 0, 16}}, {3, {1, 2, 3}}}));
  EXPECT_EQ(keys.registered.size(), 2u);  // Zip and slot 3
  EXPECT_EQ(shortcuts.TakeFailureNotice(),
            "These shortcuts could not be registered (another program may be using them):\r\n"
            "Win + E  -  item \"Mail\"\r\n"
            "modifier 12, key 3  -  item \"Broken\"\r\n"
            "Ctrl + Alt + Q  -  Open/Close ViewPanel\r\n"
            "Ctrl + Alt + Q  -  Quit Kestro");
  EXPECT_EQ(shortcuts.TakeFailureNotice(), "");
}

TEST(GlobalShortcuts, TheSettingsDialogReregistersAndClearsSlots) {
  FakeHotKeys keys;
  GlobalShortcuts shortcuts(keys);
  shortcuts.RegisterSlots(WithSlots({{1, {1, 0, 1}}}));
  const int32_t id = keys.IdentifierOf("shortkey1");
  keys.calls.clear();
  // Changing the combination gives up the old one first, under the same identifier.
  EXPECT_TRUE(shortcuts.ReregisterSlot(1, {1, 2, 2}));
  EXPECT_EQ(keys.calls, (std::vector<std::string>{"unregister " + std::to_string(id),
                                                  "register " + std::to_string(id) + " 5+67"}));
  // Set to what another program holds: refused and reported.
  keys.heldElsewhere = {{5, 68}};
  EXPECT_FALSE(shortcuts.ReregisterSlot(1, {1, 2, 3}));
  EXPECT_EQ(keys.registered.count({HotKeyWindow::Main, id}), 0u);
  EXPECT_EQ(shortcuts.Failures().size(), 1u);
  // Cleared: unregistered and not registered again.
  EXPECT_TRUE(shortcuts.ReregisterSlot(1, {1, 2, 2}));
  keys.calls.clear();
  EXPECT_TRUE(shortcuts.ReregisterSlot(1, {0, -1, -1}));
  EXPECT_EQ(keys.calls, (std::vector<std::string>{"unregister " + std::to_string(id)}));
  EXPECT_TRUE(keys.registered.empty());
  EXPECT_FALSE(shortcuts.ReregisterSlot(5, {1, 0, 0}));
  shortcuts.RegisterSlots(WithSlots({{0, {1, 0, 0}}, {4, {1, 0, 4}}}));
  shortcuts.UnregisterSlots();
  EXPECT_TRUE(keys.registered.empty());
}

}  // namespace
}  // namespace kestro
