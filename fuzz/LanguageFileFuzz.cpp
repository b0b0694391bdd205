// Language files: the bytes as the file the `language` setting names, read
// at start (ChooseLanguage: tray captions and messages) and by every window
// (each key of the catalogue). Every text handed out is well-formed UTF-8
// within the host reader's limit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/config/IniReader.h"
#include "core/config/Language.h"
#include "core/config/LanguageCatalogue.h"
#include "core/config/MessageTable.h"
#include "unit/FakePlatform.h"

using namespace kestro;

namespace {

void CheckValue(const std::string& value) {
  FUZZ_CHECK(fuzz::IsUtf8(value));
  size_t units = 0;
  for (unsigned char c : value) units += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
  FUZZ_CHECK(units <= kProfileValueLimit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  testing::FakeFileSystem files;
  testing::FakeTextCodec codec{"CP949"};
  const std::string folder = "E:\\Kestro\\";
  files.files[folder + "fuzz.lng"] = std::string(bytes);

  FUZZ_CHECK(fuzz::IsUtf8(DecodeProfileText(bytes, codec)));

  MessageTable table;
  LanguageStart start{folder, "fuzz.lng", 1033, {}};
  LanguageChoice choice = ChooseLanguage(start, table, files, codec);
  FUZZ_CHECK(choice.languageFile == folder + "fuzz.lng" && choice.readFile && choice.trayCaptions);
  CheckValue(choice.trayCaptions->view);
  CheckValue(choice.trayCaptions->env);
  CheckValue(choice.trayCaptions->exit);
  for (int n = 0; n < kMessageCount; ++n) {
    std::string key = MessageKey(n);
    FUZZ_CHECK(table.Has(key));
    CheckValue(table.Text(key));
    FUZZ_CHECK(fuzz::IsUtf8(table.Message(key, "E:", "F:")));
  }

  LanguageTexts texts = LanguageTexts::FromFile(std::move(*choice.readFile));
  for (const LanguageCatalogueEntry& entry : LanguageCatalogue())
    for (const std::string& key : entry.keys) CheckValue(texts.Text(entry.section, key));

  // Lookups the file itself names: its first line as a section and a key.
  size_t end = bytes.find_first_of("\r\n");
  std::string_view first = bytes.substr(0, end);
  size_t eq = first.find('=');
  if (eq != std::string_view::npos) {
    IniFile file = IniFile::Parse(DecodeProfileText(bytes, codec));
    CheckValue(file.Get(first.substr(0, eq), first.substr(eq + 1), ""));
    CheckValue(ProfileValue(DecodeProfileText(first.substr(eq + 1), codec)));
  }
  return 0;
}
