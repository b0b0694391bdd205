#pragma once
// The panel's pages as the program holds them: caption, tag, item tree and
// appearance of each tab, and which tab is active. The panel window shows
// this model; reading and writing the trees work on it.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/config/Tabs.h"
#include "core/items/ItemTree.h"

namespace kestro {

class PanelPage : public ITabPage {
 public:
  PanelPage(std::string caption, TabTag tag);

  std::string Caption() const override { return caption_; }
  TabTag Tag() const override { return tag_; }
  ItemTree* Tree() override { return tree_ ? &*tree_ : nullptr; }
  TabStyle Style() const override { return style_; }
  void ApplyStyle(const TabStyle& style) override { style_ = style; }
  void LoadBackground(const std::string& file, PictureFormat format) override;
  void ClearBackground() { background_.reset(); }
  void ShowTreeLines(bool on) override { treeLines_ = on; }

  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  const ItemTree* Tree() const { return tree_ ? &*tree_ : nullptr; }
  // The picture shown behind the tree, if any.
  struct Background {
    std::string file;
    PictureFormat format;
  };
  const std::optional<Background>& BackgroundPicture() const { return background_; }
  bool TreeLines() const { return treeLines_; }

 private:
  std::string caption_;
  TabTag tag_;
  std::optional<ItemTree> tree_;  // item and favorites tabs only
  TabStyle style_;
  std::optional<Background> background_;
  bool treeLines_ = false;
};

class PanelModel : public IPanelPages {
 public:
  ITabPage& AddPage(const std::string& caption, TabTag tag) override;
  size_t PageCount() const override { return pages_.size(); }
  ITabPage& PageAt(size_t index) override { return *pages_.at(index); }
  int ActivePageIndex() const override { return active_; }

  PanelPage& Page(size_t index) { return *pages_.at(index); }
  const PanelPage& Page(size_t index) const { return *pages_.at(index); }
  // Moves the page at `from` to position `to`; the moved page stays active
  // when it was. Out-of-range positions change nothing.
  bool MovePage(size_t from, size_t to);
  // The node with that id in any page's tree, or nullptr when it is gone.
  ItemNode* FindNode(NodeId id);
  // Removes the page at `index`. When it was the active one the page after
  // it becomes active, or the first when it was the last (none when no page
  // is left); another active page stays active. False for a bad index.
  bool RemovePage(size_t index);
  // An index outside the pages leaves no page active.
  void SetActivePageIndex(int index);
  // The index the window section stores: the active page, or the first one
  // when none is active (it then becomes active), or -1 without pages.
  int TabIndexForSaving();

 private:
  std::vector<std::unique_ptr<PanelPage>> pages_;
  int active_ = -1;
};

}  // namespace kestro
