#include "win/controls/TabStrip.h"

#include <windowsx.h>

#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"

namespace kestro::win {

namespace {
constexpr wchar_t kClass[] = L"KestroTabStrip";

void Fill(HDC dc, const Rect& r, COLORREF c) {
  RECT rc{r.left, r.top, r.right, r.bottom};
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &rc, b);
  DeleteObject(b);
}
}  // namespace

bool TabStrip::Create(HWND parent, int id) {
  RegisterWindowClass(kClass, nullptr, GetSysColorBrush(COLOR_BTNFACE), CS_DBLCLKS);
  if (!CreateWindowHandle(0, kClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))))
    return false;
  dpi_ = WindowDpi(parent);
  return true;
}

void TabStrip::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  Relayout();
}

void TabStrip::SetTabs(std::vector<std::string> captions, int active) {
  captions_ = std::move(captions);
  active_ = active;
  hover_ = -1;
  Relayout();
}

void TabStrip::SetFont(HFONT verticalFont) {
  font_ = verticalFont;
  Relayout();
}

std::vector<int> TabStrip::CaptionLengths() {
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  std::vector<int> lengths;
  for (const std::string& c : captions_) {
    SIZE size{};
    std::wstring w = Widen(c);
    GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &size);
    lengths.push_back(size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  return lengths;
}

int TabStrip::WidthFor(int height) {
  TabStripMetrics m = Metrics();
  return TabColumns(ArrangeTabs(CaptionLengths(), height, m), m) * m.tabWidth;
}

void TabStrip::Relayout() {
  if (!Handle()) return;
  RECT rc;
  GetClientRect(Handle(), &rc);
  tabs_ = ArrangeTabs(CaptionLengths(), rc.bottom - rc.top, Metrics());
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TabStrip::Paint(HDC dc) {
  RECT rc;
  GetClientRect(Handle(), &rc);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  FillRect(mem, &rc, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ oldFont = SelectObject(mem, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, GetSysColor(COLOR_BTNTEXT));
  HPEN edge = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = SelectObject(mem, edge);
  for (size_t i = 0; i < tabs_.size(); ++i) {
    const Rect& r = tabs_[i];
    std::wstring text = Widen(captions_[i]);
    // Tab outline: open towards the page on the left.
    MoveToEx(mem, r.left, r.top, nullptr);
    LineTo(mem, r.right - 1, r.top);
    LineTo(mem, r.right - 1, r.bottom - 1);
    LineTo(mem, r.left, r.bottom - 1);
    const bool active = int(i) == active_;
    CaptionOrigin at = CaptionOriginOf(r, textOffset_, active, dpi_);
    if (active) {
      Fill(mem, Rect{r.left, r.top + 1, r.right - 1, r.bottom - 1}, GetSysColor(COLOR_BTNFACE));
      TextOutW(mem, at.x, at.y, text.c_str(), int(text.size()));
      Fill(mem, ActiveMarkRect(r, textOffset_, dpi_), RGB(255, 150, 0));
    } else {
      if (int(i) == hover_) Fill(mem, HighlightRect(r, textOffset_, dpi_), RGB(255, 200, 0));
      TextOutW(mem, at.x, at.y, text.c_str(), int(text.size()));
    }
  }
  SelectObject(mem, oldPen);
  DeleteObject(edge);
  SelectObject(mem, oldFont);
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteDC(mem);
}

LRESULT TabStrip::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      Relayout();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      Paint(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
      int hit = TabAt(x, y);
      if (hit >= 0 && hit != active_ && onSelect) onSelect(hit);
      if (hit >= 0) {
        pressed_ = true;
        dragging_ = false;
        pressAt_ = POINT{x, y};
        SetCapture(Handle());
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
      if (pressed_ && !dragging_ &&
          (abs(x - pressAt_.x) > GetSystemMetrics(SM_CXDRAG) || abs(y - pressAt_.y) > GetSystemMetrics(SM_CYDRAG))) {
        dragging_ = true;
        SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
      }
      int hit = TabAt(x, y);
      if (hit < 0) return 0;  // off every tab the old highlight stays, as the strip draws it
      if (hit != hover_) {
        hover_ = hit;
        InvalidateRect(Handle(), nullptr, FALSE);
      }
      TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle(), 0};
      TrackMouseEvent(&t);
      return 0;
    }
    case WM_MOUSELEAVE:
      hover_ = -1;
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      if (pressed_) {
        // Releasing the capture sends WM_CAPTURECHANGED, which ends the drag.
        const bool dropped = dragging_;
        pressed_ = dragging_ = false;
        ReleaseCapture();
        if (dropped) {
          int to = TabAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
          if (to >= 0 && to != active_ && onDragActiveTo) onDragActiveTo(to);
        }
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = dragging_ = false;
      return 0;
    case WM_CONTEXTMENU:
      if (onContextMenu) onContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    default:
      return Window::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace kestro::win
