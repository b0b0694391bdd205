#include "core/config/SectionText.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/text/Unicode.h"

namespace kestro {

namespace {

constexpr size_t kNpos = std::string_view::npos;

// Characters of names as pugixml takes them: letters, "_", ":" and every
// byte beyond ASCII to start one, digits, "-" and "." too inside.
enum : uint8_t { kNameStart = 1, kNameInner = 2, kBlank = 4 };
constexpr std::array<uint8_t, 256> kChars = [] {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
    bool inner = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
    t[size_t(c)] = uint8_t((start ? kNameStart : 0) | (inner ? kNameInner : 0));
  }
  for (char c : {' ', '\t', '\r', '\n'}) t[uint8_t(c)] |= kBlank;
  return t;
}();

inline bool Has(char c, uint8_t what) { return kChars[uint8_t(c)] & what; }

// The first byte from `i` that is not a blank (pugixml's blanks: space, tab,
// CR, LF); sixteen at a time where the processor allows, for the indentation
// before every line.
inline size_t SkipBlanks(const char* s, size_t i, size_t n) {
#if defined(__SSE2__)
  const __m128i sp = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'), cr = _mm_set1_epi8('\r'),
                lf = _mm_set1_epi8('\n');
  while (i + 16 <= n) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i blank = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, sp), _mm_cmpeq_epi8(v, tab)),
                                 _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    unsigned other = ~unsigned(_mm_movemask_epi8(blank)) & 0xFFFFu;
    if (other) return i + size_t(__builtin_ctz(other));
    i += 16;
  }
#endif
  while (Has(s[i], kBlank)) ++i;  // s[n] is no blank
  return i;
}

// SkipBlanks where one blank or none is the rule (inside tags): the byte
// itself is looked at first.
inline size_t SkipFewBlanks(const char* s, size_t i, size_t n) {
  if (!Has(s[i], kBlank)) return i;
  return SkipBlanks(s, i, n);
}

// The end of the name going on at s[i]; s[n] is no name character.
inline size_t NameEnd(const char* s, size_t i) {
  while (Has(s[i], kNameInner)) ++i;
  return i;
}

// The first byte from `i` that ends or interrupts a run of text: "<", "&",
// CR, LF; in an attribute value (`quote` given) also the quote and tab.
template <bool kAttribute>
inline size_t TextStop(const char* s, size_t i, size_t n, char quote) {
#if defined(__SSE2__)
  const __m128i lt = _mm_set1_epi8('<'), amp = _mm_set1_epi8('&'), cr = _mm_set1_epi8('\r'),
                lf = _mm_set1_epi8('\n');
  while (i + 16 <= n) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i stop = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, amp)),
                                _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    if constexpr (kAttribute)
      stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(quote)),
                                             _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))));
    if (int mask = _mm_movemask_epi8(stop)) return i + size_t(__builtin_ctz(unsigned(mask)));
    i += 16;
  }
#endif
  for (; i < n; ++i) {
    char c = s[i];
    if (c == '<' || c == '&' || c == '\r' || c == '\n') break;
    if (kAttribute && (c == quote || c == '\t')) break;
  }
  return i;
}

// The reference at s[i] ("&"), read as pugixml reads it: its character
// appended to `out` and its length returned, or 0 for anything but the five
// predefined entities and well-formed character references.
size_t ReadReference(std::string_view s, size_t i, std::string& out) {
  std::string_view r = s.substr(i, 12);
  auto is = [&](std::string_view entity) { return r.substr(0, entity.size()) == entity; };
  if (is("&amp;")) return out += '&', 5;
  if (is("&lt;")) return out += '<', 4;
  if (is("&gt;")) return out += '>', 4;
  if (is("&quot;")) return out += '"', 6;
  if (is("&apos;")) return out += '\'', 6;
  if (r.size() < 4 || r[1] != '#') return 0;
  size_t k = i + 2;
  const bool hex = s[k] == 'x';
  if (hex) ++k;
  uint32_t cp = 0;
  size_t digits = 0;
  for (; k < s.size() && s[k] != ';'; ++k, ++digits) {
    char c = s[k];
    int d = (c >= '0' && c <= '9') ? c - '0'
            : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                             : -1;
    if (d < 0) return 0;
    cp = cp * (hex ? 16 : 10) + uint32_t(d);
    if (cp > 0x10FFFF) return 0;
  }
  // Characters XML does not allow were left out when the text was read.
  if (k >= s.size() || digits == 0 || cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  AppendUtf8(out, cp);
  return k + 1 - i;
}

// memcmp for short names, without a call: eight or four bytes at a time,
// the last load overlapping the one before.
inline bool SameBytes(const char* a, const char* b, size_t n) {
  auto load8 = [](const char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
  };
  auto load4 = [](const char* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  };
  if (n >= 8) {
    for (size_t k = 0; k + 8 < n; k += 8)
      if (load8(a + k) != load8(b + k)) return false;
    return load8(a + n - 8) == load8(b + n - 8);
  }
  if (n >= 4) return load4(a) == load4(b) && load4(a + n - 4) == load4(b + n - 4);
  for (size_t k = 0; k < n; ++k)
    if (a[k] != b[k]) return false;
  return true;
}

inline std::string_view TrimBlanks(std::string_view v) {
  size_t b = 0, e = v.size();
  while (b < e && Has(v[b], kBlank)) ++b;
  while (e > b && Has(v[e - 1], kBlank)) --e;
  return v.substr(b, e - b);
}

}  // namespace

size_t FindSection(std::string_view t, std::string_view name) {
  const size_t n = t.size();
  size_t depth = 0;
  bool rootSeen = false;
  for (size_t i = 0;;) {
    i = t.find('<', i);
    if (i == kNpos || i + 1 >= n) return kNpos;
    const char c = t[i + 1];
    if (c == '?') {
      i = t.find("?>", i + 2);
      if (i == kNpos) return kNpos;
      i += 2;
    } else if (c == '!') {
      if (t.compare(i, 4, "<!--") == 0) {
        i = t.find("-->", i + 4);
        if (i == kNpos) return kNpos;
        i += 3;
      } else if (t.compare(i, 9, "<![CDATA[") == 0 && depth > 0) {
        i = t.find("]]>", i + 9);
        if (i == kNpos) return kNpos;
        i += 3;
      } else if (t.compare(i, 9, "<!DOCTYPE") == 0 && depth == 0) {
        // Quoted parts may hold ">"; an internal subset is not followed.
        for (i += 9;; ++i) {
          if (i >= n || t[i] == '[') return kNpos;
          if (t[i] == '"' || t[i] == '\'') {
            i = t.find(t[i], i + 1);
            if (i == kNpos) return kNpos;
          } else if (t[i] == '>') {
            break;
          }
        }
        ++i;
      } else {
        return kNpos;
      }
    } else if (c == '/') {
      if (depth <= 1) return kNpos;  // the document element ends: no such section
      --depth;
      i = t.find('>', i);
      if (i == kNpos) return kNpos;
      ++i;
    } else {
      size_t k = i + 1;
      if (!Has(t[k], kNameStart)) return kNpos;
      while (k < n && Has(t[k], kNameInner)) ++k;
      if (depth == 1 && t.substr(i + 1, k - i - 1) == name) return i;
      // On to the end of the start tag, over quoted values.
      while (k < n && t[k] != '>') {
        if (t[k] == '"' || t[k] == '\'') {
          k = t.find(t[k], k + 1);
          if (k == kNpos) return kNpos;
        }
        ++k;
      }
      if (k >= n) return kNpos;
      const bool empty = t[k - 1] == '/';
      if (depth == 0) {
        if (rootSeen || empty) return kNpos;
        rootSeen = true;
      }
      if (!empty) ++depth;
      i = k + 1;
    }
  }
}

void ScannedSection::Clear() {
  text_ = {};
  nodes_.count = attributes_.count = 0;
  decoded_.clear();
  contentBegin_ = contentEnd_ = end_ = 0;
}

bool ScannedSection::Scan(const std::string& text, size_t at) {
  Clear();
  text_ = text;
  // Offsets are 31 bits.
  if (text.size() < kDecoded && at < text.size() && text[at] == '<' && ScanElements(at)) return true;
  Clear();
  return false;
}

// The scan is one loop with its state in locals: the arrays are filled by
// index through pointers the compiler keeps in registers, which saves a
// check, a load and a store for each of the many elements. `i` stands at "<"
// at the top of each round.
bool ScannedSection::ScanElements(size_t i) {
  const char* s = text_.data();
  const size_t n = text_.size();
  // Sized by a guess from what the program writes per element, grown when
  // the section is denser. Fewer elements than bytes: indexes fit 31 bits.
  nodes_.Reserve((n - i) / 48 + 8);
  attributes_.Reserve((n - i) / 128 + 8);
  open_.Reserve(64);
  Node* nodes = nodes_.items.get();
  Attr* attrs = attributes_.items.get();
  Open* open = open_.items.get();  // the elements whose end tag is still to come
  uint32_t nodeCount = 0, attrCount = 0, depth = 0;

  for (;;) {
    if (i + 1 >= n) return false;
    if (s[i + 1] == '/') {
      if (!depth) return false;  // an end tag where the section should start
      const size_t endTag = i;
      const Node& e = nodes[open[depth - 1].node];
      i += 2;
      if (n - i < e.nameSize || !SameBytes(s + i, s + e.name, e.nameSize)) return false;
      i = SkipFewBlanks(s, i + e.nameSize, n);
      if (i >= n || s[i] != '>') return false;
      ++i;
      if (!--depth) {
        contentEnd_ = endTag;
        end_ = i;
        break;
      }
    } else {
      // A start tag.
      size_t k = i + 1;
      if (!Has(s[k], kNameStart)) return false;  // also "<!" and "<?"
      k = NameEnd(s, k + 1);
      if (nodeCount == nodes_.capacity) nodes = nodes_.Grow(nodeCount);
      const uint32_t index = nodeCount++;
      Node& node = nodes[index];
      node = Node{uint32_t(i + 1), uint32_t(k - i - 1), 0, attrCount, 0, 0, 0, 0};
      bool empty = false;
      for (;;) {
        const size_t before = k;
        k = SkipFewBlanks(s, k, n);
        if (k >= n) return false;
        if (s[k] == '>') {
          ++k;
          break;
        }
        if (s[k] == '/') {
          if (k + 1 >= n || s[k + 1] != '>') return false;
          k += 2;
          empty = true;
          break;
        }
        // An attribute, after at least one blank.
        if (k == before || !Has(s[k], kNameStart)) return false;
        if (attrCount == attributes_.capacity) attrs = attributes_.Grow(attrCount);
        Attr& a = attrs[attrCount++];
        a.name = uint32_t(k);
        k = NameEnd(s, k + 1);
        a.nameSize = uint32_t(k - a.name);
        k = SkipFewBlanks(s, k, n);
        if (k >= n || s[k] != '=') return false;
        k = SkipFewBlanks(s, k + 1, n);
        if (k >= n || (s[k] != '"' && s[k] != '\'')) return false;
        const char quote = s[k];
        const size_t begin = ++k;
        bool references = false;
        for (;;) {
          k = TextStop<true>(s, k, n, quote);
          if (k >= n) return false;
          if (s[k] == quote) break;
          if (s[k] != '&') return false;  // "<", or a blank pugixml would turn into a space
          references = true;
          ++k;
        }
        if (references) {
          if (!Decode(begin, k, a.value, a.valueSize)) return false;
        } else {
          a.value = uint32_t(begin);
          a.valueSize = uint32_t(k - begin);
        }
        ++k;
        ++node.attributes;
      }
      if (depth) {
        // Linked behind the previous child of the element open last.
        Open& up = open[depth - 1];
        Node& parent = nodes[up.node];
        if (parent.text) return false;  // beside text
        if (parent.children) nodes[up.lastChild].next = index;
        ++parent.children;
        up.lastChild = index;
      }
      i = k;
      if (empty) {
        if (!depth) {  // the section itself, as <name/>
          contentBegin_ = contentEnd_ = end_ = i;
          break;
        }
      } else {
        if (depth == open_.capacity) open = open_.Grow(depth);
        open[depth++] = {index, 0};
      }
      if (index == 0) contentBegin_ = i;
    }

    // The content up to the next tag, of the element open last: blanks
    // between elements are not kept, text is.
    i = SkipFewBlanks(s, i, n);
    if (i >= n) return false;
    if (s[i] == '<') continue;
    const size_t begin = i;
    size_t end = 0;
    bool references = false;
    for (;;) {
      i = TextStop<false>(s, i, n, 0);
      if (i >= n) return false;
      if (s[i] == '<') {
        end = i;
        break;
      }
      if (s[i] == '&') {
        references = true;
        ++i;
        continue;
      }
      // A line break ends the text only when blanks alone follow it: pugixml
      // would turn a CR LF inside into a LF.
      end = i;
      i = SkipBlanks(s, i, n);
      if (i >= n || s[i] != '<') return false;
      break;
    }
    Node& e = nodes[open[depth - 1].node];
    if (e.children) return false;  // text beside elements
    if (references) {
      // Read first, trimmed after: a reference may stand for a blank.
      uint32_t at = 0, size = 0;
      if (!Decode(begin, end, at, size)) return false;
      std::string_view v = TrimBlanks(View(at, size));
      e.text = kDecoded | uint32_t(v.data() - decoded_.data());
      e.textSize = uint32_t(v.size());
    } else {
      std::string_view v = TrimBlanks(std::string_view(s + begin, end - begin));
      e.text = uint32_t(v.data() - s);
      e.textSize = uint32_t(v.size());
    }
  }
  nodes_.count = nodeCount;
  attributes_.count = attrCount;
  return true;
}

bool ScannedSection::Decode(size_t begin, size_t end, uint32_t& at, uint32_t& size) {
  const size_t start = decoded_.size();
  for (size_t i = begin; i < end;) {
    const char* amp = static_cast<const char*>(std::memchr(text_.data() + i, '&', end - i));
    const size_t stop = amp ? size_t(amp - text_.data()) : end;
    decoded_.append(text_.data() + i, stop - i);
    if (stop == end) break;
    size_t length = ReadReference(text_.substr(0, end), stop, decoded_);
    if (length == 0) return false;
    i = stop + length;
  }
  if (decoded_.size() >= kDecoded) return false;
  at = kDecoded | uint32_t(start);
  size = uint32_t(decoded_.size() - start);
  return true;
}

}  // namespace kestro
