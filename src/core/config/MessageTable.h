#pragma once
// The user messages, keyed "00" to "22", and how a message becomes the text
// shown in its message box.
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

namespace kestro {

constexpr int kMessageCount = 23;

// The keys by what they say. Captions and icons of the boxes are fixed by the
// window that shows them.
namespace msg {
inline constexpr std::string_view kUseOnlyUsb = "00";          // not shown from the table
inline constexpr std::string_view kRunningProgramList = "01";  // not shown
inline constexpr std::string_view kBusyCannotExit = "02";
inline constexpr std::string_view kDriveLetterInUse = "03";  // "@1" wanted letter, "@2" programDrive
inline constexpr std::string_view kDeleteTabWithItems = "04";
inline constexpr std::string_view kFavoritesToUsbDone = "05";
inline constexpr std::string_view kFavoritesToPcDone = "06";
inline constexpr std::string_view kInUse = "07";  // end of the tray hint
inline constexpr std::string_view kNoPortableAssociation = "08";
inline constexpr std::string_view kDeleteTabShort = "09";  // not shown
inline constexpr std::string_view kDeleteGroup = "10";
inline constexpr std::string_view kUnsupportedFormat = "11";
inline constexpr std::string_view kApplyAssociations = "12";
inline constexpr std::string_view kSearchTextTooShort = "13";
inline constexpr std::string_view kUnused = "14";
inline constexpr std::string_view kEnterFileName = "15";
inline constexpr std::string_view kEnterGroupName = "16";
inline constexpr std::string_view kLanguageAfterRestart = "17";
inline constexpr std::string_view kShowPanel = "18";       // first entry of the left-click tray menu
inline constexpr std::string_view kFolderProperty = "19";  // after the item name in the dialog caption
inline constexpr std::string_view kFileProperty = "20";
inline constexpr std::string_view kGroupProperty = "21";
inline constexpr std::string_view kAutorunAction = "22";  // autorun.inf "Action = " line
}  // namespace msg

// "00" ... "22" for 0 ... 22.
std::string MessageKey(int n);

// The built-in Korean text of message `n`; nullptr for "14", which has none.
const char* KoreanDefaultMessage(int n);

// A message text as shown: each "@1" becomes the first value, each "@2" the
// second (only where that many values are given; without values they stay as
// written), and each "#13" a line break ("\r\n"). One pass from left to right,
// so a value is inserted as it is even when it holds "@2" or "#13".
std::string FormatMessageText(std::string_view text, std::initializer_list<std::string_view> values = {});

class MessageTable {
 public:
  void Clear() { entries_.clear(); }
  void Set(std::string_view key, std::string text);
  bool Has(std::string_view key) const { return entries_.find(key) != entries_.end(); }
  size_t Size() const { return entries_.size(); }
  // The stored text; empty for a key without an entry.
  const std::string& Text(std::string_view key) const;

  // The text shown for `key`, through FormatMessageText.
  std::string Message(std::string_view key) const { return FormatMessageText(Text(key)); }
  std::string Message(std::string_view key, std::string_view at1, std::string_view at2) const {
    return FormatMessageText(Text(key), {at1, at2});
  }

  // Every built-in Korean text ("14" gets no entry), replacing what was there.
  void FillKoreanDefaults();

 private:
  std::map<std::string, std::string, std::less<>> entries_;
};

}  // namespace kestro
