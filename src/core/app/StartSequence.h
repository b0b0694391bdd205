#pragma once
// The start sequence of the main window and the save at exit.
#include <functional>
#include <string>
#include <vector>

#include "core/app/AppState.h"
#include "core/config/Settings.h"
#include "core/host/HostChanges.h"
#include "platform/Platform.h"
#include "platform/Volumes.h"

namespace kestro {

enum class StartOutcome {
  Running,         // the sequence ran to its end
  CloseRequested,  // refused (internal disk): the main window closes at once
};

class StartSequence {
 public:
  // `embeddedEnglish` is the English language file carried in Kestro.exe.
  StartSequence(AppState& state, Platform& platform, std::string_view embeddedEnglish = {})
      : s_(state), p_(platform), embeddedEnglish_(embeddedEnglish) {}

  // Runs every step in its order. `exePath` is the full path of Kestro.exe.
  StartOutcome Run(const std::string& exePath);

  // Called once the language is chosen and before the trees are read: the
  // shared pictures are made there, so that the trees can use them.
  std::function<void()> picturesStep;

  // The host changes of the run. With it, the start first repairs what an
  // earlier run left on this host, then applies the wallpaper, the desktop
  // icons, the Favorites backups and redirect and (last) the associations as
  // the settings ask.
  HostChanges* hostChanges = nullptr;
  // The volumes, for moving the drive to its fixed letter; none: it stays.
  IVolumes* volumes = nullptr;

  // The steps, in order; public so that each can be tested on its own.
  void PutStartValues();
  void ComputeProgramValues(const std::string& exePath);
  bool CheckEditionAndBus(const std::string& exePath);  // false: refused
  void ReadHostValues();
  bool LoadDocument();  // false: there was no Kestro.xml
  void ChooseLanguage();
  void LoadTabs();
  void ReportDamage();
  void RepairHost();
  void FixDriveLetter();
  void ApplyDesktop();
  void ApplyFavorites();
  void ApplyAssociationsAtStart();

 private:
  void KeepDamagedCopy(const std::string& reason);
  // What reading the document found wrong, reported once the trees are read.
  std::string documentBytes_;
  DocumentLoadResult loaded_;
  ReadProblems problems_;
  AppState& s_;
  Platform& p_;
  std::string_view embeddedEnglish_;
};

// Puts the stored panel on a monitor that exists: the one it overlaps most,
// else the primary (the first of `workAreas`). There its right edge and its
// bottom are pulled inside the work area; a panel wider than the work area
// gets its width, one that then starts above it stands at its top with its
// height. The left edge of a panel on its monitor stays as stored; one that
// was on none comes inside. Values at the integer limits do not overflow.
void ClampPanelBounds(EnvSet& env, const std::vector<MonitorArea>& workAreas);

// The panel bounds as the window section stores them, from the settings
// (used while no panel window exists).
PanelWindowState WindowStateFromSettings(const EnvSet& env);

// The save point at the end of the run: the trees (which also runs the items
// marked to run at the end), the window section, then the file. Nothing
// happens after a forced removal of the drive or before the start sequence
// completed; the file is not written when the one on disk could not be read
// (then the result is not ok and has no error). A failed write is counted in
// state.failedExitSaves.
// `panel` gives the bounds and stay-on-top state; the tab index comes from
// the panel's pages.
WriteResult SaveAtExit(AppState& state, Platform& platform, PanelWindowState panel);

// The save after an edit: the trees and the window section, then Kestro.xml,
// at once. Unlike the exit's save it runs no item marked to run at the end.
// As there, nothing is written after a forced removal, before the start
// completed, or over a Kestro.xml the start could not read.
bool SaveDocumentNow(AppState& state, Platform& platform, PanelWindowState panel);

// Writes the trees and the window section into the document and saves it
// under `fileName` (empty: Kestro.xml), as the exit and the backup do.
WriteResult WriteTreesAndSave(AppState& state, Platform& platform, PanelWindowState panel,
                              const std::string& fileName);

// What the exit tells the user when SaveAtExit could not write the file, and
// whether the run goes on (the first time) or ends.
struct FailedSaveNotice {
  std::string text;  // caption "Notice"
  bool keepRunning = false;
};
FailedSaveNotice NoticeOfFailedExitSave(const AppState& state, const WriteResult& written);

}  // namespace kestro
