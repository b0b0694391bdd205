#pragma once
// What an item tree frame needs of the panel that holds it.
#include <windows.h>
#include <commctrl.h>

#include "core/app/AppState.h"
#include "core/config/Settings.h"
#include "win/platform/Win32Platform.h"

namespace kestro::win {

class IFrameHost {
 public:
  virtual ~IFrameHost() = default;
  // Settings, process values, the language file in use and the panel's pages.
  virtual AppState& State() = 0;
  virtual Win32Platform& Host() = 0;
  virtual HWND PanelWindow() = 0;
  // Nodes moved from one tab's tree to another's: every frame repaints.
  virtual void TreesChanged() = 0;
  // A page's caption changed: the tab strip shows it.
  virtual void PagesChanged() = 0;
  // Destroys the page with its frame and items, once the command that asked
  // has returned (the frame is on the stack until then).
  virtual void DeletePage(PanelPage& page) = 0;
  // The shared pictures (16 x 16 and 32 x 32); null until they exist.
  virtual HIMAGELIST SmallImages() = 0;
  virtual HIMAGELIST BigImages() = 0;
  // False at start until the fixed pictures and those asked for while the
  // trees were read are in the lists: until then nothing else may append.
  virtual bool PicturesAvailable() = 0;
  // The bounds and stay-on-top state the window section stores.
  virtual PanelWindowState WindowState() const = 0;
};

}  // namespace kestro::win
