#include "win/panel/SysInfoFrame.h"

#include <mutex>
#include <optional>
#include <thread>

#include "win/platform/SystemFacts.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"

namespace kestro::win {

namespace {
constexpr wchar_t kClassName[] = L"KestroSysInfo";
constexpr UINT kArrivedMessage = WM_APP + 60;
// The picture at 96 DPI; what falls outside is cut off.
constexpr SIZE kPictureSize{300, 800};
constexpr int kFontPoints = 8;
}  // namespace

// What the worker hands over. `target` is cleared when the page goes, so the
// worker never posts to a window that is gone (or to a later one with its handle).
struct SysInfoFrame::Job {
  std::mutex lock;
  HWND target = nullptr;
  std::unique_ptr<SystemInfoTexts> facts;  // taken by the page
  std::optional<std::string> externalAddress;

  void Post() {
    std::lock_guard<std::mutex> hold(lock);
    if (target) PostMessageW(target, kArrivedMessage, 0, 0);
  }
};

SysInfoFrame::SysInfoFrame(std::string programDrive) : programDrive_(std::move(programDrive)) {}

SysInfoFrame::~SysInfoFrame() {
  if (job_) {
    std::lock_guard<std::mutex> hold(job_->lock);
    job_->target = nullptr;
  }
  if (picture_) DeleteObject(picture_);
}

bool SysInfoFrame::Create(HWND parent) {
  if (!RegisterWindowClass(kClassName, nullptr, nullptr)) return false;
  if (!CreateWindowHandle(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr)) return false;
  dpi_ = WindowDpi(Handle());
  Draw();
  job_ = std::make_shared<Job>();
  job_->target = Handle();
  // The worker owns its share of the job; the page may go before it ends
  // (a request waits for its time-outs), and the process may end under it.
  std::thread([job = job_, drive = programDrive_] {
    Win32SystemFacts facts;
    auto texts = std::make_unique<SystemInfoTexts>(GatherSystemInfo(facts, drive));
    {
      std::lock_guard<std::mutex> hold(job->lock);
      job->facts = std::move(texts);
    }
    job->Post();
    WinHttpClient web;
    std::string address = FetchExternalAddress(web, kExternalAddressUrl);
    {
      std::lock_guard<std::mutex> hold(job->lock);
      job->externalAddress = std::move(address);
    }
    job->Post();
  }).detach();
  return true;
}

void SysInfoFrame::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  Draw();
}

void SysInfoFrame::Arrived() {
  {
    std::lock_guard<std::mutex> hold(job_->lock);
    if (job_->facts) info_ = std::move(job_->facts);
    if (info_ && job_->externalAddress) info_->externalAddress = *job_->externalAddress;
  }
  Draw();
}

void SysInfoFrame::Draw() {
  const int width = Px(kPictureSize.cx, dpi_), height = Px(kPictureSize.cy, dpi_);
  HDC screen = GetDC(Handle());
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(Handle(), screen);
  HGDIOBJ oldBitmap = SelectObject(dc, picture);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));  // the page's colour

  if (info_) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(kFontPoints, dpi_, 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    HFONT regular = CreateFontIndirectW(&lf);
    lf.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectW(&lf);
    HGDIOBJ oldFont = SelectObject(dc, regular);
    SIZE a{};
    GetTextExtentPoint32W(dc, L"A", 1, &a);
    SystemInfoLayout layout = LayOutSystemInfo(*info_, a.cy + 2, dpi_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (const InfoText& t : layout.texts) {
      SelectObject(dc, t.bold ? bold : regular);
      std::wstring text = Widen(t.text);
      TextOutW(dc, t.x, t.y, text.c_str(), int(text.size()));
    }
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    for (const InfoRule& r : layout.rules) {
      MoveToEx(dc, r.x1, r.y, nullptr);
      LineTo(dc, r.x2, r.y);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
    DeleteObject(regular);
    DeleteObject(bold);
    // The picture's text for readers that cannot see it.
    SetWindowTextW(Handle(), Widen(SystemInfoPlainText(layout)).c_str());
  }
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  if (picture_) DeleteObject(picture_);
  picture_ = picture;
  InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT SysInfoFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kArrivedMessage:
      Arrived();
      return 0;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(Handle(), &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      if (picture_) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, picture_);
        BITMAP bm{};
        GetObjectW(picture_, sizeof bm, &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
      }
      EndPaint(Handle(), &ps);
      return 0;
    }
    default:
      return Window::HandleMessage(msg, wParam, lParam);
  }
}

}  // namespace kestro::win
