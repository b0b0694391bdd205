#pragma once
// The drive's autorun.inf as the editor shows and saves it: the whole text as
// lines, the default text for a drive without one, and the file's encoding,
// which a save keeps.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/MessageTable.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

namespace kestro {

enum class TextEncoding { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be };

struct DecodedText {
  std::string text;  // UTF-8, without the byte-order mark
  TextEncoding encoding = TextEncoding::Ansi;
};

// A text file as the host reads it (byte-order marks, valid UTF-8 with
// non-ASCII characters, else the ANSI code page).
DecodedText DecodeTextFile(std::string_view bytes, ITextCodec& codec);
// The text in `encoding`, with its byte-order mark. ANSI text with a
// character the code page lacks is written as UTF-16 (little-endian, with
// its mark) instead, which the host's profile reader also reads: nothing is lost.
std::string EncodeTextFile(std::string_view utf8, TextEncoding encoding, ITextCodec& codec);

// Lines end at CR LF, LF or CR; a break at the very end opens no further line.
std::vector<std::string> SplitLines(std::string_view text);
// Every line ended by CR LF.
std::string LinesWithCrLf(const std::vector<std::string>& lines);

// The five lines proposed for a drive without autorun.inf: the program
// started and shown by its path below the drive root.
std::vector<std::string> DefaultAutorunLines(std::string_view exePath, const MessageTable& messages);

class AutorunFile {
 public:
  // Reads `driveRoot` + "autorun.inf"; without that file the default lines.
  static AutorunFile Open(const std::string& driveRoot, const std::string& exePath, const MessageTable& messages,
                          IFileSystem& files, ITextCodec& codec);

  const std::string& Path() const { return path_; }
  // The text for the editor: the lines joined by CR LF.
  std::string EditorText() const;
  // The file exists but could not be read: the editor opens empty and must
  // not save over it.
  bool ReadFailed() const { return readFailed_; }
  std::string ReadFailureText() const;

  // Writes the editor's lines, each ended by CR LF, in the file's encoding,
  // through the atomic save. Refused after a failed read.
  WriteResult Save(std::string_view editorText, IFileSystem& files, ITextCodec& codec) const;

 private:
  std::string path_;
  std::vector<std::string> lines_;
  TextEncoding encoding_ = TextEncoding::Ansi;
  bool readFailed_ = false;
};

}  // namespace kestro
