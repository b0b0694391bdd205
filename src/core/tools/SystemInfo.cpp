#include "core/tools/SystemInfo.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "core/text/Text.h"
#include "core/text/Unicode.h"
#include "core/ui/Dpi.h"

namespace kestro {

namespace {

constexpr double kMegabyte = 1048576.0;
constexpr double kGigabyte = 1073741824.0;
constexpr const char* kVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

// One string from its parts; out of line, so that each caller does not carry
// its own copy of a chain of concatenations.
[[gnu::noinline]] std::string Cat(std::initializer_list<std::string_view> parts) {
  size_t size = 0;
  for (std::string_view p : parts) size += p.size();
  std::string out;
  out.reserve(size);
  for (std::string_view p : parts) out += p;
  return out;
}

[[gnu::noinline]] std::string Decimal(long long n) { return std::to_string(n); }

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

[[gnu::noinline]] std::string CleanProcessorName(std::string_view name) {
  std::string s = ReplaceAll(name, std::string(9, ' '), "");
  s = ReplaceAll(s, "(TM)", "");
  return ReplaceAll(s, "(R)", "");
}

[[gnu::noinline]] std::string OsText(const std::optional<std::string>& productName,
                                     const std::optional<std::string>& servicePack) {
  std::string pack = servicePack ? ReplaceAll(*servicePack, "Service Pack ", "SP") : std::string();
  return Cat({productName ? std::string_view(*productName) : std::string_view(), "-", pack});
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
  auto megabytes = [&sep](double bytes) { return FormatPicture(bytes / kMegabyte, "###,###M", sep); };
  auto gigabytes = [&sep](double bytes) { return FormatPicture(bytes / kGigabyte, "###,##0.##G", sep); };
  const std::string root = programDrive + "\\";
  t.drive = programDrive;
  t.fileSystem = facts.FileSystemName(root).substr(0, 6);
  DiskBytes disk = facts.DiskSpace(root);
  t.totalGb = FormatPicture(disk.total / kMegabyte / 1024, "##0.##G", sep);
  t.totalMb = megabytes(disk.total);
  t.freeGb = FormatPicture(disk.free / kMegabyte / 1024, "##0.##G", sep);
  t.freeMb = megabytes(disk.free);

  t.os = OsText(facts.MachineText(kVersionKey, "ProductName"), facts.MachineText(kVersionKey, "CSDVersion"));
  std::optional<std::string> name = facts.MachineText(kProcessorKey, "ProcessorNameString");
  t.cpuType = name ? CleanProcessorName(*name) : facts.MachineText(kProcessorKey, "Identifier").value_or("");
  if (std::optional<uint32_t> mhz = facts.MachineNumber(kProcessorKey, "~MHz"))
    t.cpuSpeed = Cat({Decimal(*mhz), "MHz"});
  t.cores = Decimal(facts.ProcessorCount());

  ScreenFacts screen = facts.Screen();
  t.resolution = Cat({Decimal(screen.width), "x", Decimal(screen.height)});
  t.colour = Cat({Decimal(screen.bitsPerPixel), "bit"});
  MemoryFacts memory = facts.Memory();
  t.memoryTotal = megabytes(memory.total);
  t.memoryFree = megabytes(memory.available);

  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string drive{letter, ':'}, driveRoot{letter, ':', '\\'};
    if (EqualsNoCase(drive, programDrive) || facts.TypeOf(driveRoot) != DriveType::Fixed) continue;
    DiskBytes d = facts.DiskSpace(driveRoot);
    t.fixedDrives.push_back({drive, gigabytes(d.total), gigabytes(d.free)});
  }
  t.localAddress = facts.LocalAddress();
  return t;
}

namespace {

// Lays the picture out from top to bottom: a heading with its rule, then its
// rows from 5 below the rule, one line apart; the next heading 10 below the
// last row (or below where the first row would have started).
class LayoutWriter {
 public:
  LayoutWriter(int lineHeight, int dpi) : h_(lineHeight), dpi_(dpi), y_(ScaleToDpi(10, dpi)) {}

  [[gnu::noinline]] void Heading(std::string title) {
    if (!layout_.texts.empty()) y_ = rowY_ + ScaleToDpi(10, dpi_);
    const int x = ScaleToDpi(4, dpi_);
    layout_.texts.push_back({std::move(title), x, y_, true});
    layout_.rules.push_back({x, ScaleToDpi(190, dpi_), y_ + h_});
    rowY_ = y_ + h_ + ScaleToDpi(5, dpi_);
  }
  [[gnu::noinline]] void Row(std::initializer_list<std::string_view> parts) {
    layout_.texts.push_back({Cat(parts), ScaleToDpi(8, dpi_), rowY_, false});
    rowY_ += h_;
  }
  // A fixed drive: its name in bold, its sizes beside it.
  [[gnu::noinline]] void DriveRow(const FixedDriveText& d) {
    layout_.texts.push_back({d.name, ScaleToDpi(8, dpi_), rowY_, true});
    layout_.texts.push_back({Cat({" - ", d.total, "( free: ", d.free, " )"}), ScaleToDpi(18, dpi_), rowY_, false});
    rowY_ += h_;
  }
  SystemInfoLayout Take() { return std::move(layout_); }

 private:
  SystemInfoLayout layout_;
  int h_, dpi_, y_, rowY_ = 0;
};

}  // namespace

SystemInfoLayout LayOutSystemInfo(const SystemInfoTexts& info, int lineHeight, int dpi) {
  LayoutWriter w(lineHeight, dpi);
  w.Heading(Cat({"USB Info: (", info.drive, ")"}));
  w.Row({"File System: ", info.fileSystem});
  w.Row({"Total Space: ", info.totalGb, "(", info.totalMb, ")"});
  w.Row({"Free Space: ", info.freeGb, "(", info.freeMb, ")"});
  w.Heading("PC Info");
  w.Row({"OS: ", info.os});
  w.Heading("CPU Info");
  w.Row({"Type: ", info.cpuType});
  w.Row({"Cores: ", info.cores});
  w.Row({"Core Speed: ", info.cpuSpeed});
  w.Heading("DisplayInfo");
  w.Row({"Resolution: ", info.resolution});
  w.Row({"Color : ", info.colour});
  w.Heading("Memory Info");
  w.Row({"Total Memory: ", info.memoryTotal});
  w.Row({"Free Memory: ", info.memoryFree});
  w.Heading("HDD Info");
  for (const FixedDriveText& d : info.fixedDrives) w.DriveRow(d);
  w.Heading("Network Info");
  w.Row({"Local IP Address: ", info.localAddress});
  w.Row({"External IP Address: ", info.externalAddress});
  return w.Take();
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
