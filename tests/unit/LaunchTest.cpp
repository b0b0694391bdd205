#include <gtest/gtest.h>

#include "core/config/MessageTable.h"
#include "core/config/PathMacros.h"
#include "core/items/Launch.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

using testing::ShellOpen;

struct LaunchFixture : ::testing::Test {
  testing::FakeShell shell;
  testing::FakeHostSystem host;
  testing::FakeMessageBoxes boxes;
  std::string drive = "F:";
  MacroValues macros{host, drive};
  ExeLinkList links;
  LaunchContext ctx{shell, macros, links};
  MessageTable messages;

  static TMyRec Item(const std::string& path, const std::string& params = "", ItemKind kind = ItemKind::File) {
    TMyRec r;
    r.kind = kind;
    r.path = path;
    r.parameters = params;
    return r;
  }
};

TEST_F(LaunchFixture, OpensTheExpandedPathInItsFolderOrInNone) {
  TMyRec item = Item("%udrive%\\tools\\a.exe", "-o %udrive%\\out");
  LaunchItem(item, WorkingFolder::ItemFolder, ctx);
  LaunchItem(item, WorkingFolder::None, ctx);
  std::vector<ShellOpen> expected{{"F:\\tools\\a.exe", "-o F:\\out", "F:\\tools\\", kSwShowNormal},
                                  {"F:\\tools\\a.exe", "-o F:\\out", "", kSwShowNormal}};
  EXPECT_EQ(shell.opened, expected);
}

TEST_F(LaunchFixture, FallsBackToTheDrivesProgramOnNoAssociationOrAccessDenied) {
  links = {{"txt", {true, "E:\\np\\np.exe"}}};
  for (int result : {kShellNoAssociation, kShellAccessDenied}) {
    shell.opened.clear();
    shell.result = result;
    LaunchItem(Item("E:\\doc\\A.TXT"), WorkingFolder::ItemFolder, ctx);
    ASSERT_EQ(shell.opened.size(), 2u) << result;
    EXPECT_EQ(shell.opened[1], (ShellOpen{"E:\\np\\np.exe", "E:\\doc\\A.TXT", "E:\\np\\", kSwShowNormal}));
  }
  // Other failures, no extension, or no entry: nothing more.
  for (auto [result, path] : {std::pair{kShellFileNotFound, "E:\\doc\\a.txt"}, {kShellNoAssociation, "E:\\doc\\a"},
                              {kShellNoAssociation, "E:\\doc.d\\a"}, {kShellNoAssociation, "E:\\doc\\a.ini"}}) {
    shell.opened.clear();
    shell.result = result;
    LaunchItem(Item(path), WorkingFolder::ItemFolder, ctx);
    EXPECT_EQ(shell.opened.size(), 1u) << path;
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchFixture, CtrlClickUsesTheEntryWithTheQuotedPath) {
  links = {{"txt", {true, "E:\\np\\np.exe -x"}}, {"log", {false, "E:\\np\\np.exe"}}, {"ini", {true, "a b"}}};
  RunWithExeLink("E:\\doc\\a.txt", false, ctx, messages, boxes);
  RunWithExeLink("E:\\doc\\b.log", false, ctx, messages, boxes);  // the use flag is not consulted
  RunWithExeLink("E:\\doc\\c.ini", false, ctx, messages, boxes);  // a blank too early is part of the program
  std::vector<ShellOpen> expected{{"E:\\np\\np.exe", "-x \"E:\\doc\\a.txt\"", "E:\\np\\", kSwShowNormal},
                                  {"E:\\np\\np.exe", "\"E:\\doc\\b.log\"", "E:\\np\\", kSwShowNormal},
                                  {"a b", "\"E:\\doc\\c.ini\"", "", kSwShowNormal}};
  EXPECT_EQ(shell.opened, expected);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchFixture, WithoutAnEntryMessage08ThenTheHostsAssociation) {
  messages.Set("08", "Nothing associated.#13Running with default program");
  RunWithExeLink("E:\\doc\\a.txt", false, ctx, messages, boxes);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Nothing associated.\r\nRunning with default program");
  EXPECT_EQ(boxes.shown[0].caption, "Notice");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(shell.opened, (std::vector<ShellOpen>{{"E:\\doc\\a.txt", "", "E:\\doc\\", kSwShowNormal}}));

  // Asked, a No opens nothing.
  shell.opened.clear();
  boxes.answer = false;
  RunWithExeLink("E:\\doc\\a.txt", true, ctx, messages, boxes);
  EXPECT_EQ(boxes.shown.back().icon, MessageIcon::Question);
  EXPECT_TRUE(shell.opened.empty());
  // A file without an extension: nothing at all.
  RunWithExeLink("E:\\doc\\README", false, ctx, messages, boxes);
  EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(LaunchFixture, OpenFolderOpensTheItemsFolderWithMacrosExpanded) {
  EXPECT_EQ(FolderToOpen(Item("E:\\tools\\a.exe"), macros), "E:\\tools\\");
  EXPECT_EQ(FolderToOpen(Item("E:\\tools", "", ItemKind::Folder), macros), "E:\\tools");
  EXPECT_EQ(FolderToOpen(Item("%udrive%\\tools\\a.exe"), macros), "F:\\tools\\");
}

}  // namespace
}  // namespace kestro
