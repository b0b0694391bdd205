#include "core/host/HostUndo.h"

#include "core/host/Associations.h"
#include "core/host/DesktopChanges.h"
#include "core/host/Favorites.h"

namespace kestro {

void UndoHostChanges(AppState& state, HostChanges& host) {
  host.UndoAll();
  // Icons hidden with the start's option or the shortcut are shown in any case.
  if (state.env.hideicon || !state.pv.desktopIconsShown) {
    ShowDesktopIcons(host);
    state.pv.desktopIconsShown = true;
  }
  if (!state.exeLinks.empty()) RestoreAssociations(host, state.exeLinks);
  state.exeLinks.clear();
  state.pv.associationsApplied = false;
  // The Favorites redirect went back with the journal; the backups go last.
  DeleteFavoritesBackups(host.Registry());
  state.pv.favoritesRedirected = false;
}

}  // namespace kestro
