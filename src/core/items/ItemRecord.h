#pragma once
// The record every item tree node carries.
#include <cstdint>
#include <string>

#include "core/items/ItemString.h"

namespace kestro {

// Values as stored in `TMyRec::kind`; a record read from a byte stream may
// hold any other 32-bit value, which no operation acts on.
enum class ItemKind : int32_t {
  File = 0,
  Folder = 1,
  Group = 2,
  Url = 3,
  Separator = 4,
};

// Field order is the declared order of the record.
struct TMyRec {
  ItemKind kind = ItemKind::File;
  std::string name;
  ItemString path;         // absolute or starting with a path macro
  ItemString icon;         // absolute for files and folders; as read for groups
  std::string url;         // URL items only; never stored or streamed
  ItemString parameters;   // may hold path macros
  std::string addexplain;
  int32_t reserved1 = 0;
  int32_t imageindex = 0;  // 0 = not loaded yet, -1 = no picture
  bool hotkey = false;
  bool hidefromtray = false;
  int32_t hotkeymodifier = 0;
  int32_t hotkeycode = 0;
  std::string reserved2;
  int32_t autorun = 0;      // 0 never, 1 at start, 2 at the end, 3 both
  int32_t windowstate = 0;  // 0 normal, 1 maximised, 2 minimised, 3 hidden

  bool operator==(const TMyRec&) const = default;
};

// Picture indexes of the fixed pictures in the shared image lists.
constexpr int32_t kFilePicture = 0;
constexpr int32_t kFolderPicture = 1;
constexpr int32_t kGroupPicture = 2;
constexpr int32_t kUrlPicture = 3;
constexpr int32_t kNoPicture = -1;

}  // namespace kestro
