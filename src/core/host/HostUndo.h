#pragma once
// The exit's and the log-off's undo of the host changes, as one call.
#include "core/app/AppState.h"
#include "core/host/HostChanges.h"

namespace kestro {

// Puts the host back: every recorded change in the undo order (wallpaper,
// desktop icons, associations, then what later kinds add), then whatever
// extension of the list is still redirected without a record; the list is
// discarded; the Favorites backups are deleted. Running it again finds nothing left to do.
void UndoHostChanges(AppState& state, HostChanges& host);

}  // namespace kestro
