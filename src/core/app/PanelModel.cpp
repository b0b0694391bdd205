#include "core/app/PanelModel.h"

namespace kestro {

PanelPage::PanelPage(std::string caption, TabTag tag) : caption_(std::move(caption)), tag_(tag) {
  if (tag == TabTag::Items || tag == TabTag::Favorites) tree_.emplace();
}

void PanelPage::LoadBackground(const std::string& file, PictureFormat format) {
  background_ = Background{file, format};
}

ITabPage& PanelModel::AddPage(const std::string& caption, TabTag tag) {
  pages_.push_back(std::make_unique<PanelPage>(caption, tag));
  // The first page of a page control becomes the active one.
  if (active_ < 0) active_ = 0;
  return *pages_.back();
}

ItemNode* PanelModel::FindNode(NodeId id) {
  for (auto& page : pages_)
    if (ItemTree* tree = page->Tree())
      if (ItemNode* node = tree->Find(id)) return node;
  return nullptr;
}

void PanelModel::SetActivePageIndex(int index) {
  active_ = (index >= 0 && size_t(index) < pages_.size()) ? index : -1;
}

bool PanelModel::MovePage(size_t from, size_t to) {
  if (from >= pages_.size() || to >= pages_.size() || from == to) return false;
  std::unique_ptr<PanelPage> page = std::move(pages_[from]);
  pages_.erase(pages_.begin() + long(from));
  pages_.insert(pages_.begin() + long(to), std::move(page));
  if (active_ == int(from)) {
    active_ = int(to);
  } else if (active_ >= 0) {
    // The active page keeps its page, wherever the move puts it.
    int a = active_;
    if (int(from) < a && int(to) >= a) --a;
    else if (int(from) > a && int(to) <= a) ++a;
    active_ = a;
  }
  return true;
}

bool PanelModel::RemovePage(size_t index) {
  if (index >= pages_.size()) return false;
  pages_.erase(pages_.begin() + long(index));
  if (pages_.empty()) {
    active_ = -1;
  } else if (active_ == int(index)) {
    active_ = index < pages_.size() ? int(index) : 0;
  } else if (active_ > int(index)) {
    --active_;
  }
  return true;
}

int PanelModel::TabIndexForSaving() {
  if (active_ < 0 && !pages_.empty()) active_ = 0;
  return active_;
}

}  // namespace kestro
