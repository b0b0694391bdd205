#pragma once
// What the item tree frame writes on each row: the caption, the second text
// line (sub-text) of big-icon mode, the hint, and where each of them goes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/items/ItemTree.h"
#include "core/ui/TabStripLayout.h"  // Rect

namespace kestro {

// The item's shortcut as the tree and the hints show it ("Control + Alt + A"),
// empty when its `hotkey` is off or its codes lie outside the encoding.
std::string ItemShortcutText(const TMyRec& rec);

// The sub-text: a group's number of direct children and " items", a URL's
// address, for files and folders the field `iteminfomode` chooses (0 the
// drive-relative path, 1 the path, 2 parameters, 3 the shortcut, 4 addexplain,
// anything else nothing); empty for every other kind.
std::string SubText(const ItemNode& node, int32_t iteminfomode, std::string_view programDriveRoot);

// The hover hint, lines separated by "\r"; nothing when hints are off or the
// item is a separator.
std::optional<std::string> HintText(const TMyRec& rec, bool tooltip);

struct TextLine {
  int x = 0, y = 0;
  Rect clip;  // the text shows only inside
  bool operator==(const TextLine&) const = default;
};

struct SeparatorLine {
  int x1 = 0, x2 = 0, y = 0;  // from x1 up to x2
  bool operator==(const SeparatorLine&) const = default;
};

struct ItemTextPlacement {
  std::optional<SeparatorLine> separator;  // a separator shows only this
  std::optional<TextLine> caption;
  std::optional<TextLine> subText;
};

// Sizes at 96 DPI; `dpi` is the tree's.
struct ItemTextMetrics {
  int nodeHeight = 36;     // the tree's default node height
  int bigNodeHeight = 36;  // the height that means big-icon mode
  int indent = 18;
  int dpi = 96;
};

// Where the texts of a row go inside its item rectangle (in pixels at the
// metrics' DPI). `hasSubText`: the sub-text is not empty (it counts only in
// big-icon mode).
ItemTextPlacement PlaceItemTexts(const Rect& item, size_t level, bool separator, bool hasSubText,
                                 const ItemTextMetrics& m);

inline bool IsBigIconMode(const ItemTextMetrics& m) { return m.nodeHeight == m.bigNodeHeight; }

}  // namespace kestro
