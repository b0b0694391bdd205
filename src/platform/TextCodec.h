#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// The host's ANSI code page (CP_ACP: 949 on a Korean host), for text files
// that users may have written in it (language files, autorun.inf, Internet
// shortcuts).
class ITextCodec {
 public:
  virtual ~ITextCodec() = default;
  // `bytes` read as the ANSI code page, as UTF-8. Never fails: bytes that form
  // no character come out as the code page's default character or U+FFFD.
  virtual std::string AnsiToUtf8(std::string_view bytes) = 0;
  // UTF-8 text in the ANSI code page, for writing such a file back; nullopt
  // when a character has no exact form there.
  virtual std::optional<std::string> Utf8ToAnsi(std::string_view utf8) = 0;
};

}  // namespace kestro
