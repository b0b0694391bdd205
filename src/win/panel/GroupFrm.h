#pragma once
// TGroupFrm: the group dialog, for a group being edited or added.
#include <optional>

#include "core/app/AppState.h"
#include "core/items/ItemProperties.h"

namespace kestro::win {

// Runs the dialog for `group`, or empty for a new group (null); the fields
// as confirmed, or nothing after Cancel, Esc or the close box.
std::optional<GroupPropertyFields> RunGroupFrm(const TMyRec* group, const AppState& state);

}  // namespace kestro::win
