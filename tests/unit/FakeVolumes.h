#pragma once
// Volumes and drive letters in memory: mount points (letters kept for good),
// session names, volumes with their devices; every call recorded, any call
// refusable by its record.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Volumes.h"

namespace kestro::testing {

class FakeVolumes : public IVolumes {
 public:
  std::map<std::string, std::string> mounts;        // "E:" -> volume name
  std::map<std::string, std::string> devices;       // volume name -> device
  std::map<std::string, std::string> sessionNames;  // "F:" -> device
  std::map<std::string, std::string> labels;        // "F:\" -> label
  // As the system's mount manager: a volume holds one drive letter at most.
  bool oneLetterPerVolume = false;
  std::vector<std::string> calls;
  std::set<std::string> refused;  // records of calls that fail

  // One volume at `drive`.
  void AddVolume(const std::string& drive, const std::string& volume, const std::string& device) {
    mounts[drive] = volume;
    devices[volume] = device;
  }
  // The letters the volume holds now.
  std::vector<std::string> LettersOf(const std::string& volume) const {
    std::vector<std::string> r;
    for (const auto& [d, v] : mounts)
      if (v == volume) r.push_back(d);
    return r;
  }

  std::optional<std::string> DeviceOf(const std::string& drive) override {
    if (Refused("DeviceOf " + drive)) return std::nullopt;
    return Device(drive);
  }
  bool DefineName(const std::string& drive, const std::string& device) override {
    if (Refused("DefineName " + drive + " " + device)) return false;
    sessionNames[drive] = device;
    return true;
  }
  bool RemoveName(const std::string& drive, const std::string& device) override {
    if (Refused("RemoveName " + drive + " " + device)) return false;
    auto it = sessionNames.find(drive);
    if (it == sessionNames.end() || it->second != device) return false;
    sessionNames.erase(it);
    return true;
  }
  std::optional<std::string> VolumeAt(const std::string& root) override {
    if (Refused("VolumeAt " + root)) return std::nullopt;
    std::optional<std::string> device = Device(root.substr(0, 2));
    if (!device) return std::nullopt;
    for (const auto& [v, d] : devices)
      if (d == *device) return v;
    return std::nullopt;
  }
  bool DeleteMountPoint(const std::string& root) override {
    if (Refused("DeleteMountPoint " + root)) return false;
    return mounts.erase(root.substr(0, 2)) == 1;
  }
  bool SetMountPoint(const std::string& root, const std::string& volume) override {
    if (Refused("SetMountPoint " + root + " " + volume)) return false;
    const std::string drive = root.substr(0, 2);
    if (mounts.count(drive) || sessionNames.count(drive) || !devices.count(volume)) return false;
    if (oneLetterPerVolume && !LettersOf(volume).empty()) return false;
    mounts[drive] = volume;
    return true;
  }
  std::optional<std::string> Label(const std::string& root) override {
    calls.push_back("Label " + root);
    auto it = labels.find(root);
    if (it == labels.end()) return std::nullopt;
    return it->second;
  }

 private:
  bool Refused(const std::string& call) {
    calls.push_back(call);
    return refused.count(call) > 0;
  }
  std::optional<std::string> Device(const std::string& drive) const {
    if (auto s = sessionNames.find(drive); s != sessionNames.end()) return s->second;
    auto m = mounts.find(drive);
    if (m == mounts.end()) return std::nullopt;
    return devices.at(m->second);
  }
};

}  // namespace kestro::testing
