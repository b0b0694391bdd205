#pragma once
// A frame host without a panel, for the tests of the item tree frame and its
// editing: it counts what the frame reports.
#include <windows.h>

#include <vector>

#include "core/app/StartSequence.h"
#include "win/panel/FrameHost.h"

namespace kestro::win {

class TestFrameHost : public IFrameHost {
 public:
  TestFrameHost(AppState& s, Win32Platform& p) : state_(s), platform_(p) {}
  AppState& State() override { return state_; }
  Win32Platform& Host() override { return platform_; }
  HWND PanelWindow() override { return nullptr; }
  void TreesChanged() override { ++changes; }
  void PagesChanged() override { ++pageChanges; }
  void DeletePage(PanelPage& page) override { deleted.push_back(&page); }
  HIMAGELIST SmallImages() override { return platform_.images.Small(); }
  HIMAGELIST BigImages() override { return platform_.images.Big(); }
  bool PicturesAvailable() override { return picturesAvailable; }
  PanelWindowState WindowState() const override { return WindowStateFromSettings(state_.env); }
  int changes = 0;
  int pageChanges = 0;
  std::vector<PanelPage*> deleted;
  bool picturesAvailable = true;

 private:
  AppState& state_;
  Win32Platform& platform_;
};

}  // namespace kestro::win
