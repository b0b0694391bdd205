#pragma once
// A host ANSI code page for the core's tests, converted by the C library's
// iconv (cp949 for a Korean host, cp1252 for a Western one), counting calls.
#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "platform/TextCodec.h"

namespace kestro::testing {

class FakeTextCodec : public ITextCodec {
 public:
  explicit FakeTextCodec(const char* codePage = "CP949") : codePage_(codePage) {}

  int calls = 0;

  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override {
    iconv_t cd = iconv_open(codePage_, "UTF-8");
    if (cd == iconv_t(-1)) return std::nullopt;
    std::string in(utf8), out(utf8.size() * 2 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t left = in.size(), room = out.size();
    size_t r = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (r == size_t(-1) || r > 0) return std::nullopt;  // no form, or an approximate one
    out.resize(out.size() - room);
    return out;
  }

  std::string AnsiToUtf8(std::string_view bytes) override {
    ++calls;
    iconv_t cd = iconv_open("UTF-8", codePage_);
    if (cd == iconv_t(-1)) return "?";
    std::string out;
    std::string in(bytes);
    char* src = in.data();
    size_t left = in.size();
    char buffer[256];
    while (left > 0) {
      char* dst = buffer;
      size_t room = sizeof buffer;
      size_t r = iconv(cd, &src, &left, &dst, &room);
      out.append(buffer, size_t(dst - buffer));
      if (r == size_t(-1) && errno != E2BIG) {  // no character: U+FFFD, as the host does
        out += "\xEF\xBF\xBD";
        ++src;
        --left;
      }
    }
    iconv_close(cd);
    return out;
  }

 private:
  const char* codePage_;
};

}  // namespace kestro::testing
