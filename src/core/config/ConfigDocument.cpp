#include "core/config/ConfigDocument.h"

#include <sstream>

#include "core/text/Text.h"

namespace kestro {

void ConfigDocument::CreateNew() {
  dom_.reset();
  pugi::xml_node root = dom_.append_child("Root");
  root.append_child("files");
  root.append_child("style");
  root.append_child("panel");
}

DocumentLoadResult ConfigDocument::Load(std::string_view bytes) {
  DocumentLoadResult r;
  dom_.reset();
  // Comments, processing instructions and the declaration are kept so that a
  // save gives them back.
  unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                     pugi::parse_pi | pugi::parse_doctype;
  pugi::xml_parse_result parsed = dom_.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_auto);
  if (!parsed) {
    r.wellFormed = false;
    r.error = parsed.description();
    r.offset = size_t(parsed.offset);
  }
  if (!dom_.document_element()) {
    r.wellFormed = r.wellFormed && false;
    if (r.error.empty()) r.error = "no document element";
    CreateNew();
  }
  return r;
}

std::string ConfigDocument::Serialize() const {
  std::ostringstream out;
  dom_.save(out, "\t", pugi::format_indent, pugi::encoding_utf8);
  // Every line end in character data reads back as "\n", so CR LF is safe.
  std::string text = out.str();
  std::string crlf;
  crlf.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
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
