#pragma once
// The process-wide values and the state the main window owns for the run.
#include <cstdint>
#include <string>

#include <atomic>
#include <optional>

#include "core/app/PanelModel.h"
#include "core/config/ConfigDocument.h"
#include "core/config/EnvSet.h"
#include "core/config/Language.h"
#include "core/config/MessageTable.h"
#include "core/items/ItemShortcutTable.h"

namespace kestro {

constexpr const char* kVersionText = "1.3.5.1";
constexpr const char* kMutexName = "kestro";
constexpr const char* kMainWindowCaption = "kestro-a";
constexpr const char* kPcEditionFileName = "kestro-pc.exe";
constexpr const char* kDocumentFileName = "Kestro.xml";
// Caption of the plain messages (no icon, program name as caption).
constexpr const char* kPlainCaption = "Kestro";

struct ProcessValues {
  std::string programDrive;      // "E:"
  std::string programDriveRoot;  // "E:\"
  std::string programFolder;     // with trailing backslash
  std::string favoritesFolder;   // programFolder + "kestro_favorites"
  // The PC's Favorites locations as they were before this run (or the run
  // before it) changed them: the "Favorites" values of the two shell-folder
  // keys, the second unexpanded.
  std::string savedFavorites;
  std::string savedUserFavorites;
  std::string tempFolder;        // with trailing backslash
  std::string originalWallpaper;
  uint32_t systemLocale = 0;
  std::string languageFile;
  bool pcEdition = false;
  bool favoritesRedirected = false;
  bool associationsApplied = false;
  bool desktopIconsShown = true;
  bool driveLetterChanged = false;
  bool panelStartDelay = false;
  bool driveRemovedExit = false;
};

struct AppState {
  EnvSet env;
  ProcessValues pv;
  ConfigDocument doc;
  ExeLinkList exeLinks;
  MessageTable messages;
  // The panel's tabs with their item trees, and the item shortcuts in them.
  PanelModel panel;
  ItemShortcutTable itemShortcuts;
  // The tray menu's captions from the language file; none: the built-in ones.
  std::optional<TrayMenuCaptions> trayCaptions;
  // The language file in use (pv.languageFile) as read at start.
  LanguageTexts languageTexts;
  // False when Kestro.xml exists but could not be read, or a damaged one
  // could not be copied aside: then it is never overwritten.
  bool documentSavable = true;
  // The background picture loaders running now (the start's, the exe
  // searches'): no exit while any runs.
  std::atomic<int> iconLoadBusy{0};
  // Non-zero while Favorites are being copied.
  std::atomic<int> favoritesCopyState{0};
  // Set when the start sequence ran to its end.
  bool started = false;
  // Saves at exit that could not write Kestro.xml.
  int failedExitSaves = 0;
  // The items marked to run at the end have been started.
  bool endItemsRan = false;
  // The host changes were undone (by the log-off answer): not again.
  bool hostChangesUndone = false;
  // Kestro.xml was saved before the remount tool began to move the drive:
  // nothing more is written to it.
  bool savedBeforeLetterMove = false;
};

}  // namespace kestro
