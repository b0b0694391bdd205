#pragma once
// What the fuzz targets check besides the sanitizers: a broken promise ends
// the run like a crash, so that libFuzzer keeps the input that broke it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);   \
      std::abort();                                                                          \
    }                                                                                        \
  } while (0)

namespace kestro::fuzz {

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
inline bool IsUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    uint8_t c = uint8_t(s[i]);
    size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((uint8_t(s[i + k]) & 0xC0) != 0x80) return false;
    uint8_t second = uint8_t(s[i + 1 < s.size() ? i + 1 : i]);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0) || (c == 0xF0 && second < 0x90) ||
        (c == 0xF4 && second >= 0x90))
      return false;
    i += n;
  }
  return true;
}

// The input as up to N fields: one per line for the first N - 1, the rest of
// the input (line ends included) as the last. Readable seeds by hand.
template <size_t N>
size_t SplitFields(std::string_view bytes, std::string_view (&fields)[N]) {
  size_t n = 0;
  while (n + 1 < N) {
    size_t end = bytes.find('\n');
    if (end == std::string_view::npos) break;
    fields[n++] = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
  }
  fields[n++] = bytes;
  return n;
}

}  // namespace kestro::fuzz
