#pragma once
// Kestro.xml in memory.
#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/SectionText.h"

namespace kestro {

class ITextCodec;

struct DocumentLoadResult {
  bool wellFormed = true;
  std::string error;  // parser's description when not well-formed
  size_t offset = 0;  // offset of the error in the text as read (UTF-8)
  // What was read but cannot be kept (bytes that form no character, control
  // characters, a second document element, text outside it): the document
  // in memory is without it.
  std::vector<std::string> dropped;
};

// How Load reads the tabs section: from its text when the scan takes it
// (the start), or always into the DOM with the rest.
enum class TabsReading { FromText, IntoDom };

class ConfigDocument {
 public:
  // "Root" with the empty sections "files", "style" and "panel".
  void CreateNew();
  // Parses `bytes`, read in the encoding they declare (DecodeDocumentBytes;
  // `codec` reads the legacy code pages). When the text is not well-formed
  // the part read before the error stays in the document; without a document
  // element a new document is built so that the program always has one to
  // work on. Both ways of reading the tabs give the same document.
  DocumentLoadResult Load(std::string_view bytes, ITextCodec* codec = nullptr,
                          TabsReading tabs = TabsReading::FromText);
  // Well-formed UTF-8 that says so, indented by nesting level, Windows line
  // ends (WriteDocumentText).
  std::string Serialize() const;

  // The document element, with every section as elements.
  pugi::xml_node Element() const {
    Materialize();
    return dom_.document_element();
  }
  // The document element for reading the settings and for adding, removing
  // and finding sections: a section held as text (the tabs as loaded, or as
  // SetSectionText left them) stays so, an empty element in its place.
  pugi::xml_node Root() const { return dom_.document_element(); }

  // The first "tabs" section as loaded, read from its text (see
  // SectionText.h); nullptr when it was parsed into the DOM instead, or has
  // been replaced or parsed since.
  const ScannedSection* ScannedTabs() const { return scanned_.Empty() ? nullptr : &scanned_; }

  // `section` (an empty element) stands for `content`, the text of its
  // children as a SectionWriter wrote it; it is written as that text, and
  // parsed into the DOM only when Element() is asked for.
  void SetSectionText(pugi::xml_node section, std::string content);

 private:
  void KeepOneDocumentElement(std::vector<std::string>& dropped);
  bool LoadWithoutTabs(std::unique_ptr<std::string>& text);
  void Materialize() const;
  void ClearSection() const;
  pugi::xml_document dom_;
  std::unique_ptr<std::string> text_;  // the text the DOM was parsed from, in place
  mutable size_t sizeHint_ = 0;  // the last text read or written
  // A section whose content is held as text: `section_` stands empty in the
  // DOM. Either what a SectionWriter wrote (`sectionText_`), or the tabs as
  // loaded: their place in `loadedText_`, the whole text as decoded, read
  // through `scanned_`.
  mutable pugi::xml_node section_;
  mutable std::string sectionText_;
  mutable std::unique_ptr<std::string> loadedText_;
  mutable ScannedSection scanned_;
};

// Removes `node` with everything in it. pugixml frees a subtree recursively,
// one stack frame per level: here the innermost nodes go first, so that no
// nesting depth can exhaust the stack.
void RemoveNode(pugi::xml_node node);

// True when `name` may stand as an XML element name.
bool IsValidXmlName(std::string_view name);
// The text of an element as the settings read it: its character data, blanks
// around it removed.
std::string ElementText(pugi::xml_node node);

}  // namespace kestro
