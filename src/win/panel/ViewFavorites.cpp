// The panel's favorites: the favorites tab, the redirect entries and the two
// copies, whose worker reports back through the panel's messages.
#include <windows.h>
#include <commctrl.h>

#include "core/host/Favorites.h"
#include "core/host/FavoritesTab.h"
#include "win/panel/ViewFrm.h"
#include "win/platform/FolderLister.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"
#include "win/ui/Modal.h"

namespace kestro::win {

namespace {
// The caption of a tab the copy opens, whatever the language.
constexpr const char* kFavoritesCaption = "즐겨찾기";
}  // namespace

struct TviewFrm::FavoritesCopyJob {
  FavoritesCopyDirection direction = FavoritesCopyDirection::PcToUsb;
  FavoritesCopyFolders folders;
  std::atomic<bool> cancel{false};
  FavoritesCopyOutcome outcome;  // the worker's, read once `finished` is set
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~FavoritesCopyJob() { CloseHandle(finished); }
};

int TviewFrm::FavoritesPageIndex() const {
  for (size_t i = 0; i < state_.panel.PageCount(); ++i)
    if (state_.panel.Page(i).Tag() == TabTag::Favorites) return int(i);
  return -1;
}

void TviewFrm::BorrowProgress(uint64_t maximum) {
  if (!progress_) {
    EnsureFreeBar();
    Relayout();
  }
  if (progressBefore_ < 0) progressBefore_ = int(SendMessageW(progress_, PBM_GETPOS, 0, 0));
  SendMessageW(progress_, PBM_SETRANGE32, 0, LPARAM(std::min<uint64_t>(maximum, INT32_MAX)));
  SendMessageW(progress_, PBM_SETPOS, 0, 0);
}

void TviewFrm::ReturnProgress() {
  if (progressBefore_ < 0 || !progress_) return;
  SendMessageW(progress_, PBM_SETRANGE32, 0, 100);
  SendMessageW(progress_, PBM_SETPOS, WPARAM(progressBefore_), 0);
  progressBefore_ = -1;
}

void TviewFrm::FillFavoritesPage(size_t index) {
  ItemTree* tree = state_.panel.Page(index).Tree();
  if (!tree) return;
  Win32FolderLister lister;
  const std::string& folder = state_.pv.favoritesFolder;
  tree->Clear();
  BorrowProgress(CountFavoriteEntries(lister, folder));
  int position = 0;
  LoadFavoritesTree(lister, platform_.files, platform_.codec, folder, *tree, nullptr,
                    [&] { SendMessageW(progress_, PBM_SETPOS, WPARAM(++position), 0); });
  ReturnProgress();
  if (index < pages_.size() && pages_[index].frame) pages_[index].frame->Refresh();
}

size_t TviewFrm::OpenFavoritesPage(const std::string& caption, bool fill) {
  ITabPage& page = state_.panel.AddPage(caption, TabTag::Favorites);
  // Big rows and pictures, as a new item tab.
  TabStyle style;
  style.bigicon = true;
  page.ApplyStyle(style);
  page.ShowTreeLines(state_.env.treeline);
  size_t index = state_.panel.PageCount() - 1;
  AddPageWindow(index);
  if (fill) FillFavoritesPage(index);
  state_.env.favoritesTabPresent = true;
  ActivatePage(int(index));
  return index;
}

void TviewFrm::menu_FavoriteTabClick() {
  if (int index = FavoritesPageIndex(); index >= 0) {
    RemovePage(&state_.panel.Page(size_t(index)));
    return;
  }
  std::string caption = state_.languageTexts.InUse()
                            ? state_.languageTexts.Text(lang::kViewPanel, "strfavorite.caption")
                            : kFavoritesCaption;
  OpenFavoritesPage(caption, true);
}

void TviewFrm::menu_FavoriteUseClick(bool usb) {
  if (!hostChanges) return;
  if (usb)
    RedirectFavoritesToDrive(*hostChanges, platform_.files, state_.pv);
  else
    RedirectFavoritesBack(*hostChanges, state_.pv);
}

void TviewFrm::menu_FavoritesCopyClick(FavoritesCopyDirection direction) {
  if (copy_ || state_.favoritesCopyState != 0) {
    ShowMessageBox(L"The favorites are being copied already; wait until that copy has ended.", L"Notice",
                   MB_OK | MB_ICONWARNING);
    return;
  }
  FavoritesCopyFolders folders = FavoritesCopyFoldersFor(direction, state_.pv, platform_.registry);
  if (std::optional<std::string> refusal = FavoritesCopyRefusal(direction, folders, platform_.files)) {
    ShowMessageBox(Widen(*refusal), L"Notice", MB_OK | MB_ICONWARNING);
    return;
  }
  if (direction == FavoritesCopyDirection::PcToUsb) {
    if (!platform_.files.DirectoryExists(folders.target) && !platform_.files.CreateFolder(folders.target)) {
      ShowMessageBox(Widen("The favorites were not copied: the folder " + folders.target + " could not be created."),
                     L"Notice", MB_OK | MB_ICONWARNING);
      return;
    }
    // The tab shows the copy's result: emptied now, filled when it is done.
    if (int index = FavoritesPageIndex(); index >= 0) {
      ActivatePage(index);
      state_.panel.Page(size_t(index)).Tree()->Clear();
      if (size_t(index) < pages_.size() && pages_[size_t(index)].frame) pages_[size_t(index)].frame->Refresh();
    } else {
      OpenFavoritesPage(kFavoritesCaption, false);
    }
  }
  auto job = std::make_shared<FavoritesCopyJob>();
  job->direction = direction;
  job->folders = folders;
  copy_ = job;
  state_.favoritesCopyState = direction == FavoritesCopyDirection::PcToUsb ? 1 : 2;
  BorrowProgress(0);
  HWND target = Handle();
  TRunThread([job, target] {
    Win32FolderLister lister;
    Win32FileCopier copier;
    const uint64_t total = CountFavoriteEntries(lister, job->folders.source);
    PostMessageW(target, kFavoritesProgressMessage, 0, LPARAM(total));
    uint64_t done = 0, shown = 0;
    job->outcome = CopyFavoritesTree(
        lister, copier, job->folders.source, job->folders.target,
        [&] {
          // A few hundred steps at most reach the window.
          ++done;
          if (done - shown >= total / 200 + 1) {
            shown = done;
            PostMessageW(target, kFavoritesProgressMessage, WPARAM(done), LPARAM(total));
          }
        },
        &job->cancel);
    SetEvent(job->finished);
    PostMessageW(target, kFavoritesDoneMessage, 0, 0);
  });
}

void TviewFrm::FavoritesCopyProgress(WPARAM position, LPARAM maximum) {
  if (!copy_ || !progress_) return;
  SendMessageW(progress_, PBM_SETRANGE32, 0, maximum);
  SendMessageW(progress_, PBM_SETPOS, position, 0);
}

void TviewFrm::FavoritesCopyDone() {
  // A copy stopped meanwhile has been dealt with.
  if (!copy_ || WaitForSingleObject(copy_->finished, 0) != WAIT_OBJECT_0) return;
  std::shared_ptr<FavoritesCopyJob> job = std::move(copy_);
  ReturnProgress();
  state_.favoritesCopyState = 0;
  if (job->direction == FavoritesCopyDirection::PcToUsb)
    if (int index = FavoritesPageIndex(); index >= 0) FillFavoritesPage(size_t(index));
  const bool all = job->outcome.NotCopied() == 0 && !job->outcome.cancelled;
  ShowMessageBox(Widen(FavoritesCopyDoneText(job->direction, job->outcome, state_.messages)), L"Notice",
                 MB_OK | (all ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void TviewFrm::StopFavoritesCopy(DWORD ms) {
  if (!copy_) return;
  copy_->cancel = true;
  WaitForSingleObject(copy_->finished, ms);
  copy_.reset();
  ReturnProgress();
  state_.favoritesCopyState = 0;
}

}  // namespace kestro::win
