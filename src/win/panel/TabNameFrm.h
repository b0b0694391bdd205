#pragma once
// Asks for the name of a new item tab.
#include <windows.h>

#include <optional>
#include <string>

namespace kestro::win {

// The entered name on OK (it may be empty), nothing on Cancel. The dialog is
// always stay-on-top, owned by the panel (ModalOwner) and stands at the
// `panel`'s left edge, vertically centred on it. `languageFile` is the
// language file in use, or empty.
std::optional<std::string> AskTabName(const std::string& languageFile, HWND panel);

}  // namespace kestro::win
