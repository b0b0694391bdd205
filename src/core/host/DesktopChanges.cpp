#include "core/host/DesktopChanges.h"

#include "core/app/Shortcuts.h"
#include "core/text/Text.h"

namespace kestro {

namespace {

constexpr std::string_view kWallpaperKind = "wallpaper";
constexpr std::string_view kIconsKind = "desktopicons";

// Entry: "before" (the value, or none) and "wrote".
class WallpaperKind : public IHostChangeKind {
 public:
  std::string_view Name() const override { return kWallpaperKind; }
  void Undo(const JournalEntry& e, HostAccess& host) override {
    std::optional<RegistryValue> now = host.registry.ReadValue(RegistryRoot::CurrentUser, kWallpaperKey,
                                                               kWallpaperValue);
    // The user chose another picture meanwhile: that one stays.
    if (!now || now->data != e.Get("wrote")) return;
    if (std::optional<RegistryValue> before = RecalledValue(e, "before")) {
      host.registry.WriteValue(RegistryRoot::CurrentUser, kWallpaperKey, kWallpaperValue, *before);
      host.desktop.WallpaperChanged(before->data);
    } else {
      host.registry.DeleteValue(RegistryRoot::CurrentUser, kWallpaperKey, kWallpaperValue);
      host.desktop.WallpaperChanged("");
    }
  }
};

// Entry without fields: the icon view was visible and Kestro hid it.
class DesktopIconsKind : public IHostChangeKind {
 public:
  std::string_view Name() const override { return kIconsKind; }
  void Undo(const JournalEntry&, HostAccess& host) override {
    if (host.desktop.IconViewVisible() == false) host.desktop.ShowIconView(true);
  }
};

}  // namespace

std::unique_ptr<IHostChangeKind> MakeWallpaperChangeKind() { return std::make_unique<WallpaperKind>(); }
std::unique_ptr<IHostChangeKind> MakeDesktopIconsChangeKind() { return std::make_unique<DesktopIconsKind>(); }

std::string ConvertedWallpaperFile(const std::string& tempFolder) { return tempFolder + "\\kestro.bmp"; }

std::optional<std::string> WallpaperFileFor(const std::string& picture, const std::string& tempFolder,
                                            IDesktop& desktop) {
  std::string name = ToLowerAscii(picture);
  if (EndsWith(name, ".jpg")) {
    std::string target = ConvertedWallpaperFile(tempFolder);
    if (!desktop.ConvertJpegToBitmap(picture, target)) return std::nullopt;
    return target;
  }
  if (EndsWith(name, ".bmp")) return picture;
  return std::string();
}

bool SetWallpaper(HostChanges& host, const std::string& value) {
  IRegistry& reg = host.Registry();
  std::optional<size_t> recorded = host.Find(kWallpaperKind);
  JournalEntry entry;
  if (recorded) {
    entry = host.Journal().Entries()[*recorded];
    entry.Set("wrote", value);
    if (!host.Rerecord(*recorded, std::move(entry))) return false;
  } else {
    std::optional<RegistryValue> before = reg.ReadValue(RegistryRoot::CurrentUser, kWallpaperKey, kWallpaperValue);
    entry.kind = std::string(kWallpaperKind);
    RememberValue(entry, "before", before);
    entry.Set("wrote", value);
    if (!host.Record(std::move(entry))) return false;
  }
  if (!reg.WriteValue(RegistryRoot::CurrentUser, kWallpaperKey, kWallpaperValue, RegistryValue{value}))
    return false;
  host.Desktop().WallpaperChanged(value);
  return true;
}

void RestoreWallpaper(HostChanges& host) { host.UndoKind(kWallpaperKind); }

bool HideDesktopIcons(HostChanges& host) {
  std::optional<bool> visible = host.Desktop().IconViewVisible();
  if (!visible) return false;
  if (!*visible) return true;  // hidden already, by us or by someone else
  if (!host.Find(kIconsKind) && !host.Record(JournalEntry{std::string(kIconsKind), {}})) return false;
  host.Desktop().ShowIconView(false);
  return true;
}

bool ShowDesktopIcons(HostChanges& host) {
  if (!host.Desktop().IconViewVisible()) return false;
  host.Desktop().ShowIconView(true);
  if (std::optional<size_t> recorded = host.Find(kIconsKind)) host.Journal().Remove(*recorded);
  return true;
}

void ApplyDesktopAtStart(AppState& state, HostChanges& host) {
  const EnvSet& env = state.env;
  if (env.changewallpaper) {
    if (std::optional<std::string> value = WallpaperFileFor(env.wallpapername, state.pv.tempFolder, host.Desktop()))
      SetWallpaper(host, *value);
  }
  if (env.hideicon) {
    HideDesktopIcons(host);
    state.pv.desktopIconsShown = false;
  }
}

void ApplyDesktopSettings(AppState& state, HostChanges& host, const DesktopSettingsChoice& choice) {
  EnvSet& env = state.env;
  if (choice.changeWallpaper && !choice.wallpaperName.empty()) {
    env.changewallpaper = true;
    env.wallpapername = choice.wallpaperName;
    if (std::optional<std::string> value = WallpaperFileFor(choice.wallpaperName, state.pv.tempFolder, host.Desktop()))
      SetWallpaper(host, *value);
  } else if (choice.changeWallpaper) {
    env.changewallpaper = false;
  } else {
    env.changewallpaper = false;
    env.wallpapername.clear();
    // Back to the picture the host had (the recorded one, which is what
    // `originalWallpaper` was unless the user changed it meanwhile).
    RestoreWallpaper(host);
  }
  env.hideicon = choice.hideIcons;
  if (choice.hideIcons)
    HideDesktopIcons(host);
  else
    ShowDesktopIcons(host);
}

bool ToggleDesktopIcons(HostChanges& host, bool shown) {
  bool done = shown ? HideDesktopIcons(host) : ShowDesktopIcons(host);
  return DesktopIconsShownAfterToggle(shown, done);
}

}  // namespace kestro
