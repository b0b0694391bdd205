#pragma once
// Pictures asked for while the trees are read at start, looked up only once
// the panel is on screen: each request gets a placeholder index at once; the
// files (as held in memory) are later looked up in the order asked (Paths)
// and ResolveWith puts the real indexes into the trees.
#include <string>
#include <vector>

#include "platform/Icons.h"

namespace kestro {

class PanelModel;

class DeferredIcons : public IIcons {
 public:
  // Placeholders count down from here; -1 (no picture) and 0.. stay real.
  static constexpr int32_t kFirstPlaceholder = -2;
  static bool IsPlaceholder(int32_t index) { return index <= kFirstPlaceholder; }

  int32_t AddFileIcon(const std::string& path) override;
  size_t Pending() const { return paths_.size(); }

  // Replaces the placeholders in the panel's trees: `real` holds the index
  // each deferred path got, in the order of Paths(). A placeholder that is
  // not one of ours (a node added meanwhile cannot have one) gets no picture.
  void ResolveWith(const std::vector<int32_t>& real, PanelModel& panel);
  const std::vector<std::string>& Paths() const { return paths_; }

 private:
  std::vector<std::string> paths_;
};

}  // namespace kestro
