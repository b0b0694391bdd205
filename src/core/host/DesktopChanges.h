#pragma once
// The wallpaper and the desktop's icons while Kestro runs.
#include <memory>
#include <optional>
#include <string>

#include "core/app/AppState.h"
#include "core/host/HostChanges.h"

namespace kestro {

constexpr const char* kWallpaperKey = "Control Panel\\desktop";
constexpr const char* kWallpaperValue = "Wallpaper";

std::unique_ptr<IHostChangeKind> MakeWallpaperChangeKind();
std::unique_ptr<IHostChangeKind> MakeDesktopIconsChangeKind();

// The converted picture: the temporary folder as the platform reports it,
// then "\kestro.bmp".
std::string ConvertedWallpaperFile(const std::string& tempFolder);

// The value the "Wallpaper" registry value gets for a picture, by its
// extension in lower case: a ".jpg" is converted into the converted file
// (none when it is missing or cannot be decoded: nothing is to change), a
// ".bmp" is used as it is, anything else is the empty value (no wallpaper).
std::optional<std::string> WallpaperFileFor(const std::string& picture, const std::string& tempFolder,
                                            IDesktop& desktop);

// Sets the wallpaper value and tells the system. The first change of a run
// records the value before it; later ones keep that first value.
bool SetWallpaper(HostChanges& host, const std::string& value);
// Puts the recorded wallpaper back, if the value still names ours.
void RestoreWallpaper(HostChanges& host);

// Hides the desktop's icon view (recorded), or shows it (forgetting the
// record). False when there is no view.
bool HideDesktopIcons(HostChanges& host);
bool ShowDesktopIcons(HostChanges& host);

// The start's wallpaper and icon steps (only when Kestro.xml was read).
void ApplyDesktopAtStart(AppState& state, HostChanges& host);

// What the settings dialog's OK passes for the wallpaper and the icons.
struct DesktopSettingsChoice {
  bool changeWallpaper = false;
  std::string wallpaperName;  // absolute
  bool hideIcons = false;
};
// The settings dialog's apply step: the settings record and the host.
// `desktopIconsShown` is left as it is.
void ApplyDesktopSettings(AppState& state, HostChanges& host, const DesktopSettingsChoice& choice);

// The desktop-icons shortcut: shows the icons when `shown` says they are
// hidden, else hides them. The new value of `desktopIconsShown`.
bool ToggleDesktopIcons(HostChanges& host, bool shown);

}  // namespace kestro
