#pragma once
// Kestro.xml as text: its bytes in whatever encoding they came, read into the
// UTF-8 the parser takes; and the DOM written back as well-formed UTF-8 XML.
#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace kestro {

class ITextCodec;

struct DecodedDocument {
  std::string text;  // UTF-8 without a byte-order mark, every character allowed in XML 1.0
  // What the bytes were read as: "UTF-8", "UTF-16LE", "UTF-16BE", "ISO-8859-1",
  // or the declared name when the host's code page read them.
  std::string readAs;
  std::vector<std::string> dropped;  // what could not be kept, for the notice
};

// A byte-order mark decides; else UTF-16 shows by its zero bytes; else the
// declared encoding: UTF-8 (also when none is declared), ISO-8859-1 as
// Latin-1, and any other name (euc-kr, ks_c_5601-1987, windows-1252, ...)
// through the host's code page (`codec`; without one those bytes are taken
// as UTF-8). Text that is valid UTF-8 is read as UTF-8 whatever its
// declaration says: earlier versions wrote UTF-8 under the declaration they
// had read. Bytes that form no character become U+FFFD; control characters,
// raw or as character references, are left out.
DecodedDocument DecodeDocumentBytes(std::string_view bytes, ITextCodec* codec);

// Depth beyond which lines are indented no further, so that the size of the
// text follows its content however deep the groups nest.
constexpr unsigned kIndentLimit = 32;

// The document as UTF-8 with the declaration saying so, indented by tabs,
// with Windows line ends (also inside a DOCTYPE, comments and processing
// instructions). Whatever the DOM holds, the text is well-formed: bytes that
// form no character become U+FFFD, control characters are left out, "--" in
// comments, "?>" in processing instructions and "]]>" in CDATA are broken up
// as pugixml breaks them, a repeated attribute is written once. Otherwise
// byte for byte what pugixml writes with format_indent and "\t", LF made CR LF.
// A section written as text by a SectionWriter: `element` stands empty in
// the DOM and `content` is written in its place.
struct PendingSection {
  pugi::xml_node element;
  const std::string* content = nullptr;
};
std::string WriteDocumentText(const pugi::xml_document& dom, size_t sizeHint = 0, PendingSection pending = {});

// Writes the elements inside a section straight from the program's data,
// byte for byte as WriteDocumentText writes the same elements from a DOM:
// saving many items then needs no DOM built and written for them.
class SectionWriter {
 public:
  // `sectionDepth`: the depth of the section's element (1 under the
  // document element).
  explicit SectionWriter(unsigned sectionDepth, size_t sizeHint = 0);
  // A start tag; attributes may follow until its first child.
  void Open(const char* name);
  void Attribute(const char* name, std::string_view value);
  void Attribute(const char* name, int32_t value);
  // <name>text</name>, or <name /> for an empty text.
  void Leaf(const char* name, std::string_view text);
  void Leaf(const char* name, int32_t value);
  void Close();
  std::string Take() { return std::move(out_); }

 private:
  void StartLine();
  std::string out_;
  std::vector<const char*> open_;  // names of the elements open
  bool tagOpen_ = false;           // the last start tag still takes attributes
  unsigned base_;                  // depth of the section's children
};

}  // namespace kestro
