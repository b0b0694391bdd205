#pragma once
// A panel, a program drive and a host for reading and writing the trees.
#include <gtest/gtest.h>

#include <string>

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

class TabsFixture : public ::testing::Test {
 protected:
  // Parses `xml` and builds the tabs from it.
  void Load(const std::string& xml) {
    ASSERT_TRUE(doc.Load(xml).wellFormed);
    LoadTabs(doc, pages, ctx);
  }
  // The tree of page `index`.
  ItemTree& Tree(size_t index) { return *pages[index].tree; }
  const TMyRec& Top(size_t page, size_t index) { return Tree(page).TopLevel().at(index)->Data(); }
  // The serialized "tabs" section after a WriteTabs.
  std::string WrittenTabs() {
    WriteTabs(doc, pages, ctx);
    return SectionText(doc, "tabs");
  }
  static std::string SectionText(const ConfigDocument& d, const char* name) {
    std::ostringstream out;
    d.Element().child(name).print(out, "", pugi::format_raw);
    return out.str();
  }
  // Points the program at another drive, as after a start from another PC.
  void MoveProgramTo(const std::string& letter) {
    drive = letter + ":";
    driveRoot = letter + ":\\";
  }

  EnvSet env;
  std::string drive = "E:";
  std::string driveRoot = "E:\\";
  FakeHostSystem host;
  MacroValues macros{host, drive};
  FakeShell shell;
  FakeIcons icons;
  ItemShortcutTable shortcuts;
  ReadProblems problems;
  TabsContext ctx{env, driveRoot, macros, shell, icons, shortcuts, &problems};
  ConfigDocument doc;
  MemoryPanelPages pages;
};

}  // namespace kestro::testing
