#pragma once
// The process entry: "-exit", the single running copy, unsuitable drives.
#include <optional>
#include <string>
#include <vector>

#include "platform/Drives.h"

namespace kestro {

// What the entry needs of the host besides the drive type.
class IEntryHost {
 public:
  virtual ~IEntryHost() = default;
  // Posts WM_CLOSE to the top-level window with this caption, if there is one.
  virtual void PostCloseToWindow(const std::string& caption) = 0;
  virtual bool MutexExists(const std::string& name) = 0;
  // Creates the mutex and holds it for the life of the process.
  virtual void HoldMutex(const std::string& name) = 0;
  virtual void ShowPlainMessage(const std::string& text) = 0;
};

enum class EntryOutcome {
  ExitRequested,   // "-exit": the running copy was asked to close
  AlreadyRunning,  // another copy holds the mutex
  DriveRefused,    // network, CD-ROM or RAM drive
  Start,           // create the main window
};

// `args` are the command-line arguments after the program name.
EntryOutcome RunProcessEntry(const std::vector<std::string>& args, const std::string& exePath,
                             IEntryHost& host, IDrives& drives);

// The message for a drive the program refuses to run from, if it does.
std::optional<std::string> DriveRefusalMessage(DriveType type);

// "E:" of "E:\Apps\Kestro.exe" (also "\\server\share" for UNC paths).
std::string DriveOfPath(const std::string& path);

}  // namespace kestro
