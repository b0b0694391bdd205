#pragma once
// The text of an item's path, picture file or parameters: a string that keeps
// up to 62 bytes in itself. Nearly every path is longer than what std::string
// keeps without an allocation, and thousands are read at start; kept in the
// record, they cost no allocation each. Longer texts go to the heap as usual.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace kestro {

class ItemString {
 public:
  // With the byte that tells how many are used, the string is 64 bytes.
  static constexpr size_t kInline = 62;

  ItemString() noexcept { SetInline(0); }
  ItemString(std::string_view s) { Set(s); }               // NOLINT: used like std::string
  ItemString(const char* s) { Set(std::string_view(s)); }  // NOLINT
  ItemString(const std::string& s) { Set(s); }             // NOLINT
  ItemString(const ItemString& other) { Set(other.view()); }
  ItemString(ItemString&& other) noexcept { Take(other); }
  ~ItemString() { Free(); }

  ItemString& operator=(const ItemString& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  ItemString& operator=(ItemString&& other) noexcept {
    if (this != &other) {
      Free();
      Take(other);
    }
    return *this;
  }
  ItemString& operator=(std::string_view s) { return assign(s); }
  ItemString& operator=(const std::string& s) { return assign(s); }
  ItemString& operator=(const char* s) { return assign(std::string_view(s)); }

  ItemString& assign(std::string_view s) {
    // An empty view may have no bytes at all, which the copies may not be given.
    if (s.empty()) {
      clear();
      return *this;
    }
    if (s.size() > Capacity()) {
      ToHeap({}, s, s.size());  // exactly: most texts are set once
      return *this;
    }
    // The source may lie inside this string's own bytes: memmove.
    std::memmove(Data(), s.data(), s.size());
    SetSize(s.size());
    return *this;
  }
  ItemString& append(std::string_view s) {
    if (s.empty()) return *this;
    const size_t old = size();
    if (old + s.size() > Capacity()) {
      // Leaving the record's bytes: exactly, as most texts are put together
      // once (a drive and a path); on the heap, doubled.
      ToHeap(view(), s, OnHeap() ? std::max(old + s.size(), 2 * Capacity()) : old + s.size());
      return *this;
    }
    std::memmove(Data() + old, s.data(), s.size());
    SetSize(old + s.size());
    return *this;
  }
  ItemString& operator+=(std::string_view s) { return append(s); }
  ItemString& operator+=(char c) { return append(std::string_view(&c, 1)); }
  void clear() noexcept { SetSize(0); }

  bool empty() const noexcept { return size() == 0; }
  size_t size() const noexcept { return OnHeap() ? HeapPart().size : tag_; }
  size_t length() const noexcept { return size(); }
  const char* data() const noexcept { return OnHeap() ? HeapPart().data : bytes_; }
  const char* c_str() const noexcept { return data(); }
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + size(); }
  char operator[](size_t i) const noexcept { return data()[i]; }
  char back() const noexcept { return data()[size() - 1]; }
  std::string_view view() const noexcept {
    if (OnHeap()) {
      Heap h = HeapPart();
      return {h.data, h.size};
    }
    return {bytes_, tag_};
  }
  std::string str() const { return std::string(view()); }
  std::string substr(size_t pos, size_t n = std::string::npos) const { return std::string(view().substr(pos, n)); }

  operator std::string_view() const noexcept { return view(); }  // NOLINT
  operator std::string() const { return str(); }                 // NOLINT

  // One of each, so that no comparison needs a conversion to choose.
  friend bool operator==(const ItemString& a, const ItemString& b) noexcept { return a.view() == b.view(); }
  friend bool operator==(const ItemString& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const ItemString& a, const std::string& b) noexcept { return a.view() == b; }
  friend bool operator==(const ItemString& a, const char* b) noexcept { return a.view() == b; }
  friend auto operator<=>(const ItemString& a, const ItemString& b) noexcept { return a.view() <=> b.view(); }
  friend auto operator<=>(const ItemString& a, std::string_view b) noexcept { return a.view() <=> b; }
  friend auto operator<=>(const ItemString& a, const std::string& b) noexcept { return a.view() <=> b; }
  friend auto operator<=>(const ItemString& a, const char* b) noexcept { return a.view() <=> b; }
  friend std::string operator+(const ItemString& a, std::string_view b) { return Join(a.view(), b); }
  friend std::string operator+(std::string_view a, const ItemString& b) { return Join(a, b.view()); }
  friend std::string operator+(const ItemString& a, const ItemString& b) { return Join(a.view(), b.view()); }
  friend std::string operator+(const ItemString& a, char b) { return Join(a.view(), std::string_view(&b, 1)); }
  friend std::string operator+(const char* a, const ItemString& b) { return Join(a, b.view()); }
  friend std::string operator+(const ItemString& a, const char* b) { return Join(a.view(), b); }
  friend std::string operator+(const std::string& a, const ItemString& b) { return Join(a, b.view()); }
  friend std::string operator+(const ItemString& a, const std::string& b) { return Join(a.view(), b); }
  template <class Char, class Traits>
  friend std::basic_ostream<Char, Traits>& operator<<(std::basic_ostream<Char, Traits>& out, const ItemString& s) {
    return out << s.view();
  }

 private:
  // A longer text lives on the heap; its pointer and sizes are kept in the
  // first bytes, copied in and out so that no alignment is asked of them.
  struct Heap {
    char* data;
    size_t size;
    size_t capacity;
  };
  static constexpr uint8_t kOnHeap = 0xFF;

  bool OnHeap() const noexcept { return tag_ == kOnHeap; }
  Heap HeapPart() const noexcept {
    Heap h;
    std::memcpy(&h, bytes_, sizeof h);
    return h;
  }
  void SetHeapPart(const Heap& h) noexcept { std::memcpy(bytes_, &h, sizeof h); }
  char* Data() noexcept { return OnHeap() ? HeapPart().data : bytes_; }
  size_t Capacity() const noexcept { return OnHeap() ? HeapPart().capacity : kInline; }
  void SetInline(size_t n) noexcept {
    tag_ = uint8_t(n);
    bytes_[n] = '\0';
  }
  void SetSize(size_t n) noexcept {
    if (OnHeap()) {
      Heap h = HeapPart();
      h.size = n;
      h.data[n] = '\0';
      SetHeapPart(h);
    } else {
      SetInline(n);
    }
  }
  void Set(std::string_view s) {
    if (s.size() <= kInline) {
      if (!s.empty()) std::memcpy(bytes_, s.data(), s.size());
      SetInline(s.size());
      return;
    }
    SetInline(0);
    ToHeap({}, s, s.size());
  }
  // `a` then `b` in new heap bytes with room for `capacity`; the old bytes
  // are freed only after, as either may view them.
  void ToHeap(std::string_view a, std::string_view b, size_t capacity) {
    char* bytes = new char[capacity + 1];
    if (!a.empty()) std::memcpy(bytes, a.data(), a.size());
    if (!b.empty()) std::memcpy(bytes + a.size(), b.data(), b.size());
    const size_t n = a.size() + b.size();
    bytes[n] = '\0';
    Free();
    SetHeapPart({bytes, n, capacity});
    tag_ = kOnHeap;
  }
  void Take(ItemString& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    tag_ = other.tag_;
    other.SetInline(0);
  }
  void Free() noexcept {
    if (OnHeap()) delete[] HeapPart().data;
    SetInline(0);
  }
  static std::string Join(std::string_view a, std::string_view b) {
    std::string s;
    s.reserve(a.size() + b.size());
    s.append(a).append(b);
    return s;
  }

  char bytes_[kInline + 1];
  uint8_t tag_;  // the number of bytes used when they are kept here, or kOnHeap
};

static_assert(sizeof(ItemString) == 64);

}  // namespace kestro
