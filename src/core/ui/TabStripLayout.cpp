#include "core/ui/TabStripLayout.h"

#include <algorithm>

#include "core/ui/Dpi.h"

namespace kestro {

TabStripMetrics ScaleTabStripMetrics(const TabStripMetrics& m, int dpi) {
  return TabStripMetrics{ScaleToDpi(m.tabWidth, dpi), ScaleToDpi(m.padding, dpi), ScaleToDpi(m.minLength, dpi)};
}

std::vector<Rect> ArrangeTabs(const std::vector<int>& captionLengths, int stripHeight, const TabStripMetrics& m) {
  std::vector<Rect> tabs;
  tabs.reserve(captionLengths.size());
  int column = 0, y = 0;
  for (int length : captionLengths) {
    int h = std::max(m.minLength, length + m.padding);
    if (y > 0 && y + h > stripHeight) {
      ++column;
      y = 0;
    }
    tabs.push_back(Rect{column * m.tabWidth, y, (column + 1) * m.tabWidth, y + h});
    y += h;
  }
  return tabs;
}

int TabColumns(const std::vector<Rect>& tabs, const TabStripMetrics& m) {
  int columns = 1;
  for (const Rect& r : tabs) columns = std::max(columns, r.right / std::max(1, m.tabWidth));
  return columns;
}

int TabAt(const std::vector<Rect>& tabs, int x, int y) {
  for (size_t i = 0; i < tabs.size(); ++i)
    if (tabs[i].Contains(x, y)) return int(i);
  return -1;
}

Rect HighlightRect(const Rect& tab, int textOffset, int dpi) {
  auto px = [&](int v) { return ScaleToDpi(v, dpi); };
  return Rect{tab.left + px(textOffset + 15), tab.top + px(2), tab.right - px(1), tab.bottom - px(2)};
}

Rect ActiveMarkRect(const Rect& tab, int textOffset, int dpi) {
  return Rect{tab.left + ScaleToDpi(textOffset + 18, dpi), tab.top, tab.right, tab.bottom};
}

CaptionOrigin CaptionOriginOf(const Rect& tab, int textOffset, bool active, int dpi) {
  // The active tab's caption stands a little further in and lower.
  if (active) return CaptionOrigin{tab.left + ScaleToDpi(textOffset + 17, dpi), tab.top + ScaleToDpi(7, dpi)};
  return CaptionOrigin{tab.left + ScaleToDpi(textOffset + 12, dpi), tab.top + ScaleToDpi(3, dpi)};
}

}  // namespace kestro
