#pragma once
// The association manager dialog TexeLinkFrm.
#include "core/app/AppState.h"
#include "core/host/HostChanges.h"

namespace kestro::win {

// Opens the dialog modally; its OK (or a Yes to the question on another
// close after rows were added or deleted) replaces the list, writes it into
// the document and applies it.
void RunExeLinkFrm(AppState& state, HostChanges& host);

}  // namespace kestro::win
