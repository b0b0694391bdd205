#include "core/config/DocumentText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <immintrin.h>
#endif

#include "core/text/Text.h"
#include "core/text/Unicode.h"
#include "platform/TextCodec.h"

namespace kestro {

namespace {

// --- reading -----------------------------------------------------------------

enum class Source { Utf8, Utf16Le, Utf16Be, Latin1, HostCodePage };

bool IsXmlChar(uint32_t cp) {
  if (cp < 0x20) return cp == 0x9 || cp == 0xA || cp == 0xD;
  if (cp <= 0xD7FF) return true;
  if (cp < 0xE000) return false;  // surrogates
  if (cp <= 0xFFFD) return true;
  return cp >= 0x10000 && cp <= 0x10FFFF;
}

// The value of encoding="..." in an XML declaration at the start of `text`.
std::string_view DeclaredEncoding(std::string_view text) {
  if (text.size() < 6 || text.substr(0, 5) != "<?xml") return {};
  if (text[5] != ' ' && text[5] != '\t' && text[5] != '\r' && text[5] != '\n') return {};
  std::string_view decl = text.substr(0, text.find("?>"));
  size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  size_t i = at + 8;
  auto blanks = [&] {
    while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n')) ++i;
  };
  blanks();
  if (i >= decl.size() || decl[i] != '=') return {};
  ++i;
  blanks();
  if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\'')) return {};
  size_t end = decl.find(decl[i], i + 1);
  if (end == std::string_view::npos) return {};
  return decl.substr(i + 1, end - i - 1);
}

Source SourceOfDeclared(std::string_view declared) {
  std::string name = ToLowerAscii(TrimView(declared));
  if (name.empty() || name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii") return Source::Utf8;
  // A wide encoding declared over bytes that are not wide: the declaration is wrong.
  if (StartsWith(name, "utf-16") || StartsWith(name, "utf-32") || StartsWith(name, "ucs-") || name == "unicode")
    return Source::Utf8;
  static const char* const kLatin1[] = {"iso-8859-1", "iso8859-1", "iso_8859-1", "iso_8859-1:1987", "latin1",
                                        "latin-1",    "l1",        "cp819",      "ibm819",          "iso-ir-100",
                                        "csisolatin1"};
  for (const char* n : kLatin1)
    if (name == n) return Source::Latin1;
  return Source::HostCodePage;
}

// The reference "&#...;" at s[i] when it names a character XML does not
// allow: its length, else 0.
size_t ForbiddenReferenceAt(std::string_view s, size_t i) {
  if (i + 3 >= s.size() || s[i + 1] != '#') return 0;
  size_t k = i + 2;
  bool hex = s[k] == 'x';
  if (hex) ++k;
  uint64_t cp = 0;
  size_t digits = 0;
  for (; k < s.size() && s[k] != ';'; ++k, ++digits) {
    char c = s[k];
    int d = (c >= '0' && c <= '9') ? c - '0'
            : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                             : -1;
    if (d < 0) return 0;  // not a reference: the parser says what is wrong
    cp = cp * (hex ? 16 : 10) + uint64_t(d);
    if (cp > 0x10FFFF) cp = 0x110000;
  }
  if (k >= s.size() || digits == 0) return 0;
  return IsXmlChar(uint32_t(cp)) ? 0 : k + 1 - i;
}

struct Cleaning {
  size_t invalid = 0;  // bytes that formed no character
  size_t control = 0;  // characters XML does not allow
};

// Bytes that need a look: control characters, "&" and everything beyond ASCII.
constexpr std::array<bool, 256> kReadAttention = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[c] = c != '\t' && c != '\n' && c != '\r';
  t['&'] = true;
  for (int c = 0x80; c < 0x100; ++c) t[c] = true;
  return t;
}();

#if defined(__SSE2__) && defined(__GNUC__)
#define KESTRO_WIDE_RUNS 1
// PlainRunEnd thirty-two bytes at a time, on processors that have AVX2.
__attribute__((target("avx2"))) size_t PlainRunEndAvx2(std::string_view s, size_t i) {
  const size_t n = s.size();
  const __m256i amp = _mm256_set1_epi8('&'), blank = _mm256_set1_epi8(0x20), tab = _mm256_set1_epi8('\t'),
                lf = _mm256_set1_epi8('\n'), cr = _mm256_set1_epi8('\r');
  while (i + 32 <= n) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.data() + i));
    // Signed: bytes beyond ASCII count as below a blank too.
    __m256i below = _mm256_cmpgt_epi8(blank, v);
    __m256i allowed =
        _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, tab), _mm256_cmpeq_epi8(v, lf)), _mm256_cmpeq_epi8(v, cr));
    __m256i look = _mm256_or_si256(_mm256_andnot_si256(allowed, below), _mm256_cmpeq_epi8(v, amp));
    if (unsigned mask = unsigned(_mm256_movemask_epi8(look))) return i + size_t(__builtin_ctz(mask));
    i += 32;
  }
  while (i < n && !kReadAttention[uint8_t(s[i])]) ++i;
  return i;
}

bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
#endif

// The end of the run of bytes from `i` that need no look; sixteen or
// thirty-two at a time where the processor allows (this runs over every byte
// of the file).
size_t PlainRunEnd(std::string_view s, size_t i) {
#if KESTRO_WIDE_RUNS
  if (HasAvx2()) return PlainRunEndAvx2(s, i);
#endif
  const size_t n = s.size();
#if defined(__SSE2__)
  const __m128i amp = _mm_set1_epi8('&'), blank = _mm_set1_epi8(0x20), tab = _mm_set1_epi8('\t'),
                lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
  while (i + 16 <= n) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    // Signed: bytes beyond ASCII count as below a blank too.
    __m128i below = _mm_cmplt_epi8(v, blank);
    __m128i allowed = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, tab), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, cr));
    __m128i look = _mm_or_si128(_mm_andnot_si128(allowed, below), _mm_cmpeq_epi8(v, amp));
    int mask = _mm_movemask_epi8(look);
    if (mask) return i + size_t(__builtin_ctz(unsigned(mask)));
    i += 16;
  }
#endif
  while (i < n && !kReadAttention[uint8_t(s[i])]) ++i;
  return i;
}

std::string CleanUtf8(std::string_view s, Cleaning& cleaning) {
  std::string out;
  out.reserve(s.size() + 1);
  size_t i = 0;
  while (i < s.size()) {
    size_t run = PlainRunEnd(s, i);
    out.append(s.data() + i, run - i);
    i = run;
    if (i >= s.size()) break;
    uint8_t c = uint8_t(s[i]);
    if (c < 0x20) {
      ++cleaning.control;
      ++i;
    } else if (c == '&') {
      if (size_t n = ForbiddenReferenceAt(s, i)) {
        ++cleaning.control;
        i += n;
      } else {
        out += '&';
        ++i;
      }
    } else {
      size_t n = Utf8SequenceAt(s, i);
      if (n == 0) {
        out += kReplacementCharacter;
        ++cleaning.invalid;
        ++i;
      } else if (n == 3 && c == 0xEF && uint8_t(s[i + 1]) == 0xBF && uint8_t(s[i + 2]) >= 0xBE) {
        ++cleaning.control;  // U+FFFE, U+FFFF
        i += 3;
      } else {
        out.append(s.data() + i, n);
        i += n;
      }
    }
  }
  return out;
}

}  // namespace

DecodedDocument DecodeDocumentBytes(std::string_view bytes, ITextCodec* codec) {
  DecodedDocument d;
  Source source = Source::Utf8;
  std::string_view declared;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
  } else if (StartsWith(bytes, "\xFF\xFE")) {
    bytes.remove_prefix(2);
    source = Source::Utf16Le;
  } else if (StartsWith(bytes, "\xFE\xFF")) {
    bytes.remove_prefix(2);
    source = Source::Utf16Be;
  } else if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) {
    source = Source::Utf16Le;  // "<" then a zero byte: no text of ours starts so in 8 bits
  } else if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0) {
    source = Source::Utf16Be;
  } else {
    declared = DeclaredEncoding(bytes);
    source = SourceOfDeclared(declared);
    if (source != Source::Utf8 && IsValidUtf8(bytes)) source = Source::Utf8;
    if (source == Source::HostCodePage && !codec) source = Source::Utf8;
  }

  std::string converted;
  std::string_view text = bytes;
  size_t unpaired = 0;
  switch (source) {
    case Source::Utf8: d.readAs = "UTF-8"; break;
    case Source::Utf16Le:
    case Source::Utf16Be:
      d.readAs = source == Source::Utf16Le ? "UTF-16LE" : "UTF-16BE";
      converted = Utf16ToUtf8(bytes, source == Source::Utf16Be, &unpaired);
      text = converted;
      break;
    case Source::Latin1:
      d.readAs = "ISO-8859-1";
      converted = Latin1ToUtf8(bytes);
      text = converted;
      break;
    case Source::HostCodePage:
      d.readAs = std::string(declared);
      converted = codec->AnsiToUtf8(bytes);
      text = converted;
      break;
  }
  Cleaning cleaning;
  d.text = CleanUtf8(text, cleaning);
  // What is left out can join what stood around it into a reference to a
  // character XML does not allow ("&", a control character, "#1;"): cleaned
  // again while that happens, so that a document written from this text
  // reads back the same. A few rounds are enough for any real file.
  for (int round = 0; round < 8 && cleaning.control; ++round) {
    Cleaning again;
    std::string text2 = CleanUtf8(d.text, again);
    if (!again.control) break;
    cleaning.control += again.control;
    d.text = std::move(text2);
  }
  cleaning.invalid += unpaired;
  if (cleaning.invalid)
    d.dropped.push_back(std::to_string(cleaning.invalid) + " byte(s) that form no " + d.readAs +
                        " character, replaced by \xEF\xBF\xBD");
  if (cleaning.control)
    d.dropped.push_back(std::to_string(cleaning.control) + " control character(s), left out");
  return d;
}

// --- writing -----------------------------------------------------------------

namespace {

enum Class : uint8_t { kPlain, kEnd, kAmp, kLt, kGt, kQuot, kTab, kLf, kCr, kControl, kHigh };

constexpr std::array<uint8_t, 256> MakeTable(bool attribute) {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[c] = kControl;
  t[0] = kEnd;
  t['\t'] = kTab;
  t['\n'] = kLf;
  t['\r'] = kCr;
  t['&'] = kAmp;
  t['<'] = kLt;
  if (attribute)
    t['"'] = kQuot;
  else
    t['>'] = kGt;
  for (int c = 0x80; c < 0x100; ++c) t[c] = kHigh;
  return t;
}
constexpr std::array<uint8_t, 256> kPcdata = MakeTable(false);
constexpr std::array<uint8_t, 256> kAttribute = MakeTable(true);
// Comments, processing instructions, CDATA and the DOCTYPE: nothing escaped.
constexpr std::array<uint8_t, 256> kVerbatim = [] {
  std::array<uint8_t, 256> t = MakeTable(false);
  t['&'] = t['<'] = t['>'] = kPlain;
  return t;
}();

// The end of the run from `s` of bytes that `table` writes as they are.
// Sixteen at a time when the end is known: paths and names are mostly longer
// than that, and all plain.
const char* PlainEnd(const char* s, const char* end, const std::array<uint8_t, 256>& table) {
#if defined(__SSE2__)
  if (end) {
    // Controls and bytes beyond ASCII are never plain; of the rest, only
    // these three may not be (a zero stands for one that is).
    const __m128i blank = _mm_set1_epi8(0x20), amp = _mm_set1_epi8(table['&'] == kPlain ? 0 : '&'),
                  lt = _mm_set1_epi8(table['<'] == kPlain ? 0 : '<'),
                  third = _mm_set1_epi8(table['>'] != kPlain ? '>' : table['"'] != kPlain ? '"' : 0);
    while (end - s >= 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      // Signed: bytes beyond ASCII count as below a blank too.
      __m128i look = _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(v, blank), _mm_cmpeq_epi8(v, amp)),
                                  _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, third)));
      if (int mask = _mm_movemask_epi8(look)) return s + __builtin_ctz(unsigned(mask));
      s += 16;
    }
  }
#endif
  while (s != end && table[uint8_t(*s)] == kPlain) ++s;
  return s;
}

// The characters from `s` to `end` or to a zero, whichever comes first,
// escaped by `table`.
void AppendEscaped(std::string& out_, const char* s, const char* end, const std::array<uint8_t, 256>& table) {
  const bool attribute = &table == &kAttribute;
  for (;;) {
    const char* run = s;
    s = PlainEnd(s, end, table);
    out_.append(run, size_t(s - run));
    if (s == end) return;
    switch (table[uint8_t(*s)]) {
      case kEnd: return;  // texts end at a zero, as pugixml's do
      case kAmp: out_.append("&amp;", 5); break;
      case kLt: out_.append("&lt;", 4); break;
      case kGt: out_.append("&gt;", 4); break;
      case kQuot: out_.append("&quot;", 6); break;
      case kTab:
        if (attribute)
          out_.append("&#09;", 5);
        else
          out_ += '\t';
        break;
      case kLf:
        if (attribute)
          out_.append("&#10;", 5);
        else
          out_.append("\r\n", 2);
        break;
      case kCr:
        if (attribute) {
          out_.append("&#13;", 5);
        } else {
          // CR LF and a lone CR are one line end, as the reader takes them.
          out_.append("\r\n", 2);
          if (s + 1 != end && s[1] == '\n') ++s;
        }
        break;
      case kControl: break;  // no form of it is allowed in XML 1.0
      case kHigh: {
        // A sequence never runs past a zero or the end of the text it is in.
        size_t avail = 1;
        while (avail < 4 && (end ? s + avail != end : s[avail] != 0)) ++avail;
        size_t n = Utf8SequenceAt(std::string_view(s, avail), 0);
        if (n == 0) {
          out_ += kReplacementCharacter;
        } else {
          if (!(n == 3 && uint8_t(s[0]) == 0xEF && uint8_t(s[1]) == 0xBF && uint8_t(s[2]) >= 0xBE))
            out_.append(s, n);
          s += n - 1;
        }
        break;
      }
      default: break;
    }
    ++s;
  }
}

void AppendIndent(std::string& out, unsigned depth) { out.append(std::min(depth, kIndentLimit), '\t'); }

class Writer {
 public:
  Writer(size_t sizeHint, PendingSection pending) : pending_(pending) {
    out_.reserve(sizeHint ? sizeHint + sizeHint / 8 : 4096);
  }

  std::string Document(const pugi::xml_document& dom) {
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"";
    for (pugi::xml_node n = dom.first_child(); n; n = n.next_sibling()) {
      if (n.type() != pugi::node_declaration) continue;
      std::string_view standalone = n.attribute("standalone").value();
      if (standalone == "yes" || standalone == "no") {
        out_ += " standalone=\"";
        out_ += standalone;
        out_ += '"';
      }
      break;
    }
    out_ += "?>\r\n";
    Nodes(dom);
    return std::move(out_);
  }

 private:
  static constexpr unsigned kNewline = 1, kIndent = 2;

  // pugixml's node_output, without recursion; the depth of the indentation
  // stops at kIndentLimit.
  void Nodes(const pugi::xml_document& dom) {
    unsigned flags = kIndent;
    unsigned depth = 0;
    const pugi::xml_node root = dom;
    pugi::xml_node node = dom.first_child();
    while (node && node.type() == pugi::node_declaration) node = node.next_sibling();
    if (!node) return;
    for (;;) {
      const pugi::xml_node_type type = node.type();
      bool descend = false;
      if (type == pugi::node_pcdata || type == pugi::node_cdata) {
        if (type == pugi::node_pcdata)
          Text(node.value(), kPcdata);
        else
          Cdata(node.value());
        flags = 0;
      } else if (type != pugi::node_declaration) {
        if (flags & kNewline) out_.append("\r\n", 2);
        if (flags & kIndent) Indent(depth);
        flags = kNewline | kIndent;
        if (type == pugi::node_element && pending_.content && node == pending_.element)
          Pending(node, depth);
        else if (type == pugi::node_element)
          descend = StartTag(node);
        else
          Simple(node, type);
      }
      if (descend) {
        node = node.first_child();
        ++depth;
        continue;
      }
      // On to the next node, closing the elements left on the way up.
      for (;;) {
        if (pugi::xml_node next = node.next_sibling()) {
          node = next;
          break;
        }
        node = node.parent();
        if (node == root) {
          if (flags & kNewline) out_.append("\r\n", 2);
          return;
        }
        --depth;
        if (flags & kNewline) out_.append("\r\n", 2);
        if (flags & kIndent) Indent(depth);
        out_.append("</", 2);
        out_ += node.name();
        out_ += '>';
        flags = kNewline | kIndent;
      }
    }
  }

  void Indent(unsigned depth) { AppendIndent(out_, depth); }

  void Pending(pugi::xml_node e, unsigned depth) {
    out_ += '<';
    out_ += e.name();
    if (pending_.content->empty()) {
      out_.append(" />", 3);
      return;
    }
    out_ += '>';
    out_ += *pending_.content;
    out_.append("\r\n", 2);
    Indent(depth);
    out_.append("</", 2);
    out_ += e.name();
    out_ += '>';
  }

  // Writes the start tag; true when the element has children to write.
  bool StartTag(pugi::xml_node e) {
    out_ += '<';
    out_ += e.name();
    pugi::xml_attribute first = e.first_attribute();
    for (pugi::xml_attribute a = first; a; a = a.next_attribute()) {
      if (Repeated(first, a)) continue;
      out_ += ' ';
      out_ += a.name();
      out_.append("=\"", 2);
      Text(a.value(), kAttribute);
      out_ += '"';
    }
    if (e.first_child()) {
      out_ += '>';
      return true;
    }
    out_.append(" />", 3);
    return false;
  }

  // A second attribute of one name makes the text ill-formed; the readers
  // only ever see the first.
  static bool Repeated(pugi::xml_attribute first, pugi::xml_attribute a) {
    if (a == first) return false;
    const char* name = a.name();
    for (pugi::xml_attribute b = first; b != a; b = b.next_attribute())
      if (std::strcmp(b.name(), name) == 0) return true;
    return false;
  }

  void Simple(pugi::xml_node n, pugi::xml_node_type type) {
    switch (type) {
      case pugi::node_comment: Comment(n.value()); break;
      case pugi::node_pi:
        out_.append("<?", 2);
        out_ += n.name();
        if (*n.value()) {
          out_ += ' ';
          Broken(n.value(), "?>", "? >");
        }
        out_.append("?>", 2);
        break;
      case pugi::node_doctype:
        out_.append("<!DOCTYPE", 9);
        if (*n.value()) {
          out_ += ' ';
          Text(n.value(), kVerbatim);
        }
        out_ += '>';
        break;
      default: break;
    }
  }

  void Comment(const char* s) {
    // "--" and a last "-" cannot stand in a comment: a blank follows each such "-".
    out_.append("<!--", 4);
    std::string_view v = s;
    size_t from = 0;
    for (size_t i = 0; i < v.size(); ++i) {
      if (v[i] == '-' && (i + 1 == v.size() || v[i + 1] == '-')) {
        Text(std::string_view(v.data() + from, i + 1 - from), kVerbatim);
        out_ += ' ';
        from = i + 1;
      }
    }
    Text(v.substr(from), kVerbatim);
    out_.append("-->", 3);
  }

  void Cdata(const char* s) {
    // "]]>" would end the section: the ">" goes into a new one.
    std::string_view v = s;
    for (;;) {
      out_.append("<![CDATA[", 9);
      size_t end = v.find("]]>");
      if (end == std::string_view::npos) {
        Text(v, kVerbatim);
        out_.append("]]>", 3);
        return;
      }
      Text(v.substr(0, end + 2), kVerbatim);
      out_.append("]]>", 3);
      v.remove_prefix(end + 2);
    }
  }

  // Text with `seq` broken up as `with`.
  void Broken(std::string_view v, std::string_view seq, std::string_view with) {
    for (size_t at; (at = v.find(seq)) != std::string_view::npos; v.remove_prefix(at + seq.size())) {
      Text(v.substr(0, at), kVerbatim);
      out_ += with;
    }
    Text(v, kVerbatim);
  }

  void Text(std::string_view s, const std::array<uint8_t, 256>& table) {
    AppendEscaped(out_, s.data(), s.data() + s.size(), table);
  }
  void Text(const char* s, const std::array<uint8_t, 256>& table) { AppendEscaped(out_, s, nullptr, table); }

  PendingSection pending_;
  std::string out_;
};

}  // namespace

std::string WriteDocumentText(const pugi::xml_document& dom, size_t sizeHint, PendingSection pending) {
  return Writer(sizeHint, pending).Document(dom);
}

SectionWriter::SectionWriter(unsigned sectionDepth, size_t sizeHint) : base_(sectionDepth + 1) {
  out_.reserve(sizeHint ? sizeHint : 4096);
}

void SectionWriter::StartLine() {
  if (tagOpen_) {
    out_ += '>';
    tagOpen_ = false;
  }
  out_.append("\r\n", 2);
  AppendIndent(out_, base_ + unsigned(open_.size()));
}

void SectionWriter::Open(const char* name) {
  StartLine();
  out_ += '<';
  out_ += name;
  open_.push_back(name);
  tagOpen_ = true;
}

void SectionWriter::Attribute(const char* name, std::string_view value) {
  out_ += ' ';
  out_ += name;
  out_.append("=\"", 2);
  AppendEscaped(out_, value.data(), value.data() + value.size(), kAttribute);
  out_ += '"';
}

void SectionWriter::Attribute(const char* name, int32_t value) {
  char digits[16];
  int n = std::snprintf(digits, sizeof digits, "%d", value);
  Attribute(name, std::string_view(digits, size_t(n)));
}

void SectionWriter::Leaf(const char* name, std::string_view text) {
  StartLine();
  out_ += '<';
  out_ += name;
  if (text.empty()) {
    out_.append(" />", 3);
    return;
  }
  out_ += '>';
  AppendEscaped(out_, text.data(), text.data() + text.size(), kPcdata);
  out_.append("</", 2);
  out_ += name;
  out_ += '>';
}

void SectionWriter::Leaf(const char* name, int32_t value) {
  char digits[16];
  int n = std::snprintf(digits, sizeof digits, "%d", value);
  Leaf(name, std::string_view(digits, size_t(n)));
}

void SectionWriter::Close() {
  const char* name = open_.back();
  open_.pop_back();
  if (tagOpen_) {
    out_.append(" />", 3);
    tagOpen_ = false;
    return;
  }
  out_.append("\r\n", 2);
  AppendIndent(out_, base_ + unsigned(open_.size()));
  out_.append("</", 2);
  out_ += name;
  out_ += '>';
}

}  // namespace kestro
