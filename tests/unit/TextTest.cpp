#include <gtest/gtest.h>

#include "core/text/Text.h"

namespace kestro {
namespace {

TEST(ParseInt32Test, AcceptsSignedDecimalAndHexadecimal) {
  EXPECT_EQ(ParseInt32("0"), 0);
  EXPECT_EQ(ParseInt32("-132"), -132);
  EXPECT_EQ(ParseInt32("+7"), 7);
  EXPECT_EQ(ParseInt32(" 255 "), 255);
  EXPECT_EQ(ParseInt32("$FF"), 255);
  EXPECT_EQ(ParseInt32("0x10"), 16);
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt32("$FFFFFFFF"), -1);  // colours are stored as signed values
}

TEST(ParseInt32Test, RejectsEverythingElse) {
  for (const char* bad : {"", " ", "abc", "12a", "1.5", "2147483648", "-2147483649", "--1", "$", "0x", "1 2"})
    EXPECT_FALSE(ParseInt32(bad).has_value()) << bad;
}

TEST(ParseBoolTest, ReadsWordsInAnyCaseAndNumbers) {
  EXPECT_EQ(ParseBool("True"), true);
  EXPECT_EQ(ParseBool("TRUE"), true);
  EXPECT_EQ(ParseBool("false"), false);
  EXPECT_EQ(ParseBool("0"), false);
  EXPECT_EQ(ParseBool("1"), true);
  EXPECT_EQ(ParseBool("-1"), true);
  EXPECT_EQ(ParseBool("0.0"), false);
  EXPECT_FALSE(ParseBool("yes").has_value());
  EXPECT_FALSE(ParseBool("").has_value());
  EXPECT_FALSE(ParseBool("nan").has_value());
}

TEST(TextTest, ReplaceAllAndPathParts) {
  EXPECT_EQ(ReplaceAll("a@1b@1", "@1", "X"), "aXbX");
  EXPECT_EQ(ReplaceAll("abc", "", "X"), "abc");
  EXPECT_EQ(FileNamePart("E:\\Apps\\Kestro.exe"), "Kestro.exe");
  EXPECT_EQ(FolderPart("E:\\Apps\\Kestro.exe"), "E:\\Apps\\");
  EXPECT_TRUE(EqualsNoCase("KESTRO-PC.EXE", "kestro-pc.exe"));
}

}  // namespace
}  // namespace kestro
