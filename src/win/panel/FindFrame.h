#pragma once
// The find tab's content: the search text, the search button, the files of
// the drive whose names hold the text, and their count. The drive is walked
// by a worker, so the panel stays usable during a long search; the rows come
// in as they are found and their pictures after the walk.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/config/Language.h"
#include "core/items/ItemTree.h"
#include "win/controls/ItemTreeView.h"
#include "win/panel/FrameHost.h"
#include "win/platform/IconLoader.h"
#include "win/ui/Window.h"

namespace kestro::win {

struct FindJob;

class TfindFrame : public Window {
 public:
  explicit TfindFrame(IFrameHost& host);
  ~TfindFrame() override;

  bool Create(HWND parent, const RECT& bounds);
  using Window::Handle;
  void SetBounds(const RECT& bounds);
  void SetDpi(int dpi);
  // Big (two lines) or small rows; the find tab starts small.
  void SetBigIcons(bool big);
  bool BigIcons() const;
  // The shared pictures can be used now.
  void PicturesArrived();

  // Runs the search for the text of the edit (the button and Enter).
  void btSearchClick();
  bool Searching() const { return job_ != nullptr; }
  size_t Count() const { return count_; }
  ItemTree& Results() { return results_; }
  ItemTreeView& ResultView() { return vstFindView_; }
  HWND SearchEdit() const { return ebSearchText_; }
  HWND SearchButton() const { return btSearch_; }
  HWND TotalLabel() const { return lbTotal_; }
  // The row that last had the focus; null when there is none.
  TMyRec* CurrentResult();

  // The popup as it opens; `rowHit`: a row lies under the pointer. The
  // caller destroys it. Its entries carry TreeCommand ids, the "항목 이동"
  // entries ids from kMoveTabFirst (one per item tab, in page order).
  HMENU BuildPopupMenu(bool rowHit);
  void RunCommand(unsigned id);
  // Captions from the language file, when one is in use.
  void FrameEnter();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  void Layout();
  void CreateFonts();
  void FoundArrived();
  void ShowRows();
  void StartPictures();
  void PictureArrived(LPARAM lParam);
  void StopPictures();
  void FocusEntered(HWND from);
  void vstFindViewAfterItemPaint(HDC dc, ItemNode& node, const RECT& item);
  void vstFindViewContextPopup(ItemNode* node, POINT screen);
  void popMenu_ExecuteClick();
  void popMenu_FolderOpenClick();
  void popMenu_ActiveClick(size_t entry);
  std::vector<std::string> MoveCaptions() const;
  std::string Caption(const char* key, const char* korean) const;

  IFrameHost& host_;
  ItemTree results_;
  ItemTreeView vstFindView_;
  HWND ebSearchText_ = nullptr, btSearch_ = nullptr, lbTotal_ = nullptr;
  HFONT font_ = nullptr, totalFont_ = nullptr;
  int dpi_ = 96;
  LanguageTexts texts_;
  size_t count_ = 0;
  NodeId current_ = kNoNode;
  std::shared_ptr<FindJob> job_;
  std::shared_ptr<IconLoaderControl> pictures_;
  std::atomic<int> picturesBusy_{0};
  bool picturesWanted_ = false;
  bool rowsPending_ = false;  // found rows not drawn yet
  DWORD rowsShownAt_ = 0;  // the walk ended before the shared pictures existed
};

}  // namespace kestro::win
