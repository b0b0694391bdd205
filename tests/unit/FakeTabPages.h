#pragma once
// The panel's pages in memory.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/config/Tabs.h"
#include "core/items/ItemTree.h"

namespace kestro::testing {

class MemoryTabPage : public ITabPage {
 public:
  MemoryTabPage(std::string caption, TabTag tag) : caption(std::move(caption)), tag(tag) {
    if (tag == TabTag::Items || tag == TabTag::Favorites) tree.emplace();
  }
  std::string Caption() const override { return caption; }
  TabTag Tag() const override { return tag; }
  ItemTree* Tree() override { return tree ? &*tree : nullptr; }
  TabStyle Style() const override { return style; }
  void ApplyStyle(const TabStyle& s) override {
    style = s;
    ++styleApplied;
  }
  void LoadBackground(const std::string& file, PictureFormat format) override {
    backgrounds.emplace_back(file, format);
  }
  void ShowTreeLines(bool on) override { treeLines = on; }

  std::string caption;
  TabTag tag;
  std::optional<ItemTree> tree;
  TabStyle style;
  int styleApplied = 0;
  std::vector<std::pair<std::string, PictureFormat>> backgrounds;
  std::optional<bool> treeLines;
};

class MemoryPanelPages : public IPanelPages {
 public:
  ITabPage& AddPage(const std::string& caption, TabTag tag) override {
    pages.push_back(std::make_unique<MemoryTabPage>(caption, tag));
    if (active < 0) active = 0;
    return *pages.back();
  }
  size_t PageCount() const override { return pages.size(); }
  ITabPage& PageAt(size_t index) override { return *pages.at(index); }
  int ActivePageIndex() const override { return active; }

  MemoryTabPage& operator[](size_t index) { return *pages.at(index); }
  std::vector<std::unique_ptr<MemoryTabPage>> pages;
  int active = -1;
};

}  // namespace kestro::testing
