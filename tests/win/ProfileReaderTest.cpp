// Our language-file reader against the host's own profile reader on files
// that are hard to read. The suite runs on a Korean host (code page 949), so
// that the cp949 file reads as it would on the PC it was written on.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>

#include "AnswerTable.h"
#include "core/config/IniReader.h"
#include "win/platform/Win32Platform.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

std::string DataFolder() {
  wchar_t buf[MAX_PATH] = {};
  GetEnvironmentVariableW(L"KESTRO_TEST_DATA", buf, MAX_PATH);
  std::string folder = Narrow(buf);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

using Row = testdata::Answer;

std::vector<Row> Rows(const std::string& table) {
  Win32FileSystem fs;
  std::string bytes;
  if (!fs.ReadFile(DataFolder() + table, bytes)) return {};
  return testdata::ParseAnswers(bytes);
}

std::string HostReader(const Row& r) {
  std::wstring buf(2048, L'\0');
  DWORD n = GetPrivateProfileStringW(Widen(r.section).c_str(), Widen(r.key).c_str(), Widen(r.fallback).c_str(),
                                     buf.data(), 2048, Widen(DataFolder() + r.file).c_str());
  return Narrow(std::wstring_view(buf.data(), n));
}

std::string OurReader(const Row& r) {
  Win32FileSystem fs;
  Win32TextCodec codec;
  std::optional<IniFile> file = IniFile::Read(DataFolder() + r.file, fs, codec);
  return (file ? *file : IniFile()).Get(r.section, r.key, r.fallback);
}

TEST(KoreanHostProfileReaderTest, TheHostIsKorean) {
  EXPECT_EQ(GetSystemDefaultLCID(), 1042u);
  EXPECT_EQ(GetACP(), 949u);
}

TEST(KoreanHostProfileReaderTest, BothReadersGiveTheExpectedAnswers) {
  std::vector<Row> rows = Rows("expected.tsv");
  ASSERT_GT(rows.size(), 20u) << "no answers found in " << DataFolder();
  // Where our reader deliberately does better (UTF-8 without a mark), the
  // host keeps its own answer and ours is listed separately.
  std::map<std::string, std::string> ours;
  for (const Row& r : Rows("expected-core.tsv")) ours[r.file + "|" + r.section + "|" + r.key] = r.expected;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file + " [" + r.section + "] " + r.key);
    EXPECT_EQ(HostReader(r), r.expected);
    auto own = ours.find(r.file + "|" + r.section + "|" + r.key);
    EXPECT_EQ(OurReader(r), own == ours.end() ? r.expected : own->second);
  }
}

}  // namespace
}  // namespace kestro::win
