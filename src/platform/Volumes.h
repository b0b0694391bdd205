#pragma once
// Drive letters and the volumes behind them, as moving the drive to another
// letter and naming it need them.
#include <optional>
#include <string>

namespace kestro {

class IVolumes {
 public:
  virtual ~IVolumes() = default;
  // The device a drive name ("E:") stands for; none when it names none.
  virtual std::optional<std::string> DeviceOf(const std::string& drive) = 0;
  // Lets `drive` name `device` as well, for this session only.
  virtual bool DefineName(const std::string& drive, const std::string& device) = 0;
  // Takes such a session name away again, only while it still names `device`.
  virtual bool RemoveName(const std::string& drive, const std::string& device) = 0;
  // The name of the volume at a mount point ("F:\"): "\\?\Volume{...}\".
  virtual std::optional<std::string> VolumeAt(const std::string& mountPoint) = 0;
  // The volume at `mountPoint` gives up that letter (for good).
  virtual bool DeleteMountPoint(const std::string& mountPoint) = 0;
  // The volume named `volume` gets the letter of `mountPoint` (for good).
  virtual bool SetMountPoint(const std::string& mountPoint, const std::string& volume) = 0;
  // The label of the volume at a root ("F:\"); none when it cannot be read.
  virtual std::optional<std::string> Label(const std::string& root) = 0;
};

}  // namespace kestro
