#pragma once
// The item tree control's geometry: which nodes are visible as rows, where
// each row lies, what a point hits, where a drop lands and where the keyboard
// moves the focus. Kept apart from the window so that it can be tested
// natively.
#include <cstddef>
#include <vector>

#include "core/items/ItemTree.h"
#include "core/ui/TabStripLayout.h"  // Rect

namespace kestro {

// Pixels of the tree as drawn. The defaults are the 96-DPI values.
struct TreeMetrics {
  int nodeHeight = 36;       // every node but a separator
  int separatorHeight = 6;
  int indent = 18;           // width of one level, and of the expand-button column
  int imageMargin = 4;       // between the button column and the picture
  int imageSize = 32;        // 0: the tree shows no pictures
};

// 96-DPI metrics at `dpi`. The picture size is left alone: it is the real
// size of the pictures in the image list.
TreeMetrics ScaleTreeMetrics(const TreeMetrics& m, int dpi);

// The height a node takes in a tree with these metrics.
int NodeHeightOf(const ItemNode& node, const TreeMetrics& m);

struct TreeRow {
  ItemNode* node = nullptr;
  size_t level = 0;
  int top = 0;  // in tree coordinates (0 = top of the first row, not scrolled)
  int height = 0;
  int Bottom() const { return top + height; }
};

// What a point of a row hits, left to right.
enum class RowPart {
  Indent,      // left of the node's own button column
  Button,      // the expand-button column of the node
  Picture,
  Text,        // from the picture's end to the end of the text
  RightOfText,
};

// Where a drop lands relative to the node under the point.
enum class DropPosition { Above, On, Below };

struct TreeHit {
  int row = -1;  // -1: no row at the point
  ItemNode* node = nullptr;
  RowPart part = RowPart::RightOfText;
};

class TreeLayout {
 public:
  // Rows of the nodes that show: the top level, and the children of every
  // expanded node whose ancestors all show, in tree order.
  void Build(const ItemTree& tree, const TreeMetrics& m);
  const std::vector<TreeRow>& Rows() const { return rows_; }
  const TreeMetrics& Metrics() const { return metrics_; }
  int TotalHeight() const { return total_; }

  // -1 when the node does not show (absent, or inside a collapsed group).
  int RowOf(const ItemNode* node) const;
  // The row covering tree coordinate `y`, or -1.
  int RowAtY(int y) const;

  // The scroll offset limited to what the content allows for a client area
  // of `clientHeight` (0 when everything fits).
  int ClampScroll(int offset, int clientHeight) const;
  // The smallest change of `offset` that shows the whole row (its top when
  // the row is taller than the client area).
  int ScrollToShow(int row, int offset, int clientHeight) const;

  // Client point (x, y) with the tree scrolled by `offset`. `textWidth` is the
  // width of the node's text as the owner paints it; a negative width means
  // the text reaches the right edge.
  TreeHit HitTest(int x, int y, int offset, int textWidth = -1) const;
  // Left edge of the picture, and of the text, of a row at `level`.
  int PictureLeft(size_t level) const;
  int TextLeft(size_t level) const;
  // The button column of a row at `level`.
  int ButtonLeft(size_t level) const { return metrics_.indent * static_cast<int>(level); }

  // The row's rectangle in client coordinates.
  Rect RowRect(int row, int offset, int clientWidth) const;

 private:
  std::vector<TreeRow> rows_;
  TreeMetrics metrics_;
  int total_ = 0;
};

// `canHoldDrop`: a drop on the node itself is possible (a group; on the
// favorites tab also a folder). Then the upper quarter of the row means
// above, the lower quarter below and the middle on the node; otherwise the
// upper half means above and the lower half below. `yInRow` is measured from
// the row's top.
DropPosition DropPositionIn(int yInRow, int rowHeight, bool canHoldDrop);
// The drop mark: a line of `thickness` pixels at the row's top (above) or
// bottom (below), or the whole row (on).
Rect DropMarkRect(const Rect& row, DropPosition pos, int thickness = 2);

// While dragging: -1 to scroll up, +1 down, 0 not at all, when the pointer is
// within `band` pixels of the top or bottom edge of the client area.
int DragScrollDirection(int y, int clientHeight, int band);

// Tree lines of a row: for each column 0 .. level - 1 whether the vertical
// line of that ancestor's level goes on through this row (the ancestor has a
// later sibling), and for the node's own column whether the line comes from
// above (a previous sibling or a parent) and goes on below (a next sibling).
struct RowLines {
  std::vector<bool> throughColumns;
  bool fromAbove = false;
  bool toBelow = false;
};
RowLines LinesOf(const ItemTree& tree, const ItemNode& node);

enum class NavKey { Up, Down, Home, End, PageUp, PageDown, Left, Right };

struct NavResult {
  enum class Action { None, Focus, Expand, Collapse };
  Action action = Action::None;
  ItemNode* node = nullptr;  // the node to focus, expand or collapse
};

// Where a key moves the focus from row `focused` (-1: nothing focused yet)
// in a client area of `clientHeight` pixels. Left collapses an expanded node
// with children or else goes to the parent; Right expands a collapsed node
// with children or else goes to its first child.
NavResult Navigate(const TreeLayout& layout, int focused, NavKey key, int clientHeight);

}  // namespace kestro
