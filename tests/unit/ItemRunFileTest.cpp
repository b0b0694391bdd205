#include <gtest/gtest.h>

#include "core/items/RunFile.h"
#include "unit/FakeShell.h"

namespace kestro {
namespace {

TEST(ItemRunFileTest, OpensTheTargetInItsOwnFolder) {
  testing::FakeShell shell;
  RunFile(shell, "E:\\tools\\a.exe", "-x \"E:\\doc 1.txt\"", kSwShowMaximized);
  RunFile(shell, "E:a.exe", "", kSwShowNormal);
  RunFile(shell, "a.exe", "", kSwShowNormal);
  RunFile(shell, "\\\\srv\\share\\x.exe", "", kSwHide);
  shell.result = kShellNoAssociation;  // failures are not examined
  RunFile(shell, "E:\\tools\\", "", kSwMinimize);
  EXPECT_EQ(shell.opened, (std::vector<testing::ShellOpen>{
                              {"E:\\tools\\a.exe", "-x \"E:\\doc 1.txt\"", "E:\\tools\\", 3},
                              {"E:a.exe", "", "E:", 1},
                              {"a.exe", "", "", 1},
                              {"\\\\srv\\share\\x.exe", "", "\\\\srv\\share\\", 0},
                              {"E:\\tools\\", "", "E:\\tools\\", 6},
                          }));
}

TEST(ItemRunFileTest, ShowCommandOfTheWindowState) {
  EXPECT_EQ(ShowCommandOf(0), kSwShowNormal);
  EXPECT_EQ(ShowCommandOf(1), kSwShowMaximized);
  EXPECT_EQ(ShowCommandOf(2), kSwMinimize);
  EXPECT_EQ(ShowCommandOf(3), kSwHide);
  // Only a hand-edited document holds these; they get a normal window.
  EXPECT_EQ(ShowCommandOf(4), kSwShowNormal);
  EXPECT_EQ(ShowCommandOf(-1), kSwShowNormal);
}

}  // namespace
}  // namespace kestro
