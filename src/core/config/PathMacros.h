#pragma once
// Portable paths: drive-relative storage and the six path macros.
#include <array>
#include <string>
#include <string_view>

namespace kestro {

class IHostSystem;

struct PathMacro {
  const char* token;
  const char* koreanDescription;
  const char* englishDescription;
};

// In the order of replacement.
extern const std::array<PathMacro, 6> PathMacros;

// The current values of the macros; each is computed only when asked for.
class MacroValues {
 public:
  MacroValues(IHostSystem& host, const std::string& programDrive) : host_(host), programDrive_(programDrive) {}
  // Value of macro `index` (0..5) now, without a trailing backslash.
  std::string ValueOf(size_t index) const;

 private:
  IHostSystem& host_;
  const std::string& programDrive_;  // follows drive-letter changes
};

// Replaces the macro tokens (exact, case-sensitive, in table order).
std::string ExpandMacros(std::string_view text, const MacroValues& values);
// Prefixes the drive root to a path that has no drive part and no leading "%".
std::string MakeAbsolute(std::string_view path, std::string_view programDriveRoot);
// Removes the drive root (exact, case-sensitive) from the start of the path.
std::string MakeDriveRelative(std::string_view path, std::string_view programDriveRoot);
// A letter and ":" or a \\server\share prefix.
bool HasDrivePart(std::string_view path);

}  // namespace kestro
