// The English language file carried inside Kestro.exe (resources/english.lng).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "core/config/LanguageCatalogue.h"
#include "core/text/Text.h"
#include "unit/FakeTextCodec.h"

namespace kestro {
namespace {

struct EnglishFileTest : ::testing::Test {
  std::string bytes;
  IniFile file;
  void SetUp() override {
    std::ifstream in(std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "resources" / "english.lng",
                     std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    ASSERT_FALSE(bytes.empty()) << "resources/english.lng not found";
    testing::FakeTextCodec codec;
    file = IniFile::Parse(DecodeProfileText(bytes, codec));
    EXPECT_EQ(codec.calls, 0);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (size_t p = 0; p < bytes.size();) {
      size_t end = bytes.find("\r\n", p);
      if (end == std::string::npos) end = bytes.size();
      lines.push_back(bytes.substr(p, end - p));
      p = end + 2;
    }
    return lines;
  }
};

TEST_F(EnglishFileTest, IsAsciiWithCrLfLineEnds) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    ASSERT_TRUE(c < 0x80 && (c >= 0x20 || c == '\r' || c == '\n')) << "byte " << i;
    if (c == '\n') ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "LF alone at byte " << i;
    if (c == '\r') ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "CR alone at byte " << i;
  }
  EXPECT_TRUE(EndsWith(bytes, "\r\n"));
}

TEST_F(EnglishFileTest, HoldsEveryKeyThatIsRead) {
  size_t keys = 0;
  for (const LanguageCatalogueEntry& entry : LanguageCatalogue()) {
    for (const std::string& key : entry.keys) {
      ++keys;
      std::optional<std::string_view> value = file.Find(entry.section.name, key);
      ASSERT_TRUE(value.has_value()) << "[" << entry.section.name << "] " << key << " (" << entry.reader << ")";
      bool mayBeEmpty = key == "strMsgList09" || key == "strMsgList14";
      EXPECT_EQ(value->empty(), mayBeEmpty) << "[" << entry.section.name << "] " << key;
    }
  }
  EXPECT_GT(keys, 200u);
}

TEST_F(EnglishFileTest, HoldsTheLanguageNameAndTheButtonsNothingReads) {
  EXPECT_EQ(file.Get("Language", "Name", "-"), "English");
  for (const char* key : {"btnAppend.Caption", "btnCancel.Caption"})
    EXPECT_TRUE(file.Find("GroupProperty", key)) << key;
  for (const char* key : {"btnOk.Caption", "btnCancel.Caption"}) EXPECT_TRUE(file.Find("TabCreate", key)) << key;
}

TEST_F(EnglishFileTest, EverySectionAndKeyIsWrittenOnceSoNoneIsHidden) {
  std::set<std::string> sections;
  std::map<std::string, std::set<std::string>> keys;
  std::string section;
  for (const std::string& line : Lines()) {
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = ToLowerAscii(line.substr(1, line.find(']') - 1));
      EXPECT_TRUE(sections.insert(section).second) << line;
      continue;
    }
    std::string key = ToLowerAscii(line.substr(0, line.find('=')));
    EXPECT_NE(line.find('='), std::string::npos) << line;
    EXPECT_TRUE(keys[section].insert(key).second) << section << ": " << line;
  }
}

TEST_F(EnglishFileTest, MessagesReadAsTheEnglishTable) {
  TrayMenuCaptions tray;
  MessageTable table;
  FillFromLanguageFile(file, table, tray);
  EXPECT_EQ(tray, (TrayMenuCaptions{"View Panel", "Setting", "Exit"}));
  EXPECT_EQ(table.Size(), 23u);
  EXPECT_EQ(table.Message(msg::kDriveLetterInUse, "F:", "E:"),
            "Selected F: is using with other Apps!\r\nSo Current Drive E: will be selected!");
  EXPECT_EQ(table.Message(msg::kDeleteTabWithItems), "Deleting current tab will Remove subitem.\r\nReally Delete?");
  EXPECT_EQ(table.Message(msg::kNoPortableAssociation),
            "Nothing associated with portable apps.!\r\nRunning with default program");
  EXPECT_EQ(table.Text(msg::kInUse), "Used");
  EXPECT_EQ(table.Text(msg::kShowPanel), "Show ViewPanel");
}

TEST_F(EnglishFileTest, TextsWithBlanksAtTheirEndKeepThem) {
  // The drive name and ")" follow this caption.
  EXPECT_EQ(file.Get("enviroment", "ckUseFixDrive.caption", "no value"), "Use Fixed USBDrive(Current Drive: ");
  EXPECT_EQ(file.Get("ExitListFrm", "rbExitAll.Caption", "no value"), "Exit Kestro After Upper Program exited ");
}

}  // namespace
}  // namespace kestro
