#include "core/app/StartSequence.h"

#include <algorithm>
#include <cstdint>

#include "core/app/Entry.h"
#include "core/config/PathMacros.h"
#include "core/config/Tabs.h"
#include "core/host/Associations.h"
#include "core/host/DesktopChanges.h"
#include "core/host/DriveLetter.h"
#include "core/host/Favorites.h"
#include "core/text/Text.h"

namespace kestro {

StartOutcome StartSequence::Run(const std::string& exePath) {
  PutStartValues();
  ComputeProgramValues(exePath);
  if (!CheckEditionAndBus(exePath)) return StartOutcome::CloseRequested;
  // Before anything reads or changes the host: the wallpaper read next
  // must not be a picture an earlier run left behind.
  RepairHost();
  ReadHostValues();
  const bool documentRead = LoadDocument();
  // The language is chosen as soon as the settings are known, before the rest
  // of the document step, so that every message of the start can be shown in it.
  s_.pv.systemLocale = p_.host.SystemDefaultLcid();
  ChooseLanguage();
  if (documentRead) {
    FixDriveLetter();
    ApplyDesktop();
    ClampPanelBounds(s_.env, p_.host.MonitorWorkAreas());
  }
  if (picturesStep) picturesStep();
  LoadTabs();
  s_.panel.SetActivePageIndex(s_.env.tabindex);
  ReportDamage();
  ApplyFavorites();
  ApplyAssociationsAtStart();
  s_.started = true;
  return StartOutcome::Running;
}

void StartSequence::RepairHost() {
  if (!hostChanges) return;
  hostChanges->Repair();
  // A redirect whose journal is lost still left its backups.
  RepairFavoritesFromBackups(hostChanges->Registry());
}

void StartSequence::ApplyFavorites() {
  if (hostChanges) ApplyFavoritesAtStart(s_, *hostChanges, p_.files);
}

void StartSequence::FixDriveLetter() {
  if (s_.pv.pcEdition || !hostChanges || !volumes) return;
  if (!FixedLetterWanted(s_.env.usefixdrive, s_.env.fixdrivename, s_.pv.programDrive, p_.drives, p_.messages,
                         s_.messages))
    return;
  s_.pv.driveLetterChanged = false;
  if (!ChangeDriveLetterAtStart(s_, *hostChanges, *volumes, p_.messages)) return;
  // Read again, so that the paths made absolute while reading name the new
  // letter. The associations are read anew rather than added twice; what
  // could not be read was told after the first reading.
  s_.exeLinks.clear();
  ReadProblems again;
  LoadSettings(s_.doc, s_.env, s_.exeLinks, s_.pv.programDriveRoot, &again);
}

void StartSequence::ApplyDesktop() {
  if (hostChanges) ApplyDesktopAtStart(s_, *hostChanges);
}

void StartSequence::ApplyAssociationsAtStart() {
  if (!hostChanges || !s_.env.startuseupexelink) return;
  // The mark follows what really happened.
  s_.pv.associationsApplied = ApplyAssociations(*hostChanges, s_.exeLinks);
}

void StartSequence::PutStartValues() {
  s_.env = EnvSet{};
  s_.pv.driveRemovedExit = false;
  s_.pv.panelStartDelay = false;
  s_.pv.driveLetterChanged = false;
  s_.exeLinks.clear();
  s_.panel = PanelModel{};
  s_.itemShortcuts = ItemShortcutTable{};
  documentBytes_.clear();
  loaded_ = {};
  problems_ = {};
}

void StartSequence::ComputeProgramValues(const std::string& exePath) {
  ProcessValues& pv = s_.pv;
  pv.programDrive = DriveOfPath(exePath);
  pv.programDriveRoot = pv.programDrive + "\\";
  pv.programFolder = std::string(FolderPart(exePath));
  if (pv.programFolder.empty() || pv.programFolder.back() != '\\') pv.programFolder += "\\";
  pv.favoritesFolder = pv.programFolder + "kestro_favorites";
  pv.favoritesRedirected = false;
  pv.associationsApplied = false;
  pv.desktopIconsShown = true;
}

bool StartSequence::CheckEditionAndBus(const std::string& exePath) {
  if (ToLowerAscii(FileNamePart(exePath)) == kPcEditionFileName) {
    s_.pv.pcEdition = true;
    return true;
  }
  s_.pv.pcEdition = false;
  const std::string& drive = s_.pv.programDrive;
  if (drive.size() != 2 || drive[1] != ':') return true;  // no letter to ask about
  // Only a drive known to sit on an ATA adapter is refused. When the volume
  // cannot be asked (no rights, a read-only or unusual drive) there is
  // nothing to refuse and nothing the user could do about it: no message.
  BusTypeAnswer bus = p_.drives.BusTypeOf(drive[0]);
  if (bus.opened && bus.busType == kBusTypeAta) {
    p_.messages.Show("Use Only USB Device!", "Notice", MessageIcon::Warning);
    return false;
  }
  return true;
}

void StartSequence::ReadHostValues() {
  s_.pv.tempFolder = p_.host.TempFolder();
  s_.env.tempFolder = s_.pv.tempFolder;
  s_.exeLinks.clear();
  s_.pv.originalWallpaper =
      p_.registry.ReadString(RegistryRoot::CurrentUser, "Control Panel\\desktop", "Wallpaper").value_or("");
  s_.env.originalWallpaper = s_.pv.originalWallpaper;
}

bool StartSequence::LoadDocument() {
  const std::string path = s_.pv.programFolder + kDocumentFileName;
  if (!p_.files.FileExists(path)) {
    s_.doc.CreateNew();
    return false;
  }
  std::string bytes;
  if (!p_.files.ReadFile(path, bytes)) {
    // Never replace a file we could not even read.
    s_.doc.CreateNew();
    s_.documentSavable = false;
    p_.messages.Show(path + " could not be read.\r\nKestro starts with its default settings and will not "
                            "overwrite the file at exit.",
                     "Notice", MessageIcon::Warning);
    return false;
  }
  loaded_ = s_.doc.Load(bytes, &p_.codec);
  documentBytes_ = std::move(bytes);
  LoadSettings(s_.doc, s_.env, s_.exeLinks, s_.pv.programDriveRoot, &problems_);
  // Reported once: the next save writes the values in use instead.
  RepairUnreadableValues(problems_);
  return true;
}

void StartSequence::LoadTabs() {
  MacroValues macros(p_.host, s_.pv.programDrive);
  TabsContext ctx{s_.env, s_.pv.programDriveRoot, macros, p_.shell, p_.icons, s_.itemShortcuts, &problems_};
  kestro::LoadTabs(s_.doc, s_.panel, ctx);
}

void StartSequence::ReportDamage() {
  auto list = [](const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size() && i < 5; ++i) text += items[i] + "\r\n";
    if (items.size() > 5) text += "...\r\n";
    return text;
  };
  std::string text;
  if (!loaded_.wellFormed)
    text = "Kestro.xml is damaged (" + loaded_.error + " at byte " + std::to_string(loaded_.offset) +
           ").\r\nThe settings and items that could be read are used.\r\n";
  if (!loaded_.dropped.empty()) text += "Kestro.xml holds what cannot be kept:\r\n" + list(loaded_.dropped);
  if (!problems_.empty())
    text += "Some values in Kestro.xml could not be read and keep their defaults:\r\n" + list(problems_.items);
  if (!text.empty()) KeepDamagedCopy(text);
}

void StartSequence::ChooseLanguage() {
  LanguageStart start{s_.pv.programFolder, s_.env.language, s_.pv.systemLocale, embeddedEnglish_};
  LanguageChoice choice = kestro::ChooseLanguage(start, s_.messages, p_.files, p_.codec);
  s_.pv.languageFile = choice.languageFile;
  s_.trayCaptions = choice.trayCaptions;
  s_.languageTexts = choice.readFile ? LanguageTexts::FromFile(std::move(*choice.readFile)) : LanguageTexts();
}

void StartSequence::KeepDamagedCopy(const std::string& reason) {
  const std::string path = s_.pv.programFolder + kDocumentFileName;
  const std::string& bytes = documentBytes_;
  // An older copy is never overwritten.
  std::string copy = path + ".bad";
  for (int n = 1; p_.files.FileExists(copy) && n < 1000; ++n) copy = path + ".bad" + std::to_string(n);
  std::string text = reason;
  if (p_.files.WriteFile(copy, bytes)) {
    text += "The original file was kept as " + copy + ".";
  } else {
    s_.documentSavable = false;
    text += "No copy could be written, so Kestro.xml will not be overwritten at exit.";
  }
  p_.messages.Show(text, "Notice", MessageIcon::Warning);
}

namespace {
// The panel along one axis, in 64 bits: stored values near the integer
// limits must not overflow.
struct Span {
  int64_t start, size;
  int64_t End() const { return start + size; }
};

int64_t Overlap(Span s, int64_t from, int64_t to) {
  return std::max<int64_t>(0, std::min(s.End(), to) - std::max(s.start, from));
}
}  // namespace

void ClampPanelBounds(EnvSet& env, const std::vector<MonitorArea>& workAreas) {
  if (workAreas.empty()) return;
  Span x{env.left, std::max(1, env.width)}, y{env.top, std::max(1, env.height)};
  // The monitor the panel overlaps most; none: the primary.
  const MonitorArea* on = &workAreas.front();
  int64_t best = 0;
  for (const MonitorArea& a : workAreas) {
    int64_t area = Overlap(x, a.left, a.right) * Overlap(y, a.top, a.bottom);
    if (area > best) {
      best = area;
      on = &a;
    }
  }
  // Across: never wider than the work area, the right edge inside it. The
  // left edge stays as stored while the panel is on this monitor; one that
  // was on none (its monitor is gone) comes inside.
  x.size = std::min<int64_t>(x.size, std::max<int64_t>(1, int64_t(on->right) - on->left));
  if (x.End() > on->right) x.start = on->right - x.size;
  if (best == 0 && x.start < on->left) x.start = on->left;
  // Down: the bottom inside the work area; a panel that then starts above it
  // stands at its top with its height.
  if (y.End() > on->bottom) y.start = on->bottom - y.size;
  if (y.start < on->top) {
    y.start = on->top;
    y.size = std::max<int64_t>(1, int64_t(on->bottom) - on->top);
  }
  env.left = int(x.start);
  env.width = int(x.size);
  env.top = int(y.start);
  env.height = int(y.size);
}

PanelWindowState WindowStateFromSettings(const EnvSet& env) {
  return PanelWindowState{env.left, env.top, env.width, env.height, env.topwindow, env.tabindex};
}

namespace {
void WriteTreesAndWindow(AppState& state, Platform& platform, PanelWindowState panel, bool runEndItems = true) {
  MacroValues macros(platform.host, state.pv.programDrive);
  TabsContext ctx{state.env, state.pv.programDriveRoot, macros, platform.shell, platform.icons, state.itemShortcuts};
  ctx.runEndItems = runEndItems;
  WriteTabs(state.doc, state.panel, ctx);
  panel.tabindex = state.panel.TabIndexForSaving();
  WriteWindowSection(state.doc, panel);
}
}  // namespace

WriteResult SaveAtExit(AppState& state, Platform& platform, PanelWindowState panel) {
  if (!state.started || state.pv.driveRemovedExit) return {};
  // The end items run once, also when a failed save keeps the run going and
  // the user exits again.
  WriteTreesAndWindow(state, platform, panel, !state.endItemsRan);
  state.endItemsRan = true;
  if (!state.documentSavable || state.savedBeforeLetterMove) return {};
  WriteResult written = SaveDocument(state.doc, platform.files, "", state.pv.programFolder);
  if (!written) ++state.failedExitSaves;
  return written;
}

WriteResult WriteTreesAndSave(AppState& state, Platform& platform, PanelWindowState panel,
                              const std::string& fileName) {
  // A copy is no end of the run: the end items stay where they are.
  WriteTreesAndWindow(state, platform, panel, false);
  // Kestro.xml itself is never replaced while the one on disk could not be read.
  if (fileName.empty() && !state.documentSavable) return {};
  return SaveDocument(state.doc, platform.files, fileName, state.pv.programFolder);
}

FailedSaveNotice NoticeOfFailedExitSave(const AppState& state, const WriteResult& written) {
  FailedSaveNotice notice;
  // The first time the run goes on with everything it holds, so that the
  // user can make room and exit again, or save a copy elsewhere; a second
  // failure ends the run all the same rather than trapping it on a drive
  // that can never be written.
  notice.keepRunning = state.failedExitSaves < 2;
  notice.text = state.pv.programFolder + kDocumentFileName + " could not be saved.\r\n" + written.error + "\r\n\r\n";
  notice.text += notice.keepRunning
                     ? "Kestro keeps running with this session's settings and items: make room on the drive (or "
                       "make it writable) and exit again, or save a copy with the backup entry of the setting "
                       "menu. If the next exit cannot save either, Kestro ends without saving."
                     : "Kestro ends without saving this session's changes.";
  return notice;
}

bool SaveDocumentNow(AppState& state, Platform& platform, PanelWindowState panel) {
  // The same conditions as the exit's save; only the end items stay where they are.
  if (!state.started || state.pv.driveRemovedExit || !state.documentSavable || state.savedBeforeLetterMove)
    return false;
  WriteTreesAndWindow(state, platform, panel, false);
  return bool(SaveDocument(state.doc, platform.files, "", state.pv.programFolder));
}

}  // namespace kestro
