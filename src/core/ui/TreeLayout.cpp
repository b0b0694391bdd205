#include "core/ui/TreeLayout.h"

#include <algorithm>

#include "core/ui/Dpi.h"

namespace kestro {

int NodeHeightOf(const ItemNode& node, const TreeMetrics& m) {
  return node.Data().kind == ItemKind::Separator ? m.separatorHeight : m.nodeHeight;
}

TreeMetrics ScaleTreeMetrics(const TreeMetrics& m, int dpi) {
  TreeMetrics s = m;
  s.nodeHeight = ScaleToDpi(m.nodeHeight, dpi);
  s.separatorHeight = ScaleToDpi(m.separatorHeight, dpi);
  s.indent = ScaleToDpi(m.indent, dpi);
  s.imageMargin = ScaleToDpi(m.imageMargin, dpi);
  return s;
}

void TreeLayout::Build(const ItemTree& tree, const TreeMetrics& m) {
  metrics_ = m;
  rows_.clear();
  total_ = 0;
  // Without recursion: a hand-edited document may nest groups very deeply.
  struct Pending {
    ItemNode* node;
    size_t level;
  };
  std::vector<Pending> pending;
  const auto& top = tree.TopLevel();
  for (auto it = top.rbegin(); it != top.rend(); ++it) pending.push_back({*it, 0});
  while (!pending.empty()) {
    Pending p = pending.back();
    pending.pop_back();
    TreeRow row{p.node, p.level, total_, NodeHeightOf(*p.node, m)};
    total_ += row.height;
    rows_.push_back(row);
    if (p.node->Expanded()) {
      const auto& kids = p.node->Children();
      for (auto it = kids.rbegin(); it != kids.rend(); ++it) pending.push_back({*it, p.level + 1});
    }
  }
}

int TreeLayout::RowOf(const ItemNode* node) const {
  if (!node) return -1;
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].node == node) return static_cast<int>(i);
  return -1;
}

int TreeLayout::RowAtY(int y) const {
  if (y < 0 || y >= total_) return -1;
  auto it = std::upper_bound(rows_.begin(), rows_.end(), y, [](int v, const TreeRow& r) { return v < r.top; });
  if (it == rows_.begin()) return -1;
  --it;
  return y < it->Bottom() ? static_cast<int>(it - rows_.begin()) : -1;
}

int TreeLayout::ClampScroll(int offset, int clientHeight) const {
  int maxOffset = std::max(0, total_ - std::max(0, clientHeight));
  return std::clamp(offset, 0, maxOffset);
}

int TreeLayout::ScrollToShow(int row, int offset, int clientHeight) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return ClampScroll(offset, clientHeight);
  const TreeRow& r = rows_[row];
  if (r.top < offset || r.height >= clientHeight) return ClampScroll(r.top, clientHeight);
  if (r.Bottom() > offset + clientHeight) return ClampScroll(r.Bottom() - clientHeight, clientHeight);
  return ClampScroll(offset, clientHeight);
}

int TreeLayout::PictureLeft(size_t level) const {
  return metrics_.indent * static_cast<int>(level + 1) + metrics_.imageMargin;
}

int TreeLayout::TextLeft(size_t level) const {
  int left = metrics_.indent * static_cast<int>(level + 1);
  if (metrics_.imageSize > 0) left += metrics_.imageMargin + metrics_.imageSize;
  return left;
}

TreeHit TreeLayout::HitTest(int x, int y, int offset, int textWidth) const {
  TreeHit hit;
  hit.row = RowAtY(y + offset);
  if (hit.row < 0) return hit;
  const TreeRow& r = rows_[hit.row];
  hit.node = r.node;
  int buttonLeft = ButtonLeft(r.level);
  int buttonRight = buttonLeft + metrics_.indent;
  int textLeft = TextLeft(r.level);
  if (x < buttonLeft)
    hit.part = RowPart::Indent;
  else if (x < buttonRight)
    hit.part = RowPart::Button;
  else if (x < textLeft)
    hit.part = RowPart::Picture;
  else if (textWidth < 0 || x < textLeft + textWidth)
    hit.part = RowPart::Text;
  else
    hit.part = RowPart::RightOfText;
  return hit;
}

Rect TreeLayout::RowRect(int row, int offset, int clientWidth) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
  const TreeRow& r = rows_[row];
  return Rect{0, r.top - offset, clientWidth, r.Bottom() - offset};
}

DropPosition DropPositionIn(int yInRow, int rowHeight, bool canHoldDrop) {
  if (rowHeight <= 0) return DropPosition::Below;
  if (canHoldDrop) {
    // Quarters: integer arithmetic on four times the position avoids a
    // middle band of zero height in a 6-pixel separator row.
    if (yInRow * 4 < rowHeight) return DropPosition::Above;
    if (yInRow * 4 >= rowHeight * 3) return DropPosition::Below;
    return DropPosition::On;
  }
  return yInRow * 2 < rowHeight ? DropPosition::Above : DropPosition::Below;
}

Rect DropMarkRect(const Rect& row, DropPosition pos, int thickness) {
  switch (pos) {
    case DropPosition::Above:
      return Rect{row.left, row.top, row.right, row.top + thickness};
    case DropPosition::Below:
      return Rect{row.left, row.bottom - thickness, row.right, row.bottom};
    case DropPosition::On:
      break;
  }
  return row;
}

int DragScrollDirection(int y, int clientHeight, int band) {
  if (clientHeight <= 0 || band <= 0) return 0;
  // A client area too small for two bands scrolls towards the nearer edge.
  int effective = std::min(band, clientHeight / 2);
  if (y < effective) return -1;
  if (y >= clientHeight - effective) return 1;
  return 0;
}

namespace {

bool HasNextSibling(const ItemTree& tree, const ItemNode& node) {
  const auto& sibs = tree.ChildrenOf(node.Parent());
  return !sibs.empty() && sibs.back() != &node;
}

bool HasPreviousSibling(const ItemTree& tree, const ItemNode& node) {
  const auto& sibs = tree.ChildrenOf(node.Parent());
  return !sibs.empty() && sibs.front() != &node;
}

}  // namespace

RowLines LinesOf(const ItemTree& tree, const ItemNode& node) {
  RowLines lines;
  size_t level = node.Level();
  lines.throughColumns.assign(level, false);
  const ItemNode* a = node.Parent();
  for (size_t col = level; col > 0 && a; --col, a = a->Parent()) lines.throughColumns[col - 1] = HasNextSibling(tree, *a);
  lines.fromAbove = node.Parent() != nullptr || HasPreviousSibling(tree, node);
  lines.toBelow = HasNextSibling(tree, node);
  return lines;
}

NavResult Navigate(const TreeLayout& layout, int focused, NavKey key, int clientHeight) {
  const auto& rows = layout.Rows();
  NavResult res;
  if (rows.empty()) return res;
  const int last = static_cast<int>(rows.size()) - 1;
  auto focus = [&](int row) {
    row = std::clamp(row, 0, last);
    res.action = NavResult::Action::Focus;
    res.node = rows[row].node;
    return res;
  };
  if (focused < 0 || focused > last) {
    // The first key press only puts the focus somewhere sensible.
    return focus(key == NavKey::End ? last : 0);
  }
  const TreeRow& cur = rows[focused];
  switch (key) {
    case NavKey::Up:
      return focus(focused - 1);
    case NavKey::Down:
      return focus(focused + 1);
    case NavKey::Home:
      return focus(0);
    case NavKey::End:
      return focus(last);
    case NavKey::PageDown: {
      int target = layout.RowAtY(cur.top + std::max(1, clientHeight) - 1);
      if (target < 0) target = last;
      if (target <= focused) target = focused + 1;
      return focus(target);
    }
    case NavKey::PageUp: {
      int target = layout.RowAtY(cur.Bottom() - std::max(1, clientHeight));
      if (target < 0) target = 0;
      if (target >= focused) target = focused - 1;
      return focus(target);
    }
    case NavKey::Left:
      if (cur.node->Expanded() && !cur.node->Children().empty()) {
        res.action = NavResult::Action::Collapse;
        res.node = cur.node;
        return res;
      }
      if (cur.node->Parent()) {
        res.action = NavResult::Action::Focus;
        res.node = cur.node->Parent();
      }
      return res;
    case NavKey::Right:
      if (cur.node->Children().empty()) return res;
      if (!cur.node->Expanded()) {
        res.action = NavResult::Action::Expand;
        res.node = cur.node;
        return res;
      }
      res.action = NavResult::Action::Focus;
      res.node = cur.node->Children().front();
      return res;
  }
  return res;
}

}  // namespace kestro
