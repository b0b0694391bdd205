#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/config/Language.h"
#include "unit/FakePlatform.h"
#include "unit/FakeTextCodec.h"

namespace kestro {
namespace {

std::string EmbeddedEnglish() {
  std::ifstream in(std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "resources" / "english.lng",
                   std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

const TrayMenuCaptions kEnglishTray{"View Panel", "Setting", "Exit"};
const TrayMenuCaptions kNoCaptionTray{"no caption", "no caption", "no caption"};

struct ChooseLanguageTest : ::testing::Test {
  testing::FakeFileSystem files;
  testing::FakeTextCodec codec{"CP949"};
  MessageTable table;
  const std::string english = EmbeddedEnglish();
  const std::string folder = "E:\\Kestro\\";
  const std::string englishPath = "E:\\Kestro\\english.lng";

  void SetUp() override { ASSERT_GT(english.size(), 1000u) << "resources/english.lng not found"; }

  LanguageChoice Choose(const std::string& language, uint32_t locale) {
    return ChooseLanguage({folder, language, locale, english}, table, files, codec);
  }
  void ExpectKoreanMessages() {
    EXPECT_EQ(table.Size(), 22u);
    for (int n = 0; n < kMessageCount; ++n) {
      const char* korean = KoreanDefaultMessage(n);
      EXPECT_EQ(table.Has(MessageKey(n)), korean != nullptr) << n;
      if (korean) EXPECT_EQ(table.Text(MessageKey(n)), korean) << n;
    }
  }
};

TEST_F(ChooseLanguageTest, KoreanHostWithoutASettingKeepsTheKoreanTextsAndStillWritesTheEnglishFile) {
  for (const char* language : {"", "Default(korea)"}) {
    files.files.clear();
    LanguageChoice choice = Choose(language, 1042);
    EXPECT_EQ(choice.languageFile, "") << language;
    EXPECT_FALSE(choice.trayCaptions) << language;
    EXPECT_FALSE(choice.readFile) << language;
    ExpectKoreanMessages();
    EXPECT_EQ(table.Text(msg::kInUse), "사용중");
    EXPECT_EQ(choice.englishFile, EnglishFileState::Written);
    EXPECT_EQ(files.files.at(englishPath), english) << "written byte for byte";
  }
  EXPECT_EQ(files.atomicWrites, 2);
}

TEST_F(ChooseLanguageTest, OtherHostsUseTheEnglishFile) {
  for (const char* language : {"", "Default(korea)"}) {
    LanguageChoice choice = Choose(language, 1033);
    EXPECT_EQ(choice.languageFile, englishPath);
    EXPECT_EQ(choice.trayCaptions, kEnglishTray);
    EXPECT_FALSE(choice.messagesFromEmbeddedEnglish);
    EXPECT_EQ(table.Text("02"), "Program is on progress. Do not Terminate!");
    // The windows get the file as read, the same as reading it again.
    ASSERT_TRUE(choice.readFile) << language;
    LanguageTexts read = LanguageTexts::FromFile(*choice.readFile);
    LanguageTexts again = LanguageTexts::Open(choice.languageFile, files, codec);
    EXPECT_TRUE(read.InUse());
    EXPECT_EQ(read.Text(lang::kViewPanel, "menu_file.caption"), "File");
    EXPECT_EQ(read.Text(lang::kViewPanel, "menu_file.caption"), again.Text(lang::kViewPanel, "menu_file.caption"));
  }
  EXPECT_EQ(files.atomicWrites, 1) << "written only while missing";
}

TEST_F(ChooseLanguageTest, ThePresentEnglishFileIsNeitherReplacedNorIgnored) {
  files.files[englishPath] = "[Msgbox]\r\nstrMsgList02=Edited by the user\r\n";
  LanguageChoice choice = Choose("", 1033);
  EXPECT_EQ(choice.englishFile, EnglishFileState::Present);
  EXPECT_EQ(files.atomicWrites, 0);
  EXPECT_EQ(table.Text("02"), "Edited by the user");
  EXPECT_EQ(table.Text("03"), "no caption");
  EXPECT_EQ(choice.trayCaptions, kNoCaptionTray);
}

TEST_F(ChooseLanguageTest, ANamedFileIsUsedOnAnyHost) {
  // Written on a Korean host, in cp949: "종료", "탭 삭제?#13정말?".
  files.files[folder + "korean.lng"] =
      "[traymenu]\r\ntraymenu_exit.caption=\xC1\xBE\xB7\xE1\r\n"
      "[Msgbox]\r\nstrMsgList04=\xC5\xC7 \xBB\xE8\xC1\xA6?#13\xC1\xA4\xB8\xBB?\r\nstrMsgList09 =\r\n";
  for (uint32_t locale : {1042u, 1031u}) {
    LanguageChoice choice = Choose("korean.lng", locale);
    EXPECT_EQ(choice.languageFile, folder + "korean.lng");
    EXPECT_EQ(choice.trayCaptions, (TrayMenuCaptions{"no caption", "no caption", "종료"}));
    EXPECT_EQ(table.Message(msg::kDeleteTabWithItems), "탭 삭제?\r\n정말?");
    EXPECT_EQ(table.Text("09"), "") << "an empty value is no missing key";
    EXPECT_EQ(table.Text("10"), "no caption");
    EXPECT_EQ(table.Size(), 23u);
  }
}

TEST_F(ChooseLanguageTest, ANamedFileThatIsMissingOrUnreadableFallsBackToEnglish) {
  files.unreadable.push_back(folder + "locked.lng");
  // The comparison with "Default(korea)" is exact: another spelling is a file name.
  for (const char* language : {"gone.lng", "locked.lng", "default(korea)"}) {
    LanguageChoice choice = Choose(language, 1042);
    EXPECT_EQ(choice.languageFile, englishPath) << language;
    EXPECT_EQ(choice.trayCaptions, kEnglishTray) << language;
    EXPECT_EQ(table.Text("07"), "Used") << language;
  }
}

TEST_F(ChooseLanguageTest, AWriteProtectedDriveStillGetsEnglishMessages) {
  files.failWrites = true;
  LanguageChoice choice = Choose("", 1033);
  EXPECT_EQ(choice.englishFile, EnglishFileState::WriteFailed);
  EXPECT_TRUE(files.files.empty());
  EXPECT_EQ(choice.languageFile, englishPath);
  EXPECT_TRUE(choice.messagesFromEmbeddedEnglish);
  EXPECT_EQ(choice.trayCaptions, kEnglishTray);
  EXPECT_EQ(table.Text("13"), "Enter more than two characters!");
  // The windows test for the file, find none and keep their own captions.
  EXPECT_FALSE(LanguageTexts::Open(choice.languageFile, files, codec).InUse());
  EXPECT_FALSE(choice.readFile) << "the carried English text is for the messages only";

  choice = Choose("", 1042);
  EXPECT_EQ(choice.englishFile, EnglishFileState::WriteFailed);
  EXPECT_EQ(choice.languageFile, "");
  ExpectKoreanMessages();
}

TEST_F(ChooseLanguageTest, WithoutAnEnglishTextNothingIsWrittenAndMessagesSayNoCaption) {
  LanguageChoice choice = ChooseLanguage({folder, "", 1033, ""}, table, files, codec);
  EXPECT_EQ(choice.englishFile, EnglishFileState::NoResource);
  EXPECT_TRUE(files.files.empty());
  EXPECT_EQ(choice.languageFile, englishPath);
  EXPECT_EQ(choice.trayCaptions, kNoCaptionTray);
  for (int n = 0; n < kMessageCount; ++n) EXPECT_EQ(table.Text(MessageKey(n)), "no caption") << n;
}

TEST_F(ChooseLanguageTest, ChoosingAgainOnANewDriveLetterStartsAfresh) {
  Choose("", 1033);
  ASSERT_EQ(table.Size(), 23u);
  files.files.clear();  // the drive now answers as F:
  LanguageChoice choice = ChooseLanguage({"F:\\Kestro\\", "", 1042, english}, table, files, codec);
  EXPECT_EQ(choice.languageFile, "");
  ExpectKoreanMessages();
  choice = ChooseLanguage({"F:\\Kestro\\", "", 1033, english}, table, files, codec);
  EXPECT_EQ(choice.languageFile, "F:\\Kestro\\english.lng");
  EXPECT_EQ(choice.englishFile, EnglishFileState::Present) << "written by the run before";
}

struct LanguageTextsTest : ::testing::Test {
  testing::FakeFileSystem files;
  testing::FakeTextCodec codec;
  const std::string path = "E:\\Kestro\\english.lng";
  void SetUp() override {
    files.files[path] =
        "[viewpopup]\r\npopMenu_Execute.Caption=Excute\r\npopMenu_Delete.Caption=\r\n"
        "[Button]\r\nbtnCancel.Caption=Cancel\r\n";
  }
};

TEST_F(LanguageTextsTest, WithoutALanguageFileTheWindowsKeepTheirOwnCaptions) {
  for (const std::string& file : {std::string(), std::string("E:\\Kestro\\gone.lng")}) {
    LanguageTexts texts = LanguageTexts::Open(file, files, codec);
    EXPECT_FALSE(texts.InUse());
    EXPECT_EQ(texts.Caption(lang::kViewPopup, "popMenu_Execute.Caption", "실행"), "실행");
  }
  files.unreadable.push_back("E:\\Kestro\\locked.lng");
  EXPECT_FALSE(LanguageTexts::Open("E:\\Kestro\\locked.lng", files, codec).InUse());
}

TEST_F(LanguageTextsTest, WithALanguageFileMissingKeysShowTheReadersFallback) {
  LanguageTexts texts = LanguageTexts::Open(path, files, codec);
  ASSERT_TRUE(texts.InUse());
  EXPECT_EQ(texts.Caption(lang::kViewPopup, "popMenu_Execute.Caption", "실행"), "Excute");
  EXPECT_EQ(texts.Caption(lang::kViewPopup, "popMenu_Delete.Caption", "삭제"), "");
  EXPECT_EQ(texts.Caption(lang::kViewPopup, "popMenu_AddFile.Caption", "파일추가"), "no value");
  // One section, two readers with their own fallbacks.
  EXPECT_EQ(texts.Text(lang::kTabPropertyButton, "btnCancel.caption"), "Cancel");
  EXPECT_EQ(texts.Text(lang::kTabPropertyButton, "btnOK.caption"), "no caption");
  EXPECT_EQ(texts.Text(lang::kExitListButton, "btnExit.Caption"), "no value");
  EXPECT_EQ(texts.Text(lang::kFindTab, "btSearch.caption"), "no caption");
}

TEST(SearchLngFileTest, OffersFilesWhoseExtensionIsExactlyLngInListingOrder) {
  std::vector<std::string> list{"Default(korea)"};
  SearchLngFile({".", "..", "zulu.lng", "english.lng", "CAPS.LNG", "Mixed.Lng", "old.lng.bak", "lng", "notes.txt",
                 "E:\\Kestro\\deutsch.lng", "two.dots.lng", ".lng"},
                list);
  EXPECT_EQ(list, (std::vector<std::string>{"Default(korea)", "zulu.lng", "english.lng", "deutsch.lng", "two.dots.lng",
                                            ".lng"}));
}

TEST(FormatMessageTextTest, PlaceholdersAndLineBreaks) {
  EXPECT_EQ(FormatMessageText(KoreanDefaultMessage(3), {"F:", "E:"}),
            "변경하고자하는 F:는 현재사용중입니다!\r\n따라서 현재 드라이브인 E:으로 유지됩니다!");
  EXPECT_EQ(FormatMessageText("#13a#13#13b#13"), "\r\na\r\n\r\nb\r\n");
  EXPECT_EQ(FormatMessageText("@1 @2 @1 @3 @@1", {"x", "y"}), "x y x @3 @x");
  // Without values the placeholders stay as written.
  EXPECT_EQ(FormatMessageText("@1 and @2"), "@1 and @2");
  EXPECT_EQ(FormatMessageText("#12 #1 # 13"), "#12 #1 # 13");
  // Values are inserted as they are.
  EXPECT_EQ(FormatMessageText("@1|@2", {"@2#13", "b"}), "@2#13|b");
  EXPECT_EQ(FormatMessageText("@1", {""}), "");
}

}  // namespace
}  // namespace kestro
