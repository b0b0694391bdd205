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

void PanelModel::SetActivePageIndex(int index) {
  active_ = (index >= 0 && size_t(index) < pages_.size()) ? index : -1;
}

int PanelModel::TabIndexForSaving() {
  if (active_ < 0 && !pages_.empty()) active_ = 0;
  return active_;
}

}  // namespace kestro
