#pragma once
// The drive's fixed letter: whether the drive is to move, the move of its
// volume to the new letter (every step checked, the volume never left
// without a letter, recorded in the journal until it completed or was rolled
// back), the move by the separate remount tool, and the reactions to a drive
// arriving or being pulled out.
#include <cstdint>
#include <memory>
#include <string>

#include "core/app/AppState.h"
#include "core/config/Settings.h"
#include "core/host/HostChanges.h"
#include "platform/Drives.h"
#include "platform/Platform.h"
#include "platform/Volumes.h"

namespace kestro {

constexpr const char* kNeverChangeC = "Never Change \"C:\" Drive";
constexpr const char* kRemountTool = "env\\remount.exe";

std::unique_ptr<IHostChangeKind> MakeDriveLetterChangeKind();

// A drive name as the settings hold it: one letter and a colon.
bool IsDriveName(const std::string& name);

// Whether the drive is to move to `wanted`: asked for (`use`), a drive name,
// another letter than `current` (letter case aside) and free there. A taken
// letter is told with message "03" (both letters, on two lines); a value
// that names no drive is told as well. Nothing else is shown.
bool FixedLetterWanted(bool use, const std::string& wanted, const std::string& current, IDrives& drives,
                       IMessageBoxes& messages, const MessageTable& table);

// The outcome of moving a volume to another letter.
struct LetterMove {
  bool moved = false;
  // Why not, for the user; empty when moved.
  std::string problem;
};

// Moves the volume that `from` ("E:") names to `to` ("F:"). The volume's
// name is learnt through a temporary session name `to`, taken away again
// before the volume gets the letter. The new letter is given before the old
// one is taken away; where the system allows a volume only one letter, the
// old one goes first and comes back when the new one cannot be set. Recorded
// in the journal before the first step, forgotten once done or rolled back.
LetterMove MoveVolumeLetter(HostChanges& host, IVolumes& volumes, const std::string& from, const std::string& to);

// The drive values after a move to `drive`: the program's drive, its root,
// its folder (the same folder below the new root) and the Favorites folder.
void MoveDriveValues(ProcessValues& pv, const std::string& drive);

// A path on the drive `from` as the same path on `to`; other paths as they are.
std::string PathOnDrive(const std::string& path, const std::string& from, const std::string& to);

// The start's change of letter (after the fixed-letter check said so): never
// from C:, the move, then the drive values and the panel's delay. The drive
// values stay as they are unless the volume really moved; a failed move is
// told once. True when the drive moved.
bool ChangeDriveLetterAtStart(AppState& state, HostChanges& host, IVolumes& volumes, IMessageBoxes& messages);

// The change by the remount tool while Kestro runs: the fixed-letter check
// for `wanted`, never from C:, the tool beside Kestro (looked for, never
// written), Kestro.xml saved on the old letter with the new fixed letter,
// then the tool started hidden with the old and the new drive name. Only
// when it started do the drive values move (and nothing more is written to
// the drive): the caller then ends the program. `workFolder` is a folder off
// the drive for the tool to run in.
bool ChangeDriveLetterByTool(AppState& state, Platform& platform, const std::string& wanted, PanelWindowState panel,
                             const std::string& workFolder);

// WM_DEVICECHANGE, by its event.
constexpr uint32_t kDeviceArrival = 0x8000;
constexpr uint32_t kDeviceRemoveComplete = 0x8004;

enum class DeviceReaction {
  None,
  WatchAutoplay,  // look for the AutoPlay prompt titled AutoplayTitle for a while
  DriveGone,      // the program's drive is gone: Timer3
};
DeviceReaction ReactToDeviceChange(uint32_t event, const ProcessValues& pv, const EnvSet& env, IDrives& drives);

// The title of the AutoPlay prompt of the pinned drive: autorun.inf's
// "Label" of section "AutoRun" ("Label" when the key is missing), else the
// volume label, then " (F:)".
std::string AutoplayTitle(const std::string& fixdrivename, IFileSystem& files, ITextCodec& codec,
                          IVolumes& volumes);

}  // namespace kestro
