#include <gtest/gtest.h>

#include "core/config/PathMacros.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

class ExpandMacrosTest : public ::testing::Test {
 protected:
  testing::FakeHostSystem host;
  std::string drive = "E:";
  MacroValues values{host, drive};
};

TEST_F(ExpandMacrosTest, ReplacesEachTokenWithItsCurrentValue) {
  host.temp = "C:\\Temp\\";
  EXPECT_EQ(ExpandMacros("%temp%\\setup.log", values), "C:\\Temp\\setup.log");
  EXPECT_EQ(ExpandMacros("%udrive%\\a.exe %udrive%\\b.txt", values), "E:\\a.exe E:\\b.txt");
  EXPECT_EQ(ExpandMacros("%windows%\\notepad.exe", values), "C:\\windows\\notepad.exe");
  EXPECT_EQ(ExpandMacros("%system%\\cmd.exe", values), "C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(ExpandMacros("%userprofile%\\x", values), "C:\\users\\kim\\x");
  EXPECT_EQ(ExpandMacros("%desktop%\\x", values), "C:\\users\\kim\\Desktop\\x");
}

TEST_F(ExpandMacrosTest, FollowsTheDriveLetterAtTheMomentOfUse) {
  EXPECT_EQ(ExpandMacros("%udrive%\\x.exe", values), "E:\\x.exe");
  drive = "F:";
  EXPECT_EQ(ExpandMacros("%udrive%\\x.exe", values), "F:\\x.exe");
}

TEST_F(ExpandMacrosTest, LeavesOtherTextAlone) {
  EXPECT_EQ(ExpandMacros("%UDRIVE%\\x.exe", values), "%UDRIVE%\\x.exe");
  EXPECT_EQ(ExpandMacros("%PATH%;%windir%", values), "%PATH%;%windir%");
  EXPECT_EQ(ExpandMacros("100% sure", values), "100% sure");
}

TEST_F(ExpandMacrosTest, ComputesOnlyTheValuesOfTokensPresent) {
  ExpandMacros("C:\\plain\\path.exe", values);
  EXPECT_TRUE(host.asked.empty());
  ExpandMacros("%temp%\\a", values);
  EXPECT_EQ(host.asked, std::vector<std::string>{"temp"});
}

TEST_F(ExpandMacrosTest, UnknownDesktopRemovesTheToken) {
  host.desktop = "";
  EXPECT_EQ(ExpandMacros("%desktop%\\a.lnk", values), "\\a.lnk");
}

TEST_F(ExpandMacrosTest, ReplacesInTableOrderOnTheReplacedText) {
  // A value holding a later token is replaced again; an earlier one is not.
  host.windows = "%temp%";
  EXPECT_EQ(ExpandMacros("%windows%\\x", values), "C:\\Temp\\x");
  host.temp = "%windows%\\";
  host.windows = "C:\\w";
  EXPECT_EQ(ExpandMacros("%temp%\\x", values), "%windows%\\x");
}

TEST(MakeAbsoluteTest, PrefixesTheDriveRootOnlyToDriveRelativePaths) {
  EXPECT_EQ(MakeAbsolute("Apps\\x.exe", "F:\\"), "F:\\Apps\\x.exe");
  EXPECT_EQ(MakeAbsolute("%windows%\\notepad.exe", "F:\\"), "%windows%\\notepad.exe");
  EXPECT_EQ(MakeAbsolute("C:\\x.exe", "F:\\"), "C:\\x.exe");
  EXPECT_EQ(MakeAbsolute("c:\\x.exe", "F:\\"), "c:\\x.exe");
  EXPECT_EQ(MakeAbsolute("\\\\srv\\share\\x.exe", "F:\\"), "\\\\srv\\share\\x.exe");
  EXPECT_EQ(MakeAbsolute("", "F:\\"), "F:\\");
  EXPECT_EQ(MakeAbsolute("\\x.exe", "F:\\"), "F:\\\\x.exe");
}

TEST(MakeDriveRelativeTest, RemovesTheExactDriveRoot) {
  EXPECT_EQ(MakeDriveRelative("E:\\Apps\\x.exe", "E:\\"), "Apps\\x.exe");
  EXPECT_EQ(MakeDriveRelative("e:\\Apps\\x.exe", "E:\\"), "e:\\Apps\\x.exe");
  EXPECT_EQ(MakeDriveRelative("D:\\x.exe", "E:\\"), "D:\\x.exe");
  EXPECT_EQ(MakeDriveRelative("%udrive%\\x.exe", "E:\\"), "%udrive%\\x.exe");
  // Only a leading root: the rest of the name is kept as it stands.
  EXPECT_EQ(MakeDriveRelative("C:\\x.E:\\y", "E:\\"), "C:\\x.E:\\y");
  EXPECT_EQ(MakeDriveRelative("E:\\a\\E:\\b", "E:\\"), "a\\E:\\b");
}

TEST(PortablePathTest, DriveRelativePathMovesWithTheDrive) {
  std::string stored = MakeDriveRelative("E:\\Tools\\app.exe", "E:\\");
  EXPECT_EQ(MakeAbsolute(stored, "F:\\"), "F:\\Tools\\app.exe");
}

}  // namespace
}  // namespace kestro
