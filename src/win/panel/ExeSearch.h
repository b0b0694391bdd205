#pragma once
// The File menu's exe search: every ".exe" file of the drive into a new
// group at the end of an item tab, their pictures looked up in the
// background afterwards.
#include <windows.h>

#include <memory>
#include <vector>

#include "core/app/AppState.h"
#include "win/platform/IconLoader.h"
#include "win/platform/ImageLists.h"

namespace kestro::win {

class ExeSearch {
 public:
  ExeSearch() = default;
  ExeSearch(const ExeSearch&) = delete;
  ExeSearch& operator=(const ExeSearch&) = delete;
  ~ExeSearch() { Stop(5000); }

  // Walks the drive (on this thread) and appends the group, collapsed, to
  // `tree`. The loader is handed the children's ids and files now, so a tab
  // switch or a deletion meanwhile cannot send a picture to another node;
  // its results go to `target` as `message` and counts in iconLoadBusy until
  // the final one. Returns the group.
  ItemNode& Run(ItemTree& tree, AppState& state, HWND target, UINT message);
  // The receiver of `message`: the node that got its picture (to repaint),
  // else kNoNode.
  NodeId PictureArrived(LPARAM lParam, AppState& state, ImageLists& images);
  // The loaders end after their current picture; waits at most `ms` for each.
  void Stop(DWORD ms);

 private:
  std::vector<std::shared_ptr<IconLoaderControl>> loaders_;
};

}  // namespace kestro::win
