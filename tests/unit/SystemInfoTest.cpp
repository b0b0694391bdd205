#include <gtest/gtest.h>

#include "core/tools/SystemInfo.h"
#include "unit/FakeSystemFacts.h"

namespace kestro {
namespace {

using testing::FakeSystemFacts;
using testing::FakeWebClient;

constexpr const char* kVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kCpuKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr double kMb = 1048576.0, kGb = 1073741824.0;

TEST(SystemInfoFormatTest, NumberPictures) {
  const NumberSeparators english, german{",", "."};
  struct Case {
    double value;
    const char* picture;
    const NumberSeparators& sep;
    const char* expected;
  };
  const Case cases[] = {
      {7633.2, "###,###M", english, "7,633M"},
      {7.4543, "##0.##G", english, "7.45G"},
      {8, "##0.##G", english, "8G"},
      {7.455, "##0.##G", english, "7.46G"},     // halves away from zero, as the decimal reads
      {7.4049, "##0.##G", english, "7.4G"},     // trailing decimal zero dropped
      {0.004, "##0.##G", english, "0G"},        // the required digit stays
      {0.4, "###,###M", english, "M"},          // no required digit: nothing before the letter
      {999.996, "##0.##G", english, "1000G"},   // the carry reaches a new digit
      {1234567.8, "###,###M", english, "1,234,568M"},
      {1500.5, "##0.##G", english, "1500.5G"},  // no grouping without ","
      {1234.5678, "###,##0.##G", german, "1.234,57G"},
      {0, "###,##0.##G", english, "0G"},
      {-3.5, "##0.##G", english, "-3.5G"},      // a failed query may give a negative size
      {-0.001, "##0.##G", english, "0G"},
      {12.3, "000.00", english, "012.30"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatPicture(c.value, c.picture, c.sep), c.expected) << c.value << " " << c.picture;
}

TEST(SystemInfoFormatTest, ProcessorOsAndEchoTexts) {
  EXPECT_EQ(CleanProcessorName("Intel(R) Core(TM)2 CPU         T5600"), "Intel Core2 CPUT5600");
  // Runs of nine from the left, without overlap: eleven blanks leave two.
  EXPECT_EQ(CleanProcessorName("A           B"), "A  B");
  EXPECT_EQ(CleanProcessorName("x(tm)(r)"), "x(tm)(r)");  // compared with case

  EXPECT_EQ(OsText("Windows XP", "Service Pack 3"), "Windows XP-SP3");
  EXPECT_EQ(OsText("Windows 10 Pro", std::nullopt), "Windows 10 Pro-");
  EXPECT_EQ(OsText(std::nullopt, std::nullopt), "-");

  struct Echo {
    const char* body;
    const char* address;
  };
  const Echo echoes[] = {
      {"<html><body>Current IP Address: 10.1.2.3</body></html>", "10.1.2.3"},
      {"<b>IP: 1.2.3.4</b>", "1.2.3.4"},
      {"</b>Address: 1.2.3.4", ""},  // the tag comes first
      {"1.2.3.4", "1.2.3.4"},        // without ": " the whole body
      {"Address: 1.2.3.4", "Address: 1.2.3.4"},
      {"", ""},
  };
  for (const Echo& e : echoes) EXPECT_EQ(ExternalAddressFromBody(e.body), e.address) << e.body;

  FakeWebClient web;
  web.body = "<html><body>Current IP Address: 10.1.2.3</body></html>";
  EXPECT_EQ(FetchExternalAddress(web, kExternalAddressUrl), "10.1.2.3");
  web.body.reset();
  EXPECT_EQ(FetchExternalAddress(web, kExternalAddressUrl), kNotConnected);
  EXPECT_EQ(web.asked, (std::vector<std::string>{kExternalAddressUrl, kExternalAddressUrl}));
}

FakeSystemFacts AHost() {
  FakeSystemFacts f;
  f.disks["E:\\"] = {7633.2 * kMb, 1024.5 * kMb};
  f.fileSystems["E:\\"] = "FAT32-LONGNAME";
  f.types = {{"A:\\", DriveType::Removable}, {"C:\\", DriveType::Fixed},  {"D:\\", DriveType::CdRom},
             {"E:\\", DriveType::Removable}, {"F:\\", DriveType::Fixed},  {"N:\\", DriveType::Remote},
             {"Z:\\", DriveType::Fixed}};
  f.disks["C:\\"] = {465.76 * kGb, 100.004 * kGb};
  f.disks["F:\\"] = {1863.02 * kGb, 0};
  f.texts[{kVersionKey, "ProductName"}] = "Microsoft Windows XP";
  f.texts[{kVersionKey, "CSDVersion"}] = "Service Pack 2";
  f.texts[{kCpuKey, "ProcessorNameString"}] = "Intel(R) Core(TM)2 CPU         T5600";
  f.texts[{kCpuKey, "Identifier"}] = "x86 Family 6 Model 15";
  f.numbers[{kCpuKey, "~MHz"}] = 2394;
  f.processors = 2;
  f.screen = {1280, 1024, 32};
  f.memory = {2047.6 * kMb, 1000.2 * kMb};
  return f;
}

TEST(SystemInfoGatherTest, EveryValueFromTheHost) {
  FakeSystemFacts f = AHost();
  SystemInfoTexts t = GatherSystemInfo(f, "E:");
  EXPECT_EQ(t.drive, "E:");
  EXPECT_EQ(t.fileSystem, "FAT32-");  // at most six characters
  EXPECT_EQ(t.totalGb + "(" + t.totalMb + ")", "7.45G(7,633M)");
  EXPECT_EQ(t.freeGb + "(" + t.freeMb + ")", "1G(1,025M)");
  EXPECT_EQ(t.os, "Microsoft Windows XP-SP2");
  EXPECT_EQ(t.cpuType, "Intel Core2 CPUT5600");
  EXPECT_EQ(t.cpuSpeed, "2394MHz");
  EXPECT_EQ(t.cores, "2");
  EXPECT_EQ(t.resolution, "1280x1024");
  EXPECT_EQ(t.colour, "32bit");
  EXPECT_EQ(t.memoryTotal, "2,048M");
  EXPECT_EQ(t.memoryFree, "1,000M");
  // Fixed drives only, in letter order; removable, optical and network never.
  ASSERT_EQ(t.fixedDrives.size(), 3u);
  EXPECT_EQ(t.fixedDrives[0].name, "C:");
  EXPECT_EQ(t.fixedDrives[0].total, "465.76G");
  EXPECT_EQ(t.fixedDrives[0].free, "100G");
  EXPECT_EQ(t.fixedDrives[1].name, "F:");
  EXPECT_EQ(t.fixedDrives[1].total, "1,863.02G");
  EXPECT_EQ(t.fixedDrives[1].free, "0G");
  EXPECT_EQ(t.fixedDrives[2].name, "Z:");
  EXPECT_EQ(t.fixedDrives[2].total, "0G");  // a failed query
  EXPECT_EQ(t.localAddress, "192.168.0.7");
  EXPECT_EQ(t.externalAddress, "");  // fetched separately
}

TEST(SystemInfoGatherTest, MissingValuesLeaveTheirTextsEmpty) {
  FakeSystemFacts f = AHost();
  f.texts.erase({kVersionKey, "CSDVersion"});
  f.texts.erase({kCpuKey, "ProcessorNameString"});
  f.numbers.clear();
  // Running from a fixed drive: that one is not listed.
  SystemInfoTexts t = GatherSystemInfo(f, "c:");
  EXPECT_EQ(t.os, "Microsoft Windows XP-");
  EXPECT_EQ(t.cpuType, "x86 Family 6 Model 15");  // the identifier instead
  EXPECT_EQ(t.cpuSpeed, "");
  ASSERT_EQ(t.fixedDrives.size(), 2u);
  EXPECT_EQ(t.fixedDrives[0].name, "F:");
  EXPECT_EQ(t.fileSystem, "");
  EXPECT_EQ(t.totalGb + "(" + t.totalMb + ")", "0G(M)");

  f.texts.clear();
  t = GatherSystemInfo(f, "E:");
  EXPECT_EQ(t.os, "-");
  EXPECT_EQ(t.cpuType, "");
}

TEST(SystemInfoLayoutTest, HeadingsRulesAndRowsInTheirPlaces) {
  FakeSystemFacts f = AHost();
  SystemInfoTexts info = GatherSystemInfo(f, "E:");
  info.externalAddress = "10.1.2.3";
  const int h = 15;
  SystemInfoLayout layout = LayOutSystemInfo(info, h, 96);
  struct Expected {
    const char* text;
    int x, y;
    bool bold;
  };
  // Heading at y, its rule at y + 15, rows from y + 20, 15 apart; the next
  // heading 10 below the last row's bottom.
  const Expected expected[] = {
      {"USB Info: (E:)", 4, 10, true},
      {"File System: FAT32-", 8, 30, false},
      {"Total Space: 7.45G(7,633M)", 8, 45, false},
      {"Free Space: 1G(1,025M)", 8, 60, false},
      {"PC Info", 4, 85, true},
      {"OS: Microsoft Windows XP-SP2", 8, 105, false},
      {"CPU Info", 4, 130, true},
      {"Type: Intel Core2 CPUT5600", 8, 150, false},
      {"Cores: 2", 8, 165, false},
      {"Core Speed: 2394MHz", 8, 180, false},
      {"DisplayInfo", 4, 205, true},
      {"Resolution: 1280x1024", 8, 225, false},
      {"Color : 32bit", 8, 240, false},
      {"Memory Info", 4, 265, true},
      {"Total Memory: 2,048M", 8, 285, false},
      {"Free Memory: 1,000M", 8, 300, false},
      {"HDD Info", 4, 325, true},
      {"C:", 8, 345, true},
      {" - 465.76G( free: 100G )", 18, 345, false},
      {"F:", 8, 360, true},
      {" - 1,863.02G( free: 0G )", 18, 360, false},
      {"Z:", 8, 375, true},
      {" - 0G( free: 0G )", 18, 375, false},
      {"Network Info", 4, 400, true},
      {"Local IP Address: 192.168.0.7", 8, 420, false},
      {"External IP Address: 10.1.2.3", 8, 435, false},
  };
  ASSERT_EQ(layout.texts.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const InfoText& t = layout.texts[i];
    EXPECT_EQ(t.text, expected[i].text) << i;
    EXPECT_EQ(t.x, expected[i].x) << t.text;
    EXPECT_EQ(t.y, expected[i].y) << t.text;
    EXPECT_EQ(t.bold, expected[i].bold) << t.text;
  }
  ASSERT_EQ(layout.rules.size(), 7u);
  const int headings[] = {10, 85, 130, 205, 265, 325, 400};
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(layout.rules[i].x1, 4);
    EXPECT_EQ(layout.rules[i].x2, 190);
    EXPECT_EQ(layout.rules[i].y, headings[i] + h);
  }
  EXPECT_EQ(SystemInfoPlainText(layout).substr(0, 37), "USB Info: (E:)\r\nFile System: FAT32-\r\n");
  EXPECT_NE(SystemInfoPlainText(layout).find("\r\nC: - 465.76G( free: 100G )\r\n"), std::string::npos);
}

TEST(SystemInfoLayoutTest, NoFixedDrivesAndAHigherDpi) {
  FakeSystemFacts f = AHost();
  f.types.clear();
  SystemInfoTexts info = GatherSystemInfo(f, "E:");
  // Without rows the next heading stands 10 below where the first row would start.
  SystemInfoLayout layout = LayOutSystemInfo(info, 15, 96);
  ASSERT_EQ(layout.texts[layout.texts.size() - 3].text, "Network Info");
  EXPECT_EQ(layout.texts[layout.texts.size() - 4].text, "HDD Info");
  EXPECT_EQ(layout.texts[layout.texts.size() - 3].y, 325 + 15 + 5 + 10);
  EXPECT_EQ(layout.texts.back().text, "External IP Address: ");  // not fetched yet

  // At 144 DPI the fixed places grow by half; the line height is measured.
  layout = LayOutSystemInfo(info, 22, 144);
  EXPECT_EQ(layout.texts[0].x, 6);
  EXPECT_EQ(layout.texts[0].y, 15);
  EXPECT_EQ(layout.texts[1].x, 12);
  EXPECT_EQ(layout.texts[1].y, 15 + 22 + 8);
  EXPECT_EQ(layout.rules[0].x2, 285);
}

}  // namespace
}  // namespace kestro
