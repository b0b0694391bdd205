#include "win/controls/ItemTreeView.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"

namespace kestro::win {
namespace {

constexpr wchar_t kClassName[] = L"KestroItemTree";
constexpr UINT_PTR kTipId = 1;
constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT_PTR kExpandTimer = 2;

// Hints use "\r" between lines; a tooltip breaks lines at "\r\n".
std::wstring TipText(const std::string& hint) {
  std::wstring w = Widen(hint);
  std::wstring out;
  out.reserve(w.size() + 8);
  for (size_t i = 0; i < w.size(); ++i) {
    out.push_back(w[i]);
    if (w[i] == L'\r' && (i + 1 >= w.size() || w[i + 1] != L'\n')) out.push_back(L'\n');
  }
  return out;
}

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
  COLORREF old = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

}  // namespace

ItemTreeView::~ItemTreeView() {
  if (background_) DeleteObject(background_);
}

bool ItemTreeView::Create(HWND parent, const RECT& bounds, int controlId) {
  if (!RegisterWindowClass(kClassName, nullptr, nullptr, CS_DBLCLKS)) return false;
  if (!backColourSet_) backColour_ = GetSysColor(COLOR_WINDOW);
  HWND hwnd = CreateWindowHandle(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPCHILDREN,
                                 bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)));
  if (!hwnd) return false;
  dpi_ = WindowDpi(hwnd);
  UpdateMetrics();
  // The hint window is made when the pointer first comes by: most trees of
  // a start are never pointed at.
  Rebuild();
  return true;
}

void ItemTreeView::CreateTip() {
  EnsureCommonControls();
  // Not owned by the panel: a window that owns topmost pop-ups does not
  // become topmost itself under Wine. The hint asks this control for its text.
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
  if (!tip_) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = 0;
  ti.hwnd = Handle();
  ti.uId = kTipId;
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  // A width limit makes the tooltip honour line breaks.
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, Px(600, dpi_));
}

void ItemTreeView::SetTree(ItemTree* tree) {
  tree_ = tree;
  focused_ = kNoNode;
  dropNode_ = kNoNode;
  hintNode_ = kNoNode;
  scroll_ = 0;
  Rebuild();
}

void ItemTreeView::SetNodeHeight(int height) {
  if (height <= 0) return;
  design_.nodeHeight = height;
  UpdateMetrics();
  Rebuild();
}

void ItemTreeView::SetIndent(int indent) {
  if (indent < 0) return;
  design_.indent = indent;
  UpdateMetrics();
  Rebuild();
}

void ItemTreeView::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  UpdateMetrics();
  Rebuild();
  if (tip_) SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, Px(600, dpi_));
}

void ItemTreeView::UpdateMetrics() {
  metrics_ = ScaleTreeMetrics(design_, dpi_);
  // Pictures are as large as the list holds them; without a list the row's
  // room for one stays free.
  int cx = 0, cy = 0;
  if (images_ && ImageList_GetIconSize(images_, &cx, &cy))
    metrics_.imageSize = cx;
  else
    metrics_.imageSize = std::max(0, metrics_.nodeHeight - Px(4, dpi_));
}

void ItemTreeView::SetTreeLines(bool on) {
  treeLines_ = on;
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void ItemTreeView::SetImageList(HIMAGELIST images) {
  images_ = images;
  UpdateMetrics();
  Rebuild();
}

void ItemTreeView::SetBackColor(COLORREF colour) {
  backColour_ = colour;
  backColourSet_ = true;
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void ItemTreeView::SetBackgroundBitmap(HBITMAP bitmap) {
  if (background_ && background_ != bitmap) DeleteObject(background_);
  background_ = bitmap;
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

ItemNode* ItemTreeView::FocusedNode() const { return tree_ ? tree_->Find(focused_) : nullptr; }

void ItemTreeView::SetFocusedNode(ItemNode* node) {
  if (node && (!tree_ || tree_->Find(node->Id()) != node)) node = nullptr;
  NodeId id = node ? node->Id() : kNoNode;
  if (node) {
    // A focused node always shows: its ancestors open.
    bool opened = false;
    for (ItemNode* p = node->Parent(); p; p = p->Parent())
      if (!p->Expanded()) {
        p->SetExpanded(true);
        opened = true;
      }
    if (opened) Rebuild();
  }
  if (id == focused_) {
    if (node) EnsureVisible(node);
    return;
  }
  InvalidateRow(FocusedNode());
  focused_ = id;
  InvalidateRow(node);
  if (node) EnsureVisible(node);
  if (events_.focusChanged) events_.focusChanged(node);
}

void ItemTreeView::Expand(ItemNode& node, bool expand) {
  if (!tree_ || tree_->Find(node.Id()) != &node) return;
  if (node.Expanded() == expand) return;
  node.SetExpanded(expand);
  if (!expand) {
    // The focus does not stay on a row that is now hidden.
    ItemNode* f = FocusedNode();
    for (ItemNode* p = f ? f->Parent() : nullptr; p; p = p->Parent())
      if (p == &node) {
        Rebuild();
        SetFocusedNode(&node);
        break;
      }
  }
  Rebuild();
  if (expand && !node.Children().empty()) {
    // Show as many of the new children as fit, without losing the node.
    EnsureVisible(node.Children().back());
    EnsureVisible(&node);
  }
  if (expand && events_.expanded) events_.expanded(node);
  if (!expand && events_.collapsed) events_.collapsed(node);
}

void ItemTreeView::Refresh() {
  bool lostFocus = focused_ != kNoNode && !FocusedNode();
  if (lostFocus) focused_ = kNoNode;
  if (tree_ && !tree_->Find(dropNode_)) dropNode_ = kNoNode;
  Rebuild();
  if (lostFocus && events_.focusChanged) events_.focusChanged(nullptr);
}

void ItemTreeView::Rebuild() {
  rowIds_.clear();
  if (tree_) {
    layout_.Build(*tree_, metrics_);
  } else {
    ItemTree empty;
    layout_.Build(empty, metrics_);
  }
  for (const auto& r : layout_.Rows()) rowIds_.push_back(r.node->Id());
  if (!Handle()) return;
  // Rows moved: a hint that is up would describe whatever is under it now.
  if (tip_ && hintNode_ != kNoNode) {
    SendMessageW(tip_, TTM_POP, 0, 0);
    hintNode_ = kNoNode;
  }
  scroll_ = layout_.ClampScroll(scroll_, ClientHeight());
  UpdateScrollBar();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void ItemTreeView::InvalidateNode(NodeId id) {
  if (!tree_ || id == kNoNode) return;
  ItemNode* node = tree_->Find(id);
  if (node) InvalidateRow(node);
}

void ItemTreeView::InvalidateRow(const ItemNode* node) {
  if (!node || !Handle()) return;
  RECT rc = NodeRect(node);
  if (!IsRectEmpty(&rc)) InvalidateRect(Handle(), &rc, FALSE);
}

int ItemTreeView::ClientHeight() const {
  RECT rc{};
  if (Handle()) GetClientRect(Handle(), &rc);
  return rc.bottom - rc.top;
}

int ItemTreeView::ClientWidth() const {
  RECT rc{};
  if (Handle()) GetClientRect(Handle(), &rc);
  return rc.right - rc.left;
}

void ItemTreeView::UpdateScrollBar() {
  SCROLLINFO si{sizeof si};
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, layout_.TotalHeight() - 1);
  si.nPage = static_cast<UINT>(std::max(0, ClientHeight()));
  si.nPos = scroll_;
  // Only a vertical bar, shown when the rows do not fit.
  ShowScrollBar(Handle(), SB_VERT, layout_.TotalHeight() > ClientHeight());
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void ItemTreeView::SetScrollOffset(int offset) { ScrollTo(offset); }

void ItemTreeView::ScrollTo(int offset) {
  offset = layout_.ClampScroll(offset, ClientHeight());
  if (offset == scroll_) return;
  scroll_ = offset;
  if (!Handle()) return;
  UpdateScrollBar();
  InvalidateRect(Handle(), nullptr, FALSE);
  if (tip_) SendMessageW(tip_, TTM_POP, 0, 0);
  hintNode_ = kNoNode;
}

void ItemTreeView::EnsureVisible(const ItemNode* node) {
  int row = layout_.RowOf(node);
  if (row >= 0) ScrollTo(layout_.ScrollToShow(row, scroll_, ClientHeight()));
}

TreeHit ItemTreeView::HitTest(POINT client) const {
  if (client.x < 0 || client.y < 0 || client.y >= ClientHeight()) return {};
  return layout_.HitTest(client.x, client.y, scroll_);
}

RECT ItemTreeView::NodeRect(const ItemNode* node) const {
  int row = layout_.RowOf(node);
  if (row < 0) return RECT{};
  return ToRECT(layout_.RowRect(row, scroll_, ClientWidth()));
}

bool ItemTreeView::RowIsCurrent(int row) const {
  // A row whose node was deleted without a Refresh is skipped rather than read.
  return tree_ && row >= 0 && row < static_cast<int>(rowIds_.size()) &&
         tree_->Find(rowIds_[row]) == layout_.Rows()[row].node;
}

int ItemTreeView::PictureIndexOf(const ItemNode& node) const {
  if (events_.imageIndex) return events_.imageIndex(node);
  return node.Data().kind == ItemKind::Separator ? -1 : node.Data().imageindex;
}

// ---- painting ----

void ItemTreeView::PaintBackground(HDC dc, const RECT& area) {
  FillSolid(dc, area, backColour_);
  if (!background_) return;
  BITMAP bm{};
  if (!GetObjectW(background_, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(src, background_);
  // Tiled with the rows, so that the picture scrolls with them.
  int startY = -(scroll_ % bm.bmHeight);
  for (int y = startY; y < area.bottom; y += bm.bmHeight) {
    if (y + bm.bmHeight <= area.top) continue;
    for (int x = 0; x < area.right; x += bm.bmWidth) {
      if (x + bm.bmWidth <= area.left) continue;
      BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY);
    }
  }
  SelectObject(src, old);
  DeleteDC(src);
}

void ItemTreeView::PaintSelection(HDC dc, const RECT& rc) {
  COLORREF colour = GetSysColor(hasFocus_ ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
  BYTE alpha = hasFocus_ ? 0x60 : 0x40;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 1;
  bi.bmiHeader.biHeight = 1;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP pixel = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool blended = false;
  if (pixel && bits) {
    *static_cast<DWORD*>(bits) = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, pixel);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, alpha, 0};
    blended = AlphaBlend(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, src, 0, 0, 1, 1, bf);
    SelectObject(src, old);
    DeleteDC(src);
  }
  if (pixel) DeleteObject(pixel);
  if (!blended) FillSolid(dc, rc, colour);
  // A thin frame marks the selection also on a background of the same hue.
  HBRUSH frame = CreateSolidBrush(colour);
  FrameRect(dc, &rc, frame);
  DeleteObject(frame);
}

void ItemTreeView::PaintLines(HDC dc, const TreeRow& row, const RECT& rc) {
  RowLines lines = LinesOf(*tree_, *row.node);
  LOGBRUSH lb{BS_SOLID, GetSysColor(COLOR_GRAYTEXT), 0};
  HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
  if (!pen) pen = CreatePen(PS_DOT, 1, lb.lbColor);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const int indent = metrics_.indent;
  const int midY = rc.top + (rc.bottom - rc.top) / 2;
  for (size_t col = 0; col < lines.throughColumns.size(); ++col) {
    if (!lines.throughColumns[col]) continue;
    int x = indent * static_cast<int>(col) + indent / 2;
    MoveToEx(dc, x, rc.top, nullptr);
    LineTo(dc, x, rc.bottom);
  }
  int x = indent * static_cast<int>(row.level) + indent / 2;
  MoveToEx(dc, x, lines.fromAbove ? rc.top : midY, nullptr);
  LineTo(dc, x, lines.toBelow ? rc.bottom : midY);
  MoveToEx(dc, x, midY, nullptr);
  LineTo(dc, indent * static_cast<int>(row.level + 1), midY);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void ItemTreeView::PaintButton(HDC dc, const TreeRow& row, const RECT& rc) {
  const int size = Px(9, dpi_);
  int cx = metrics_.indent * static_cast<int>(row.level) + metrics_.indent / 2;
  int cy = rc.top + (rc.bottom - rc.top) / 2;
  RECT box{cx - size / 2, cy - size / 2, cx - size / 2 + size, cy - size / 2 + size};
  FillSolid(dc, box, GetSysColor(COLOR_WINDOW));
  HBRUSH border = CreateSolidBrush(GetSysColor(COLOR_GRAYTEXT));
  FrameRect(dc, &box, border);
  DeleteObject(border);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const int inset = Px(2, dpi_);
  MoveToEx(dc, box.left + inset, cy, nullptr);
  LineTo(dc, box.right - inset, cy);
  if (!row.node->Expanded()) {
    MoveToEx(dc, cx, box.top + inset, nullptr);
    LineTo(dc, cx, box.bottom - inset);
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void ItemTreeView::PaintRow(HDC dc, int row, const RECT& rc) {
  const TreeRow& r = layout_.Rows()[row];
  ItemNode& node = *r.node;
  if (node.Id() == focused_) PaintSelection(dc, rc);
  if (treeLines_) PaintLines(dc, r, rc);
  if (!node.Children().empty()) PaintButton(dc, r, rc);
  int index = PictureIndexOf(node);
  if (images_ && index >= 0 && index < ImageList_GetImageCount(images_)) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images_, &cx, &cy);
    int y = rc.top + (rc.bottom - rc.top - cy) / 2;
    ImageList_Draw(images_, index, dc, layout_.PictureLeft(r.level), y, ILD_TRANSPARENT);
  }
  if (events_.afterItemPaint) {
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    events_.afterItemPaint(dc, node, rc);
    RestoreDC(dc, saved);
  }
  if (node.Id() == dropNode_) {
    RECT mark = ToRECT(DropMarkRect(Rect{rc.left, rc.top, rc.right, rc.bottom}, dropPos_, Px(2, dpi_)));
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
    if (dropPos_ == DropPosition::On) {
      for (int i = Px(2, dpi_); i > 0; --i) {
        FrameRect(dc, &mark, brush);
        InflateRect(&mark, -1, -1);
      }
    } else {
      mark.left = layout_.PictureLeft(r.level);
      FillRect(dc, &mark, brush);
    }
    DeleteObject(brush);
  }
}

void ItemTreeView::Paint(HDC dc, const RECT& update) {
  RECT client;
  GetClientRect(Handle(), &client);
  PaintBackground(dc, update);
  if (!tree_) return;
  const auto& rows = layout_.Rows();
  int first = layout_.RowAtY(std::max(0, scroll_ + static_cast<int>(update.top)));
  if (first < 0) first = 0;
  for (int i = first; i < static_cast<int>(rows.size()); ++i) {
    RECT rc = ToRECT(layout_.RowRect(i, scroll_, client.right));
    if (rc.top >= update.bottom) break;
    if (rc.bottom <= update.top || !RowIsCurrent(i)) continue;
    PaintRow(dc, i, rc);
  }
}

// ---- input ----

void ItemTreeView::OnMouseDown(POINT pt, bool right, WPARAM keys) {
  if (GetFocus() != Handle()) SetFocus(Handle());
  TreeHit hit = HitTest(pt);
  if (events_.mouseDown) {
    NodeId id = hit.node ? hit.node->Id() : kNoNode;
    events_.mouseDown(hit.node, pt, right, keys);
    // The owner may have changed the tree meanwhile.
    if (tree_ && id != kNoNode && tree_->Find(id) != hit.node) return;
    if (!tree_) return;
  }
  if (!hit.node) {
    // A press on empty space leaves nothing focused or selected.
    SetFocusedNode(nullptr);
    return;
  }
  if (!right && hit.part == RowPart::Button && !hit.node->Children().empty()) {
    Expand(*hit.node, !hit.node->Expanded());
    return;
  }
  SetFocusedNode(hit.node);
  if (!right) {
    pressedNode_ = hit.node->Id();
    pressedAt_ = pt;
  }
}

void ItemTreeView::OnDoubleClick(POINT pt) {
  TreeHit hit = HitTest(pt);
  if (!hit.node) return;
  // A double click on the button is two toggles, not a launch.
  if (hit.part == RowPart::Button && !hit.node->Children().empty()) {
    Expand(*hit.node, !hit.node->Expanded());
    return;
  }
  if (events_.doubleClick) events_.doubleClick(*hit.node, pt);
}

void ItemTreeView::OnContextMenu(LPARAM lParam) {
  POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ItemNode* node = nullptr;
  if (lParam == -1) {
    // From the keyboard: at the focused row, or the top left corner.
    node = FocusedNode();
    RECT rc = NodeRect(node);
    POINT pt{rc.left + metrics_.indent * 2, node ? rc.bottom : 0};
    if (!node || IsRectEmpty(&rc)) pt = POINT{0, 0};
    ClientToScreen(Handle(), &pt);
    screen = pt;
  } else {
    POINT client = screen;
    ScreenToClient(Handle(), &client);
    node = HitTest(client).node;
  }
  if (events_.contextMenu) events_.contextMenu(node, screen);
}

void ItemTreeView::OnKeyDown(UINT vk) {
  NavKey key;
  switch (vk) {
    case VK_UP: key = NavKey::Up; break;
    case VK_DOWN: key = NavKey::Down; break;
    case VK_HOME: key = NavKey::Home; break;
    case VK_END: key = NavKey::End; break;
    case VK_PRIOR: key = NavKey::PageUp; break;
    case VK_NEXT: key = NavKey::PageDown; break;
    case VK_LEFT: key = NavKey::Left; break;
    case VK_RIGHT: key = NavKey::Right; break;
    case VK_ADD:
    case VK_SUBTRACT:
      if (ItemNode* f = FocusedNode()) Expand(*f, vk == VK_ADD);
      return;
    default:
      if (events_.keyDown) events_.keyDown(vk);
      return;
  }
  NavResult r = Navigate(layout_, layout_.RowOf(FocusedNode()), key, ClientHeight());
  switch (r.action) {
    case NavResult::Action::Focus: SetFocusedNode(r.node); break;
    case NavResult::Action::Expand: Expand(*r.node, true); break;
    case NavResult::Action::Collapse: Expand(*r.node, false); break;
    case NavResult::Action::None: break;
  }
}

void ItemTreeView::OnWheel(int delta) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (lines == WHEEL_PAGESCROLL) {
    ScrollTo(scroll_ + (delta > 0 ? -ClientHeight() : ClientHeight()));
    return;
  }
  wheelRest_ += delta;
  int notches = wheelRest_ / WHEEL_DELTA;
  wheelRest_ -= notches * WHEEL_DELTA;
  if (notches) ScrollTo(scroll_ - notches * static_cast<int>(lines) * metrics_.nodeHeight);
}

void ItemTreeView::OnVScroll(int code) {
  SCROLLINFO si{sizeof si};
  si.fMask = SIF_ALL;
  GetScrollInfo(Handle(), SB_VERT, &si);
  int line = metrics_.nodeHeight;
  switch (code) {
    case SB_LINEUP: ScrollTo(scroll_ - line); break;
    case SB_LINEDOWN: ScrollTo(scroll_ + line); break;
    case SB_PAGEUP: ScrollTo(scroll_ - ClientHeight()); break;
    case SB_PAGEDOWN: ScrollTo(scroll_ + ClientHeight()); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(layout_.TotalHeight()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(si.nTrackPos); break;
    default: break;
  }
}

void ItemTreeView::RelayToTip(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!tip_) return;
  MSG m{Handle(), msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
  DWORD pos = GetMessagePos();
  m.pt = POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
  SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

void ItemTreeView::OnMouseMove(POINT pt, WPARAM keys) {
  if (pressedNode_ != kNoNode && (keys & MK_LBUTTON) &&
      (std::abs(pt.x - pressedAt_.x) > GetSystemMetrics(SM_CXDRAG) ||
       std::abs(pt.y - pressedAt_.y) > GetSystemMetrics(SM_CYDRAG))) {
    ItemNode* node = tree_ ? tree_->Find(pressedNode_) : nullptr;
    pressedNode_ = kNoNode;
    if (node && events_.beginDrag) events_.beginDrag(*node);
    return;
  }
  if (!(keys & MK_LBUTTON)) pressedNode_ = kNoNode;
  if (!tip_) CreateTip();
  if (!tip_) return;
  TreeHit hit = HitTest(pt);
  NodeId id = hit.node ? hit.node->Id() : kNoNode;
  if (id == hintNode_) return;
  // Another row: the tip closes and its tool becomes that row.
  hintNode_ = id;
  SendMessageW(tip_, TTM_POP, 0, 0);
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = Handle();
  ti.uId = kTipId;
  ti.rect = hit.node ? NodeRect(hit.node) : RECT{};
  SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

LRESULT ItemTreeView::OnNotify(NMHDR* hdr) {
  if (hdr->hwndFrom != tip_ || hdr->code != TTN_GETDISPINFOW) return 0;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
  hintText_.clear();
  ItemNode* node = tree_ ? tree_->Find(hintNode_) : nullptr;
  if (node && events_.hint) hintText_ = TipText(events_.hint(*node));
  info->lpszText = hintText_.data();
  info->szText[0] = L'\0';
  info->hinst = nullptr;
  return 0;
}

// ---- drag and drop ----

ItemTreeView::DropSpot ItemTreeView::DragOver(POINT client, bool showMark) {
  dragging_ = true;
  dragPoint_ = client;
  DropSpot spot;
  TreeHit hit = HitTest(client);
  if (hit.node) {
    RECT rc = NodeRect(hit.node);
    bool canHold = events_.canHoldDrop ? events_.canHoldDrop(*hit.node) : hit.node->Data().kind == ItemKind::Group;
    spot.node = hit.node;
    spot.position = DropPositionIn(client.y - rc.top, rc.bottom - rc.top, canHold);
  }
  NodeId markId = showMark && spot.node ? spot.node->Id() : kNoNode;
  if (markId != dropNode_ || spot.position != dropPos_) {
    InvalidateNode(dropNode_);
    dropNode_ = markId;
    dropPos_ = spot.position;
    InvalidateNode(dropNode_);
  }
  // Scrolling near the edges starts after a delay, then runs steadily.
  int dir = DragScrollDirection(client.y, ClientHeight(), std::max(Px(8, dpi_), metrics_.nodeHeight / 2));
  if (dir != scrollDirection_) {
    scrollDirection_ = dir;
    KillTimer(Handle(), kScrollTimer);
    scrollTimerFast_ = false;
    if (dir) SetTimer(Handle(), kScrollTimer, kAutoScrollDelayMs, nullptr);
  }
  // A collapsed group held under the pointer opens after a while.
  NodeId candidate =
      spot.node && !spot.node->Expanded() && !spot.node->Children().empty() ? spot.node->Id() : kNoNode;
  if (candidate != expandCandidate_) {
    expandCandidate_ = candidate;
    KillTimer(Handle(), kExpandTimer);
    if (candidate) SetTimer(Handle(), kExpandTimer, kAutoExpandDelayMs, nullptr);
  }
  return spot;
}

void ItemTreeView::DragLeave() {
  dragging_ = false;
  KillTimer(Handle(), kScrollTimer);
  KillTimer(Handle(), kExpandTimer);
  scrollDirection_ = 0;
  expandCandidate_ = kNoNode;
  InvalidateNode(dropNode_);
  dropNode_ = kNoNode;
}

ItemTreeView::DropSpot ItemTreeView::DropMark() const {
  DropSpot spot;
  spot.node = tree_ ? tree_->Find(dropNode_) : nullptr;
  spot.position = dropPos_;
  return spot;
}

void ItemTreeView::OnTimer(UINT_PTR id) {
  if (id == kScrollTimer) {
    if (!dragging_ || !scrollDirection_) {
      KillTimer(Handle(), kScrollTimer);
      return;
    }
    if (!scrollTimerFast_) {
      scrollTimerFast_ = true;
      SetTimer(Handle(), kScrollTimer, kAutoScrollIntervalMs, nullptr);
    }
    ScrollTo(scroll_ + scrollDirection_ * std::max(1, metrics_.nodeHeight / 2));
    // The mark follows the rows that moved under the pointer.
    int dir = scrollDirection_;
    bool showMark = dropNode_ != kNoNode;
    DragOver(dragPoint_, showMark);
    scrollDirection_ = dir;
  } else if (id == kExpandTimer) {
    KillTimer(Handle(), kExpandTimer);
    ItemNode* node = tree_ ? tree_->Find(expandCandidate_) : nullptr;
    expandCandidate_ = kNoNode;
    if (dragging_ && node) Expand(*node, true);
  }
}

// ---- messages ----

LRESULT ItemTreeView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      RECT client;
      GetClientRect(Handle(), &client);
      int w = std::max(1, static_cast<int>(client.right)), h = std::max(1, static_cast<int>(client.bottom));
      HDC mem = CreateCompatibleDC(dc);
      HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
      if (mem && bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        IntersectClipRect(mem, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
        Paint(mem, ps.rcPaint);
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, mem, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        SelectObject(mem, old);
      } else {
        Paint(dc, ps.rcPaint);
      }
      if (bmp) DeleteObject(bmp);
      if (mem) DeleteDC(mem);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(Handle(), &client);
      Paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_SIZE:
      scroll_ = layout_.ClampScroll(scroll_, ClientHeight());
      UpdateScrollBar();
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      hasFocus_ = true;
      InvalidateRow(FocusedNode());
      if (events_.gotFocus) events_.gotFocus();
      return 0;
    case WM_KILLFOCUS:
      hasFocus_ = false;
      InvalidateRow(FocusedNode());
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      RelayToTip(msg, wParam, lParam);
      OnMouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, msg == WM_RBUTTONDOWN, wParam);
      return 0;
    case WM_LBUTTONUP:
      pressedNode_ = kNoNode;
      RelayToTip(msg, wParam, lParam);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      RelayToTip(msg, wParam, lParam);
      return 0;
    case WM_RBUTTONUP:
      RelayToTip(msg, wParam, lParam);
      // DefWindowProc turns it into WM_CONTEXTMENU.
      return DefWindowProcW(Handle(), msg, wParam, lParam);
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, wParam);
      RelayToTip(msg, wParam, lParam);
      return 0;
    case WM_CONTEXTMENU:
      OnContextMenu(lParam);
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_VSCROLL:
      OnVScroll(LOWORD(wParam));
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<UINT>(wParam));
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DESTROY:
      KillTimer(Handle(), kScrollTimer);
      KillTimer(Handle(), kExpandTimer);
      if (tip_) {
        DestroyWindow(tip_);
        tip_ = nullptr;
      }
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace kestro::win
