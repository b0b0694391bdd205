#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

// The work area of one monitor (the screen without the task bar), in
// virtual-screen coordinates: secondary monitors may lie at negative ones.
struct MonitorArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const MonitorArea&) const = default;
};

// Facts about the host PC: its folders, locale and screen.
class IHostSystem {
 public:
  virtual ~IHostSystem() = default;
  virtual std::string WindowsFolder() = 0;        // no trailing backslash
  virtual std::string SystemFolder() = 0;         // no trailing backslash
  virtual std::string TempFolder() = 0;           // with trailing backslash
  virtual std::string UserProfileFolder() = 0;    // %USERPROFILE% expanded
  virtual std::string DesktopFolder() = 0;        // empty when unknown
  virtual uint32_t SystemDefaultLcid() = 0;       // 1042 on a Korean host
  // Every monitor's work area, the primary monitor's first.
  virtual std::vector<MonitorArea> MonitorWorkAreas() = 0;
};

}  // namespace kestro
