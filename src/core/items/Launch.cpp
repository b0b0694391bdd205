#include "core/items/Launch.h"

#include "core/config/MessageTable.h"
#include "core/config/PathMacros.h"
#include "core/config/Tabs.h"
#include "core/items/RunFile.h"
#include "core/text/Text.h"
#include "platform/Shell.h"
#include "platform/UserInterface.h"

namespace kestro {

std::string ExeLinkKey(const std::string& path) {
  std::string_view ext = ExtensionOf(path);
  if (ext.size() < 2) return {};
  return ToLowerAscii(ext.substr(1));
}

const std::string* ExeLinkCommand(const ExeLinkList& links, const std::string& path) {
  std::string key = ExeLinkKey(path);
  if (key.empty()) return nullptr;
  // Keys are compared without regard to case: an extension typed "TXT" in
  // the association dialog is the same extension.
  for (const auto& [k, rec] : links)
    if (EqualsNoCase(k, key)) return rec.program.empty() ? nullptr : &rec.program;
  return nullptr;
}

int LaunchItem(const TMyRec& item, WorkingFolder rule, LaunchContext& ctx) {
  std::string path = ExpandMacros(item.path, ctx.macros);
  std::string params = ExpandMacros(item.parameters, ctx.macros);
  int result = ctx.shell.Open(path, params, rule == WorkingFolder::ItemFolder ? WorkingFolderOf(path) : "",
                              kSwShowNormal);
  if (result == kShellNoAssociation || result == kShellAccessDenied) {
    if (const std::string* command = ExeLinkCommand(ctx.exeLinks, item.path))
      RunFile(ctx.shell, *command, item.path, kSwShowNormal);
  }
  return result;
}

void RunWithExeLink(const std::string& file, bool ask, LaunchContext& ctx, const MessageTable& messages,
                    IMessageBoxes& boxes) {
  if (ExeLinkKey(file).empty()) return;
  if (const std::string* command = ExeLinkCommand(ctx.exeLinks, file)) {
    const std::string& c = *command;
    size_t blank = c.find(' ');
    std::string quoted = "\"" + file + "\"";
    // A blank among the first three characters cannot end a program path.
    if (blank == std::string::npos || blank + 1 < 4)
      RunFile(ctx.shell, c, quoted, kSwShowNormal);
    else
      RunFile(ctx.shell, c.substr(0, blank), c.substr(blank + 1) + " " + quoted, kSwShowNormal);
    return;
  }
  std::string text = messages.Message("08");
  if (ask) {
    if (!boxes.Ask(text, "Notice")) return;
  } else {
    boxes.Show(text, "Notice", MessageIcon::Information);
  }
  RunFile(ctx.shell, file, "", kSwShowNormal);
}

std::string FolderToOpen(const TMyRec& item, const MacroValues& macros) {
  std::string path = ExpandMacros(item.path, macros);
  return item.kind == ItemKind::Folder ? path : WorkingFolderOf(path);
}

}  // namespace kestro
