#pragma once
// Language files: the choice of the language at start, the texts the windows
// read from the file in use, and the list of files the settings dialog offers.
//
// The user interface is Korean by default. A language file is an INI-style
// "*.lng" file in programFolder; an English one is carried inside Kestro.exe
// (resource type "EXEFILE", name "english") and written out as "english.lng".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/IniReader.h"
#include "core/config/MessageTable.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

namespace kestro {

inline constexpr std::string_view kNoValue = "no value";
inline constexpr std::string_view kNoCaption = "no caption";
// The `language` setting that asks for the built-in Korean texts.
inline constexpr std::string_view kDefaultLanguage = "Default(korea)";
inline constexpr std::string_view kEnglishLanguageFileName = "english.lng";
inline constexpr const char* kEnglishResourceType = "EXEFILE";
inline constexpr const char* kEnglishResourceName = "english";
// systemLocale of a Korean host.
inline constexpr uint32_t kKoreanLocale = 1042;

// A section as one window reads it: its name and the text shown for a key
// that is missing. Sections are matched without regard to case, so "Button"
// and "button" are one section; its fallback depends on the reader.
struct LanguageSection {
  std::string_view name;
  std::string_view fallback;
};

namespace lang {
inline constexpr LanguageSection kTrayMenu{"traymenu", kNoCaption};
inline constexpr LanguageSection kMsgbox{"Msgbox", kNoCaption};
inline constexpr LanguageSection kViewPanel{"viewpanel", kNoCaption};            // panel window
inline constexpr LanguageSection kViewPopup{"viewpopup", kNoValue};              // item tree popups
inline constexpr LanguageSection kEnvironment{"enviroment", kNoValue};           // settings dialog
inline constexpr LanguageSection kEnvironmentButton{"button", kNoValue};         // settings dialog
inline constexpr LanguageSection kFileProperty{"FileProperty", kNoValue};        // item property dialog
inline constexpr LanguageSection kFilePropertyButton{"Button", kNoValue};        // item property dialog
inline constexpr LanguageSection kGroupProperty{"GroupProperty", kNoValue};      // group dialog
inline constexpr LanguageSection kTabCreate{"TabCreate", kNoValue};              // tab name dialog
inline constexpr LanguageSection kTabCreateButton{"Button", kNoValue};           // tab name dialog
inline constexpr LanguageSection kTabProperty{"TabProperty", kNoCaption};        // tab property dialog
inline constexpr LanguageSection kTabPropertyButton{"Button", kNoCaption};       // tab property dialog
inline constexpr LanguageSection kUrlProperty{"UrlProperty", kNoCaption};        // URL property dialog
inline constexpr LanguageSection kExtLink{"Extlink", kNoValue};                  // association manager
inline constexpr LanguageSection kExtLinkButton{"Button", kNoValue};             // association manager
inline constexpr LanguageSection kFindTab{"FindTab", kNoCaption};                // find frame
inline constexpr LanguageSection kEditAutorun{"Edit_Autorun", kNoCaption};       // autorun.inf editor
inline constexpr LanguageSection kEnvVariantList{"EnvVariantList", kNoCaption};  // path-macro list
inline constexpr LanguageSection kExitList{"ExitListFrm", kNoValue};             // exit list dialog
inline constexpr LanguageSection kExitListButton{"button", kNoValue};            // exit list dialog
}  // namespace lang

// Captions of the three fixed tray menu entries.
struct TrayMenuCaptions {
  std::string view, env, exit;
  bool operator==(const TrayMenuCaptions&) const = default;
};

enum class EnglishFileState {
  Present,      // "english.lng" was there already and is left as it is
  Written,      // it was missing and has been written
  WriteFailed,  // it was missing and could not be written (write-protected drive)
  NoResource,   // it was missing and Kestro.exe carries no English text to write
};

// Writes `embeddedEnglish` byte for byte to programFolder + "english.lng"
// when that file is missing. The write goes through a temporary file, so a
// write cut short never leaves a partial file that would then be kept for good.
EnglishFileState WriteEnglishFileIfMissing(const std::string& programFolder, std::string_view embeddedEnglish,
                                           IFileSystem& files);

struct LanguageStart {
  std::string programFolder;  // with trailing backslash
  std::string language;       // the `language` setting
  uint32_t systemLocale = 0;
  std::string_view embeddedEnglish;  // the "english" resource of Kestro.exe
};

struct LanguageChoice {
  // Full path of the language file in use, or empty for the built-in Korean
  // texts. Windows replace their captions only when this file exists.
  std::string languageFile;
  // Set when the table was filled from a language file; otherwise the tray
  // menu keeps its built-in captions.
  std::optional<TrayMenuCaptions> trayCaptions;
  EnglishFileState englishFile = EnglishFileState::Present;
  // The messages came from the English text carried in Kestro.exe, because
  // "english.lng" was chosen but could not be read (it could not be written).
  bool messagesFromEmbeddedEnglish = false;
  // The language file as read now, when one is in use and could be read:
  // the windows take their captions from it without reading it again.
  std::optional<IniFile> readFile;
};

// The language at start: writes "english.lng" when it is missing, chooses
// `languageFile` from the `language` setting and systemLocale, and fills
// `table` (emptied first). Safe to run again, for instance once the drive has
// moved to another letter, and then gives the same choice on the new letter.
//  - `language` neither empty nor "Default(korea)" (exact): that file of
//    programFolder, or "english.lng" when it is missing or cannot be read;
//  - otherwise on a Korean host (1042): the built-in Korean messages, no file;
//  - otherwise "english.lng".
LanguageChoice ChooseLanguage(const LanguageStart& start, MessageTable& table, IFileSystem& files, ITextCodec& codec);

// The start's reading of a language file: the three tray captions from
// "traymenu", then "strMsgList00" ... "strMsgList22" of "Msgbox" into keys
// "00" ... "22". A missing key gives "no caption".
void FillFromLanguageFile(const IniFile& file, MessageTable& table, TrayMenuCaptions& tray);

// The texts a window reads from the language file in use. Each window opens
// one when it is created (the item tree and find frames each time they get
// the focus), so a file changed or removed meanwhile is noticed.
class LanguageTexts {
 public:
  LanguageTexts() = default;  // no language file in use

  // In use only when `languageFile` is not empty and names an existing file
  // that can be read; the file is read once, here. A file that exists but
  // cannot be read leaves the built-in captions, as a missing one does.
  static LanguageTexts Open(const std::string& languageFile, IFileSystem& files, ITextCodec& codec);
  // The texts of a file already read.
  static LanguageTexts FromFile(IniFile file);

  bool InUse() const { return file_.has_value(); }

  // The text of `key`, or the section's fallback when the key is missing (or
  // no file is in use).
  std::string Text(const LanguageSection& section, std::string_view key) const;
  // What a window shows: Text() when a file is in use, else `builtIn`, the
  // window's own Korean caption.
  std::string Caption(const LanguageSection& section, std::string_view key, std::string_view builtIn) const;

 private:
  std::optional<IniFile> file_;
};

// SearchLngFile: appends to `list` the names of the entries of programFolder
// (as listed for programFolder + "*.*", in that order) whose extension, from
// the last ".", is ".lng" exactly (letter case counts); "." and ".." are
// skipped and any folder part of a name is dropped.
void SearchLngFile(const std::vector<std::string>& folderEntries, std::vector<std::string>& list);

}  // namespace kestro
