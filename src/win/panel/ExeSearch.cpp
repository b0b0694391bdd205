#include "win/panel/ExeSearch.h"

#include <algorithm>

#include "core/config/PathMacros.h"
#include "core/find/DriveSearch.h"
#include "win/platform/FolderLister.h"

namespace kestro::win {

ItemNode& ExeSearch::Run(ItemTree& tree, AppState& state, HWND target, UINT message) {
  ItemNode& group = tree.Add(nullptr, ExeGroupRecord(state.pv.programDriveRoot));
  Win32FolderLister lister;
  WalkDrive(state.pv.programDrive, DriveWalk::Exe, lister, [&](const std::string& folder, const FolderEntry& e) {
    if (IsExeFileName(e.name)) tree.Add(&group, FoundFileRecord(folder, e.name));
    return true;
  });
  std::vector<PictureJob> jobs;
  for (const ItemNode* child : group.Children())
    jobs.push_back(PictureJob{PictureJobKind::Node, -1, MakeAbsolute(child->Data().path, state.pv.programDriveRoot),
                              child->Id()});
  std::erase_if(loaders_, [](const auto& l) { return l->Ended(); });
  loaders_.push_back(StartIconLoader(std::move(jobs), target, message, state.iconLoadBusy));
  return group;
}

NodeId ExeSearch::PictureArrived(LPARAM lParam, AppState& state, ImageLists& images) {
  auto* result = reinterpret_cast<IconResult*>(lParam);
  if (!result) {
    --state.iconLoadBusy;
    return kNoNode;
  }
  NodeId placed = PlaceNodePicture(*result, images, state.panel);
  result->icons.Release();
  delete result;
  return placed;
}

void ExeSearch::Stop(DWORD ms) {
  for (auto& l : loaders_) l->StopAndWait(ms);
  loaders_.clear();
}

}  // namespace kestro::win
