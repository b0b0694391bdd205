#include "core/config/ConfigDocument.h"

#include <cstring>
#include <vector>

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

namespace {

// Collects the output with Windows line ends. Every line end in character
// data reads back as "\n", so CR LF is safe. The text is gathered in blocks
// and joined once: growing one string by doubling costs more than the
// serialization itself for a large document.
class CrLfWriter : public pugi::xml_writer {
 public:
  void write(const void* data, size_t size) override {
    const char* p = static_cast<const char*>(data);
    const char* end = p + size;
    while (p < end) {
      if (blocks_.empty() || blocks_.back().size() >= kBlock) {
        blocks_.emplace_back();
        blocks_.back().reserve(kBlock + 4096);
      }
      std::string& block = blocks_.back();
      const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
      if (!lf) {
        block.append(p, end);
        last_ = end[-1];
        break;
      }
      block.append(p, lf);
      // A CR LF kept as read (the document type and processing instructions
      // are not normalised by the parser) stays one line end: otherwise each
      // save would add another CR.
      if ((lf > p ? lf[-1] : last_) != '\r') block.push_back('\r');
      block.push_back('\n');
      last_ = '\n';
      p = lf + 1;
    }
  }
  std::string Text() const {
    size_t total = 0;
    for (const std::string& b : blocks_) total += b.size();
    std::string text;
    text.reserve(total);
    for (const std::string& b : blocks_) text += b;
    return text;
  }

 private:
  static constexpr size_t kBlock = 64 * 1024;
  std::vector<std::string> blocks_;
  char last_ = 0;  // the last byte written, for a CR LF split between writes
};

}  // namespace

std::string ConfigDocument::Serialize() const {
  CrLfWriter out;
  dom_.save(out, "\t", pugi::format_indent, pugi::encoding_utf8);
  return out.Text();
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
