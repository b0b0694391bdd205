#pragma once
// Kestro.xml in memory.
#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace kestro {

struct DocumentLoadResult {
  bool wellFormed = true;
  std::string error;  // parser's description when not well-formed
  size_t offset = 0;  // byte offset of the error
};

class ConfigDocument {
 public:
  // "Root" with the empty sections "files", "style" and "panel".
  void CreateNew();
  // Parses `bytes`. When the text is not well-formed the part read before the
  // error stays in the document; without a document element a new document is
  // built so that the program always has one to work on.
  DocumentLoadResult Load(std::string_view bytes);
  // UTF-8, indented by nesting level, Windows line ends.
  std::string Serialize() const;

  pugi::xml_node Element() const { return dom_.document_element(); }
  pugi::xml_document& Dom() { return dom_; }
  const pugi::xml_document& Dom() const { return dom_; }

 private:
  pugi::xml_document dom_;
};

// True when `name` may stand as an XML element name.
bool IsValidXmlName(std::string_view name);
// The text of an element as the settings read it: its character data, blanks
// around it removed.
std::string ElementText(pugi::xml_node node);

}  // namespace kestro
