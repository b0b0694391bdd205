#pragma once
// INI-style files (language files) read the way the host's profile reader,
// GetPrivateProfileString, reads them, so that a file behaves the same here as
// in any other Windows program.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

namespace kestro {

// The longest value the profile reader hands out: its buffer of 2048 UTF-16
// units, less the terminating zero.
constexpr size_t kProfileValueLimit = 2047;

// A profile file's bytes as UTF-8 text: a UTF-8 byte-order mark, a UTF-16
// (little- or big-endian) mark, else valid UTF-8 as it is, else the host's
// ANSI code page through `codec`. The mark itself is dropped.
std::string DecodeProfileText(std::string_view bytes, ITextCodec& codec);

// The value as GetPrivateProfileString returns it: one pair of matching
// quotes (' or ") around it removed, and cut to kProfileValueLimit UTF-16
// units (never inside a character). Like the host's reader, a quoted text of
// exactly kProfileValueLimit characters loses its last one.
std::string ProfileValue(std::string_view raw);

class IniFile {
 public:
  // A file without sections: every lookup gives its fallback.
  IniFile();

  // Lines end at CR or LF. Blanks (tab, LF, VT, FF, CR, space and ^Z) around a
  // line are dropped. "[name]" opens a section (the name runs to the last "]"
  // of the line and is trimmed); a line without any "]" is no header. Lines
  // starting with ";" are comments. Any other line is a key: the text before
  // the first "=" (trimmed) is its name, the text after it (trimmed) its
  // value; a line without "=" is a key without a value. Lines before the
  // first header belong to a section with the empty name.
  static IniFile Parse(std::string_view utf8Text);
  // Reads and decodes `path`; nullopt when it cannot be read.
  static std::optional<IniFile> Read(const std::string& path, IFileSystem& files, ITextCodec& codec);

  // The raw value of the first key named `key` in the first section named
  // `section`, both compared without regard to letter case after trimming.
  // Later sections or keys of the same name are never looked at, as in the
  // host's reader. nullopt when the section or key is absent, or when the
  // first such key has no "=".
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  // GetPrivateProfileString: the value through ProfileValue, or `fallback`
  // when Find finds nothing. A key present with an empty value gives "".
  std::string Get(std::string_view section, std::string_view key, std::string_view fallback) const;

 private:
  struct Key {
    std::string name;
    std::optional<std::string> value;
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
  };
  std::vector<Section> sections_;
};

}  // namespace kestro
