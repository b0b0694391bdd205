#include "core/ui/TabStripLayout.h"

#include <algorithm>

namespace kestro {

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

Rect HighlightRect(const Rect& tab, int textOffset) {
  return Rect{tab.left + textOffset + 15, tab.top + 2, tab.right - 1, tab.bottom - 2};
}

Rect ActiveMarkRect(const Rect& tab, int textOffset) {
  return Rect{tab.left + textOffset + 18, tab.top, tab.right, tab.bottom};
}

}  // namespace kestro
