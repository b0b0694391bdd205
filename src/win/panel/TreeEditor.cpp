#include "win/panel/TreeEditor.h"

#include <commdlg.h>

#include <cwchar>
#include <memory>

#include "core/config/PathMacros.h"
#include "core/host/FavoritesTab.h"
#include "core/text/Text.h"
#include "core/ui/TabDialogs.h"
#include "win/host/FavAttribFrm.h"
#include "win/panel/FrameHost.h"
#include "win/panel/ItemPropertyCommands.h"
#include "win/panel/TabEnvFrm.h"
#include "win/panel/VstFrame.h"
#include "win/platform/OleDrag.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

DWORD ToOle(DropEffect e) {
  switch (e) {
    case DropEffect::Copy: return DROPEFFECT_COPY;
    case DropEffect::Move: return DROPEFFECT_MOVE;
    case DropEffect::Link: return DROPEFFECT_LINK;
    default: return DROPEFFECT_NONE;
  }
}

DragKeys KeysOf(DWORD keys) {
  DragKeys k;
  k.left = keys & MK_LBUTTON;
  k.right = keys & MK_RBUTTON;
  k.middle = keys & MK_MBUTTON;
  k.shift = keys & MK_SHIFT;
  k.ctrl = keys & MK_CONTROL;
  k.alt = keys & MK_ALT;
  return k;
}

ItemTree* TreeHolding(PanelModel& panel, NodeId id) {
  for (size_t i = 0; i < panel.PageCount(); ++i)
    if (ItemTree* t = panel.Page(i).Tree())
      if (t->Find(id)) return t;
  return nullptr;
}

bool Ask(const std::string& text, const wchar_t* caption) {
  return ShowMessageBox(Widen(text), caption, MB_ICONWARNING | MB_YESNO) == IDYES;
}

}  // namespace

TreeEditor::~TreeEditor() { Revoke(); }

ItemTree* TreeEditor::Tree() { return frame_.Page().Tree(); }

void TreeEditor::Changed() { host_.TreesChanged(); }

bool TreeEditor::Handles(TreeCommand c) {
  switch (c) {
    case TreeCommand::AddFile:
    case TreeCommand::AddFolder:
    case TreeCommand::AddLine:
    case TreeCommand::Delete:
    case TreeCommand::FavDelete:
    case TreeCommand::FavAddUrl:
    case TreeCommand::TabDelete:
    case TreeCommand::TabAttribute:
    case TreeCommand::FavTabAttribute:
      return true;
    default:
      return false;
  }
}

void TreeEditor::Command(TreeCommand c) {
  switch (c) {
    case TreeCommand::AddFile: popMenu_AddFileClick(); break;
    case TreeCommand::AddFolder: popMenu_AddFolderClick(); break;
    case TreeCommand::AddLine: popMenu_AddLineClick(); break;
    case TreeCommand::Delete:
    case TreeCommand::FavDelete: popMenu_DeleteClick(DeleteTrigger::Popup); break;
    case TreeCommand::FavAddUrl: popMenu_favAddUrlClick(); break;
    case TreeCommand::TabDelete: popMenu_TabDeleteClick(); break;
    case TreeCommand::TabAttribute:
    case TreeCommand::FavTabAttribute: popMenu_TabAttributeClick(); break;
    default: break;
  }
}

bool TreeEditor::KeyDown(UINT vk) {
  if (vk != VK_DELETE) return false;
  if (frame_.FocusedNode()) popMenu_DeleteClick(DeleteTrigger::DeleteKey);
  return true;
}

// ---- adding ----

void TreeEditor::popMenu_AddFileClick() {
  std::vector<wchar_t> buffer(64 * 1024, L'\0');
  std::wstring initial = Widen(host_.State().pv.programDrive);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = L"All files (*.*)\0*.*\0";
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrInitialDir = initial.c_str();
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!RunFileDialog(ofn, false)) return;
  // The answer: one full name, or the folder and the names in it, each ended by a zero.
  std::vector<std::string> parts;
  for (const wchar_t* p = buffer.data(); *p; p += std::wcslen(p) + 1) parts.push_back(Narrow(p));
  AddFiles(ChosenFiles(parts));
}

void TreeEditor::AddFiles(const std::vector<std::string>& files) {
  ItemTree* tree = Tree();
  if (!tree || files.empty()) return;
  NewNodePlace place = NewNodePlaceFor(ItemKind::File, frame_.FocusedNode());
  std::vector<TMyRec> recs;
  for (const std::string& f : files) recs.push_back(NewFileRecord(f, host_.State().env.deleteext));
  GivePictures(AddNewItems(*tree, place.at, std::move(recs)), false);
  Changed();
  if (place.expand) frame_.Tree().Expand(*place.expand, true);
}

void TreeEditor::popMenu_AddFolderClick() {
  // The browser is owned by the panel, so it stands above a stay-on-top panel.
  if (auto folder = BrowseForFolder("Select a folder", host_.State().pv.programDriveRoot, 0, 0)) AddFolder(*folder);
}

void TreeEditor::AddFolder(const std::string& folder) {
  ItemTree* tree = Tree();
  if (!tree) return;
  NewNodePlace place = NewNodePlaceFor(ItemKind::Folder, frame_.FocusedNode());
  if (ItemNode* node = InsertNew(*tree, place.at, NewFolderRecord(folder))) GivePictures({node}, true);
  Changed();
  if (place.expand) frame_.Tree().Expand(*place.expand, true);
}

void TreeEditor::popMenu_AddLineClick() {
  ItemTree* tree = Tree();
  if (!tree) return;
  NewNodePlace place = NewNodePlaceFor(ItemKind::Separator, frame_.FocusedNode());
  InsertNew(*tree, place.at, NewLineRecord());
  Changed();
  if (place.expand) frame_.Tree().Expand(*place.expand, true);
}

void TreeEditor::popMenu_favAddUrlClick() {
  std::optional<UrlFields> fields = RunFavAttribFrm(host_.State());
  if (fields) AddUrl(fields->title, fields->address);
}

bool TreeEditor::AddUrl(const std::string& title, const std::string& address) {
  ItemTree* tree = Tree();
  if (!tree) return false;
  AppState& s = host_.State();
  Win32Platform& p = host_.Host();
  NewNodePlace place = NewUrlPlaceFor(frame_.FocusedNode());
  TMyRec rec = NewUrlRecord(s.pv.favoritesFolder, place.at, title, address);
  // The file first: an entry whose file could not be written would be lost
  // at the next start without the user knowing.
  if (!p.files.DirectoryExists(s.pv.favoritesFolder)) p.files.CreateFolder(s.pv.favoritesFolder);
  if (!WriteUrlAddress(rec.path, address, p.files, p.codec)) {
    ShowMessageBox(Widen("The file " + rec.path + " could not be written; no URL was added."), L"Notice",
                   MB_OK | MB_ICONWARNING);
    return false;
  }
  InsertNew(*tree, place.at, std::move(rec));
  Changed();
  if (place.expand) frame_.Tree().Expand(*place.expand, true);
  return true;
}

void TreeEditor::GivePictures(const std::vector<ItemNode*>& nodes, bool folderIcon) {
  const AppState& s = host_.State();
  for (ItemNode* node : nodes) {
    std::string file = NewItemPictureFile(node->Data(), folderIcon ? s.env.foldericon : "", s.env.groupicon);
    // Through the same gate as the property dialogs: nothing is appended
    // before the start's pictures are in.
    if (!file.empty())
      SetItemPicture(host_, *node, PictureSource{MakeAbsolute(file, s.pv.programDriveRoot), node->Data().imageindex});
  }
}

void TreeEditor::PicturesArrived() { AcceptDrops(); }

// ---- deleting ----

void TreeEditor::popMenu_DeleteClick(DeleteTrigger trigger) {
  ItemNode* node = frame_.FocusedNode();
  ItemTree* tree = Tree();
  if (!node || !tree) return;
  const NodeId id = node->Id();
  DeletePlan plan = DeletePlanFor(trigger, node->Data().kind, frame_.Page().Tag());
  if (plan.ask && !Ask(host_.State().messages.Message("10"), L"Delete?")) return;
  // The box ran a message loop: the node may be gone meanwhile.
  node = tree->Find(id);
  if (!node) return;
  // On the favorites tab a shortcut's file goes too, after a question; one
  // that stays keeps its entry. A folder stays on the disk.
  const std::wstring file = Widen(node->Data().path);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (plan.deleteFile && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (!Ask("Delete the file " + node->Data().path + " from the disk?", L"Delete?")) return;
    node = tree->Find(id);
    if (!node) return;
    if (!DeleteFileW(file.c_str()) && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ShowMessageBox(Widen("The file " + node->Data().path + " could not be deleted; its entry stays."), L"Notice",
                     MB_OK | MB_ICONWARNING);
      return;
    }
    node = tree->Find(id);
    if (!node) return;
  }
  tree->Remove(*node);
  Changed();
}

void TreeEditor::popMenu_TabDeleteClick() {
  ItemTree* tree = Tree();
  if (tree && AsksBeforeTabDelete(*tree) && !Ask(host_.State().messages.Message("04"), L"Warnning!!")) return;
  host_.DeletePage(frame_.Page());
}

void TreeEditor::popMenu_TabAttributeClick() {
  PanelPage& page = frame_.Page();
  TabPropertyInput in{page.Caption(), page.Tag() != TabTag::Favorites, page.Style()};
  std::optional<TabPropertyResult> r = RunTabProperty(in, host_.State());
  if (!r) return;
  page.SetCaption(r->caption);
  page.ApplyStyle(r->style);
  switch (r->background.action) {
    case BackgroundAction::Load: page.LoadBackground(r->background.backimage, *r->background.format); break;
    case BackgroundAction::Remove: page.ClearBackground(); break;
    case BackgroundAction::Keep: break;
  }
  frame_.ApplyPageStyle();
  frame_.Refresh();
  host_.PagesChanged();
}

// ---- drag and drop ----

void TreeEditor::AcceptDrops() {
  HWND tree = frame_.Tree().Handle();
  if (registered_ || !tree || !host_.PicturesAvailable()) return;
  EnsureUiCom();
  DropHandlers h;
  h.enter = [this](IDataObject* d, DWORD k, POINT p) { return vstTreeViewDragEnter(d, k, p); };
  h.over = [this](DWORD k, POINT p) { return vstTreeViewDragOver(k, p); };
  h.leave = [this] { vstTreeViewDragLeave(); };
  h.drop = [this](IDataObject* d, DWORD k, POINT p) { return vstTreeViewDragDrop(d, k, p); };
  registered_ = RegisterDropTarget(tree, std::move(h));
}

void TreeEditor::Revoke() {
  if (registered_ && frame_.Tree().Handle()) RevokeDragDrop(frame_.Tree().Handle());
  registered_ = false;
}

void TreeEditor::vstTreeViewStartDrag(ItemNode& node) {
  EnsureUiCom();
  IDataObject* data = NewDataObject(NodeDragFormat(), NodeDragData(node.Id()));
  IDropSource* source = NewDropSource();
  DWORD effect = DROPEFFECT_NONE;
  {
    // A close request meanwhile waits until the drag ends: the frame is on the stack.
    ModalLoop loop(ModalKind::Menu);
    DoDragDrop(data, source, DROPEFFECT_MOVE | DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
  }
  data->Release();
  source->Release();
  // vstTreeViewEndDrag: the drop carried the move out; the tree repaints.
  frame_.Refresh();
}

ItemTree* TreeEditor::TreeHolding(NodeId id) const { return win::TreeHolding(host_.State().panel, id); }

ItemNode* TreeEditor::Moved() const {
  if (!drag_ || drag_->moved == kNoNode) return nullptr;
  ItemTree* t = TreeHolding(drag_->moved);
  return t ? t->Find(drag_->moved) : nullptr;
}

Attach TreeEditor::AttachAt(POINT screen, bool showMark) {
  POINT client = screen;
  ScreenToClient(frame_.Tree().Handle(), &client);
  ItemTreeView::DropSpot spot = frame_.Tree().DragOver(client, showMark);
  return DropAttach(*Tree(), spot.node, spot.position, frame_.Page().Tag());
}

DragOverDecision TreeEditor::Decide(DWORD keys, const Attach& at) const {
  ItemNode* moved = Moved();
  bool allowed = drag_->source == DragSource::Shell || (moved && CanMoveTo(*moved, at));
  return DecideDragOver(drag_->source, KeysOf(keys), rightDrag_, allowed);
}

DWORD TreeEditor::vstTreeViewDragEnter(IDataObject* data, DWORD keys, POINT screen) {
  drag_ = DragState{};
  if (std::optional<uint64_t> node = DraggedNode(data)) {
    ItemTree* from = TreeHolding(*node);
    drag_->source = from == Tree() ? DragSource::ThisTree : DragSource::OtherTree;
    drag_->moved = from ? *node : kNoNode;
  } else {
    FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    drag_->hasFiles = data && data->QueryGetData(&files) == S_OK;
  }
  return vstTreeViewDragOver(keys, screen);
}

DWORD TreeEditor::vstTreeViewDragOver(DWORD keys, POINT screen) {
  if (!drag_ || !Tree()) return DROPEFFECT_NONE;
  Attach at = AttachAt(screen, true);
  DragOverDecision d = Decide(keys, at);
  rightDrag_ = d.rightDrag;
  drag_->effect = d.effect;
  if (!d.showMark) AttachAt(screen, false);
  return ToOle(d.effect);
}

void TreeEditor::vstTreeViewDragLeave() {
  frame_.Tree().DragLeave();
  // A right drag that ended elsewhere does not make the next drag a link.
  rightDrag_ = false;
  drag_.reset();
}

DWORD TreeEditor::vstTreeViewDragDrop(IDataObject* data, DWORD keys, POINT screen) {
  if (!drag_) vstTreeViewDragEnter(data, keys, screen);
  ItemTree* tree = Tree();
  if (!drag_ || !tree) return DROPEFFECT_NONE;
  Attach at = AttachAt(screen, false);
  frame_.Tree().DragLeave();
  // The buttons are up by now: the effect is the one the drag showed last.
  DropEffect effect = drag_->effect;
  ItemNode* moved = Moved();
  DropAction action = DecideDrop(drag_->source, effect, frame_.Page().Tag(), moved, at, drag_->hasFiles);
  const AppState& s = host_.State();
  DWORD result = DROPEFFECT_NONE;
  switch (action) {
    case DropAction::MoveNode:
      if (MoveTo(*TreeHolding(moved->Id()), *moved, *tree, at)) result = DROPEFFECT_MOVE;
      break;
    case DropAction::MoveFavoriteFile: {
      // The node follows only a file that really moved.
      std::string from = moved->Data().path;
      std::string to = FavoriteMoveName(from, at.target, s.pv.favoritesFolder);
      if (!MoveFileW(Widen(from).c_str(), Widen(to).c_str())) break;
      if (ItemNode* placed = MoveTo(*TreeHolding(moved->Id()), *moved, *tree, at)) {
        // The entry and everything below it name the file where it is now.
        tree->ForEach([&](ItemNode& n) {
          for (const ItemNode* up = &n; up; up = up->Parent())
            if (up == placed && StartsWith(n.Data().path, from))
              n.Data().path = to + n.Data().path.substr(from.size());
        });
        result = DROPEFFECT_MOVE;
      }
      break;
    }
    case DropAction::OpenDropped:
      // Opened once the drop has returned, so that the other program's drag
      // does not wait on a message box.
      toOpen_ = NamesToOpen(DroppedFiles(data).value_or(std::vector<std::string>{}));
      if (!toOpen_.empty()) PostMessageW(frame_.Handle(), kOpenDroppedMessage, 0, 0);
      result = DROPEFFECT_LINK;
      break;
    case DropAction::AddDropped:
      if (auto names = DroppedFiles(data)) {
        // A dropped folder keeps the fixed folder picture.
        GivePictures(AddDroppedItems(*tree, at, *names, s.env.deleteext), false);
        result = DROPEFFECT_COPY;
      }
      break;
    case DropAction::Nothing:
      break;
  }
  rightDrag_ = false;
  drag_.reset();
  if (result != DROPEFFECT_NONE) Changed();
  return result;
}

bool TreeEditor::HandleMessage(UINT msg, WPARAM, LPARAM) {
  if (msg != kOpenDroppedMessage) return false;
  std::vector<std::string> names;
  names.swap(toOpen_);
  AppState& s = host_.State();
  frame_.WithLaunchContext([&](LaunchContext& ctx) {
    for (const std::string& name : names) RunWithExeLink(name, true, ctx, s.messages, host_.Host().messages);
  });
  return true;
}

DropHandlers TabStripDrop(PanelModel& panel, std::function<int(POINT)> tabAt, std::function<void(int)> show,
                          std::function<void()> changed) {
  auto dragged = std::make_shared<std::optional<NodeId>>();
  // The tab a drop at `screen` moves the dragged node to, or -1.
  auto target = [&panel, dragged, tabAt, show](POINT screen) -> int {
    int tab = *dragged ? tabAt(screen) : -1;
    if (tab < 0 || size_t(tab) >= panel.PageCount()) return -1;
    PanelPage& page = panel.Page(size_t(tab));
    if (page.Tag() != TabTag::Items || !page.Tree()) return -1;
    if (tab != panel.ActivePageIndex()) show(tab);
    ItemTree* from = TreeHolding(panel, **dragged);
    return from && from != page.Tree() ? tab : -1;
  };
  DropHandlers h;
  h.enter = [dragged, target](IDataObject* data, DWORD, POINT p) -> DWORD {
    *dragged = DraggedNode(data);
    return target(p) >= 0 ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
  };
  h.over = [target](DWORD, POINT p) -> DWORD { return target(p) >= 0 ? DROPEFFECT_MOVE : DROPEFFECT_NONE; };
  h.leave = [dragged] { dragged->reset(); };
  h.drop = [&panel, dragged, target, changed](IDataObject*, DWORD, POINT p) -> DWORD {
    int tab = target(p);
    std::optional<NodeId> id = *dragged;
    dragged->reset();
    ItemTree* from = id ? TreeHolding(panel, *id) : nullptr;
    if (tab < 0 || !from) return DROPEFFECT_NONE;
    if (!MoveSubtreeToTree(*from, *from->Find(*id), *panel.Page(size_t(tab)).Tree())) return DROPEFFECT_NONE;
    changed();
    return DROPEFFECT_MOVE;
  };
  return h;
}

}  // namespace kestro::win
