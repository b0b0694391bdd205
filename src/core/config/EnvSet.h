#pragma once
// The settings record of the process, its stored fields named after their
// elements in Kestro.xml. Member initialisers are the start values.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestro {

constexpr int kShortcutSlots = 5;

struct ShortcutSlot {
  int32_t useshortkey = 0;  // 1 = registered
  int32_t mainkey = 0;      // modifier code
  int32_t subkey = 0;       // key code
  bool operator==(const ShortcutSlot&) const = default;
};

struct EnvSet {
  std::string title = "Kestro";
  int32_t iteminfomode = 0;
  std::array<ShortcutSlot, kShortcutSlots> shortcuts{};
  int32_t xbuttonaction = 0;
  bool showonstartup = true;
  bool tooltip = false;
  int32_t trans = 255;
  bool treeline = false;
  bool fixwindow = false;
  bool freespacebar = false;
  bool deleteext = false;
  int32_t left = 700;
  int32_t top = 300;
  int32_t width = 250;
  int32_t height = 500;
  bool topwindow = false;
  int32_t tabindex = 0;
  std::string language;
  bool usefixdrive = false;
  std::string fixdrivename;
  bool exituseprg = false;
  bool exittempprg = false;
  bool exitshellprg = false;
  bool tryremovedrive = false;
  std::string appicon;  // absolute in memory
  std::string foldericon;
  std::string groupicon;
  std::string driveiconfolder;
  int32_t iconmode = 0;
  bool hideicon = false;
  std::string wallpapername;
  std::string originalWallpaper;  // not stored
  std::string tempFolder;         // not stored
  bool traymenutab = false;
  bool usballexit = false;
  bool startuseupfavorite = false;
  bool startuseupexelink = false;
  bool findTabPresent = false;         // not stored
  bool favoritesTabPresent = false;    // not stored
  bool sysInfoTabPresent = false;      // not stored
  bool changewallpaper = false;
  int32_t bigRowHeight = 36;    // 32 + 4
  int32_t smallRowHeight = 20;  // 16 + 4

  bool operator==(const EnvSet&) const = default;
};

// One extension association: the use flag and the program (absolute in
// memory, possibly followed by parameters).
struct TEXELINK {
  bool buselink = true;
  std::string program;
  bool operator==(const TEXELINK&) const = default;
};

// Ordered (key, record) entries; the key is the extension as stored.
using ExeLinkList = std::vector<std::pair<std::string, TEXELINK>>;

}  // namespace kestro
