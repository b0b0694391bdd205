#include "win/panel/VstFrame.h"

#include <cwchar>

#include "core/config/PathMacros.h"
#include "core/items/IconPlan.h"
#include "core/items/RunFile.h"
#include "core/ui/ItemTexts.h"
#include "win/panel/ItemPropertyCommands.h"
#include "win/platform/Pictures.h"
#include "win/platform/WinText.h"
#include "win/ui/Dpi.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

constexpr wchar_t kClassName[] = L"KestroVstFrame";
// Presses left of this (at 96 DPI) are on the expand buttons.
constexpr int kButtonColumn = 18;

RECT ClientOf(HWND hwnd) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  return rc;
}

void AppendEntry(HMENU menu, unsigned id, const std::string& caption, bool enabled) {
  if (id < kMoveTabFirst && !TvstFrame::Available(static_cast<TreeCommand>(id))) enabled = false;
  std::wstring text = Widen(caption);
  AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text.c_str());
}

void AppendSubmenu(HMENU menu, HMENU sub, const std::string& caption, bool enabled) {
  std::wstring text = Widen(caption);
  AppendMenuW(menu, MF_POPUP | (enabled ? MF_ENABLED : MF_GRAYED), reinterpret_cast<UINT_PTR>(sub), text.c_str());
}

void PaintText(HDC dc, const TextLine& line, const std::string& text, COLORREF colour) {
  if (text.empty()) return;
  std::wstring w = Widen(text);
  RECT clip{line.clip.left, line.clip.top, line.clip.right, line.clip.bottom};
  SetTextColor(dc, colour);
  ExtTextOutW(dc, line.x, line.y, ETO_CLIPPED, &clip, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

}  // namespace

COLORREF ScreenColour(int32_t stored) {
  uint32_t v = static_cast<uint32_t>(stored);
  if ((v & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(v & 0xFFu));
  return static_cast<COLORREF>(v & 0x00FFFFFFu);
}

TvstFrame::TvstFrame(IFrameHost& host, PanelPage& page) : host_(host), page_(page) {}

TvstFrame::~TvstFrame() {
  editor_.Revoke();
  // The tree goes first, so that it never paints with a deleted font.
  tree_.Events() = {};
  if (HWND h = tree_.Handle()) DestroyWindow(h);
  if (font_) DeleteObject(font_);
}

bool TvstFrame::Create(HWND parent, const RECT& bounds) {
  if (!RegisterWindowClass(kClassName, nullptr, nullptr)) return false;
  HWND hwnd = CreateWindowHandle(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                 bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                 parent, nullptr);
  if (!hwnd) return false;
  auto& ev = tree_.Events();
  ev.afterItemPaint = [this](HDC dc, ItemNode& node, const RECT& item) { vstTreeViewAfterItemPaint(dc, node, item); };
  ev.hint = [this](ItemNode& node) { return vstTreeViewGetHint(node); };
  ev.doubleClick = [this](ItemNode& node, POINT pt) { vstTreeViewDblClick(node, pt); };
  ev.keyDown = [this](UINT vk) { return vstTreeViewKeyPress(vk); };
  ev.mouseDown = [this](ItemNode* node, POINT, bool right, WPARAM keys) { vstTreeViewMouseDown(node, right, keys); };
  ev.expanded = [this](ItemNode& node) { vstTreeViewExpanded(node); };
  ev.contextMenu = [this](ItemNode* node, POINT pt) { vstTreeViewContextPopup(node, pt); };
  ev.gotFocus = [this] { FrameEnter(); };
  ev.beginDrag = [this](ItemNode& node) { editor_.vstTreeViewStartDrag(node); };
  // The favorites tab also takes drops on folders, which are real folders there.
  ev.canHoldDrop = [this](const ItemNode& node) {
    ItemKind k = node.Data().kind;
    return k == ItemKind::Group || (page_.Tag() == TabTag::Favorites && k == ItemKind::Folder);
  };
  if (!tree_.Create(hwnd, ClientOf(hwnd))) return false;
  tree_.SetTree(page_.Tree());
  ApplyPageStyle();
  editor_.AcceptDrops();
  return true;
}

LOGFONTW TreeFontFor(const std::string& face, int dpi) {
  LOGFONTW lf = MessageFontFor(dpi);
  if (!face.empty()) {
    std::wstring w = Widen(face);
    wcsncpy(lf.lfFaceName, w.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
  }
  return lf;
}

void TvstFrame::ApplyFont(const std::string& face) {
  LOGFONTW lf = TreeFontFor(face, tree_.Dpi());
  HFONT font = CreateFontIndirectW(&lf);
  if (!font) return;
  if (font_) DeleteObject(font_);
  font_ = font;
  SendMessageW(tree_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void TvstFrame::ApplyPageStyle() {
  TabStyle style = page_.Style();
  ApplyFont(style.fontname);
  tree_.SetBackColor(ScreenColour(style.backcolor));
  textColour_ = ScreenColour(style.textcolor);
  subTextColour_ = ScreenColour(style.textcolor2);
  const auto& bg = page_.BackgroundPicture();
  tree_.SetBackgroundBitmap(bg ? LoadPictureFile(bg->file, bg->format) : nullptr);
  SetBigIcons(style.bigicon);
  tree_.SetTreeLines(page_.TreeLines());
}

void TvstFrame::SetBigIcons(bool big) {
  const EnvSet& env = host_.State().env;
  tree_.SetImageList(big ? host_.BigImages() : host_.SmallImages());
  tree_.SetNodeHeight(big ? env.bigRowHeight : env.smallRowHeight);
  TabStyle style = page_.Style();
  if (style.bigicon != big) {
    style.bigicon = big;
    page_.ApplyStyle(style);
  }
}

void TvstFrame::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == tree_.Dpi()) return;
  tree_.SetDpi(dpi);
  ApplyFont(page_.Style().fontname);
  if (tree_.Handle()) InvalidateRect(tree_.Handle(), nullptr, FALSE);
}

bool TvstFrame::BigIcons() const { return tree_.NodeHeight() == host_.State().env.bigRowHeight; }

void TvstFrame::Refresh() {
  if (tree_.Tree() != page_.Tree()) tree_.SetTree(page_.Tree());
  tree_.Refresh();
}

void TvstFrame::SetBounds(const RECT& bounds) {
  if (Handle())
    MoveWindow(Handle(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void TvstFrame::Show(bool show) {
  if (Handle()) ShowWindow(Handle(), show ? SW_SHOW : SW_HIDE);
}

ItemNode* TvstFrame::FocusedNode() { return tree_.FocusedNode(); }

TMyRec* TvstFrame::FocusedItem() {
  ItemNode* node = tree_.FocusedNode();
  return node ? &node->Data() : nullptr;
}

// ---- tree events ----

void TvstFrame::vstTreeViewAfterItemPaint(HDC dc, ItemNode& node, const RECT& item) {
  const AppState& state = host_.State();
  const TMyRec& rec = node.Data();
  const bool separator = rec.kind == ItemKind::Separator;
  ItemTextMetrics m{tree_.NodeHeight(), state.env.bigRowHeight, tree_.Indent(), tree_.Dpi()};
  std::string sub;
  if (IsBigIconMode(m) && !separator) sub = SubText(node, state.env.iteminfomode, state.pv.programDriveRoot);
  ItemTextPlacement place =
      PlaceItemTexts(Rect{item.left, item.top, item.right, item.bottom}, node.Level(), separator, !sub.empty(), m);

  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = font_ ? SelectObject(dc, font_) : nullptr;
  if (place.separator) {
    LOGBRUSH lb{BS_SOLID, textColour_, 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    if (!pen) pen = CreatePen(PS_DOT, 1, textColour_);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, place.separator->x1, place.separator->y, nullptr);
    LineTo(dc, place.separator->x2, place.separator->y);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  if (place.caption) PaintText(dc, *place.caption, rec.name, textColour_);
  if (place.subText) PaintText(dc, *place.subText, sub, subTextColour_);
  if (oldFont) SelectObject(dc, oldFont);
}

std::string TvstFrame::vstTreeViewGetHint(ItemNode& node) {
  return HintText(node.Data(), host_.State().env.tooltip).value_or(std::string());
}

void TvstFrame::vstTreeViewDblClick(ItemNode& node, POINT client) {
  TMyRec* item = FocusedItem();
  if (!item || &node.Data() != item) return;
  switch (item->kind) {
    case ItemKind::Group:
      tree_.Expand(node, !node.Expanded());
      return;
    case ItemKind::Separator:
      return;
    default:
      // The column of the expand buttons launches nothing.
      if (client.x < Px(kButtonColumn, tree_.Dpi())) return;
      Launch(*item, WorkingFolder::ItemFolder);
      return;
  }
}

bool TvstFrame::vstTreeViewKeyPress(UINT vk) {
  if (vk == VK_F2) {
    RunCommand(unsigned(TreeCommand::Attribute));
    return true;
  }
  if (editor_.KeyDown(vk)) return true;
  if (vk != VK_RETURN) return false;
  ItemNode* node = FocusedNode();
  if (!node) return true;
  switch (node->Data().kind) {
    case ItemKind::Separator:
      break;
    case ItemKind::Group:
      tree_.Expand(*node, !node->Expanded());
      break;
    default:
      // Enter starts the program in the launcher's own current folder.
      Launch(node->Data(), WorkingFolder::None);
      break;
  }
  return true;
}

void TvstFrame::vstTreeViewMouseDown(ItemNode* node, bool right, WPARAM keys) {
  if (!node || right) return;
  const bool ctrlOnly = (keys & MK_CONTROL) && !(keys & MK_SHIFT) && !(keys & (MK_RBUTTON | MK_MBUTTON)) &&
                        GetKeyState(VK_MENU) >= 0;
  if (!ctrlOnly || node->Data().kind != ItemKind::File) return;
  const std::string path = node->Data().path;
  WithLaunchContext([&](LaunchContext& ctx) {
    RunWithExeLink(path, false, ctx, host_.State().messages, host_.Host().messages);
  });
}

void TvstFrame::Launch(const TMyRec& item, WorkingFolder rule) {
  WithLaunchContext([&](LaunchContext& ctx) { LaunchItem(item, rule, ctx); });
}

void TvstFrame::WithLaunchContext(const std::function<void(LaunchContext&)>& run) {
  AppState& s = host_.State();
  Win32Platform& p = host_.Host();
  MacroValues macros(p.host, s.pv.programDrive);
  LaunchContext ctx{p.shell, macros, s.exeLinks};
  run(ctx);
}

void TvstFrame::popMenu_ExecuteClick() {
  if (TMyRec* item = FocusedItem()) Launch(*item, WorkingFolder::ItemFolder);
}

void TvstFrame::popMenu_favExecuteClick() {
  // The shell opens a shortcut with the browser and a folder with the file manager.
  if (TMyRec* item = FocusedItem()) RunFile(host_.Host().shell, item->path, "", kSwShowNormal);
}

void TvstFrame::popMenu_FolderOpenClick() {
  TMyRec* item = FocusedItem();
  if (!item || item->kind == ItemKind::Group || item->kind == ItemKind::Separator) return;
  Win32Platform& p = host_.Host();
  MacroValues macros(p.host, host_.State().pv.programDrive);
  RunFile(p.shell, FolderToOpen(*item, macros), "", kSwShowNormal);
}

void TvstFrame::PicturesArrived() {
  std::vector<NodeId> opened;
  opened.swap(openedEarly_);
  ItemTree* tree = page_.Tree();
  for (NodeId id : opened)
    if (ItemNode* node = tree ? tree->Find(id) : nullptr)
      if (node->Expanded()) vstTreeViewExpanded(*node);
  editor_.PicturesArrived();
}

void TvstFrame::vstTreeViewExpanded(ItemNode& node) {
  if (!host_.PicturesAvailable()) {
    openedEarly_.push_back(node.Id());
    return;
  }
  // A picture the background loader brings later for one of these children
  // is dropped: it only fills items still at 0.
  for (const IconJob& job : ExpansionJobs(node, host_.State().pv.programDriveRoot)) {
    ItemNode* child = page_.Tree() ? page_.Tree()->Find(job.node) : nullptr;
    if (!child) continue;
    child->Data().imageindex = host_.Host().images.AddFileIcon(job.file);
    tree_.InvalidateNode(job.node);
  }
}

std::string TvstFrame::Caption(TreeCommand c) const { return TreeMenuCaption(c, texts_); }

HMENU TvstFrame::BuildPopupMenu(ItemNode* hit) {
  moveTargets_.clear();
  HMENU menu = CreatePopupMenu();
  auto id = [](TreeCommand c) { return static_cast<unsigned>(c); };
  if (UsesFavoritesMenu(page_.Tag())) {
    AppendEntry(menu, id(TreeCommand::FavExecute), Caption(TreeCommand::FavExecute), true);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendEntry(menu, id(TreeCommand::FavAddUrl), Caption(TreeCommand::FavAddUrl), true);
    AppendEntry(menu, id(TreeCommand::FavDelete), Caption(TreeCommand::FavDelete), true);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    HMENU tab = CreatePopupMenu();
    AppendEntry(tab, id(TreeCommand::FavTabAttribute), Caption(TreeCommand::FavTabAttribute), true);
    AppendSubmenu(menu, tab, Caption(TreeCommand::FavTab), true);
    return menu;
  }

  TMyRec* item = FocusedItem();
  TreeMenuEnabled on = TreeMenuStates(hit != nullptr, item ? std::optional<ItemKind>(item->kind) : std::nullopt);

  PanelModel& panel = host_.State().panel;
  std::vector<MenuPage> pages;
  size_t own = panel.PageCount();
  for (size_t i = 0; i < panel.PageCount(); ++i) {
    PanelPage& p = panel.Page(i);
    pages.push_back({p.Caption(), p.Tag()});
    if (&p == &page_) own = i;
  }
  for (const MoveTarget& t : MoveTargets(pages, panel.ActivePageIndex()))
    if (t.pageIndex != own && moveTargets_.size() < kMoveTabLimit - kMoveTabFirst) moveTargets_.push_back(t);

  AppendEntry(menu, id(TreeCommand::Execute), Caption(TreeCommand::Execute), on.execute);
  AppendEntry(menu, id(TreeCommand::FolderOpen), Caption(TreeCommand::FolderOpen), on.folderOpen);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendEntry(menu, id(TreeCommand::AddFile), Caption(TreeCommand::AddFile), on.addFile);
  AppendEntry(menu, id(TreeCommand::AddFolder), Caption(TreeCommand::AddFolder), on.addFolder);
  AppendEntry(menu, id(TreeCommand::AddGroup), Caption(TreeCommand::AddGroup), on.addGroup);
  AppendEntry(menu, id(TreeCommand::AddLine), Caption(TreeCommand::AddLine), on.addLine);
  AppendEntry(menu, id(TreeCommand::Delete), Caption(TreeCommand::Delete), on.deleteItem);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  HMENU move = CreatePopupMenu();
  for (size_t i = 0; i < moveTargets_.size(); ++i)
    AppendEntry(move, kMoveTabFirst + static_cast<unsigned>(i), moveTargets_[i].caption, true);
  AppendSubmenu(menu, move, Caption(TreeCommand::MoveTab), on.moveTab);
  AppendEntry(menu, id(TreeCommand::Attribute), Caption(TreeCommand::Attribute), on.attribute);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  HMENU tab = CreatePopupMenu();
  AppendEntry(tab, id(TreeCommand::TabAttribute), Caption(TreeCommand::TabAttribute), on.tab);
  AppendMenuW(tab, MF_SEPARATOR, 0, nullptr);
  AppendEntry(tab, id(TreeCommand::TabAdd), Caption(TreeCommand::TabAdd), on.tab);
  AppendEntry(tab, id(TreeCommand::TabDelete), Caption(TreeCommand::TabDelete), on.tab);
  AppendSubmenu(menu, tab, Caption(TreeCommand::Tab), on.tab);
  return menu;
}

void TvstFrame::vstTreeViewContextPopup(ItemNode* node, POINT screen) {
  HMENU menu = BuildPopupMenu(node);
  if (!menu) return;
  UINT cmd = TrackModalPopup(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen, Handle());
  DestroyMenu(menu);
  if (cmd) RunCommand(cmd);
}

void TvstFrame::RunCommand(unsigned id) {
  if (id >= kMoveTabFirst && id < kMoveTabFirst + moveTargets_.size()) {
    popMenu_ActiveClick(id - kMoveTabFirst);
    return;
  }
  if (id < static_cast<unsigned>(TreeCommand::Execute) || id > static_cast<unsigned>(TreeCommand::FavTabAttribute))
    return;
  const auto command = static_cast<TreeCommand>(id);
  if (!Available(command)) return;
  switch (command) {
    case TreeCommand::Execute:
      popMenu_ExecuteClick();
      return;
    case TreeCommand::FolderOpen:
      popMenu_FolderOpenClick();
      return;
    case TreeCommand::FavExecute:
      popMenu_favExecuteClick();
      return;
    case TreeCommand::Attribute:
      if (ItemNode* node = FocusedNode(); node && win::popMenu_AttributeClick(host_, *node)) tree_.Refresh();
      return;
    case TreeCommand::AddGroup:
      if (ItemNode* node = page_.Tree() ? win::popMenu_AddGroupClick(host_, *page_.Tree(), FocusedNode()) : nullptr) {
        if (node->Parent()) tree_.Expand(*node->Parent(), true);
        tree_.Refresh();
      }
      return;
    default:
      if (TreeEditor::Handles(command))
        editor_.Command(command);
      else if (onCommand_)
        onCommand_(command, FocusedNode());
      return;
  }
}

bool TvstFrame::Available(TreeCommand c) {
  switch (c) {
    case TreeCommand::Execute:
    case TreeCommand::FolderOpen:
    case TreeCommand::FavExecute:
    case TreeCommand::FavTab:
    case TreeCommand::MoveTab:
    case TreeCommand::Tab:
    case TreeCommand::TabAdd:
    case TreeCommand::Attribute:
    case TreeCommand::AddGroup:
      return true;
    default:
      // The rest are the editing class's.
      return TreeEditor::Handles(c);
  }
}

void TvstFrame::popMenu_ActiveClick(size_t entry) {
  if (entry >= moveTargets_.size()) return;
  const MoveTarget target = moveTargets_[entry];
  PanelModel& panel = host_.State().panel;
  // The entry names its page by position; a panel that changed since the
  // menu opened moves nothing rather than into some other tab.
  if (target.pageIndex >= panel.PageCount()) return;
  PanelPage& dest = panel.Page(target.pageIndex);
  if (&dest == &page_ || dest.Tag() != TabTag::Items || dest.Caption() != target.caption) return;
  ItemNode* node = FocusedNode();
  ItemTree* source = page_.Tree();
  ItemTree* into = dest.Tree();
  if (!node || !source || !into) return;
  if (!MoveSubtreeToTree(*source, *node, *into)) return;
  tree_.Refresh();
  host_.TreesChanged();
}

void TvstFrame::FrameEnter() {
  Win32Platform& p = host_.Host();
  texts_ = LanguageTexts::Open(host_.State().pv.languageFile, p.files, p.codec);
}

LRESULT TvstFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      if (tree_.Handle()) MoveWindow(tree_.Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (tree_.Handle()) SetFocus(tree_.Handle());
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      // The popup's entries, also when another program chooses them.
      RunCommand(LOWORD(wParam));
      return 0;
    default:
      if (editor_.HandleMessage(msg, wParam, lParam)) return 0;
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace kestro::win
