#pragma once
// UTF-8 and UTF-16 checks and conversions shared by the readers of text files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at s[i], or 0 when there is none
// (stray continuation bytes, overlong forms, surrogates, beyond U+10FFFF).
// Inline: the reading of a document calls it for every character beyond ASCII.
inline size_t Utf8SequenceAt(std::string_view s, size_t i) {
  auto b = [&](size_t k) { return uint8_t(s[k]); };
  auto cont = [&](size_t k) { return k < s.size() && (b(k) & 0xC0) == 0x80; };
  uint8_t c = b(i);
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return cont(i + 1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    if (!cont(i + 1) || !cont(i + 2)) return 0;
    if (c == 0xE0 && b(i + 1) < 0xA0) return 0;   // overlong
    if (c == 0xED && b(i + 1) >= 0xA0) return 0;  // a surrogate
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    if (!cont(i + 1) || !cont(i + 2) || !cont(i + 3)) return 0;
    if (c == 0xF0 && b(i + 1) < 0x90) return 0;   // overlong
    if (c == 0xF4 && b(i + 1) >= 0x90) return 0;  // above U+10FFFF
    return 4;
  }
  return 0;
}
bool IsValidUtf8(std::string_view s);
// Every byte that starts no well-formed sequence becomes U+FFFD.
std::string RepairUtf8(std::string_view s);
void AppendUtf8(std::string& out, uint32_t codePoint);
// UTF-16 without its byte-order mark; a half surrogate pair becomes U+FFFD
// (counted in `unpaired` when given), a stray last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, size_t* unpaired = nullptr);
// Well-formed UTF-8 as UTF-16 bytes without a byte-order mark; bytes that
// start no sequence become U+FFFD.
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);
// ISO-8859-1: every byte is the code point of the same number.
std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace kestro
