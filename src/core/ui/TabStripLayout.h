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

struct TabStripMetrics {
  int tabWidth = 24;    // across the strip
  int padding = 16;     // added to the caption's length along the tab
  int minLength = 32;   // a tab with a short or empty caption stays clickable
};

// Tabs in page order, top to bottom; when they do not fit `stripHeight` a new
// column starts to the right of the last one, as a multi-line tab control
// does. Coordinates are relative to the strip's top-left corner.
std::vector<Rect> ArrangeTabs(const std::vector<int>& captionLengths, int stripHeight, const TabStripMetrics& m);
// Columns the arrangement needs (at least 1).
int TabColumns(const std::vector<Rect>& tabs, const TabStripMetrics& m);
// The tab under the point, or -1.
int TabAt(const std::vector<Rect>& tabs, int x, int y);
// The hover highlight of a tab: its rectangle inset by the text offset.
Rect HighlightRect(const Rect& tab, int textOffset);
// The orange mark of the active tab, right of its caption.
Rect ActiveMarkRect(const Rect& tab, int textOffset);

}  // namespace kestro
