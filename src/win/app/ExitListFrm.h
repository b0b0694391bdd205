#pragma once
// The list of programs still running from the drive or the temporary folder
// at the exit, with the choice to close them first.
#include <vector>

#include "core/app/Exit.h"
#include "core/config/Language.h"

namespace kestro::win {

// Shows the list (stay-on-top, centred, a sizeable tool window); true when
// the user chose "종 료" with "close the programs first" selected.
bool ShowExitList(const std::vector<ExitListNode>& nodes, const LanguageTexts& texts);

}  // namespace kestro::win
