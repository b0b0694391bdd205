// Kestro.xml: the document read at start into the settings and the panel's
// tabs, every item launched and shown as the panel does, then the document
// written back as the exit (and the settings dialog) writes it. The written
// document must read again as a whole document, with what stands before its
// root element (document type, processing instructions) as it was read. The
// tabs read from their text must give what reading them from the DOM gives:
// the same trees, calls and notices, and the same bytes saved.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "core/config/ConfigDocument.h"
#include "core/config/EnvSet.h"
#include "core/config/PathMacros.h"
#include "core/config/Settings.h"
#include "core/config/Tabs.h"
#include "core/config/MessageTable.h"
#include "core/items/ItemShortcutTable.h"
#include "core/items/Launch.h"
#include "core/text/Text.h"
#include "core/ui/ItemTexts.h"
#include "unit/FakePlatform.h"
#include "unit/FakeTabPages.h"
#include "unit/TabsSnapshot.h"

using namespace kestro;

namespace {

// The document type and processing instructions before the root element,
// line ends normalised as XML defines them (the parser keeps them raw there).
std::vector<std::string> Prolog(const ConfigDocument& doc) {
  std::vector<std::string> nodes;
  pugi::xml_node root = doc.Element();
  for (pugi::xml_node n = root.parent().first_child(); n && n != root; n = n.next_sibling())
    if (n.type() == pugi::node_doctype || n.type() == pugi::node_pi)
      nodes.push_back(std::string(n.name()) + "|" + ReplaceAll(ReplaceAll(n.value(), "\r\n", "\n"), "\r", "\n"));
  return nodes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    testing::TabsRead text(bytes, TabsReading::FromText), dom(bytes, TabsReading::IntoDom);
    FUZZ_CHECK(text.Snapshot() == dom.Snapshot());
    FUZZ_CHECK(text.doc.Serialize() == dom.doc.Serialize());  // the section as loaded
    testing::TabsRead again(bytes, TabsReading::FromText);
    FUZZ_CHECK(again.SavedAfterWriteTabs() == dom.SavedAfterWriteTabs());
  }

  ConfigDocument doc;
  doc.Load(bytes);
  FUZZ_CHECK(doc.Element());
  std::vector<std::string> prolog = Prolog(doc);

  EnvSet env;
  ExeLinkList links;
  ReadProblems problems;
  const std::string drive = "E:", driveRoot = "E:\\";
  LoadSettings(doc, env, links, driveRoot, &problems);

  testing::FakeHostSystem host;
  MacroValues macros{host, drive};
  testing::FakeShell shell;
  testing::FakeIcons icons;
  ItemShortcutTable shortcuts;
  TabsContext ctx{env, driveRoot, macros, shell, icons, shortcuts, &problems};
  testing::MemoryPanelPages pages;
  LoadTabs(doc, pages, ctx);

  // The host has no program for anything, so the drive's own ones are asked.
  shell.result = kShellNoAssociation;
  MessageTable messages;
  messages.FillKoreanDefaults();
  testing::FakeMessageBoxes boxes;
  LaunchContext launch{shell, macros, links};
  for (auto& page : pages.pages) {
    if (!page->tree) continue;
    page->tree->ForEach([&](const ItemNode& node) {
      const TMyRec& rec = node.Data();
      LaunchItem(rec, WorkingFolder::ItemFolder, launch);
      RunWithExeLink(rec.path, false, launch, messages, boxes);
      FolderToOpen(rec, macros);
      SubText(node, env.iteminfomode, driveRoot);
      HintText(rec, true);
    });
  }

  WriteSettings(doc, env, driveRoot);
  WriteExeLinks(doc, links, driveRoot);
  WriteTabs(doc, pages, ctx);
  WriteWindowSection(doc, PanelWindowState{env.left, env.top, env.width, env.height, env.topwindow,
                                           pages.ActivePageIndex()});
  std::string saved = doc.Serialize();

  ConfigDocument again;
  DocumentLoadResult reread = again.Load(saved);
  FUZZ_CHECK(reread.wellFormed);
  FUZZ_CHECK(Prolog(again) == prolog);
  return 0;
}
