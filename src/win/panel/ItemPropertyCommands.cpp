#include "win/panel/ItemPropertyCommands.h"

#include <vector>

#include "core/app/StartSequence.h"
#include "core/config/PathMacros.h"
#include "core/items/Editing.h"
#include "win/panel/AttribFrm.h"
#include "win/panel/GroupFrm.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {
namespace {

struct WaitingPicture {
  NodeId node;
  std::string file;
};
// User-interface thread only, like the trees.
std::vector<WaitingPicture> g_waiting;

}  // namespace

void SetItemPicture(IFrameHost& host, ItemNode& node, const PictureSource& picture) {
  std::erase_if(g_waiting, [&](const WaitingPicture& w) { return w.node == node.Id(); });
  if (picture.file.empty()) {
    node.Data().imageindex = picture.fixed;
  } else if (host.PicturesAvailable()) {
    node.Data().imageindex = host.Host().images.AddFileIcon(picture.file);
  } else {
    // Meanwhile the kind's fixed picture. The waiting ones go in before any
    // of the background loader's, which then leaves these nodes alone.
    node.Data().imageindex = picture.fixed;
    g_waiting.push_back({node.Id(), picture.file});
  }
}

namespace {

void SaveNow(IFrameHost& host) {
  AppState& state = host.State();
  if (SaveDocumentNow(state, host.Host().platform, host.WindowState())) return;
  // A file the start could not read stays as it is without a word each time:
  // the start said so.
  if (state.started && state.documentSavable && !state.pv.driveRemovedExit)
    ShowMessageBox(Widen("Could not write " + state.pv.programFolder + kDocumentFileName), L"Notice",
                   MB_OK | MB_ICONWARNING);
}

}  // namespace

bool popMenu_AttributeClick(IFrameHost& host, ItemNode& node) {
  AppState& state = host.State();
  TMyRec& rec = node.Data();
  const std::string& root = state.pv.programDriveRoot;
  switch (PropertyDialogFor(rec.kind)) {
    case PropertyDialog::Item: {
      auto fields = RunAttribFrm(rec, state);
      if (!fields) return false;
      Win32Platform& p = host.Host();
      MacroValues macros(p.host, state.pv.programDrive);
      const ItemKind kind = rec.kind;
      ApplyItemFields(rec, *fields, root);
      SetItemPicture(host, node, ConfirmedItemPicture(kind, *fields, state.env.foldericon, root, macros));
      break;
    }
    case PropertyDialog::Group: {
      auto fields = RunGroupFrm(&rec, state);
      if (!fields) return false;
      ApplyGroupFields(rec, *fields);
      SetItemPicture(host, node, ConfirmedGroupPicture(*fields));
      break;
    }
    case PropertyDialog::None:
      return false;
  }
  SaveNow(host);
  return true;
}

ItemNode* popMenu_AddGroupClick(IFrameHost& host, ItemTree& tree, ItemNode* focused) {
  AppState& state = host.State();
  const NodeId focusedId = focused ? focused->Id() : kNoNode;
  auto fields = RunGroupFrm(nullptr, state);
  if (!fields) return nullptr;
  // Looked up again: the node may have gone while the dialog was open.
  focused = focusedId == kNoNode ? nullptr : tree.Find(focusedId);
  NewNodePlace place = NewNodePlaceFor(ItemKind::Group, focused);
  TMyRec rec = NewGroupRecord(fields->name, fields->iconFile, fields->hidefromtray);
  ItemNode* node = InsertNew(tree, place.at, rec);
  if (!node) return nullptr;
  std::string file = NewItemPictureFile(rec, state.env.foldericon, state.env.groupicon);
  if (!file.empty()) file = MakeAbsolute(file, state.pv.programDriveRoot);
  SetItemPicture(host, *node, PictureSource{file, kGroupPicture});
  SaveNow(host);
  return node;
}

void AddWaitingPictures(AppState& state, ImageLists& images) {
  std::vector<WaitingPicture> waiting;
  waiting.swap(g_waiting);
  for (const WaitingPicture& w : waiting)
    if (ItemNode* node = state.panel.FindNode(w.node)) node->Data().imageindex = images.AddFileIcon(w.file);
}

}  // namespace kestro::win
