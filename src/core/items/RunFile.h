#pragma once
// The one way anything is started: a shell "open" in the target's folder.
#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

class IShell;

// Show command of an item that runs at start or at the end.
int ShowCommandOf(int32_t windowstate);
// The target up to and including its last "\" or ":"; empty without either.
std::string WorkingFolderOf(std::string_view target);
// Opens `target` with `parameters` (none when empty) in its own folder. The
// result is not examined: a failed start is silent.
void RunFile(IShell& shell, const std::string& target, const std::string& parameters, int showCommand);

}  // namespace kestro
