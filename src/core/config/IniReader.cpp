#include "core/config/IniReader.h"

#include <algorithm>
#include <cstdint>

#include "core/text/Text.h"
#include "core/text/Unicode.h"

namespace kestro {

namespace {

// The profile reader's blanks: tab to CR, space, and ^Z (the DOS end-of-file
// mark, found on old CD-ROMs).
bool IsProfileBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsProfileBlank(s.front())) s.remove_prefix(1);
  return s;
}
std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsProfileBlank(s.back())) s.remove_suffix(1);
  return s;
}
std::string_view TrimBoth(std::string_view s) { return TrimRight(TrimLeft(s)); }

// Names and values are C strings in the host's reader: a zero ends them.
std::string_view UpToZero(std::string_view s) { return s.substr(0, s.find('\0')); }

// UTF-16 units of the character whose UTF-8 lead byte is `lead`.
size_t Utf16Units(char lead) { return uint8_t(lead) >= 0xF0 ? 2 : 1; }

// Byte length of the UTF-8 character starting with `lead`.
size_t Utf8Length(char lead) {
  uint8_t c = uint8_t(lead);
  if (c < 0xC0) return 1;
  if (c < 0xE0) return 2;
  if (c < 0xF0) return 3;
  return 4;
}

size_t Utf16Length(std::string_view s) {
  size_t units = 0;
  for (size_t i = 0; i < s.size(); i += Utf8Length(s[i])) units += Utf16Units(s[i]);
  return units;
}

}  // namespace

std::string DecodeProfileText(std::string_view bytes, ITextCodec& codec) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return RepairUtf8(bytes.substr(3));
  if (StartsWith(bytes, "\xFF\xFE")) return Utf16ToUtf8(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return Utf16ToUtf8(bytes.substr(2), true);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return codec.AnsiToUtf8(bytes);
}

std::string ProfileValue(std::string_view raw) {
  bool quoted = raw.size() >= 2 && (raw[0] == '"' || raw[0] == '\'') && raw.back() == raw[0];
  // The host's reader drops the opening quote, copies at most the limit, and
  // drops the last character copied when the whole rest fitted in its buffer
  // (limit + 1). Its quirk of losing one real character when the quoted text
  // is exactly at the limit is kept, so that both readers agree everywhere.
  std::string_view rest = quoted ? raw.substr(1) : raw;
  size_t units = 0, bytes = 0, lastStart = 0;
  while (bytes < rest.size()) {
    size_t u = Utf16Units(rest[bytes]);
    if (units + u > kProfileValueLimit) break;
    lastStart = bytes;
    units += u;
    bytes = std::min(rest.size(), bytes + Utf8Length(rest[bytes]));
  }
  if (quoted && bytes > 0 && Utf16Length(rest) <= kProfileValueLimit + 1) bytes = lastStart;
  return std::string(rest.substr(0, bytes));
}

IniFile::IniFile() { sections_.push_back(Section{}); }

IniFile IniFile::Parse(std::string_view text) {
  IniFile file;  // keys go to the last section opened
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimBoth(text.substr(pos, end - pos));
    pos = end;
    while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) ++pos;

    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        file.sections_.push_back(Section{std::string(UpToZero(TrimBoth(line.substr(1, close - 1)))), {}});
        continue;
      }
      // No "]" anywhere: an ordinary key line.
    }
    Key key;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      key.name = std::string(UpToZero(line));
    } else {
      key.name = std::string(UpToZero(TrimRight(line.substr(0, eq))));
      key.value = std::string(UpToZero(TrimLeft(line.substr(eq + 1))));
    }
    file.sections_.back().keys.push_back(std::move(key));
  }
  return file;
}

std::optional<IniFile> IniFile::Read(const std::string& path, IFileSystem& files, ITextCodec& codec) {
  std::string bytes;
  if (!files.ReadFile(path, bytes)) return std::nullopt;
  return Parse(DecodeProfileText(bytes, codec));
}

std::optional<std::string_view> IniFile::Find(std::string_view section, std::string_view key) const {
  section = TrimBoth(section);
  key = TrimBoth(key);
  for (const Section& s : sections_) {
    if (!EqualsNoCase(s.name, section)) continue;
    for (const Key& k : s.keys) {
      if (!EqualsNoCase(k.name, key)) continue;
      if (!k.value) return std::nullopt;
      return std::string_view(*k.value);
    }
    return std::nullopt;  // only the first section of a name counts
  }
  return std::nullopt;
}

std::string IniFile::Get(std::string_view section, std::string_view key, std::string_view fallback) const {
  std::optional<std::string_view> raw = Find(section, key);
  return raw ? ProfileValue(*raw) : std::string(fallback);
}

}  // namespace kestro
