#include <gtest/gtest.h>

#include "core/app/PanelModel.h"
#include "core/config/ConfigDocument.h"
#include "core/config/EnvSet.h"
#include "core/config/PathMacros.h"
#include "core/config/Tabs.h"
#include "core/items/DeferredIcons.h"
#include "core/items/ItemShortcutTable.h"
#include "unit/FakePlatform.h"
#include "unit/FakeShell.h"

namespace kestro {
namespace {

using testing::FakeHostSystem;
using testing::FakeIcons;
using testing::FakeShell;

constexpr const char* kTabs = R"(<?xml version="1.0"?>
<Root><tabs>
  <tab name="A" tag="0"><files>
    <file name="own"><path>a.exe</path><icon>pics\a.ico</icon></file>
    <file name="plain"><path>b.exe</path></file>
    <folder name="dir"><path>docs</path></folder>
    <files name="open" expanded="True"><icon>pics\group.ico</icon>
      <file name="inner"><path>c.exe</path><icon>pics\missing.ico</icon></file>
    </files>
  </files></tab>
  <tab name="B" tag="0"><files><file name="b"><path>d.exe</path><icon>pics\d.ico</icon></file></files></tab>
</tabs></Root>)";

std::vector<int32_t> Pictures(PanelModel& panel) {
  std::vector<int32_t> out;
  for (size_t i = 0; i < panel.PageCount(); ++i)
    panel.Page(i).Tree()->ForEach([&](ItemNode& n) { out.push_back(n.Data().imageindex); });
  return out;
}

// Looks the deferred pictures up in `icons` now, in their order, and puts them in.
void LookUpAndResolve(DeferredIcons& deferred, IIcons& icons, PanelModel& panel) {
  std::vector<int32_t> real;
  for (const std::string& path : deferred.Paths()) real.push_back(icons.AddFileIcon(path));
  deferred.ResolveWith(real, panel);
}

// Reads kTabs into `panel`, asking `icons` for pictures.
void Read(PanelModel& panel, IIcons& icons, EnvSet& env) {
  FakeHostSystem host;
  const std::string drive = "E:";
  MacroValues macros(host, drive);
  FakeShell shell;
  ItemShortcutTable shortcuts;
  const std::string root = "E:\\";
  TabsContext ctx{env, root, macros, shell, icons, shortcuts, nullptr};
  ConfigDocument doc;
  auto loaded = doc.Load(kTabs);
  ASSERT_TRUE(loaded.wellFormed) << loaded.error << " at " << loaded.offset;
  LoadTabs(doc, panel, ctx);
}

TEST(DeferredIconsTest, GivesTheSamePicturesInTheSameOrderAsLookingThemUpAtOnce) {
  EnvSet env;
  env.foldericon = "pics\\folder.ico";
  PanelModel direct;
  FakeIcons now;
  now.noIcon = {"E:\\pics\\missing.ico"};
  Read(direct, now, env);

  PanelModel later;
  DeferredIcons deferred;
  Read(later, deferred, env);
  EXPECT_EQ(deferred.Pending(), now.asked.size());
  for (int32_t index : Pictures(later)) EXPECT_TRUE(index >= 0 || DeferredIcons::IsPlaceholder(index)) << index;

  FakeIcons atShow;
  atShow.noIcon = now.noIcon;
  LookUpAndResolve(deferred, atShow, later);
  EXPECT_EQ(atShow.asked, now.asked);
  EXPECT_EQ(Pictures(later), Pictures(direct));
  EXPECT_EQ(deferred.Pending(), 0u);
  // The missing icon file ends with no picture, not a placeholder.
  EXPECT_EQ(later.Page(0).Tree()->TopLevel().at(3)->Children().at(0)->Data().imageindex, -1);
}

TEST(DeferredIconsTest, NodesAddedOrDeletedMeanwhileAreSafe) {
  PanelModel panel;
  ItemTree& tree = *panel.AddPage("A", TabTag::Items).Tree();
  DeferredIcons deferred;
  TMyRec first;
  first.imageindex = deferred.AddFileIcon("E:\\one.ico");
  ItemNode& gone = tree.Add(nullptr, first);
  TMyRec second;
  second.imageindex = deferred.AddFileIcon("E:\\two.ico");
  tree.Add(nullptr, second);
  tree.Remove(gone);
  TMyRec stray;
  stray.imageindex = DeferredIcons::kFirstPlaceholder - 7;  // not one handed out
  tree.Add(nullptr, stray);

  FakeIcons icons;
  LookUpAndResolve(deferred, icons, panel);
  EXPECT_EQ(icons.asked, (std::vector<std::string>{"E:\\one.ico", "E:\\two.ico"}));
  EXPECT_EQ(Pictures(panel), (std::vector<int32_t>{5, -1}));
}

}  // namespace
}  // namespace kestro
