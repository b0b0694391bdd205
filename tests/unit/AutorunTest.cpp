#include <gtest/gtest.h>

#include "core/tools/Autorun.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

using testing::FakePlatform;

MessageTable Korean() {
  MessageTable m;
  m.FillKoreanDefaults();
  return m;
}

TEST(AutorunTest, DefaultLinesNameTheProgramBelowTheDriveRoot) {
  MessageTable english;
  english.Set("22", "Running Kestro.exe");
  EXPECT_EQ(DefaultAutorunLines("E:\\Kestro.exe", english),
            (std::vector<std::string>{"[AutoRun]", "Open=Kestro.exe", "Icon=Kestro.exe", "Label = My USB",
                                      "Action = Running Kestro.exe"}));
  std::vector<std::string> lines = DefaultAutorunLines("E:\\Tools\\kestro-pc.exe", Korean());
  EXPECT_EQ(lines[1], "Open=Tools\\kestro-pc.exe");
  EXPECT_EQ(lines[2], "Icon=Tools\\kestro-pc.exe");
  EXPECT_EQ(lines[4], "Action = Kestro.exe 프로그램실행");  // the message names Kestro.exe whatever the file is
}

TEST(AutorunTest, LinesSplitAtEveryBreakAndAreWrittenWithCrLf) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\rc\r\n\r\nd", {"a", "b", "c", "", "d"}},
      {"\r\n", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
  EXPECT_EQ(LinesWithCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(LinesWithCrLf({}), "");
}

TEST(AutorunTest, EncodingsAreRecognisedAndKept) {
  FakePlatform p;  // a Korean host: code page 949
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    std::string text;
  };
  const Case cases[] = {
      {"[AutoRun]\r\n", TextEncoding::Ansi, "[AutoRun]\r\n"},
      {"Label=\xC7\xD1", TextEncoding::Ansi, "Label=한"},
      {"Label=\xED\x95\x9C", TextEncoding::Utf8, "Label=한"},
      {"\xEF\xBB\xBFLabel=\xED\x95\x9C", TextEncoding::Utf8Bom, "Label=한"},
      {std::string("\xFF\xFEL\0=\0\x5C\xD5", 8), TextEncoding::Utf16Le, "L=한"},
      {std::string("\xFE\xFF\0L\0=\xD5\x5C", 8), TextEncoding::Utf16Be, "L=한"},
  };
  for (const Case& c : cases) {
    DecodedText d = DecodeTextFile(c.bytes, p.codec);
    EXPECT_EQ(d.text, c.text);
    EXPECT_EQ(d.encoding, c.encoding) << c.text;
    EXPECT_EQ(EncodeTextFile(d.text, d.encoding, p.codec), c.bytes) << c.text;
  }
  // A character the code page lacks: the text goes out as UTF-16 rather than lose it.
  EXPECT_EQ(EncodeTextFile("L=\xC3\xA9", TextEncoding::Ansi, p.codec), std::string("\xFF\xFEL\0=\0\xE9\0", 8));
  testing::FakeTextCodec western("CP1252");
  EXPECT_EQ(EncodeTextFile("L=\xC3\xA9", TextEncoding::Ansi, western), "L=\xE9");
  EXPECT_EQ(EncodeTextFile("L=한", TextEncoding::Ansi, western), std::string("\xFF\xFEL\0=\0\x5C\xD5", 8));
}

TEST(AutorunTest, ADriveWithoutTheFileGetsTheDefaultLinesAndSavesThemWithCrLf) {
  FakePlatform p;
  AutorunFile f = AutorunFile::Open("E:\\", "E:\\Kestro.exe", Korean(), p.files, p.codec);
  EXPECT_EQ(f.Path(), "E:\\autorun.inf");
  EXPECT_FALSE(f.ReadFailed());
  const std::string text = f.EditorText();
  EXPECT_EQ(text,
            "[AutoRun]\r\nOpen=Kestro.exe\r\nIcon=Kestro.exe\r\nLabel = My USB\r\nAction = Kestro.exe 프로그램실행");
  EXPECT_TRUE(p.files.files.empty());  // opening writes nothing
  ASSERT_TRUE(f.Save(text, p.files, p.codec));
  // In the code page, each line ended by CR LF.
  EXPECT_EQ(p.files.files["E:\\autorun.inf"],
            "[AutoRun]\r\nOpen=Kestro.exe\r\nIcon=Kestro.exe\r\nLabel = My USB\r\nAction = Kestro.exe "
            "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5\xBD\xC7\xC7\xE0\r\n");
  EXPECT_EQ(p.files.atomicWrites, 1);
}

TEST(AutorunTest, AnExistingFileIsShownAsItIsAndSavedInItsEncoding) {
  FakePlatform p;
  p.files.files["E:\\autorun.inf"] = "\xEF\xBB\xBF[autorun]\nopen=x.exe\n[Unknown]\nkey=\xED\x95\x9C";
  AutorunFile f = AutorunFile::Open("E:\\", "E:\\Kestro.exe", Korean(), p.files, p.codec);
  EXPECT_EQ(f.EditorText(), "[autorun]\r\nopen=x.exe\r\n[Unknown]\r\nkey=한");
  ASSERT_TRUE(f.Save(f.EditorText() + "\r\nlabel=둘", p.files, p.codec));
  EXPECT_EQ(p.files.files["E:\\autorun.inf"],
            "\xEF\xBB\xBF[autorun]\r\nopen=x.exe\r\n[Unknown]\r\nkey=\xED\x95\x9C\r\nlabel=\xEB\x91\x98\r\n");
  // An emptied editor empties the file.
  ASSERT_TRUE(f.Save("", p.files, p.codec));
  EXPECT_EQ(p.files.files["E:\\autorun.inf"], "\xEF\xBB\xBF");
}

TEST(AutorunTest, AnUnreadableFileIsNeverOverwrittenAndAFailedWriteIsReported) {
  FakePlatform p;
  p.files.unreadable.push_back("E:\\autorun.inf");
  AutorunFile f = AutorunFile::Open("E:\\", "E:\\Kestro.exe", Korean(), p.files, p.codec);
  EXPECT_TRUE(f.ReadFailed());
  EXPECT_EQ(f.EditorText(), "");
  EXPECT_NE(f.ReadFailureText().find("E:\\autorun.inf"), std::string::npos);
  WriteResult r = f.Save("[AutoRun]", p.files, p.codec);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("E:\\autorun.inf"), std::string::npos);
  EXPECT_EQ(p.files.atomicWrites, 0);
  EXPECT_EQ(p.files.files.count("E:\\autorun.inf"), 0u);

  FakePlatform q;
  q.files.failWrites = true;
  AutorunFile g = AutorunFile::Open("E:\\", "E:\\Kestro.exe", Korean(), q.files, q.codec);
  r = g.Save(g.EditorText(), q.files, q.codec);
  EXPECT_FALSE(r);
  EXPECT_FALSE(r.error.empty());
}

}  // namespace
}  // namespace kestro
