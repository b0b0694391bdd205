#pragma once
// Small shell services shared by the panel's dialogs: a worker that runs one
// job and ends, the folder browser and the volume label.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace kestro::win {

// COM on the user-interface thread, as the shell and the common dialogs
// want it, started the first time something needs it (a start does not wait
// for it). EndUiCom undoes it at exit.
void EnsureUiCom();
void EndUiCom();

// The common controls' classes (tooltips, progress bars, image lists),
// registered the first time a window needs them.
void EnsureCommonControls();

// Starts a worker thread that calls `method` once (with COM initialised for
// the shell's sake) and then frees itself; nobody waits for it.
void TRunThread(std::function<void()> method);

// The folder browser: file-system folders only, with a status line showing
// the selection. `initialFolder` is selected at start when it has more than
// one character; the dialog stands at (x, y) when both are non-zero, else in
// the middle of the screen. The program's other windows are disabled while
// it is open. Nothing when the user cancels.
std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& initialFolder, int x,
                                           int y);

// Where the folder browser goes on a screen of `screen` size: at (x, y) when
// both are non-zero, else centred; kept inside the screen either way.
POINT BrowserPosition(SIZE window, SIZE screen, int x, int y);

// The label of a drive ("E:"); empty when it has none or cannot be read.
std::string VolumeLabel(const std::string& drive);

}  // namespace kestro::win
