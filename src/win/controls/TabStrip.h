#pragma once
// The panel's vertical tab strip: owner-drawn tabs on the right with captions
// running downwards, a hover highlight and reordering by drag.
#include <functional>
#include <string>
#include <vector>

#include "core/ui/Dpi.h"
#include "core/ui/TabStripLayout.h"
#include "win/ui/Window.h"

namespace kestro::win {

class TabStrip : public Window {
 public:
  bool Create(HWND parent, int id);
  void SetTabs(std::vector<std::string> captions, int active);
  void SetFont(HFONT verticalFont);  // escapement 2700
  void SetTextOffset(int offset) { textOffset_ = offset; }  // at 96 DPI
  // The DPI the strip is drawn at (its font is the owner's, made for it).
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }
  // Width the strip needs for a given height.
  int WidthFor(int height);
  int TabAt(int x, int y) const { return kestro::TabAt(tabs_, x, y); }
  const std::vector<Rect>& TabRects() const { return tabs_; }

  std::function<void(int index)> onSelect;
  std::function<void(int to)> onDragActiveTo;    // the active tab dropped on tab `to`
  std::function<void(POINT screen)> onContextMenu;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Relayout();
  TabStripMetrics Metrics() const { return ScaleTabStripMetrics(TabStripMetrics{}, dpi_); }
  std::vector<int> CaptionLengths();  // along the tab, in the strip's font
  void Paint(HDC dc);
  std::vector<std::string> captions_;
  std::vector<Rect> tabs_;
  int active_ = -1;
  int hover_ = -1;
  int textOffset_ = 2;
  int dpi_ = kBaseDpi;
  HFONT font_ = nullptr;
  bool pressed_ = false;
  bool dragging_ = false;
  POINT pressAt_{};
};

}  // namespace kestro::win
