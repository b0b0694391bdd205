#pragma once
// The tab property dialog: the name and the appearance of a tab, with a
// preview; nothing changes until OK.
#include <optional>
#include <string>

#include "core/app/AppState.h"
#include "core/config/Tabs.h"
#include "core/ui/TabDialogs.h"

namespace kestro::win {

struct TabPropertyInput {
  std::string caption;
  bool captionEditable = true;  // not for the favorites tab
  TabStyle style;
};

struct TabPropertyResult {
  std::string caption;
  TabStyle style;  // bigicon as it was; backimage as `background` says
  BackgroundChoice background;
};

// Shows the dialog for a tab; the values chosen on OK, nothing on Cancel.
std::optional<TabPropertyResult> RunTabProperty(const TabPropertyInput& tab, const AppState& state);

}  // namespace kestro::win
