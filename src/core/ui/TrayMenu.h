#pragma once
// What the tray icon shows: its hint, the fixed right-click menu and the
// left-click menu of every item tab, built anew from the panel's trees.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/Language.h"
#include "core/items/ItemRecord.h"

namespace kestro {

class PanelModel;
class MessageTable;
class MacroValues;
class IShell;

// "Kestro v1.3.5.1", a carriage return, the drive in upper case and the
// "in use" message right after it.
std::string TrayHint(const std::string& programDrive, const MessageTable& messages);

// A caption shown as typed: "&" would otherwise underline the next letter.
std::string MenuCaption(std::string_view text);

// The three captions of the right-click menu: from the language file in
// use, else the built-in Korean ones. Shown as typed.
TrayMenuCaptions TrayRightCaptions(const std::optional<TrayMenuCaptions>& fromLanguage);

// What a launcher entry starts; the macros are still in both strings.
struct TrayLaunch {
  std::string path;
  std::string parameters;
  bool operator==(const TrayLaunch&) const = default;
};

struct TrayMenuEntry {
  enum class Kind {
    ShowPanel,  // the first entry: shows the panel
    Launch,     // an item; `children` makes it a submenu (groups)
    TabMenu,    // an item tab as a submenu
    Separator,
    Blank,      // a node of an unknown kind: no caption, no action
  };
  Kind kind = Kind::Blank;
  std::string caption;     // already escaped for a menu
  int32_t image = kNoPicture;  // in the shared 16 x 16 list
  int launch = -1;         // index into TrayMenuModel::launches
  std::vector<TrayMenuEntry> children;
};

struct TrayMenuModel {
  std::vector<TrayMenuEntry> entries;
  std::vector<TrayLaunch> launches;
};

// The left-click menu: the `showPanelCaption` entry, then for every item
// tab in tab order a separator and its tree (in a submenu with the tab's
// caption when `tabsAsSubmenus`). Groups become submenus; a group hidden
// from the tray is left out with everything below it.
TrayMenuModel BuildTrayMenu(const PanelModel& panel, bool tabsAsSubmenus, std::string_view showPanelCaption);

// Starts a launcher entry: both strings with their macros expanded, shown
// normally. An entry without a path starts nothing.
void LaunchTrayEntry(const TrayLaunch& launch, IShell& shell, const MacroValues& macros);

}  // namespace kestro
