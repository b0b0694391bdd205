#pragma once
// The owner-drawn item tree of the panel's tabs. It shows an ItemTree that
// belongs to someone else (a panel page) and paints rows, buttons, tree
// lines, pictures, the selection, the drop mark and the background; all text
// is painted by the owner in the after-paint callback.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "core/items/ItemTree.h"
#include "core/ui/Dpi.h"
#include "core/ui/TreeLayout.h"
#include "win/ui/Window.h"

namespace kestro::win {

class ItemTreeView : public Window {
 public:
  // Every callback is optional.
  struct Callbacks {
    // After the control painted a row: the owner writes the row's texts.
    // `item` is the full row in the coordinates of `dc`, which is clipped to it.
    std::function<void(HDC dc, ItemNode& node, const RECT& item)> afterItemPaint;
    // The picture of a node; by default its imageindex, none for a separator.
    std::function<int(const ItemNode& node)> imageIndex;
    std::function<void(ItemNode& node, POINT client)> doubleClick;
    // Every press of the left or right button, before the control's own
    // handling; `node` is the one under the pointer (null: empty space) and
    // `keys` the MK_ flags of the message.
    std::function<void(ItemNode* node, POINT client, bool right, WPARAM keys)> mouseDown;
    // A right click (which selects first), the menu key or Shift+F10; `node`
    // is null over empty space.
    std::function<void(ItemNode* node, POINT screen)> contextMenu;
    std::function<void(ItemNode* node)> focusChanged;
    std::function<void(ItemNode& node)> expanded;
    std::function<void(ItemNode& node)> collapsed;
    // The hover hint, lines separated by "\r"; empty: none.
    std::function<std::string(ItemNode& node)> hint;
    // The control received the input focus.
    std::function<void()> gotFocus;
    // A key the control does not use itself; true when the owner handled it.
    std::function<bool(UINT vk)> keyDown;
    // The left button was pressed on the node and the pointer moved past the
    // drag threshold: the owner runs the drag (the control is idle meanwhile).
    std::function<void(ItemNode& node)> beginDrag;
    // Whether a drop can land on the node itself; by default on groups.
    std::function<bool(const ItemNode& node)> canHoldDrop;
  };

  ItemTreeView() = default;
  ~ItemTreeView() override;

  bool Create(HWND parent, const RECT& bounds, int controlId = 0);
  Callbacks& Events() { return events_; }

  // The tree shown; the control never owns or deletes its nodes.
  void SetTree(ItemTree* tree);
  ItemTree* Tree() const { return tree_; }

  // Sizes are given at 96 DPI and drawn at the control's DPI (Layout()
  // holds the pixels).
  void SetNodeHeight(int height);
  int NodeHeight() const { return design_.nodeHeight; }
  void SetIndent(int indent);
  int Indent() const { return design_.indent; }
  // The DPI the control is drawn at; it starts with its window's.
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }
  void SetTreeLines(bool on);
  bool TreeLines() const { return treeLines_; }
  // May be null: then no pictures are drawn.
  void SetImageList(HIMAGELIST images);
  HIMAGELIST ImageList() const { return images_; }
  void SetBackColor(COLORREF colour);
  COLORREF BackColor() const { return backColour_; }
  // Takes the bitmap over (null: none); it is tiled behind the rows.
  void SetBackgroundBitmap(HBITMAP bitmap);
  HBITMAP BackgroundBitmap() const { return background_; }

  ItemNode* FocusedNode() const;
  // Focuses (and selects) `node`, or nothing; scrolls it into view.
  void SetFocusedNode(ItemNode* node);
  void Expand(ItemNode& node, bool expand);

  // After the tree changed: rows are measured again, a focus on a node that
  // is gone is dropped, and everything repaints.
  void Refresh();
  // Repaints one row; an id that is not (or no longer) a shown node is ignored.
  void InvalidateNode(NodeId id);

  const TreeLayout& Layout() const { return layout_; }
  int ScrollOffset() const { return scroll_; }
  void SetScrollOffset(int offset);
  TreeHit HitTest(POINT client) const;
  // The node's row in client coordinates; empty when it does not show.
  RECT NodeRect(const ItemNode* node) const;

  // Drag and drop: the drop target of the owner reports the pointer (client
  // coordinates). The control works out the spot, draws the drop mark
  // (unless `showMark` is false), scrolls near its top and bottom edges and
  // expands a collapsed group held under the pointer.
  struct DropSpot {
    ItemNode* node = nullptr;  // null over empty space
    DropPosition position = DropPosition::Below;
  };
  DropSpot DragOver(POINT client, bool showMark = true);
  void DragLeave();
  // The drop mark as drawn now (node null: none).
  DropSpot DropMark() const;

  static constexpr UINT kAutoScrollDelayMs = 500;
  static constexpr UINT kAutoScrollIntervalMs = 50;
  static constexpr UINT kAutoExpandDelayMs = 1000;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Rebuild();
  void UpdateMetrics();  // pixels from the 96-DPI sizes, the DPI and the pictures
  void UpdateScrollBar();
  int ClientHeight() const;
  int ClientWidth() const;
  void ScrollTo(int offset);
  void EnsureVisible(const ItemNode* node);
  void InvalidateRow(const ItemNode* node);
  void Paint(HDC dc, const RECT& update);
  void PaintBackground(HDC dc, const RECT& area);
  void PaintRow(HDC dc, int row, const RECT& rowRect);
  void PaintLines(HDC dc, const TreeRow& row, const RECT& rc);
  void PaintButton(HDC dc, const TreeRow& row, const RECT& rc);
  void PaintSelection(HDC dc, const RECT& rc);
  int PictureIndexOf(const ItemNode& node) const;
  int TextWidthAt(const TreeRow&) const { return -1; }
  bool RowIsCurrent(int row) const;

  void OnMouseDown(POINT pt, bool right, WPARAM keys);
  void OnDoubleClick(POINT pt);
  void OnContextMenu(LPARAM lParam);
  void OnKeyDown(UINT vk);
  void OnWheel(int delta);
  void OnVScroll(int code);
  void OnMouseMove(POINT pt, WPARAM keys);
  void OnTimer(UINT_PTR id);
  void RelayToTip(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(NMHDR* hdr);
  void CreateTip();

  Callbacks events_;
  ItemTree* tree_ = nullptr;
  TreeLayout layout_;
  std::vector<NodeId> rowIds_;  // the node id of each row when it was built
  TreeMetrics design_{36, 6, 18, 4, 32};  // at 96 DPI
  TreeMetrics metrics_ = design_;         // as drawn
  int dpi_ = kBaseDpi;
  bool treeLines_ = false;
  HIMAGELIST images_ = nullptr;
  COLORREF backColour_ = 0;
  bool backColourSet_ = false;
  HBITMAP background_ = nullptr;
  int scroll_ = 0;
  int wheelRest_ = 0;
  NodeId focused_ = kNoNode;
  bool hasFocus_ = false;

  HWND tip_ = nullptr;
  NodeId hintNode_ = kNoNode;
  std::wstring hintText_;

  // Drag state.
  NodeId dropNode_ = kNoNode;
  DropPosition dropPos_ = DropPosition::Below;
  bool dragging_ = false;
  POINT dragPoint_{};
  int scrollDirection_ = 0;
  bool scrollTimerFast_ = false;
  NodeId expandCandidate_ = kNoNode;
  NodeId pressedNode_ = kNoNode;  // a drag of it starts once the pointer moves far enough
  POINT pressedAt_{};
};

}  // namespace kestro::win
