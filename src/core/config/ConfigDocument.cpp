#include "core/config/ConfigDocument.h"

#include <vector>

#include "core/config/DocumentText.h"
#include "core/text/Text.h"

namespace kestro {

namespace {

// Comments, processing instructions and the declaration are kept so that a
// save gives them back. As a fragment, text outside the document element is
// kept too, so that it can be reported rather than lost unseen.
constexpr unsigned kLoadOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                  pugi::parse_pi | pugi::parse_doctype | pugi::parse_fragment;

}  // namespace

void ConfigDocument::CreateNew() {
  ClearSection();
  dom_.reset();
  text_.reset();
  pugi::xml_node root = dom_.append_child("Root");
  root.append_child("files");
  root.append_child("style");
  root.append_child("panel");
}

DocumentLoadResult ConfigDocument::Load(std::string_view bytes, ITextCodec* codec, TabsReading tabs) {
  DocumentLoadResult r;
  ClearSection();
  dom_.reset();
  DecodedDocument decoded = DecodeDocumentBytes(bytes, codec);
  r.dropped = std::move(decoded.dropped);
  sizeHint_ = decoded.text.size();
  // Held through a pointer, so that a move of the document leaves it in place.
  auto text = std::make_unique<std::string>(std::move(decoded.text));
  if (tabs == TabsReading::IntoDom || !LoadWithoutTabs(text)) {
    // Parsed in place: the decoded text is already the copy the parser would make.
    text_ = std::move(text);
    pugi::xml_parse_result parsed =
        dom_.load_buffer_inplace(text_->data(), text_->size(), kLoadOptions, pugi::encoding_utf8);
    if (!parsed) {
      r.wellFormed = false;
      r.error = parsed.description();
      r.offset = size_t(parsed.offset);
    }
  }
  KeepOneDocumentElement(r.dropped);
  if (!dom_.document_element()) {
    r.wellFormed = false;
    if (r.error.empty()) r.error = "no document element";
    CreateNew();
  }
  return r;
}

bool ConfigDocument::LoadWithoutTabs(std::unique_ptr<std::string>& text) {
  // The trees are most of a document: their section is read from the text
  // and only the rest goes through pugixml, with the section left empty.
  const std::string& whole = *text;
  const size_t at = FindSection(whole, "tabs");
  if (at == std::string::npos || !scanned_.Scan(whole, at)) return false;
  const size_t begin = scanned_.ContentBegin(), end = scanned_.ContentEnd();
  auto rest = std::make_unique<std::string>();
  rest->reserve(whole.size() - (end - begin));
  rest->append(whole, 0, begin).append(whole, end);
  pugi::xml_node section;
  if (begin < end && dom_.load_buffer_inplace(rest->data(), rest->size(), kLoadOptions, pugi::encoding_utf8)) {
    section = dom_.document_element().child("tabs");
    // Parsed in place, the section's name lies where the cut left its start
    // tag, unless the parser saw the text before it otherwise than
    // FindSection did: then the whole text is parsed after all.
    if (section.name() != rest->data() + at + 1 || section.first_child()) section = {};
  }
  if (!section) {
    dom_.reset();
    scanned_ = ScannedSection();
    return false;
  }
  text_ = std::move(rest);
  loadedText_ = std::move(text);
  section_ = section;
  return true;
}

void ConfigDocument::KeepOneDocumentElement(std::vector<std::string>& dropped) {
  // XML allows one element at the top, with only comments, processing
  // instructions and one DOCTYPE before it around it; other XML readers
  // refuse the rest.
  bool seenElement = false, seenDoctype = false, text = false;
  std::vector<pugi::xml_node> extra;
  for (pugi::xml_node n = dom_.first_child(); n; n = n.next_sibling()) {
    switch (n.type()) {
      case pugi::node_element:
        if (seenElement) {
          dropped.push_back(std::string("a second document element <") + n.name() + ">, left out");
          extra.push_back(n);
        }
        seenElement = true;
        break;
      case pugi::node_doctype:
        if (seenElement || seenDoctype) {
          dropped.push_back("a DOCTYPE after the first, or after the document element, left out");
          extra.push_back(n);
        }
        seenDoctype = true;
        break;
      case pugi::node_pcdata:
      case pugi::node_cdata:
        text = true;
        extra.push_back(n);
        break;
      default: break;
    }
  }
  if (text) dropped.push_back("text outside the document element, left out");
  for (pugi::xml_node n : extra) RemoveNode(n);
}

void ConfigDocument::SetSectionText(pugi::xml_node section, std::string content) {
  ClearSection();
  section_ = section;
  sectionText_ = std::move(content);
}

void ConfigDocument::ClearSection() const {
  section_ = {};
  std::string().swap(sectionText_);
  loadedText_.reset();
  scanned_ = ScannedSection();
}

void ConfigDocument::Materialize() const {
  if (!section_) return;
  if (loadedText_) {
    // As loaded: the same options give the same nodes the whole text would have.
    const size_t begin = scanned_.ContentBegin();
    section_.append_buffer(loadedText_->data() + begin, scanned_.ContentEnd() - begin, kLoadOptions,
                           pugi::encoding_utf8);
  } else if (!sectionText_.empty()) {
    section_.append_buffer(sectionText_.data(), sectionText_.size(), pugi::parse_default, pugi::encoding_utf8);
  }
  ClearSection();
}

std::string ConfigDocument::Serialize() const {
  // A section as loaded is written as its DOM would be, not as it stood.
  if (loadedText_) Materialize();
  std::string text = WriteDocumentText(dom_, sizeHint_, PendingSection{section_, section_ ? &sectionText_ : nullptr});
  sizeHint_ = text.size();
  return text;
}

namespace {

// Removes `node` leaf first: no removal frees more than one level.
void RemoveLeafFirst(pugi::xml_node node) {
  pugi::xml_node n = node;
  for (;;) {
    while (pugi::xml_node last = n.last_child()) n = last;
    pugi::xml_node up = n.parent();
    up.remove_child(n);
    if (n == node) return;
    n = up;
  }
}

}  // namespace

void RemoveNode(pugi::xml_node node) {
  // pugixml's own removal is quickest; only what lies deeper than a few
  // hundred levels is taken apart first. pugixml's walker runs without
  // recursion and finds those subtrees in one pass.
  struct DeepSubtrees : pugi::xml_tree_walker {
    std::vector<pugi::xml_node> found;
    bool for_each(pugi::xml_node& n) override {
      if (depth() == 256) found.push_back(n);
      return true;
    }
  } deep;
  pugi::xml_node parent = node.parent();
  if (!parent) return;
  node.traverse(deep);
  for (pugi::xml_node n : deep.found) RemoveLeafFirst(n);
  parent.remove_child(node);
}

bool IsValidXmlName(std::string_view name) {
  if (name.empty()) return false;
  auto start = [](unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
  };
  auto inner = [&](unsigned char c) { return start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; };
  if (!start(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name.substr(1))
    if (!inner(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string ElementText(pugi::xml_node node) {
  std::string text;
  for (pugi::xml_node child : node.children())
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
  return Trim(text);
}

}  // namespace kestro
