#pragma once
// Launching an item from the panel: the shell's "open", with the drive's own
// programs for extensions the host cannot open.
#include <string>

#include "core/config/EnvSet.h"
#include "core/items/ItemRecord.h"

namespace kestro {

class IShell;
class IMessageBoxes;
class MacroValues;
class MessageTable;

enum class WorkingFolder { ItemFolder, None };

// What a launch needs besides the item.
struct LaunchContext {
  IShell& shell;
  const MacroValues& macros;
  const ExeLinkList& exeLinks;
};

// The shell opens the item's expanded path with its expanded parameters.
// When the host has no program for the file (31) or refuses access (5), the
// program recorded for its extension starts with the item's stored path.
// Returns the shell's result of the first open.
int LaunchItem(const TMyRec& item, WorkingFolder rule, LaunchContext& ctx);

// The extension of a path as the association list keys it: lower case,
// without the dot; empty when there is none.
std::string ExeLinkKey(const std::string& path);
// The command text recorded for the path's extension, or nullptr.
const std::string* ExeLinkCommand(const ExeLinkList& links, const std::string& path);

// Opens `file` with the program recorded for its extension. Without one,
// message "08" is shown and the host's own association opens the file
// (with `ask`, only when the user agrees).
void RunWithExeLink(const std::string& file, bool ask, LaunchContext& ctx, const MessageTable& messages,
                    IMessageBoxes& boxes);

// What "open folder" opens: a folder item itself, else the folder of its
// path; path macros are expanded first, so that a macro path opens too.
std::string FolderToOpen(const TMyRec& item, const MacroValues& macros);

}  // namespace kestro
