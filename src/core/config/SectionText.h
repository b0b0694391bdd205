#pragma once
// A section of Kestro.xml read straight from its text, the mirror of
// SectionWriter: the trees of thousands of items are read at start without
// pugixml building a node for every element and value of them.
//
// Only plain markup is taken: elements, attributes, and text with the five
// predefined entities and character references. Whatever else the section
// holds (comments, processing instructions, CDATA, a line break inside a
// value, a tab or line break in an attribute, another entity, text beside
// child elements, anything not well-formed) declines the scan, and the
// section is parsed with the rest of the document as before. What a scan
// gives is what pugixml, with the options the document is loaded with, gives
// for the same text: the elements, the first attribute of each name, and each
// element's character data without the blanks around it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// Where the first element named `name` starts ("<") among the children of
// the document element of `text`; npos when there is none, or when what
// stands before it is more than comments, processing instructions, CDATA,
// text, elements and a DOCTYPE without internal subset.
size_t FindSection(std::string_view text, std::string_view name);

class ScannedSection {
 public:
  // Scans the element starting at text[at] ("<"). On false nothing is kept.
  // The section refers to `text`, which must stay as it is while it is used.
  // A string rather than a view: its terminating zero ends the scan's loops
  // over names and blanks without a bound check for every byte.
  bool Scan(const std::string& text, size_t at);
  void Clear();
  bool Empty() const { return nodes_.count == 0; }
  // The element's content: from the end of its start tag to the start of its
  // end tag (empty for <name/>).
  size_t ContentBegin() const { return contentBegin_; }
  size_t ContentEnd() const { return contentEnd_; }
  size_t End() const { return end_; }  // one past the element

  // One element of the section; false when there is none.
  class Element {
   public:
    Element() = default;
    explicit operator bool() const { return s_ != nullptr; }
    Element FirstChild() const {
      return s_->nodes_[i_].children ? Element(s_, i_ + 1) : Element();
    }
    Element Next() const {
      uint32_t next = s_->nodes_[i_].next;
      return next ? Element(s_, next) : Element();
    }
    std::string_view Name() const {
      const Node& n = s_->nodes_[i_];
      return {s_->text_.data() + n.name, n.nameSize};
    }
    template <size_t N>
    bool Named(const char (&name)[N]) const {
      // The length known here lets the compiler compare without a call.
      const Node& n = s_->nodes_[i_];
      return n.nameSize == N - 1 && std::memcmp(s_->text_.data() + n.name, name, N - 1) == 0;
    }
    // The value of the first attribute of that name; `found` tells whether
    // there is one.
    std::string_view Attribute(std::string_view name, bool* found = nullptr) const {
      const Node& n = s_->nodes_[i_];
      for (uint32_t k = 0; k < n.attributes; ++k) {
        const Attr& a = s_->attributes_[n.firstAttribute + k];
        if (a.nameSize == name.size() && std::memcmp(s_->text_.data() + a.name, name.data(), name.size()) == 0) {
          if (found) *found = true;
          return s_->View(a.value, a.valueSize);
        }
      }
      if (found) *found = false;
      return {};
    }
    // The character data, entities read, blanks around it removed.
    std::string_view Text() const {
      const Node& n = s_->nodes_[i_];
      return s_->View(n.text, n.textSize);
    }
    uint32_t ChildCount() const { return s_->nodes_[i_].children; }

   private:
    friend class ScannedSection;
    Element(const ScannedSection* s, uint32_t i) : s_(s), i_(i) {}
    const ScannedSection* s_ = nullptr;
    uint32_t i_ = 0;
  };
  // The scanned element itself.
  Element Root() const { return nodes_.count ? Element(this, 0) : Element(); }

 private:
  // Offsets with this bit set are into decoded_ rather than the text.
  static constexpr uint32_t kDecoded = 0x80000000u;
  struct Node {
    uint32_t name, nameSize;
    uint32_t next;  // index of the next sibling, 0 for the last
    uint32_t firstAttribute, attributes;
    uint32_t text, textSize;
    uint32_t children;  // the first is the next node
  };
  struct Attr {
    uint32_t name, nameSize;
    uint32_t value, valueSize;
  };
  std::string_view View(uint32_t at, uint32_t size) const {
    return at & kDecoded ? std::string_view(decoded_.data() + (at & ~kDecoded), size)
                         : std::string_view(text_.data() + at, size);
  }
  struct Open {
    uint32_t node, lastChild;
  };
  // An array the scan fills by index; grown by half again when a guess was
  // short, the entries in use kept.
  template <class T>
  struct Table {
    std::unique_ptr<T[]> items;
    uint32_t count = 0, capacity = 0;
    void Reserve(size_t wanted) {
      if (capacity >= wanted) return;
      items.reset(new T[wanted]);
      capacity = uint32_t(wanted);
    }
    [[gnu::noinline]] T* Grow(uint32_t used) {
      const size_t more = std::max<size_t>(size_t(capacity) + capacity / 2, 64);
      std::unique_ptr<T[]> bigger(new T[more]);
      std::copy(items.get(), items.get() + used, bigger.get());
      items = std::move(bigger);
      capacity = uint32_t(more);
      return items.get();
    }
    T& operator[](size_t k) const { return items[k]; }
  };
  bool ScanElements(size_t at);
  bool Decode(size_t begin, size_t end, uint32_t& at, uint32_t& size);

  std::string_view text_;
  Table<Node> nodes_;
  Table<Attr> attributes_;
  Table<Open> open_;
  std::string decoded_;  // values with entities, read
  size_t contentBegin_ = 0, contentEnd_ = 0, end_ = 0;
};

}  // namespace kestro
