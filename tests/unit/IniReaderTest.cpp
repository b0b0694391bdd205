#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AnswerTable.h"
#include "core/config/IniReader.h"
#include "unit/FakePlatform.h"
#include "unit/FakeTextCodec.h"

namespace kestro {
namespace {

using namespace std::string_literals;

const std::filesystem::path kDataFolder = std::filesystem::path(__FILE__).parent_path() / ".." / "data" / "lng";

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

std::string Get(std::string_view text, std::string_view section, std::string_view key,
                std::string_view fallback = "no value") {
  return IniFile::Parse(text).Get(section, key, fallback);
}

using testdata::Answer;

std::vector<Answer> Answers(const char* table) { return testdata::ParseAnswers(ReadBytes(kDataFolder / table)); }

void CheckAnswers(const char* table) {
  testing::FakeTextCodec cp949("CP949");  // the Korean host the Korean file was written on
  std::vector<Answer> answers = Answers(table);
  ASSERT_GT(answers.size(), 3u) << "no answers in " << table;
  for (const Answer& a : answers) {
    std::string bytes = ReadBytes(kDataFolder / a.file);  // a missing file reads as empty
    IniFile file = IniFile::Parse(DecodeProfileText(bytes, cp949));
    EXPECT_EQ(file.Get(a.section, a.key, a.fallback), a.expected)
        << a.file << " [" << a.section << "] " << a.key;
  }
}

TEST(IniFileTest, AnswersAsTheHostsProfileReaderDoesOnTheTrickyFiles) { CheckAnswers("expected.tsv"); }

TEST(IniFileTest, AnswersOfItsOwnWhereTheHostsReaderFallsShort) { CheckAnswers("expected-core.tsv"); }

TEST(IniFileTest, ASemicolonAfterTheStartOfALineIsPartOfTheValue) {
  EXPECT_EQ(Get("[s]\nd=value ; no comment\n", "s", "d"), "value ; no comment");
}

TEST(IniFileTest, AZeroEndsANameOrValue) {
  std::string text = "[s]\nk=ab\0cd\nn\0x=1\n"s;
  EXPECT_EQ(Get(text, "s", "k"), "ab");
  EXPECT_EQ(Get(text, "s", "n"), "1");
}

TEST(ProfileValueTest, TakesAtMost2047Utf16Units) {
  std::string a(3000, 'a');
  EXPECT_EQ(ProfileValue(a), std::string(2047, 'a'));
  EXPECT_EQ(ProfileValue(std::string(2047, 'a')), std::string(2047, 'a'));
  // Korean syllables are one unit each, whatever their UTF-8 length.
  std::string korean;
  for (int i = 0; i < 2050; ++i) korean += "\xEA\xB0\x80";  // U+AC00
  EXPECT_EQ(ProfileValue(korean).size(), 2047u * 3);
}

TEST(ProfileValueTest, NeverCutsACharacterOfTwoUnitsInHalf) {
  const std::string smile = "\xF0\x9F\x98\x80";  // U+1F600, a surrogate pair
  std::string text(2046, 'a');
  text += smile;
  EXPECT_EQ(ProfileValue(text), std::string(2046, 'a'));
  EXPECT_EQ(ProfileValue(std::string(2045, 'a') + smile), std::string(2045, 'a') + smile);
}

TEST(DecodeProfileTextTest, ByteOrderMarksChooseTheEncodingAndAreDropped) {
  testing::FakeTextCodec codec;
  EXPECT_EQ(DecodeProfileText("\xEF\xBB\xBF[s]\r\nk=\xEA\xB0\x80", codec), "[s]\r\nk=\xEA\xB0\x80");
  // UTF-16 little- and big-endian "k=" U+AC00 U+1F600.
  EXPECT_EQ(DecodeProfileText("\xFF\xFEk\0=\0\x00\xAC\x3D\xD8\x00\xDE"s, codec),
            "k=\xEA\xB0\x80\xF0\x9F\x98\x80");
  EXPECT_EQ(DecodeProfileText("\xFE\xFF\0k\0=\xAC\x00\xD8\x3D\xDE\x00"s, codec),
            "k=\xEA\xB0\x80\xF0\x9F\x98\x80");
  EXPECT_EQ(codec.calls, 0);
}

TEST(DecodeProfileTextTest, BrokenTextUnderAMarkBecomesReplacementCharacters) {
  testing::FakeTextCodec codec;
  EXPECT_EQ(DecodeProfileText("\xEF\xBB\xBF" "a\xB0\xA1z", codec), "a\xEF\xBF\xBD\xEF\xBF\xBDz");
  // A low surrogate alone, a high one at the end, and a stray last byte.
  EXPECT_EQ(DecodeProfileText("\xFF\xFE\x00\xDC" "a\0\x00\xD8\x01"s, codec),
            "\xEF\xBF\xBD" "a\xEF\xBF\xBD");
  EXPECT_EQ(codec.calls, 0);
}

TEST(DecodeProfileTextTest, ValidUtf8IsTakenAsItIsAndAnythingElseAsTheAnsiCodePage) {
  testing::FakeTextCodec codec("CP949");
  EXPECT_EQ(DecodeProfileText("plain ASCII", codec), "plain ASCII");
  EXPECT_EQ(DecodeProfileText("\xEC\x82\xAC\xEC\x9A\xA9\xEC\xA4\x91", codec), "\xEC\x82\xAC\xEC\x9A\xA9\xEC\xA4\x91");
  EXPECT_EQ(codec.calls, 0);
  // "사용중" in cp949.
  EXPECT_EQ(DecodeProfileText("\xBB\xE7\xBF\xEB\xC1\xDF", codec), "\xEC\x82\xAC\xEC\x9A\xA9\xEC\xA4\x91");
  EXPECT_EQ(codec.calls, 1);
  // Overlong forms, encoded surrogates and code points past U+10FFFF are no UTF-8.
  for (const char* bytes : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                            "\xE2\x82", "\x80"}) {
    int before = codec.calls;
    DecodeProfileText(bytes, codec);
    EXPECT_EQ(codec.calls, before + 1) << ::testing::PrintToString(std::string(bytes));
  }
}

TEST(IniFileTest, ReadGivesNothingForAFileThatCannotBeRead) {
  testing::FakeFileSystem files;
  testing::FakeTextCodec codec;
  files.files["E:\\a.lng"] = "[s]\r\nk=v\r\n";
  files.unreadable.push_back("E:\\locked.lng");
  ASSERT_TRUE(IniFile::Read("E:\\a.lng", files, codec).has_value());
  EXPECT_EQ(IniFile::Read("E:\\a.lng", files, codec)->Get("s", "k", "-"), "v");
  EXPECT_FALSE(IniFile::Read("E:\\locked.lng", files, codec).has_value());
  EXPECT_FALSE(IniFile::Read("E:\\none.lng", files, codec).has_value());
}

}  // namespace
}  // namespace kestro
