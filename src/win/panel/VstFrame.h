#pragma once
// The frame of one item tab or of the favorites tab: the tree of the page's
// items with its texts, hints and popup menus.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/app/PanelModel.h"
#include "core/config/Language.h"
#include "core/items/Launch.h"
#include "core/ui/TreeMenu.h"
#include "win/controls/ItemTreeView.h"
#include "win/panel/FrameHost.h"
#include "win/panel/TreeEditor.h"
#include "win/ui/Window.h"

namespace kestro::win {

class TvstFrame : public Window {
 public:
  TvstFrame(IFrameHost& host, PanelPage& page);
  ~TvstFrame() override;

  bool Create(HWND parent, const RECT& bounds);
  using Window::Handle;

  // The page's appearance: font, colours, background picture, icon mode and
  // tree lines.
  void ApplyPageStyle();
  // Big (36) or small (20) rows with their pictures; the page's style keeps
  // the choice so that it reaches the document.
  void SetBigIcons(bool big);
  bool BigIcons() const;
  // After the page's tree changed.
  void Refresh();
  void SetBounds(const RECT& bounds);
  void Show(bool show);
  // The panel moved to a screen of another DPI: rows, texts and the font follow.
  void SetDpi(int dpi);

  ItemNode* FocusedNode();
  TMyRec* FocusedItem();
  PanelPage& Page() { return page_; }
  ItemTreeView& Tree() { return tree_; }

  // Menu entries whose work is done elsewhere reach this handler, with the
  // focused node (null: none); without a handler they do nothing.
  void SetCommandHandler(std::function<void(TreeCommand, ItemNode*)> handler) { onCommand_ = std::move(handler); }

  // The popup menu as it would open now, for the node under the point (null:
  // empty space). The caller destroys it. Entries carry TreeCommand ids; the
  // move submenu's entries ids from kMoveTabFirst.
  HMENU BuildPopupMenu(ItemNode* hit);
  // Runs the command of a chosen menu entry.
  void RunCommand(unsigned id);
  // Whether the entry does something in this build; the others show disabled.
  static bool Available(TreeCommand c);
  // The shared pictures can be used now: groups opened before get theirs.
  void PicturesArrived();
  // Repaints the row of a node (a picture arrived); other ids are ignored.
  void InvalidateNode(NodeId id) { tree_.InvalidateNode(id); }
  // The page index each move entry leads to, as of the last BuildPopupMenu.
  const std::vector<MoveTarget>& MoveEntries() const { return moveTargets_; }

  // FrameEnter: popup captions from the language file in use.
  void FrameEnter();

  TreeEditor& Editor() { return editor_; }
  // Runs `run` with what launching an item needs.
  void WithLaunchContext(const std::function<void(LaunchContext&)>& run);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void vstTreeViewAfterItemPaint(HDC dc, ItemNode& node, const RECT& item);
  std::string vstTreeViewGetHint(ItemNode& node);
  void vstTreeViewDblClick(ItemNode& node, POINT client);
  bool vstTreeViewKeyPress(UINT vk);
  void vstTreeViewMouseDown(ItemNode* node, bool right, WPARAM keys);
  void popMenu_ExecuteClick();
  void popMenu_FolderOpenClick();
  void popMenu_favExecuteClick();
  void Launch(const TMyRec& item, WorkingFolder rule);
  void vstTreeViewContextPopup(ItemNode* node, POINT screen);
  void vstTreeViewExpanded(ItemNode& node);
  void popMenu_ActiveClick(size_t entry);
  void ApplyFont(const std::string& face);
  std::string Caption(TreeCommand c) const;

  IFrameHost& host_;
  PanelPage& page_;
  ItemTreeView tree_;
  HFONT font_ = nullptr;
  COLORREF textColour_ = 0;
  COLORREF subTextColour_ = 0;
  LanguageTexts texts_;  // read again at every FrameEnter
  std::vector<MoveTarget> moveTargets_;
  std::function<void(TreeCommand, ItemNode*)> onCommand_;
  std::vector<NodeId> openedEarly_;  // groups opened before the pictures were available
  TreeEditor editor_{host_, *this};
};

// The trees' font (the message font at `dpi`) with the face `face` (empty:
// the message font's own).
LOGFONTW TreeFontFor(const std::string& face, int dpi);

// A colour as the document stores it (0x00BBGGRR, or 0xFF000000 + a system
// colour index) as the screen shows it.
COLORREF ScreenColour(int32_t stored);

}  // namespace kestro::win
