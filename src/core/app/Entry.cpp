#include "core/app/Entry.h"

#include "core/app/AppState.h"
#include "core/text/Text.h"

namespace kestro {

std::optional<std::string> DriveRefusalMessage(DriveType type) {
  switch (type) {
    case DriveType::Remote: return std::string("no support network");
    case DriveType::CdRom: return std::string("no support CD ROM");
    case DriveType::RamDisk: return std::string("no support Ram disk");
    default: return std::nullopt;
  }
}

std::string DriveOfPath(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (StartsWith(path, "\\\\")) {
    size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return {};
}

EntryOutcome RunProcessEntry(const std::vector<std::string>& args, const std::string& exePath,
                             IEntryHost& host, IDrives& drives) {
  if (!args.empty() && ToLowerAscii(args[0]) == "-exit") {
    host.PostCloseToWindow(kMainWindowCaption);
    return EntryOutcome::ExitRequested;
  }
  if (host.MutexExists(kMutexName)) return EntryOutcome::AlreadyRunning;
  host.HoldMutex(kMutexName);
  if (auto refusal = DriveRefusalMessage(drives.TypeOf(DriveOfPath(exePath) + "\\"))) {
    host.ShowPlainMessage(*refusal);
    return EntryOutcome::DriveRefused;
  }
  return EntryOutcome::Start;
}

}  // namespace kestro
