#include "core/items/RunFile.h"

#include "platform/Shell.h"

namespace kestro {

int ShowCommandOf(int32_t windowstate) {
  switch (windowstate) {
    case 1: return kSwShowMaximized;
    case 2: return kSwMinimize;
    // "Hide": the program starts without a window, as the user chose.
    case 3: return kSwHide;
    // 0 and values only a hand-edited document can hold: a normal window.
    default: return kSwShowNormal;
  }
}

std::string WorkingFolderOf(std::string_view target) {
  size_t p = target.find_last_of("\\:");
  return p == std::string_view::npos ? std::string() : std::string(target.substr(0, p + 1));
}

void RunFile(IShell& shell, const std::string& target, const std::string& parameters, int showCommand) {
  shell.Open(target, parameters, WorkingFolderOf(target), showCommand);
}

}  // namespace kestro
