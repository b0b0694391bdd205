#include "core/tools/Autorun.h"

#include "core/text/Text.h"
#include "core/text/Unicode.h"

namespace kestro {

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}
}  // namespace

DecodedText DecodeTextFile(std::string_view bytes, ITextCodec& codec) {
  if (StartsWith(bytes, kUtf8Bom)) return {RepairUtf8(bytes.substr(3)), TextEncoding::Utf8Bom};
  if (StartsWith(bytes, kUtf16LeBom)) return {Utf16ToUtf8(bytes.substr(2), false), TextEncoding::Utf16Le};
  if (StartsWith(bytes, kUtf16BeBom)) return {Utf16ToUtf8(bytes.substr(2), true), TextEncoding::Utf16Be};
  // Plain ASCII reads the same either way: it stays in the code page.
  if (!IsAscii(bytes) && IsValidUtf8(bytes)) return {std::string(bytes), TextEncoding::Utf8};
  return {codec.AnsiToUtf8(bytes), TextEncoding::Ansi};
}

std::string EncodeTextFile(std::string_view utf8, TextEncoding encoding, ITextCodec& codec) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return std::string(utf8);
    case TextEncoding::Utf8Bom:
      return std::string(kUtf8Bom) + std::string(utf8);
    case TextEncoding::Utf16Be:
      return std::string(kUtf16BeBom) + Utf8ToUtf16(utf8, true);
    case TextEncoding::Utf16Le:
      break;
    case TextEncoding::Ansi:
      if (std::optional<std::string> ansi = codec.Utf8ToAnsi(utf8)) return *ansi;
      break;
  }
  return std::string(kUtf16LeBom) + Utf8ToUtf16(utf8, false);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string LinesWithCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

std::vector<std::string> DefaultAutorunLines(std::string_view exePath, const MessageTable& messages) {
  // The path below the drive root: without "E:\".
  std::string relative(exePath.size() > 3 ? exePath.substr(3) : std::string_view());
  return {"[AutoRun]", "Open=" + relative, "Icon=" + relative, "Label = My USB",
          "Action = " + messages.Message(msg::kAutorunAction)};
}

AutorunFile AutorunFile::Open(const std::string& driveRoot, const std::string& exePath, const MessageTable& messages,
                              IFileSystem& files, ITextCodec& codec) {
  AutorunFile f;
  f.path_ = driveRoot + "autorun.inf";
  if (!files.FileExists(f.path_)) {
    f.lines_ = DefaultAutorunLines(exePath, messages);
    return f;
  }
  std::string bytes;
  if (!files.ReadFile(f.path_, bytes)) {
    f.readFailed_ = true;
    return f;
  }
  DecodedText decoded = DecodeTextFile(bytes, codec);
  f.encoding_ = decoded.encoding;
  f.lines_ = SplitLines(decoded.text);
  return f;
}

std::string AutorunFile::EditorText() const {
  std::string text = LinesWithCrLf(lines_);
  if (!text.empty()) text.resize(text.size() - 2);
  return text;
}

std::string AutorunFile::ReadFailureText() const {
  return path_ + " could not be read.\r\nIt is left as it is and cannot be saved from here.";
}

WriteResult AutorunFile::Save(std::string_view editorText, IFileSystem& files, ITextCodec& codec) const {
  if (readFailed_) return {false, path_ + " could not be read, so it is not overwritten."};
  return files.WriteFileAtomic(path_, EncodeTextFile(LinesWithCrLf(SplitLines(editorText)), encoding_, codec));
}

}  // namespace kestro
