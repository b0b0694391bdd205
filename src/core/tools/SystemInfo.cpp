#include "core/tools/SystemInfo.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/text/Text.h"
#include "core/text/Unicode.h"
#include "core/ui/Dpi.h"

namespace kestro {

namespace {

constexpr double kMegabyte = 1048576.0;
constexpr double kGigabyte = 1073741824.0;
constexpr const char* kVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

bool IsPlaceholder(char c) { return c == '#' || c == '0' || c == ',' || c == '.'; }

// |value| as decimal digits with the decimal point after `point` of them,
// rounded to `decimals` places; 15 significant digits are taken first, so
// that 7.455 rounds as it reads.
std::string RoundedDigits(double value, int decimals, size_t& point) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  long long before = exponent + 1;  // digits before the point
  if (before <= 0) {
    digits.insert(0, size_t(1 - before), '0');
    before = 1;
  }
  point = size_t(before);
  size_t keep = point + size_t(decimals);
  if (digits.size() < keep + 1) digits.append(keep + 1 - digits.size(), '0');
  bool up = digits[keep] >= '5';
  digits.resize(keep);
  for (size_t i = keep; up && i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      up = false;
    }
  }
  if (up) {
    digits.insert(0, 1, '1');
    ++point;
  }
  return digits;
}

}  // namespace

std::string FormatPicture(double value, std::string_view picture, const NumberSeparators& separators) {
  if (!std::isfinite(value)) value = 0;
  size_t end = 0;
  while (end < picture.size() && IsPlaceholder(picture[end])) ++end;
  std::string_view pattern = picture.substr(0, end), suffix = picture.substr(end);
  size_t dot = pattern.find('.');
  std::string_view intPattern = pattern.substr(0, dot);
  std::string_view fracPattern = dot == std::string_view::npos ? std::string_view() : pattern.substr(dot + 1);
  int requiredInt = 0, decimals = 0, requiredDecimals = 0;
  bool grouped = intPattern.find(',') != std::string_view::npos;
  for (char c : intPattern) requiredInt += c == '0';
  for (size_t i = 0; i < fracPattern.size(); ++i) {
    if (fracPattern[i] != '#' && fracPattern[i] != '0') continue;
    ++decimals;
    if (fracPattern[i] == '0') requiredDecimals = decimals;
  }

  size_t point = 0;
  std::string digits = RoundedDigits(value, decimals, point);
  std::string integer = digits.substr(0, point), fraction = digits.substr(point);
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
  if (integer.size() < size_t(requiredInt)) integer.insert(0, size_t(requiredInt) - integer.size(), '0');
  while (fraction.size() > size_t(requiredDecimals) && fraction.back() == '0') fraction.pop_back();

  std::string out;
  if (value < 0 && digits.find_first_not_of('0') != std::string::npos) out += '-';
  for (size_t i = 0; i < integer.size(); ++i) {
    if (grouped && i > 0 && (integer.size() - i) % 3 == 0) out += separators.thousands;
    out += integer[i];
  }
  if (!fraction.empty()) out += separators.decimal + fraction;
  out += suffix;
  return out;
}

std::string CleanProcessorName(std::string_view name) {
  std::string s = ReplaceAll(name, std::string(9, ' '), "");
  s = ReplaceAll(s, "(TM)", "");
  return ReplaceAll(s, "(R)", "");
}

std::string OsText(const std::optional<std::string>& productName, const std::optional<std::string>& servicePack) {
  return productName.value_or("") + "-" + ReplaceAll(servicePack.value_or(""), "Service Pack ", "SP");
}

std::string ExternalAddressFromBody(std::string_view body) {
  size_t colon = body.find(": "), tag = body.find("</b");
  if (colon == std::string_view::npos || tag == std::string_view::npos) return std::string(body);
  size_t from = colon + 2;
  return tag <= from ? std::string() : std::string(body.substr(from, tag - from));
}

std::string FetchExternalAddress(IWebClient& web, const std::string& url) {
  std::optional<std::string> body = web.Get(url);
  if (!body) return kNotConnected;
  // A page of the echo service is plain ASCII; anything else is kept readable.
  return ExternalAddressFromBody(IsValidUtf8(*body) ? *body : Latin1ToUtf8(*body));
}

SystemInfoTexts GatherSystemInfo(ISystemFacts& facts, const std::string& programDrive) {
  SystemInfoTexts t;
  const NumberSeparators sep = facts.Separators();
  const std::string root = programDrive + "\\";
  t.drive = programDrive;
  t.fileSystem = facts.FileSystemName(root).substr(0, 6);
  DiskBytes disk = facts.DiskSpace(root);
  const double totalMb = disk.total / kMegabyte, freeMb = disk.free / kMegabyte;
  t.totalGb = FormatPicture(totalMb / 1024, "##0.##G", sep);
  t.totalMb = FormatPicture(totalMb, "###,###M", sep);
  t.freeGb = FormatPicture(freeMb / 1024, "##0.##G", sep);
  t.freeMb = FormatPicture(freeMb, "###,###M", sep);

  t.os = OsText(facts.MachineText(kVersionKey, "ProductName"), facts.MachineText(kVersionKey, "CSDVersion"));
  if (std::optional<std::string> name = facts.MachineText(kProcessorKey, "ProcessorNameString"))
    t.cpuType = CleanProcessorName(*name);
  else
    t.cpuType = facts.MachineText(kProcessorKey, "Identifier").value_or("");
  if (std::optional<uint32_t> mhz = facts.MachineNumber(kProcessorKey, "~MHz"))
    t.cpuSpeed = std::to_string(*mhz) + "MHz";
  t.cores = std::to_string(facts.ProcessorCount());

  ScreenFacts screen = facts.Screen();
  t.resolution = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  t.colour = std::to_string(screen.bitsPerPixel) + "bit";
  MemoryFacts memory = facts.Memory();
  t.memoryTotal = FormatPicture(memory.total / kMegabyte, "###,###M", sep);
  t.memoryFree = FormatPicture(memory.available / kMegabyte, "###,###M", sep);

  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string name{letter, ':'};
    if (EqualsNoCase(name, programDrive) || facts.TypeOf(name + "\\") != DriveType::Fixed) continue;
    DiskBytes d = facts.DiskSpace(name + "\\");
    t.fixedDrives.push_back({name, FormatPicture(d.total / kGigabyte, "###,##0.##G", sep),
                             FormatPicture(d.free / kGigabyte, "###,##0.##G", sep)});
  }
  t.localAddress = facts.LocalAddress();
  return t;
}

SystemInfoLayout LayOutSystemInfo(const SystemInfoTexts& info, int lineHeight, int dpi) {
  auto px = [dpi](int v) { return ScaleToDpi(v, dpi); };
  const int heading = px(4), row = px(8), detail = px(18);
  SystemInfoLayout layout;
  int y = px(10);
  // A heading with its rule; `rows` are drawn from 5 below the rule, one
  // line apart; the next heading comes 10 below the last row.
  auto section = [&](const std::string& title, auto&& rows) {
    layout.texts.push_back({title, heading, y, true});
    layout.rules.push_back({heading, px(190), y + lineHeight});
    int rowY = y + lineHeight + px(5);
    rows(rowY);
    y = rowY + px(10);
  };
  auto plain = [&](std::vector<std::string> rows) {
    return [&layout, rows = std::move(rows), row, lineHeight](int& rowY) {
      for (const std::string& text : rows) {
        layout.texts.push_back({text, row, rowY, false});
        rowY += lineHeight;
      }
    };
  };

  section("USB Info: (" + info.drive + ")",
          plain({"File System: " + info.fileSystem, "Total Space: " + info.totalGb + "(" + info.totalMb + ")",
                 "Free Space: " + info.freeGb + "(" + info.freeMb + ")"}));
  section("PC Info", plain({"OS: " + info.os}));
  section("CPU Info", plain({"Type: " + info.cpuType, "Cores: " + info.cores, "Core Speed: " + info.cpuSpeed}));
  section("DisplayInfo", plain({"Resolution: " + info.resolution, "Color : " + info.colour}));
  section("Memory Info", plain({"Total Memory: " + info.memoryTotal, "Free Memory: " + info.memoryFree}));
  section("HDD Info", [&](int& rowY) {
    for (const FixedDriveText& d : info.fixedDrives) {
      layout.texts.push_back({d.name, row, rowY, true});
      layout.texts.push_back({" - " + d.total + "( free: " + d.free + " )", detail, rowY, false});
      rowY += lineHeight;
    }
  });
  section("Network Info", plain({"Local IP Address: " + info.localAddress,
                                 "External IP Address: " + info.externalAddress}));
  return layout;
}

std::string SystemInfoPlainText(const SystemInfoLayout& layout) {
  std::string out;
  for (size_t i = 0; i < layout.texts.size(); ++i) {
    if (i > 0) out += layout.texts[i].y == layout.texts[i - 1].y ? "" : "\r\n";
    out += layout.texts[i].text;
  }
  return out;
}

}  // namespace kestro
