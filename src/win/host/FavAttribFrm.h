#pragma once
// TfavAttribFrm: the title and address of a new URL of the favorites tab.
#include <optional>
#include <string>

#include "core/app/AppState.h"

namespace kestro::win {

struct UrlFields {
  std::string title;
  std::string address;
};

// Runs the dialog; the fields as confirmed (a title that can name a file,
// an address), or nothing after Cancel, Esc or the close box.
std::optional<UrlFields> RunFavAttribFrm(const AppState& state);

}  // namespace kestro::win
