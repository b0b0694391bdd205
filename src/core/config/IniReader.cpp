#include "core/config/IniReader.h"

#include <algorithm>
#include <cstdint>

#include "core/text/Text.h"

namespace kestro {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

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

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// Length of the well-formed UTF-8 sequence at s[i], or 0 when there is none.
size_t Utf8SequenceAt(std::string_view s, size_t i) {
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

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    size_t n = Utf8SequenceAt(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

// Text marked as UTF-8 may still hold stray bytes; each becomes U+FFFD.
std::string RepairUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t n = Utf8SequenceAt(s, i);
    if (n == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const size_t units = bytes.size() / 2;  // a stray last byte is no character
  auto unit = [&](size_t k) -> uint32_t {
    uint8_t a = uint8_t(bytes[2 * k]), b = uint8_t(bytes[2 * k + 1]);
    return bigEndian ? (uint32_t(a) << 8 | b) : (uint32_t(b) << 8 | a);
  };
  for (size_t k = 0; k < units; ++k) {
    uint32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      uint32_t low = unit(k + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++k;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      out += kReplacement;  // half a pair
      continue;
    }
    AppendUtf8(out, u);
  }
  return out;
}

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
