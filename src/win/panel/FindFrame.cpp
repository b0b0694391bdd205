#include "win/panel/FindFrame.h"

#include <commctrl.h>

#include <mutex>

#include "core/find/DriveSearch.h"
#include "core/items/RunFile.h"
#include "core/ui/TreeMenu.h"
#include "win/platform/FolderLister.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modal.h"

namespace kestro::win {

// The walk of one search, shared by the worker and the frame: the worker
// adds what it finds and posts one message at a time; the frame takes the
// whole batch when the message arrives.
struct FindJob {
  std::atomic<bool> stop{false};
  std::mutex lock;
  std::vector<TMyRec> found;  // not yet taken by the frame
  bool posted = false;        // a message is on its way
  bool done = false;
  HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~FindJob() {
    if (ended) CloseHandle(ended);
  }
};

namespace {

constexpr wchar_t kClassName[] = L"KestroFindFrame";
constexpr UINT kFoundMessage = WM_APP + 51;
constexpr UINT kPictureMessage = WM_APP + 52;
constexpr UINT_PTR kRowsTimer = 1;
// The rows are drawn anew at most this often while the walk goes on: drawing
// after every find would take the processor from the walk.
constexpr DWORD kRowsIntervalMs = 100;
constexpr int kButtonId = 1;
// Sizes at 96 DPI.
constexpr int kEditHeight = 21;
constexpr int kButtonWidth = 50;
constexpr int kGap = 2;
constexpr int kTotalHeight = 14;

void AppendEntry(HMENU menu, unsigned id, const std::string& caption, bool enabled) {
  std::wstring text = Widen(caption);
  AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text.c_str());
}

HFONT TahomaFont(int points, int dpi) {
  LOGFONTW lf = MessageFontFor(dpi);
  lf.lfHeight = -MulDiv(points, dpi, 72);
  lf.lfWeight = FW_NORMAL;
  lstrcpyW(lf.lfFaceName, L"Tahoma");
  return CreateFontIndirectW(&lf);
}

void PaintLine(HDC dc, const std::optional<TextLine>& line, const std::string& text) {
  if (!line || text.empty()) return;
  std::wstring w = Widen(text);
  RECT clip{line->clip.left, line->clip.top, line->clip.right, line->clip.bottom};
  ExtTextOutW(dc, line->x, line->y, ETO_CLIPPED, &clip, w.c_str(), UINT(w.size()), nullptr);
}

}  // namespace

TfindFrame::TfindFrame(IFrameHost& host) : host_(host) {}

TfindFrame::~TfindFrame() {
  // The worker ends at its next file; it holds nothing of the frame's.
  if (job_) {
    job_->stop = true;
    WaitForSingleObject(job_->ended, 2000);
  }
  if (pictures_) pictures_->StopAndWait(5000);
  // The windows go before the fonts and the results they show.
  vstFindView_.Events() = {};
  if (Handle()) DestroyWindow(Handle());
  if (font_) DeleteObject(font_);
  if (totalFont_) DeleteObject(totalFont_);
}

bool TfindFrame::Create(HWND parent, const RECT& bounds) {
  if (!RegisterWindowClass(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE))) return false;
  HWND hwnd = CreateWindowHandle(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN, bounds.left,
                                 bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr);
  if (!hwnd) return false;
  dpi_ = WindowDpi(hwnd);
  HINSTANCE inst = GetModuleHandleW(nullptr);
  // Every letter typed becomes lower case.
  ebSearchText_ = CreateWindowExW(WS_EX_STATICEDGE, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LOWERCASE, 0, 0, 0, 0, hwnd,
                                  nullptr, inst, nullptr);
  btSearch_ = CreateWindowExW(0, L"BUTTON", L"검 색", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                              hwnd, HMENU(UINT_PTR(kButtonId)), inst, nullptr);
  lbTotal_ = CreateWindowExW(0, L"STATIC", L"0개", WS_CHILD | WS_VISIBLE | SS_RIGHT, 0, 0, 0, 0, hwnd, nullptr, inst,
                             nullptr);

  auto& ev = vstFindView_.Events();
  ev.afterItemPaint = [this](HDC dc, ItemNode& node, const RECT& item) { vstFindViewAfterItemPaint(dc, node, item); };
  ev.focusChanged = [this](ItemNode* node) {
    if (node) current_ = node->Id();
  };
  ev.contextMenu = [this](ItemNode* node, POINT screen) { vstFindViewContextPopup(node, screen); };
  if (!vstFindView_.Create(hwnd, RECT{0, 0, 0, 0})) return false;
  vstFindView_.SetTree(&results_);
  // Rows begin with their picture: no button column, no lines.
  vstFindView_.SetIndent(0);
  vstFindView_.SetBackColor(GetSysColor(COLOR_WINDOW));
  vstFindView_.SetDpi(dpi_);
  SetBigIcons(false);
  for (HWND child : {ebSearchText_, btSearch_, vstFindView_.Handle()})
    SetWindowSubclass(child, ChildProc, 1, DWORD_PTR(this));
  CreateFonts();
  Layout();
  // A tab restored at start shows the language's captions before it is first entered.
  FrameEnter();
  return true;
}

void TfindFrame::CreateFonts() {
  HFONT font = TahomaFont(8, dpi_), total = TahomaFont(7, dpi_);
  for (HWND w : {ebSearchText_, btSearch_, vstFindView_.Handle()}) SendMessageW(w, WM_SETFONT, WPARAM(font), TRUE);
  SendMessageW(lbTotal_, WM_SETFONT, WPARAM(total), TRUE);
  if (font_) DeleteObject(font_);
  if (totalFont_) DeleteObject(totalFont_);
  font_ = font;
  totalFont_ = total;
}

void TfindFrame::Layout() {
  RECT rc{};
  GetClientRect(Handle(), &rc);
  auto px = [this](int v) { return Px(v, dpi_); };
  const int w = rc.right, h = rc.bottom;
  const int edit = px(kEditHeight), button = px(kButtonWidth), gap = px(kGap), total = px(kTotalHeight);
  MoveWindow(ebSearchText_, 0, 0, std::max(0, w - button - gap), edit, TRUE);
  MoveWindow(btSearch_, std::max(0, w - button), 0, button, edit, TRUE);
  MoveWindow(vstFindView_.Handle(), 0, edit + gap, w, std::max(0, h - edit - 2 * gap - total), TRUE);
  MoveWindow(lbTotal_, 0, h - total, w, total, TRUE);
}

void TfindFrame::SetBounds(const RECT& bounds) {
  if (Handle())
    MoveWindow(Handle(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void TfindFrame::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  vstFindView_.SetDpi(dpi);
  CreateFonts();
  Layout();
}

void TfindFrame::SetBigIcons(bool big) {
  const EnvSet& env = host_.State().env;
  vstFindView_.SetImageList(big ? host_.BigImages() : host_.SmallImages());
  vstFindView_.SetNodeHeight(big ? env.bigRowHeight : env.smallRowHeight);
}

bool TfindFrame::BigIcons() const { return vstFindView_.NodeHeight() == host_.State().env.bigRowHeight; }

void TfindFrame::PicturesArrived() {
  SetBigIcons(BigIcons());
  if (picturesWanted_) StartPictures();
}

TMyRec* TfindFrame::CurrentResult() {
  ItemNode* node = results_.Find(current_);
  return node ? &node->Data() : nullptr;
}

// ---- the search ----

void TfindFrame::btSearchClick() {
  const int length = GetWindowTextLengthW(ebSearchText_);
  std::wstring typed(size_t(length) + 1, L'\0');
  GetWindowTextW(ebSearchText_, typed.data(), length + 1);
  typed.resize(size_t(length));
  std::optional<std::string> text = FindSearchText(Narrow(typed));
  AppState& state = host_.State();
  if (!text) {
    ShowMessageBox(Widen(state.messages.Message("13")), L"Notice", MB_ICONINFORMATION);
    return;
  }
  // A search still running gives way to the new one.
  if (job_) job_->stop = true;
  if (pictures_) pictures_->StopAndWait(0);
  picturesWanted_ = false;
  results_.Clear();
  current_ = kNoNode;
  count_ = 0;
  ShowRows();

  auto job = std::make_shared<FindJob>();
  job_ = job;
  HWND target = Handle();
  std::string drive = state.pv.programDrive;
  TRunThread([job, target, drive, text = *text] {
    Win32FolderLister lister;
    WalkDrive(drive, DriveWalk::Find, lister, [&](const std::string& folder, const FolderEntry& e) {
      if (job->stop) return false;
      if (!FindNameMatches(e.name, text)) return true;
      std::lock_guard<std::mutex> hold(job->lock);
      job->found.push_back(FoundFileRecord(folder, e.name));
      if (!job->posted) job->posted = PostMessageW(target, kFoundMessage, 0, 0);
      return true;
    });
    {
      std::lock_guard<std::mutex> hold(job->lock);
      job->done = true;
      if (!job->posted) job->posted = PostMessageW(target, kFoundMessage, 0, 0);
    }
    SetEvent(job->ended);
  });
  SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
}

void TfindFrame::FoundArrived() {
  if (!job_) return;
  std::vector<TMyRec> batch;
  bool done = false;
  {
    std::lock_guard<std::mutex> hold(job_->lock);
    batch.swap(job_->found);
    job_->posted = false;
    done = job_->done;
  }
  for (TMyRec& rec : batch) results_.Add(nullptr, std::move(rec));
  count_ += batch.size();
  rowsPending_ = rowsPending_ || !batch.empty();
  // The rows show while the walk goes on.
  if (!done) {
    if (rowsPending_ && GetTickCount() - rowsShownAt_ >= kRowsIntervalMs)
      ShowRows();
    else if (rowsPending_)
      SetTimer(Handle(), kRowsTimer, kRowsIntervalMs, nullptr);
    return;
  }
  ShowRows();
  job_.reset();
  SetWindowTextW(lbTotal_, Widen(FoundCountText(count_)).c_str());
  POINT p;
  GetCursorPos(&p);
  SetCursorPos(p.x, p.y);  // the cursor returns to normal
  StartPictures();
}

void TfindFrame::ShowRows() {
  KillTimer(Handle(), kRowsTimer);
  rowsPending_ = false;
  rowsShownAt_ = GetTickCount();
  vstFindView_.Refresh();
}

void TfindFrame::StartPictures() {
  // The start's own pictures come first; until then the rows wait for theirs.
  if (!host_.PicturesAvailable()) {
    picturesWanted_ = true;
    return;
  }
  picturesWanted_ = false;
  std::vector<PictureJob> jobs;
  results_.ForEach([&](ItemNode& node) {
    if (node.Data().imageindex == 0) jobs.push_back(PictureJob{PictureJobKind::Node, -1, node.Data().path, node.Id()});
  });
  if (jobs.empty()) return;
  pictures_ = StartIconLoader(std::move(jobs), Handle(), kPictureMessage, picturesBusy_);
}

void TfindFrame::PictureArrived(LPARAM lParam) {
  auto* result = reinterpret_cast<IconResult*>(lParam);
  if (!result) {
    --picturesBusy_;
    return;
  }
  const int32_t index = host_.Host().images.AddLookedUp(result->file, result->icons);
  if (ItemNode* node = results_.Find(result->node); node && node->Data().imageindex == 0) {
    node->Data().imageindex = index;
    vstFindView_.InvalidateNode(result->node);
  }
  result->icons.Release();
  delete result;
}

// ---- rows and the popup ----

void TfindFrame::vstFindViewAfterItemPaint(HDC dc, ItemNode& node, const RECT& item) {
  const AppState& state = host_.State();
  const bool big = BigIcons();
  std::string sub = big ? SubText(node, state.env.iteminfomode, state.pv.programDriveRoot) : std::string();
  ItemTextPlacement place = PlaceFoundTexts(Rect{item.left, item.top, item.right, item.bottom}, !sub.empty(),
                                            vstFindView_.NodeHeight(), state.env.bigRowHeight, vstFindView_.Dpi());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ old = font_ ? SelectObject(dc, font_) : nullptr;
  PaintLine(dc, place.caption, node.Data().name);
  PaintLine(dc, place.subText, sub);
  if (old) SelectObject(dc, old);
}

std::string TfindFrame::Caption(const char* key, const char* korean) const {
  return texts_.Caption(lang::kFindTab, key, korean);
}

std::vector<std::string> TfindFrame::MoveCaptions() const {
  std::vector<std::string> captions;
  PanelModel& panel = host_.State().panel;
  for (size_t i = 0; i < panel.PageCount(); ++i)
    if (panel.Page(i).Tag() == TabTag::Items) captions.push_back(panel.Page(i).Caption());
  return captions;
}

HMENU TfindFrame::BuildPopupMenu(bool rowHit) {
  HMENU menu = CreatePopupMenu();
  AppendEntry(menu, unsigned(TreeCommand::Execute), Caption("popMenu_Execute.caption", "실행"), rowHit);
  AppendEntry(menu, unsigned(TreeCommand::FolderOpen), Caption("popMenu_FolderOpen.caption", "대상폴더 열기"), rowHit);
  HMENU move = CreatePopupMenu();
  std::vector<std::string> captions = MoveCaptions();
  for (size_t i = 0; i < captions.size() && kMoveTabFirst + i < kMoveTabLimit; ++i)
    AppendEntry(move, kMoveTabFirst + unsigned(i), captions[i], true);
  std::wstring text = Widen(Caption("popMenu_MoveTab.caption", "항목 이동"));
  AppendMenuW(menu, MF_POPUP | (rowHit ? MF_ENABLED : MF_GRAYED), UINT_PTR(move), text.c_str());
  return menu;
}

void TfindFrame::vstFindViewContextPopup(ItemNode* node, POINT screen) {
  HMENU menu = BuildPopupMenu(node != nullptr);
  UINT cmd = TrackModalPopup(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen, Handle());
  DestroyMenu(menu);
  if (cmd) RunCommand(cmd);
}

void TfindFrame::RunCommand(unsigned id) {
  if (id == unsigned(TreeCommand::Execute))
    popMenu_ExecuteClick();
  else if (id == unsigned(TreeCommand::FolderOpen))
    popMenu_FolderOpenClick();
  else if (id >= kMoveTabFirst && id < kMoveTabLimit)
    popMenu_ActiveClick(id - kMoveTabFirst);
}

void TfindFrame::popMenu_ExecuteClick() {
  if (TMyRec* r = CurrentResult()) LaunchFoundFile(r->path, host_.Host().shell, host_.State().exeLinks);
}

void TfindFrame::popMenu_FolderOpenClick() {
  TMyRec* r = CurrentResult();
  if (!r) return;
  std::string target = r->kind == ItemKind::Folder ? r->path.str() : WorkingFolderOf(r->path);
  RunFile(host_.Host().shell, target, "", kSwShowNormal);
}

void TfindFrame::popMenu_ActiveClick(size_t entry) {
  TMyRec* r = CurrentResult();
  std::vector<std::string> captions = MoveCaptions();
  if (!r || entry >= captions.size()) return;
  PanelModel& panel = host_.State().panel;
  std::vector<std::string> all;
  std::vector<bool> items;
  for (size_t i = 0; i < panel.PageCount(); ++i) {
    all.push_back(panel.Page(i).Caption());
    items.push_back(panel.Page(i).Tag() == TabTag::Items);
  }
  std::optional<size_t> page = PageForCaption(all, items, captions[entry]);
  ItemTree* tree = page ? panel.Page(*page).Tree() : nullptr;
  if (!tree) return;
  // A copy: the result stays in the list.
  tree->Add(nullptr, CopyOfFoundFile(*r));
  host_.TreesChanged();
}

// ---- focus and language ----

void TfindFrame::FrameEnter() {
  Win32Platform& p = host_.Host();
  texts_ = LanguageTexts::Open(host_.State().pv.languageFile, p.files, p.codec);
  if (!texts_.InUse()) return;
  SetWindowTextW(btSearch_, Widen(texts_.Text(lang::kFindTab, "btSearch.caption")).c_str());
  SetWindowTextW(lbTotal_, Widen(texts_.Text(lang::kFindTab, "lbTotal.caption")).c_str());
}

void TfindFrame::FocusEntered(HWND from) {
  // Moves of the focus inside the frame do not count.
  if (from && (from == Handle() || IsChild(Handle(), from))) return;
  FrameEnter();
}

LRESULT CALLBACK TfindFrame::ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* frame = reinterpret_cast<TfindFrame*>(self);
  switch (msg) {
    case WM_SETFOCUS:
      frame->FocusEntered(reinterpret_cast<HWND>(wParam));
      break;
    case WM_KEYDOWN:
      if (hwnd == frame->ebSearchText_ && wParam == VK_RETURN) {
        frame->btSearchClick();
        return 0;
      }
      break;
    case WM_CHAR:
      if (hwnd == frame->ebSearchText_ && wParam == L'\r') return 0;  // no beep
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ChildProc, 1);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT TfindFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFOCUS:
      FocusEntered(reinterpret_cast<HWND>(wParam));
      SetFocus(ebSearchText_);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED && HWND(lParam) == btSearch_)
        btSearchClick();
      else if (lParam == 0)
        RunCommand(LOWORD(wParam));  // the popup's entries, also when another program chooses them
      return 0;
    case WM_SETCURSOR:
      if (job_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // The count stands on the frame's face colour.
      SetBkColor(HDC(wParam), GetSysColor(COLOR_BTNFACE));
      return LRESULT(GetSysColorBrush(COLOR_BTNFACE));
    case kFoundMessage:
      FoundArrived();
      return 0;
    case WM_TIMER:
      if (wParam == kRowsTimer) ShowRows();
      return 0;
    case kPictureMessage:
      PictureArrived(lParam);
      return 1;
    default:
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace kestro::win
