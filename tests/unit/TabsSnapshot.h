#pragma once
// One start's reading of a document into the settings and the tabs, and all
// it leaves behind as text: the load's result, the pages with their styles
// and trees, the pictures asked for, the runs, the item shortcuts and the
// values reported. Reading the tabs from their text and from the DOM must
// give the same snapshot and the same saved bytes.
#include <sstream>
#include <string>
#include <string_view>

#include "core/config/ConfigDocument.h"
#include "core/config/EnvSet.h"
#include "core/config/PathMacros.h"
#include "core/config/Settings.h"
#include "core/config/Tabs.h"
#include "core/items/ItemShortcutTable.h"
#include "core/items/ItemTree.h"
#include "unit/FakePlatform.h"
#include "unit/FakeShell.h"
#include "unit/FakeTabPages.h"

namespace kestro::testing {

struct TabsRead {
  TabsRead(std::string_view bytes, TabsReading how) {
    loaded = doc.Load(bytes, nullptr, how);
    scanned = doc.ScannedTabs() != nullptr;
    LoadSettings(doc, env, links, driveRoot, &problems);
    LoadTabs(doc, pages, ctx);
  }

  std::string Snapshot() {
    std::ostringstream out;
    out << "load " << loaded.wellFormed << " '" << loaded.error << "' " << loaded.offset << "\n";
    for (const std::string& d : loaded.dropped) out << "dropped " << d << "\n";
    for (const std::string& p : problems.items) out << "problem " << p << "\n";
    out << "special " << env.findTabPresent << env.favoritesTabPresent << env.sysInfoTabPresent << "\n";
    for (auto& page : pages.pages) {
      const TabStyle& s = page->style;
      out << "page '" << page->caption << "' " << int(page->tag) << " styled " << page->styleApplied << " "
          << s.backcolor << " '" << s.fontname << "' " << s.textcolor << " " << s.textcolor2 << " '" << s.backimage
          << "' " << s.bigicon << " lines " << page->treeLines.value_or(false) << "\n";
      for (auto& [file, format] : page->backgrounds) out << " background " << file << " " << int(format) << "\n";
      if (!page->tree) continue;
      page->tree->ForEach([&](const ItemNode& n) {
        const TMyRec& r = n.Data();
        out << std::string(n.Level() + 1, ' ') << int(r.kind) << " '" << r.name << "' '" << r.path << "' '" << r.icon
            << "' '" << r.parameters << "' '" << r.addexplain << "' " << r.imageindex << " " << r.hotkey << " "
            << r.hidefromtray << " " << r.hotkeymodifier << " " << r.hotkeycode << " " << r.autorun << " "
            << r.windowstate << " " << n.Expanded() << " " << n.Children().size() << "\n";
      });
    }
    for (const std::string& a : icons.asked) out << "picture " << a << "\n";
    for (const ShellOpen& o : shell.opened) out << "run " << o.file << " | " << o.params << " " << o.showCommand << "\n";
    for (const ItemShortcut& k : shortcuts.Entries())
      out << "shortcut " << k.identifierName << " " << k.path << " " << k.modifierCode << " " << k.keyCode << "\n";
    return out.str();
  }

  // The document as a save at exit writes it.
  std::string SavedAfterWriteTabs() {
    ctx.runEndItems = false;
    WriteTabs(doc, pages, ctx);
    return doc.Serialize();
  }

  ConfigDocument doc;
  DocumentLoadResult loaded;
  bool scanned = false;
  EnvSet env;
  ExeLinkList links;
  ReadProblems problems;
  std::string drive = "E:", driveRoot = "E:\\";
  FakeHostSystem host;
  MacroValues macros{host, drive};
  FakeShell shell;
  FakeIcons icons;
  ItemShortcutTable shortcuts;
  TabsContext ctx{env, driveRoot, macros, shell, icons, shortcuts, &problems};
  MemoryPanelPages pages;
};

}  // namespace kestro::testing
