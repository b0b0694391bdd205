#pragma once
#include <cstdint>
#include <string>

namespace kestro {

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
  virtual int ScreenWidth() = 0;
  virtual int WorkAreaHeight() = 0;
};

}  // namespace kestro
