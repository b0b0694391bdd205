#pragma once
// The launcher panel: a top-level window with its own taskbar button, the
// main menu, the pages of the tabs on the left of a vertical tab strip, and
// the free-space bar.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/app/AppState.h"
#include "core/app/Exit.h"
#include "core/config/Settings.h"
#include "core/host/FavoritesCopy.h"
#include "core/host/HostChanges.h"
#include "core/ui/EnvDialog.h"
#include "win/controls/TabStrip.h"
#include "win/panel/ExeSearch.h"
#include "win/panel/FindFrame.h"
#include "win/panel/FrameHost.h"
#include "win/panel/SysInfoFrame.h"
#include "win/panel/VstFrame.h"
#include "win/platform/Win32Platform.h"
#include "win/ui/Window.h"

namespace kestro::win {

// Main-menu and popup command identifiers.
enum ViewCommand : UINT {
  kMenuSearchExe = 1001,
  kMenuHide,
  kMenuAppExit,
  kMenuTopWin,
  kMenuBigIcon,
  kMenuSmallIcon,
  kMenuFavoriteTab,
  kMenuFindTab,
  kMenuSysInfoTab,
  kMenuEnvSetting,
  kMenuUsePcLink,
  kMenuUseUsbLink,
  kMenuExeLinkSetting,
  kMenuFavoriteUsePc,
  kMenuFavoriteUseUsb,
  kMenuPcToUsb,
  kMenuUsbToPc,
  kMenuAutorunInf,
  kMenuBackup,
  kMenuGoHome,
  kMenuDorvane,
  kMenuIntro,
  kPopMenuTabAdd,
};

// The Favorites copy's worker reports to the panel.
constexpr UINT kFavoritesProgressMessage = WM_APP + 43;  // wParam position, lParam maximum
constexpr UINT kFavoritesDoneMessage = WM_APP + 44;

// The two web pages of the help menu.
constexpr const wchar_t* kHomePage = L"https://kestro.example.org/community";
constexpr const wchar_t* kDorvanePage = L"https://dorvane.example.org/";

class TviewFrm : public Window, public IFrameHost {
 public:
  TviewFrm(AppState& state, Win32Platform& platform);
  ~TviewFrm() override;

  // Creation steps of the panel; hidden until ShowPanel.
  bool Create();
  // Frames for the pages that LoadTabs put into the panel's model.
  void BuildPages();
  void SetBounds(int left, int top, int width, int height);
  void ShowPanel();
  // The state the window section stores.
  PanelWindowState WindowState() const override;
  bool StayOnTop() const;
  int Dpi() const { return dpi_; }

  // The panel's opacity (255: opaque), for the settings dialog's preview.
  void SetOpacity(int32_t opacity);
  // The settings dialog's OK: caption, opacity, free-space bar, and the
  // tree lines and folder and group pictures of the item tabs.
  void ApplySettings(const EnvDialogApply& apply);

  // The program is to end (exit entry, close box); the main window does it.
  std::function<void(ExitTrigger)> onTerminate;
  // The settings entry: the main window opens the dialog, as from the tray.
  std::function<void()> onSettings;
  // The host changes of the run, owned by the main window.
  HostChanges* hostChanges = nullptr;
  // Set while the main window places the panel at start: no resize rules then.
  bool initialPlacement = false;

  // IFrameHost
  AppState& State() override { return state_; }
  Win32Platform& Host() override { return platform_; }
  HWND PanelWindow() override { return Handle(); }
  void TreesChanged() override;
  void PagesChanged() override { SyncTabStrip(); }
  void DeletePage(PanelPage& page) override;
  // Null until the pictures are wanted: the trees draw none meanwhile.
  HIMAGELIST SmallImages() override { return platform_.images.Created() ? platform_.images.Small() : nullptr; }
  HIMAGELIST BigImages() override { return platform_.images.Created() ? platform_.images.Big() : nullptr; }
  // The shared pictures exist now: every tree takes its list.
  void PicturesReady();
  bool PicturesAvailable() override { return picturesReady_; }
  // Repaints the row of a node whose picture arrived (gone nodes are ignored).
  void InvalidateNode(NodeId id);
  // The find tab's frame, when the tab exists and has been shown.
  TfindFrame* FindFrame();
  // Stops a running Favorites copy and waits for its worker, at most `ms`
  // (the drive is gone, or the panel goes).
  void StopFavoritesCopy(DWORD ms);
  // The favorites commands of the Setting and View menus (ViewFavorites.cpp).
  void menu_FavoriteTabClick();
  void menu_FavoriteUseClick(bool usb);
  void menu_FavoritesCopyClick(FavoritesCopyDirection direction);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Page {
    std::unique_ptr<TvstFrame> frame;  // item and favorites tabs
    std::unique_ptr<SysInfoFrame> sysInfo;
    std::unique_ptr<TfindFrame> find;  // the find tab
    HWND plain = nullptr;              // the other tabs (their content comes with their own windows)
    HWND Handle() const;
  };

  void BuildMenus();
  void CreateFonts();
  void DpiChanged(int dpi, const RECT* suggested);
  void ApplyLanguage();
  void Relayout();
  void SyncTabStrip();
  void ActivatePage(int index);
  void AddPageWindow(size_t index);
  void EnsurePageWindow(size_t index);
  void PrepareMenu(HMENU menu);
  void Command(UINT id);
  void FormClose();
  void UpdateFreeSpace();
  void EnsureFreeBar();
  void SetIconMode(bool big);
  void SetStayOnTop(bool on);
  void CreateItemTab();
  void Backup();
  void PanelPopup(POINT screen);
  void HotKey(WPARAM id);
  void RemovePage(const PanelPage* page);
  void menu_SysInfoTabClick();
  void menu_FindTabClick();
  void menu_SearchExeClick();
  // The favorites tab and the copies (ViewFavorites.cpp).
  struct FavoritesCopyJob;
  int FavoritesPageIndex() const;
  void FillFavoritesPage(size_t index);
  size_t OpenFavoritesPage(const std::string& caption, bool fill);
  void BorrowProgress(uint64_t maximum);
  void ReturnProgress();
  void FavoritesCopyProgress(WPARAM position, LPARAM maximum);
  void FavoritesCopyDone();

  AppState& state_;
  Win32Platform& platform_;
  TabStrip tabStrip_;
  std::vector<Page> pages_;
  HMENU menu_ = nullptr, fileMenu_ = nullptr, viewMenu_ = nullptr, envMenu_ = nullptr, popup_ = nullptr;
  HWND freeBar_ = nullptr, progress_ = nullptr, percentLabel_ = nullptr, spaceLabel_ = nullptr;
  HFONT stripFont_ = nullptr, uiFont_ = nullptr;
  std::wstring searchCaption_;
  std::string findCaption_ = "검색";  // of a new find tab
  ExeSearch exeSearch_;
  int textOffset_ = 2;
  int dpi_ = 96;  // every size below is scaled to it
  bool picturesReady_ = false;
  bool stripDrops_ = false;  // the tab strip takes drops of nodes
  bool fixedSizeValid_ = false;
  SIZE fixedSize_{};
  std::shared_ptr<FavoritesCopyJob> copy_;  // the copy running now
  int progressBefore_ = -1;                 // the bar's position while borrowed; -1: not borrowed
};

}  // namespace kestro::win
