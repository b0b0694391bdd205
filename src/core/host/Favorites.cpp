#include "core/host/Favorites.h"

namespace kestro {

namespace {

constexpr std::string_view kFavoritesKind = "favorites";

struct FolderKey {
  const char* key;
  const char* field;  // of the journal entry
  RegistryType backType;  // the type the original is written back in
};
constexpr FolderKey kKeys[] = {
    {kShellFoldersKey, "shell", RegistryType::String},
    {kUserShellFoldersKey, "user", RegistryType::ExpandString},
};

std::optional<RegistryValue> Read(IRegistry& reg, const char* key, const char* value) {
  return reg.ReadValue(RegistryRoot::CurrentUser, key, value);
}

// Entry: per key its value before ("shell", "user", as RememberValue keeps
// them) and "wrote", the drive's folder.
class FavoritesKind : public IHostChangeKind {
 public:
  std::string_view Name() const override { return kFavoritesKind; }
  void Undo(const JournalEntry& e, HostAccess& host) override {
    for (const FolderKey& k : kKeys) {
      std::optional<RegistryValue> now = Read(host.registry, k.key, kFavoritesValue);
      // Pointed elsewhere by the user meanwhile: that stays.
      if (!now || now->data != e.Get("wrote")) continue;
      if (std::optional<RegistryValue> before = RecalledValue(e, k.field))
        host.registry.WriteValue(RegistryRoot::CurrentUser, k.key, kFavoritesValue, *before);
    }
  }
};

}  // namespace

std::unique_ptr<IHostChangeKind> MakeFavoritesChangeKind() { return std::make_unique<FavoritesKind>(); }

void RepairFavoritesFromBackups(IRegistry& registry) {
  for (const FolderKey& k : kKeys) {
    std::optional<RegistryValue> backup = Read(registry, k.key, kFavoritesBackupValue);
    std::optional<RegistryValue> now = Read(registry, k.key, kFavoritesValue);
    if (!backup || !now || backup->data == now->data) continue;
    registry.WriteValue(RegistryRoot::CurrentUser, k.key, kFavoritesValue, RegistryValue{backup->data, k.backType});
  }
}

void TakeFavoritesBackups(IRegistry& registry, ProcessValues& pv) {
  std::string* saved[] = {&pv.savedFavorites, &pv.savedUserFavorites};
  for (size_t i = 0; i < std::size(kKeys); ++i) {
    const FolderKey& k = kKeys[i];
    if (std::optional<RegistryValue> backup = Read(registry, k.key, kFavoritesBackupValue)) {
      *saved[i] = backup->data;
      continue;
    }
    std::optional<RegistryValue> now = Read(registry, k.key, kFavoritesValue);
    *saved[i] = now ? now->data : "";
    // Keys are opened, never created: a missing one gets no backup.
    if (registry.KeyContents(RegistryRoot::CurrentUser, k.key))
      registry.WriteValue(RegistryRoot::CurrentUser, k.key, kFavoritesBackupValue, RegistryValue{*saved[i], k.backType});
  }
}

bool RedirectFavoritesToDrive(HostChanges& host, IFileSystem& files, ProcessValues& pv) {
  IRegistry& reg = host.Registry();
  // The shell must never be pointed at a folder that is not there.
  if (!files.DirectoryExists(pv.favoritesFolder) && !files.CreateFolder(pv.favoritesFolder)) {
    host.ReportOnce("favorites folder", "Kestro could not create the folder " + pv.favoritesFolder +
                                            ", so Favorites stay where they are.");
    return false;
  }
  if (!host.Find(kFavoritesKind)) {
    JournalEntry entry{std::string(kFavoritesKind), {}};
    for (const FolderKey& k : kKeys) RememberValue(entry, k.field, Read(reg, k.key, kFavoritesValue));
    entry.Set("wrote", pv.favoritesFolder);
    if (!host.Record(std::move(entry))) return false;
  }
  for (const FolderKey& k : kKeys)
    if (Read(reg, k.key, kFavoritesValue))
      reg.WriteValue(RegistryRoot::CurrentUser, k.key, kFavoritesValue, RegistryValue{pv.favoritesFolder});
  pv.favoritesRedirected = true;
  return true;
}

void RedirectFavoritesBack(HostChanges& host, ProcessValues& pv) {
  host.UndoKind(kFavoritesKind);
  pv.favoritesRedirected = false;
}

void DeleteFavoritesBackups(IRegistry& registry) {
  for (const FolderKey& k : kKeys)
    if (Read(registry, k.key, kFavoritesBackupValue))
      registry.DeleteValue(RegistryRoot::CurrentUser, k.key, kFavoritesBackupValue);
}

void ApplyFavoritesAtStart(AppState& state, HostChanges& host, IFileSystem& files) {
  TakeFavoritesBackups(host.Registry(), state.pv);
  state.pv.favoritesRedirected = false;
  if (state.env.startuseupfavorite) RedirectFavoritesToDrive(host, files, state.pv);
}

}  // namespace kestro
