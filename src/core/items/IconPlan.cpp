#include "core/items/IconPlan.h"

#include "core/app/PanelModel.h"
#include "core/config/PathMacros.h"

namespace kestro {

namespace {
void PlanTree(const ItemTree& tree, std::vector<IconJob>& jobs) {
  tree.ForEach([&](const ItemNode& n) {
    const TMyRec& r = n.Data();
    if (r.kind == ItemKind::File && r.imageindex == 0) jobs.push_back({n.Id(), r.icon.empty() ? r.path : r.icon});
  });
}
}  // namespace

std::vector<IconJob> PlanIconLoad(PanelModel& panel, int startTabIndex) {
  std::vector<IconJob> jobs;
  auto isItemTab = [&](size_t i) { return panel.Page(i).Tag() == TabTag::Items && panel.Page(i).Tree(); };
  bool first = startTabIndex >= 0 && size_t(startTabIndex) < panel.PageCount() && isItemTab(size_t(startTabIndex));
  if (first) PlanTree(*panel.Page(size_t(startTabIndex)).Tree(), jobs);
  for (size_t i = 0; i < panel.PageCount(); ++i) {
    if ((first && int(i) == startTabIndex) || !isItemTab(i)) continue;
    PlanTree(*panel.Page(i).Tree(), jobs);
  }
  return jobs;
}

std::vector<PictureJob> StartPictureJobs(const std::vector<std::string>& deferredPaths, const std::string* appIcon,
                                         std::vector<IconJob>&& loader, const MacroValues& macros) {
  std::vector<PictureJob> jobs;
  jobs.reserve(6 + deferredPaths.size() + loader.size());
  for (int i = 0; i < 4; ++i) jobs.push_back({PictureJobKind::Fixed, i, {}, kNoNode});
  if (appIcon) jobs.push_back({PictureJobKind::AppIcon, -1, *appIcon, kNoNode});
  for (const std::string& path : deferredPaths)
    jobs.push_back({PictureJobKind::Deferred, -1, ExpandMacros(path, macros), kNoNode});
  jobs.push_back({PictureJobKind::DeferredDone, -1, {}, kNoNode});
  for (IconJob& j : loader) {
    // Most files hold no macro: their text moves over instead of being copied.
    std::string file = j.file.find('%') == std::string::npos ? std::move(j.file) : ExpandMacros(j.file, macros);
    jobs.push_back({PictureJobKind::Node, -1, std::move(file), j.node});
  }
  loader = {};
  return jobs;
}

std::vector<IconJob> ExpansionJobs(const ItemNode& group, const std::string& programDriveRoot) {
  std::vector<IconJob> jobs;
  for (const ItemNode* child : group.Children()) {
    const TMyRec& r = child->Data();
    if (r.imageindex != 0) break;
    jobs.push_back({child->Id(), MakeAbsolute(r.icon.size() > 3 ? r.icon : r.path, programDriveRoot)});
  }
  return jobs;
}

void SplitText(const std::string& text, const std::string& separator, std::vector<std::string>& parts) {
  if (separator.empty()) {
    parts.push_back(text);
    return;
  }
  size_t start = 0;
  for (;;) {
    size_t p = text.find(separator, start);
    if (p == std::string::npos) {
      parts.push_back(text.substr(start));
      return;
    }
    parts.push_back(text.substr(start, p - start));
    start = p + separator.size();
  }
}

int IndexOfText(const std::string& text, const std::vector<std::string>& list) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == text) return int(i);
  return -1;
}

}  // namespace kestro
