// Message formatting: a message text of a language file with "@1", "@2" and
// "#13" and the values put in. Input: the first value, the second value, the
// text (one per line); with fewer lines, fewer values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/config/MessageTable.h"
#include "core/text/Text.h"

using namespace kestro;

namespace {

size_t Count(std::string_view s, std::string_view token) {
  size_t n = 0;
  for (size_t at = s.find(token); at != std::string_view::npos; at = s.find(token, at + token.size())) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view fields[3];
  size_t n = fuzz::SplitFields(std::string_view(reinterpret_cast<const char*>(data), size), fields);
  std::string_view text = fields[n - 1];

  // Without values only the line breaks change.
  std::string plain = FormatMessageText(text);
  FUZZ_CHECK(plain == ReplaceAll(text, "#13", "\r\n"));

  MessageTable table;
  table.Set(msg::kDriveLetterInUse, std::string(text));
  std::string shown = n == 3 ? table.Message(msg::kDriveLetterInUse, fields[0], fields[1])
                   : n == 2  ? FormatMessageText(text, {fields[0]})
                             : table.Message(msg::kDriveLetterInUse);
  if (n == 1) FUZZ_CHECK(shown == plain);
  // Each "@1" and "@2" that has a value gives way to it, each "#13" to a line
  // break; nothing else is lost or added. The three never overlap.
  int64_t expected = int64_t(text.size()) - int64_t(Count(text, "#13"));
  if (n >= 2) expected += int64_t(Count(text, "@1")) * (int64_t(fields[0].size()) - 2);
  if (n == 3) expected += int64_t(Count(text, "@2")) * (int64_t(fields[1].size()) - 2);
  FUZZ_CHECK(int64_t(shown.size()) == expected);
  return 0;
}
