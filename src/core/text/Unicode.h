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
size_t Utf8SequenceAt(std::string_view s, size_t i);
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
