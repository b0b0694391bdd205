#pragma once
// Small text helpers shared by the core. All text is UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
// Replaces every occurrence of `from` (exact, case-sensitive); an empty `from` changes nothing.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// Integer text as the settings store it: optional blanks around, an optional
// sign, decimal digits or "$"/"0x" hexadecimal. Anything else, or a value
// outside 32 bits, is no integer.
std::optional<int32_t> ParseInt32(std::string_view s);
// Flag text: "True"/"False" in any letter case, or a number (0 is false).
std::optional<bool> ParseBool(std::string_view s);
inline const char* BoolText(bool b) { return b ? "True" : "False"; }

// The file-name part after the last "\" or "/".
std::string_view FileNamePart(std::string_view path);
// The folder part including the last separator; empty when there is none.
std::string_view FolderPart(std::string_view path);

}  // namespace kestro
