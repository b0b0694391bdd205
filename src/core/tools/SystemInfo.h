#pragma once
// The system information tab: the values it gathers, their texts, and the
// picture's layout as lines of text with their place and weight. The window
// only draws what this gives.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SystemFacts.h"

namespace kestro {

// The IP-echo page: its body reads a label, ": ", the caller's address and a
// closing tag beginning with "</b".
constexpr const char* kExternalAddressUrl = "http://checkip.dyndns.org/";
// Shown for the external address when the page cannot be fetched.
constexpr const char* kNotConnected = "not Connection";

// `value` by a number picture: "#" an optional digit, "0" a required digit,
// "," groups thousands, "." the decimal point; taken to the nearest shown
// decimal (halves away from zero), trailing decimal zeros dropped; the text
// after the picture is copied as it stands ("##0.##G": 7.4543 -> "7.45G").
std::string FormatPicture(double value, std::string_view picture, const NumberSeparators& separators);

// A processor name without its runs of nine blanks, "(TM)" and "(R)".
std::string CleanProcessorName(std::string_view name);
// Product name, "-", and the service pack with "Service Pack " shortened to "SP".
std::string OsText(const std::optional<std::string>& productName, const std::optional<std::string>& servicePack);
// The address in the echo page's body: between the first ": " and the first
// "</b" (empty when that tag comes first); the whole body when either is missing.
std::string ExternalAddressFromBody(std::string_view body);
// One GET of `url`: the address, or kNotConnected.
std::string FetchExternalAddress(IWebClient& web, const std::string& url);

struct FixedDriveText {
  std::string name;  // "C:"
  std::string total, free;
};

struct SystemInfoTexts {
  std::string drive;  // the program's drive, "E:"
  std::string fileSystem;
  std::string totalGb, totalMb, freeGb, freeMb;
  std::string os;
  std::string cpuType, cores, cpuSpeed;
  std::string resolution, colour;
  std::string memoryTotal, memoryFree;
  std::vector<FixedDriveText> fixedDrives;  // in letter order
  std::string localAddress;
  // Empty until it has been fetched.
  std::string externalAddress;
};

// Everything but the external address.
SystemInfoTexts GatherSystemInfo(ISystemFacts& facts, const std::string& programDrive);

struct InfoText {
  std::string text;
  int x = 0, y = 0;  // top-left corner in the picture
  bool bold = false;
};
struct InfoRule {
  int x1 = 0, x2 = 0, y = 0;  // a horizontal line
};
struct SystemInfoLayout {
  std::vector<InfoText> texts;
  std::vector<InfoRule> rules;
};

// The picture at `dpi` (positions are given at 96 DPI and scaled);
// `lineHeight` is the height of "A" in the picture's font, plus 2, in pixels.
SystemInfoLayout LayOutSystemInfo(const SystemInfoTexts& info, int lineHeight, int dpi);

// The picture's text, one row a line (texts of one row joined), for readers
// that cannot see the picture.
std::string SystemInfoPlainText(const SystemInfoLayout& layout);

}  // namespace kestro
