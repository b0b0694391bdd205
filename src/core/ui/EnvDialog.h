#pragma once
// The settings dialog's decisions: what its controls show for the settings,
// the rules while it is open, and what OK writes back and applies. Filling
// changes no setting and applies nothing; the window only shows these
// values and carries out what OK returns.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/PanelModel.h"
#include "core/config/EnvSet.h"
#include "platform/FileSystem.h"
#include "platform/Icons.h"

namespace kestro {

// The rows of the shortcut list: slots 0-3 (slot 4 has no row).
constexpr int kShortcutRows = 4;

// Panel opacity (0-255) and the slider's percent (10-100).
int TransPercentOf(int32_t opacity);
int32_t OpacityOfPercent(int percent);

// A list of texts and the selected entry (-1: none).
struct ChoiceList {
  std::vector<std::string> entries;
  int selected = -1;
  std::string SelectedText() const { return selected >= 0 && size_t(selected) < entries.size() ? entries[selected] : ""; }
};

// "Default(korea)", then the language files among the entries of the
// program's folder (SearchLngFile); `language` is selected ignoring case (none when it
// names no entry), the first entry when it is empty.
ChoiceList LanguageChoices(const std::vector<std::string>& fileNames, const std::string& language);

// E: to Z: each letter that is free, and the program's own drive;
// `fixdrivename` selected when offered. A-D are never offered.
ChoiceList FixDriveChoices(const std::string& programDrive, const std::function<bool(char letter)>& letterFree,
                           const std::string& fixdrivename);

// The check box of the fixed drive: the caption followed by the drive and ")".
std::string FixDriveCaption(const std::string& caption, const std::string& programDrive);

// What the controls hold; filled from the settings, read back on OK.
struct EnvDialogValues {
  // Page 1
  std::string title;
  int itemInfo = 0;       // 0-5
  int xbuttonAction = 0;  // 0-2
  bool showOnStart = false, fixWindow = false, freeSpaceBar = false, tooltip = false, treeLine = false,
       deleteExt = false;
  int transPercent = 100;
  ChoiceList languages;
  // Page 2
  bool useFixDrive = false;
  ChoiceList drives;
  bool tryRemoveDrive = false, exitUsbPrg = false, exitTempPrg = false, exitShellPrg = false;
  // Page 3: the pending paths of the folder and group pictures (empty: the default picture)
  bool folderIcon = false, groupIcon = false;
  std::string folderIconPath, groupIconPath;
  bool changeDriveIcon = false;
  std::string driveIconFolder;
  // Page 4
  bool changeWallpaper = false;
  std::string wallpaperName;  // empty when the stored file is missing
  bool hideIcon = false;
  // Page 5: the shortcut column of each row
  std::array<std::string, kShortcutRows> shortcutTexts;
  // Page 6
  bool trayMenuTab = false, usbAllExit = false, startUseUpFavorite = false, startUseUpExeLink = false;
  // The PC edition: the drive entries are greyed.
  bool driveEntriesEnabled = true;
};

// What the fill needs besides the settings.
struct EnvDialogContext {
  std::string programDrive;  // "E:"
  bool pcEdition = false;
  std::vector<std::string> folderEntries;      // the program folder's listing
  std::function<bool(char letter)> letterFree;  // GetDriveType says no root directory
  std::function<bool(const std::string& path)> fileExists;
};

EnvDialogValues FillEnvDialog(const EnvSet& env, const EnvDialogContext& ctx);

// The drive-removal box turns the three program boxes on or off with it.
void TryRemoveDriveClicked(EnvDialogValues& v, bool on);

// The controls whose user changes reach the settings at once, whichever way
// the dialog then closes. Only user actions call it, never the fill.
enum class LiveControl { ItemInfo, TryRemoveDrive, ExitUsbPrg, ExitTempPrg, DriveIconFolder };
void KeepLiveValue(EnvSet& env, const EnvDialogValues& v, LiveControl control);

// The shortcut column of a row: the key string of a slot in use, else empty.
std::string ShortcutRowText(const ShortcutSlot& slot);

// "설 정" with the two combo positions: the slot to store, or nothing when
// either choice is missing (a slot is never stored half chosen).
std::optional<ShortcutSlot> ShortcutSlotFromChoice(int modifierIndex, int keyIndex);
// The row text right after "설 정": the two combo texts joined by " + ".
std::string ShortcutChoiceText(int modifierIndex, int keyIndex);

// What OK asks the windows to do after writing the settings.
struct EnvDialogApply {
  std::string panelCaption;  // "Kestro" when the title is empty
  int32_t opacity = 255;
  bool freeSpaceBar = false;
  std::string appIcon;  // absolute; empty: the built-in icon
  bool refreshTrees = false;
  bool changeWallpaper = false;
  std::string wallpaperName;
  bool hideIcons = false;
};

// OK's write-back into `env` (the wallpaper and icon fields are left to the
// host-changes apply step, which gets them in the result). `opacity` is the
// panel's opacity now; `refreshTrees` the flag the tree-line and icon boxes set.
EnvDialogApply ApplyEnvDialog(EnvSet& env, const EnvDialogValues& v, int32_t opacity, bool refreshTrees,
                              const std::string& programDrive, const std::string& programFolder,
                              IFileSystem& files);

// The item tabs with items get the tree-line setting and their folder and
// group pictures anew; empty tabs and other tabs are left alone.
void RefreshTreePictures(PanelModel& panel, const EnvSet& env, IIcons& icons);

}  // namespace kestro
