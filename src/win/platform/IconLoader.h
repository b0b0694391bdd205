#pragma once
// The background picture loader: a worker looks the shell icons up and hands
// each one to the user-interface thread, which alone touches the picture
// lists and the trees.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/app/PanelModel.h"
#include "core/items/IconPlan.h"
#include "win/platform/ImageLists.h"

namespace kestro::win {

// One looked-up picture, sent to the target window (lParam); a receiver that
// returns non-zero owns it and its icons.
struct IconResult {
  size_t index = 0;  // of the job
  NodeId node = kNoNode;
  PictureJobKind kind = PictureJobKind::Node;
  std::string file;  // as looked up
  // Empty for a file looked up before in this run: its picture is the one
  // the lists already hold for that file (or none).
  ShellIcons icons;
  FixedIcons fixed;  // fixed pictures only (then `icons` is empty)
};

// The running worker, as its starter sees it.
class IconLoaderControl {
 public:
  IconLoaderControl();
  ~IconLoaderControl();
  IconLoaderControl(const IconLoaderControl&) = delete;
  IconLoaderControl& operator=(const IconLoaderControl&) = delete;

  // At exit: the worker ends after the picture it is looking up, and the
  // calling (target's) thread waits for that, at most `ms`, answering the
  // worker's messages meanwhile. A process must not end while the worker is
  // inside the shell: it may hold the loader's lock, and the exit would then
  // wait for ever.
  void StopAndWait(DWORD ms);
  bool Ended() const;

 private:
  friend std::shared_ptr<IconLoaderControl> StartIconLoader(std::vector<PictureJob>, HWND, UINT,
                                                            std::atomic<int>&);
  std::atomic<bool> stop_{false};
  HANDLE ended_;
};

// Starts the worker. `busy` counts the running loaders: it grows by one now,
// and the receiver takes the one off when the final message (lParam 0)
// arrives. A target that is gone gets nothing and leaks nothing.
std::shared_ptr<IconLoaderControl> StartIconLoader(std::vector<PictureJob> jobs, HWND target, UINT message,
                                                   std::atomic<int>& busy);

// The receiver's part for a picture of a node of the panel's trees: the
// picture goes into the lists (also when the node is gone: a later item of
// the same file comes without icons), and the node, if it still exists and
// has no picture yet, gets it. Returns that node's id, else kNoNode.
NodeId PlaceNodePicture(const IconResult& result, ImageLists& images, PanelModel& panel);

}  // namespace kestro::win
