#pragma once
// The panel's tab strip: tabs stand on the right, captions running downwards.
// Placement and hit-testing live here so that they can be tested natively.
#include <vector>

namespace kestro {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// Pixels of the strip as drawn; the defaults are the 96-DPI values.
struct TabStripMetrics {
  int tabWidth = 24;    // across the strip
  int padding = 16;     // added to the caption's length along the tab
  int minLength = 32;   // a tab with a short or empty caption stays clickable
};

// The 96-DPI metrics at `dpi`.
TabStripMetrics ScaleTabStripMetrics(const TabStripMetrics& m, int dpi);

// Tabs in page order, top to bottom; when they do not fit `stripHeight` a new
// column starts to the right of the last one, as a multi-line tab control
// does. Coordinates are relative to the strip's top-left corner.
std::vector<Rect> ArrangeTabs(const std::vector<int>& captionLengths, int stripHeight, const TabStripMetrics& m);
// Columns the arrangement needs (at least 1).
int TabColumns(const std::vector<Rect>& tabs, const TabStripMetrics& m);
// The tab under the point, or -1.
int TabAt(const std::vector<Rect>& tabs, int x, int y);
// `textOffset` below is the 96-DPI shift of the captions (0 or 2) and `dpi`
// the strip's.
// The hover highlight of a tab: its rectangle inset by the text offset.
Rect HighlightRect(const Rect& tab, int textOffset, int dpi = 96);
// The orange mark of the active tab, right of its caption.
Rect ActiveMarkRect(const Rect& tab, int textOffset, int dpi = 96);
// The reference point of a tab's caption (the font runs downwards from it).
struct CaptionOrigin {
  int x = 0, y = 0;
  bool operator==(const CaptionOrigin&) const = default;
};
CaptionOrigin CaptionOriginOf(const Rect& tab, int textOffset, bool active, int dpi = 96);

}  // namespace kestro
