#pragma once
// The host user's Favorites folder while Kestro runs: the backups of the two
// shell-folder values, the redirect to the drive's folder and back (a
// journal entry, so that a crash is repaired at the next start), and the
// backups' removal at the end.
#include <memory>
#include <string>

#include "core/app/AppState.h"
#include "core/host/HostChanges.h"
#include "platform/FileSystem.h"

namespace kestro {

constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kFavoritesValue = "Favorites";
constexpr const char* kFavoritesBackupValue = "Favorites.bak";

std::unique_ptr<IHostChangeKind> MakeFavoritesChangeKind();

// A ".bak" left by a run that ended while redirected (and whose journal is
// lost) names the true location: where "Favorites" differs from it, it is
// written back, in the type the key keeps it in. Before anything else
// touches the host.
void RepairFavoritesFromBackups(IRegistry& registry);

// Fills `savedFavorites` and `savedUserFavorites`: an existing ".bak" wins,
// else the current value (unexpanded) becomes the ".bak" (REG_SZ in Shell
// Folders, REG_EXPAND_SZ in User Shell Folders).
void TakeFavoritesBackups(IRegistry& registry, ProcessValues& pv);

// Points both existing "Favorites" values at `favoritesFolder` (REG_SZ),
// creating the folder first and recording the values before. False, with
// the user told and nothing changed, when the folder cannot be made or the
// change cannot be recorded.
bool RedirectFavoritesToDrive(HostChanges& host, IFileSystem& files, ProcessValues& pv);
// Puts back what the redirect recorded, where the values still name the
// drive's folder.
void RedirectFavoritesBack(HostChanges& host, ProcessValues& pv);
// Deletes "Favorites.bak" from both keys.
void DeleteFavoritesBackups(IRegistry& registry);

// The start's step: the backups, then the redirect with `startuseupfavorite`.
void ApplyFavoritesAtStart(AppState& state, HostChanges& host, IFileSystem& files);

}  // namespace kestro
