#pragma once
// Editing of one item tree frame: the add, delete and tab commands, the Delete
// key, dragging nodes, and the OLE drop target that takes nodes of our trees
// and files from other programs. The frame only hands these over.
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/PanelModel.h"
#include "core/items/Editing.h"
#include "core/ui/TreeDrop.h"
#include "core/ui/TreeMenu.h"

namespace kestro::win {

class IFrameHost;
class TvstFrame;
struct DropHandlers;

// Drops on the panel's tab strip: a node of our trees held over an item tab
// shows that tab, and dropped on it goes to the end of its tree. `tabAt`
// gives the tab under a screen point (-1: none).
DropHandlers TabStripDrop(PanelModel& panel, std::function<int(POINT screen)> tabAt,
                          std::function<void(int tab)> show, std::function<void()> changed);

class TreeEditor {
 public:
  TreeEditor(IFrameHost& host, TvstFrame& frame) : host_(host), frame_(frame) {}
  ~TreeEditor();
  TreeEditor(const TreeEditor&) = delete;
  TreeEditor& operator=(const TreeEditor&) = delete;

  // Whether this class carries the command out; Command runs it.
  static bool Handles(TreeCommand c);
  void Command(TreeCommand c);
  // The Delete key; true when it was handled.
  bool KeyDown(UINT vk);

  // The commands, each after its dialog or box.
  void popMenu_AddFileClick();
  void popMenu_AddFolderClick();
  void popMenu_AddLineClick();
  void popMenu_DeleteClick(DeleteTrigger trigger);
  void popMenu_TabDeleteClick();
  // The favorites tab's "URL추가": the URL dialog, then AddUrl.
  void popMenu_favAddUrlClick();
  // Writes the shortcut file of a new URL entry at the focused place, then
  // adds the entry; false (the user told) when the file cannot be written.
  bool AddUrl(const std::string& title, const std::string& address);
  void popMenu_TabAttributeClick();
  // Adds chosen files at the insertion point, in their order.
  void AddFiles(const std::vector<std::string>& files);
  void AddFolder(const std::string& folder);

  // Registers the OLE drop target of the tree once OLE runs (it starts after
  // the panel shows, with the pictures); Revoke ends it before the tree goes.
  void AcceptDrops();
  void Revoke();
  // The start's pictures are in: new items added before get theirs now.
  void PicturesArrived();
  // Runs the drag of a node of this tree (the tree saw it start).
  void vstTreeViewStartDrag(ItemNode& node);
  // A deferred job of a drop arrived at the frame; true when it was one.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // The drop target's calls (screen points, MK_ keys), DROPEFFECT answers.
  DWORD vstTreeViewDragEnter(IDataObject* data, DWORD keys, POINT screen);
  DWORD vstTreeViewDragOver(DWORD keys, POINT screen);
  void vstTreeViewDragLeave();
  DWORD vstTreeViewDragDrop(IDataObject* data, DWORD keys, POINT screen);

  static constexpr UINT kOpenDroppedMessage = WM_APP + 40;

 private:
  struct DragState {
    DragSource source = DragSource::Shell;
    NodeId moved = kNoNode;  // for a node of one of our trees
    bool hasFiles = false;
    DropEffect effect = DropEffect::None;  // as shown last
  };
  ItemTree* Tree();
  ItemNode* Moved() const;
  ItemTree* TreeHolding(NodeId id) const;
  Attach AttachAt(POINT screen, bool showMark);
  DragOverDecision Decide(DWORD keys, const Attach& at) const;
  void GivePictures(const std::vector<ItemNode*>& nodes, bool folderIcon);
  void Changed();

  IFrameHost& host_;
  TvstFrame& frame_;
  bool registered_ = false;
  bool rightDrag_ = false;  // set by a right-button drag from outside, until it leaves or drops
  std::optional<DragState> drag_;
  std::vector<std::string> toOpen_;  // a link drop's names, opened after the drop returned
};

}  // namespace kestro::win
