#include "core/text/Text.h"

#include <cerrno>
#include <cstdlib>

namespace kestro {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

std::string_view TrimView(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string ToLowerAscii(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = Lower(c);
  return r;
}

std::string ToUpperAscii(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = Upper(c);
  return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }
bool EndsWith(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string r;
  r.reserve(s.size());
  size_t pos = 0;
  for (;;) {
    size_t hit = s.find(from, pos);
    if (hit == std::string_view::npos) break;
    r.append(s.substr(pos, hit - pos));
    r.append(to);
    pos = hit + from.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::optional<int32_t> ParseInt32(std::string_view s) {
  s = TrimView(s);
  if (s.empty()) return std::nullopt;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  int64_t v = 0;
  for (char c : s) {
    int d = base == 16 ? HexDigit(c) : ((c >= '0' && c <= '9') ? c - '0' : -1);
    if (d < 0) return std::nullopt;
    v = v * base + d;
    if (v > (int64_t(1) << 32)) return std::nullopt;
  }
  if (negative) v = -v;
  // Hexadecimal text may spell a negative value in two's complement ($FFFFFFFF).
  if (base == 16 && !negative && v > INT32_MAX && v <= UINT32_MAX) v -= (int64_t(1) << 32);
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return int32_t(v);
}

std::optional<bool> ParseBool(std::string_view s) {
  std::string_view t = TrimView(s);
  if (EqualsNoCase(t, "true")) return true;
  if (EqualsNoCase(t, "false")) return false;
  if (auto i = ParseInt32(t)) return *i != 0;
  // A decimal fraction counts as a number too ("0.0" is false).
  if (!t.empty()) {
    std::string tmp(t);
    char* end = nullptr;
    errno = 0;
    double d = std::strtod(tmp.c_str(), &end);
    bool digits = tmp.find_first_of("0123456789") != std::string::npos;
    if (end == tmp.c_str() + tmp.size() && errno == 0 && digits &&
        tmp.find_first_of("xXpPnNiI") == std::string::npos)
      return d != 0.0;
  }
  return std::nullopt;
}

std::string_view FileNamePart(std::string_view path) {
  size_t p = path.find_last_of("\\/");
  return p == std::string_view::npos ? path : path.substr(p + 1);
}

std::string_view FolderPart(std::string_view path) {
  size_t p = path.find_last_of("\\/");
  return p == std::string_view::npos ? std::string_view() : path.substr(0, p + 1);
}

}  // namespace kestro
