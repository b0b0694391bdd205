#include "core/items/DeferredIcons.h"

#include "core/app/PanelModel.h"

namespace kestro {

int32_t DeferredIcons::AddFileIcon(const std::string& path) {
  paths_.push_back(path);
  return kFirstPlaceholder - static_cast<int32_t>(paths_.size() - 1);
}

void DeferredIcons::ResolveWith(const std::vector<int32_t>& real, PanelModel& panel) {
  for (size_t i = 0; i < panel.PageCount(); ++i) {
    ItemTree* tree = panel.Page(i).Tree();
    if (!tree) continue;
    tree->ForEach([&](ItemNode& node) {
      int32_t& index = node.Data().imageindex;
      if (!IsPlaceholder(index)) return;
      size_t n = static_cast<size_t>(kFirstPlaceholder - index);
      index = n < real.size() ? real[n] : -1;
    });
  }
  paths_.clear();
}

}  // namespace kestro
