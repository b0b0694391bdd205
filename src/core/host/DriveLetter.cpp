#include "core/host/DriveLetter.h"

#include "core/app/StartSequence.h"
#include "core/config/IniReader.h"
#include "core/text/Text.h"

namespace kestro {

namespace {

constexpr std::string_view kLetterKind = "driveletter";

// The entry's stages: while "name", the temporary session name `new` may
// still exist; while "move", the mount points change; "lost": the volume
// has no letter, and `old` is a session name for this run only.
constexpr const char* kStageName = "name";
constexpr const char* kStageMove = "move";
constexpr const char* kStageLost = "lost";

std::string Root(const std::string& drive) { return drive + "\\"; }

bool HasLetter(IVolumes& v, const std::string& drive, const std::string& volume) {
  std::optional<std::string> at = v.VolumeAt(Root(drive));
  return at && *at == volume;
}

// Entry: "old", "new", "device", "volume" (once known) and "stage".
class DriveLetterKind : public IHostChangeKind {
 public:
  std::string_view Name() const override { return kLetterKind; }
  void Undo(const JournalEntry& e, HostAccess& host) override {
    if (!host.volumes) return;
    IVolumes& v = *host.volumes;
    const std::string from = e.Get("old"), to = e.Get("new"), device = e.Get("device"), volume = e.Get("volume");
    const std::string stage = e.Get("stage");
    if (stage == kStageName) v.RemoveName(to, device);
    if (stage == kStageLost) v.RemoveName(from, device);
    if (volume.empty()) return;
    // A volume with either letter keeps it: a finished move is not undone.
    if (HasLetter(v, from, volume) || HasLetter(v, to, volume)) return;
    if (!v.SetMountPoint(Root(from), volume)) v.SetMountPoint(Root(to), volume);
  }
};

std::string Upper(const std::string& drive) {
  std::string r = drive;
  if (!r.empty() && r[0] >= 'a' && r[0] <= 'z') r[0] = char(r[0] - 'a' + 'A');
  return r;
}

}  // namespace

std::unique_ptr<IHostChangeKind> MakeDriveLetterChangeKind() { return std::make_unique<DriveLetterKind>(); }

bool IsDriveName(const std::string& name) {
  if (name.size() != 2 || name[1] != ':') return false;
  const char c = name[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool FixedLetterWanted(bool use, const std::string& wanted, const std::string& current, IDrives& drives,
                       IMessageBoxes& messages, const MessageTable& table) {
  if (!use || wanted.empty() || ToLowerAscii(wanted) == ToLowerAscii(current)) return false;
  if (!IsDriveName(wanted)) {
    messages.Show("The fixed drive letter \"" + wanted + "\" is no drive name (such as F:).\r\nKestro stays on " +
                      current + ".",
                  "Notice", MessageIcon::Warning);
    return false;
  }
  if (drives.TypeOf(Root(wanted)) == DriveType::NoRootDir) return true;
  messages.Show(table.Message(msg::kDriveLetterInUse, wanted, current), "Notice", MessageIcon::Warning);
  return false;
}

LetterMove MoveVolumeLetter(HostChanges& host, IVolumes& v, const std::string& from, const std::string& to) {
  LetterMove result;
  auto fail = [&](std::string why) {
    result.problem = std::move(why);
    return result;
  };
  std::optional<std::string> device = v.DeviceOf(from);
  if (!device || device->empty()) return fail("The device behind " + from + " could not be found.");
  JournalEntry entry{std::string(kLetterKind), {}};
  entry.Set("old", from);
  entry.Set("new", to);
  entry.Set("device", *device);
  entry.Set("stage", kStageName);
  if (!host.Record(entry)) return fail("The change could not be recorded on this PC.");
  auto forget = [&] {
    if (std::optional<size_t> i = host.Find(kLetterKind)) host.Journal().Remove(*i);
  };
  auto restage = [&](const char* stage) {
    entry.Set("stage", stage);
    if (std::optional<size_t> i = host.Find(kLetterKind)) host.Rerecord(*i, entry);
  };

  if (!v.DefineName(to, *device)) {
    forget();
    return fail(to + " could not be given to the drive.");
  }
  std::optional<std::string> volume = v.VolumeAt(Root(to));
  if (!v.RemoveName(to, *device)) {
    // The entry stays: the next start (or the exit) takes the name away.
    return fail("The temporary name " + to + " could not be taken away again.");
  }
  if (!volume || volume->empty()) {
    forget();
    return fail("The drive's volume has no name that a letter could be given to.");
  }
  entry.Set("volume", *volume);
  restage(kStageMove);

  if (v.SetMountPoint(Root(to), *volume)) {
    // The volume holds both letters now; the old one goes.
    if (v.DeleteMountPoint(Root(from))) {
      forget();
      result.moved = true;
      return result;
    }
    v.DeleteMountPoint(Root(to));  // back as it was; should that fail, both letters stay
    forget();
    return fail(from + " could not be taken from the drive.");
  }
  // Where a volume may hold only one letter, the old one has to go first.
  if (!v.DeleteMountPoint(Root(from))) {
    forget();
    return fail(to + " could not be given to the drive.");
  }
  if (v.SetMountPoint(Root(to), *volume)) {
    forget();
    result.moved = true;
    return result;
  }
  if (v.SetMountPoint(Root(from), *volume)) {
    forget();
    return fail(to + " could not be given to the drive; it keeps " + from + ".");
  }
  // The volume has no letter now. The old name reaches it for the rest of
  // this run, and the entry stays so that the next start gives it back.
  v.DefineName(from, *device);
  restage(kStageLost);
  return fail("Neither " + to + " nor " + from + " could be given to the drive. Kestro reaches it as " + from +
              " until it ends; the next start of Kestro on this PC gives it its letter back.");
}

std::string PathOnDrive(const std::string& path, const std::string& from, const std::string& to) {
  if (path.size() < from.size() || ToLowerAscii(path.substr(0, from.size())) != ToLowerAscii(from)) return path;
  return to + path.substr(from.size());
}

void MoveDriveValues(ProcessValues& pv, const std::string& drive) {
  const std::string old = pv.programDrive;
  pv.programDrive = drive;
  pv.programDriveRoot = Root(drive);
  pv.programFolder = Root(drive) + (pv.programFolder.size() > 3 ? pv.programFolder.substr(3) : "");
  pv.favoritesFolder = pv.programFolder + "kestro_favorites";
  pv.languageFile = PathOnDrive(pv.languageFile, old, drive);
}

bool ChangeDriveLetterAtStart(AppState& s, HostChanges& host, IVolumes& volumes, IMessageBoxes& messages) {
  const std::string from = s.pv.programDrive, to = Upper(s.env.fixdrivename);
  if (ToLowerAscii(from) == "c:") {
    messages.Show(kNeverChangeC, kPlainCaption, MessageIcon::None);
    return false;
  }
  LetterMove move = MoveVolumeLetter(host, volumes, from, to);
  if (!move.moved) {
    messages.Show("Kestro could not move its drive to " + to + " and stays on " + from + ".\r\n" + move.problem,
                  "Notice", MessageIcon::Warning);
    return false;
  }
  s.pv.driveLetterChanged = true;
  MoveDriveValues(s.pv, to);
  s.pv.panelStartDelay = true;
  return true;
}

bool ChangeDriveLetterByTool(AppState& s, Platform& p, const std::string& wanted, PanelWindowState panel,
                             const std::string& workFolder) {
  const std::string from = s.pv.programDrive, to = Upper(wanted);
  // The button itself asks for the letter: `usefixdrive` need not be on.
  if (!FixedLetterWanted(true, to, from, p.drives, p.messages, s.messages)) return false;
  if (ToLowerAscii(from) == "c:") {
    p.messages.Show(kNeverChangeC, kPlainCaption, MessageIcon::None);
    return false;
  }
  const std::string folder = s.pv.programFolder + "env";
  const std::string tool = s.pv.programFolder + kRemountTool;
  if (!p.files.DirectoryExists(folder) && !p.files.CreateFolder(folder)) {
    p.messages.Show(folder + " could not be created.", "Notice", MessageIcon::Warning);
    return false;
  }
  if (!p.files.FileExists(tool)) {
    p.messages.Show(tool + " is missing: the drive letter cannot be changed while Kestro runs.\r\nKestro stays on " +
                        from + ".",
                    "Notice", MessageIcon::Warning);
    return false;
  }
  // Saved on the old letter, with the new fixed letter, so that the next
  // start keeps the drive where the tool puts it.
  const std::string before = s.env.fixdrivename;
  auto setFixedLetter = [&](const std::string& name) {
    s.env.fixdrivename = name;
    WriteSettings(s.doc, s.env, s.pv.programDriveRoot);
  };
  setFixedLetter(to);
  if (s.documentSavable && !SaveDocumentNow(s, p, panel)) {
    setFixedLetter(before);
    p.messages.Show(s.pv.programFolder + kDocumentFileName + " could not be saved, so the drive keeps " + from + ".",
                    "Notice", MessageIcon::Warning);
    return false;
  }
  const int started = p.shell.Open(tool, from + " " + to, workFolder, kSwHide);
  if (started <= 32) {
    setFixedLetter(before);
    if (s.documentSavable) SaveDocumentNow(s, p, panel);
    p.messages.Show(tool + " could not be started (" + std::to_string(started) + ").\r\nKestro stays on " + from + ".",
                    "Notice", MessageIcon::Warning);
    return false;
  }
  s.pv.driveLetterChanged = true;
  MoveDriveValues(s.pv, to);
  s.savedBeforeLetterMove = true;
  return true;
}

DeviceReaction ReactToDeviceChange(uint32_t event, const ProcessValues& pv, const EnvSet& env, IDrives& drives) {
  if (event == kDeviceArrival) return IsDriveName(env.fixdrivename) ? DeviceReaction::WatchAutoplay : DeviceReaction::None;
  if (event == kDeviceRemoveComplete) {
    const DriveType t = drives.TypeOf(pv.programDriveRoot);
    return t == DriveType::Unknown || t == DriveType::NoRootDir ? DeviceReaction::DriveGone : DeviceReaction::None;
  }
  return DeviceReaction::None;
}

std::string AutoplayTitle(const std::string& fixdrivename, IFileSystem& files, ITextCodec& codec, IVolumes& volumes) {
  const std::string inf = fixdrivename + "\\autorun.inf";
  std::string label;
  if (files.FileExists(inf)) {
    std::optional<IniFile> ini = IniFile::Read(inf, files, codec);
    label = ini ? ini->Get("AutoRun", "Label", "Label") : "Label";
  } else {
    label = volumes.Label(Root(fixdrivename)).value_or("");
  }
  return label + " (" + fixdrivename + ")";
}

}  // namespace kestro
