#pragma once
// The background picture loader: a worker looks the shell icons up and hands
// each one to the user-interface thread, which alone touches the picture
// lists and the trees.
#include <windows.h>

#include <atomic>
#include <vector>

#include "core/items/IconPlan.h"
#include "win/platform/ImageLists.h"

namespace kestro::win {

// One looked-up picture, sent to the target window (lParam); a receiver that
// returns non-zero owns it and its icons.
struct IconResult {
  NodeId node = kNoNode;
  ShellIcons icons;
};

// Starts the worker. `busy` is set now and cleared by the receiver when the
// final message (lParam 0) arrives. A target that is gone gets nothing and
// leaks nothing.
void StartIconLoader(std::vector<IconJob> jobs, HWND target, UINT message, std::atomic<bool>& busy);

}  // namespace kestro::win
