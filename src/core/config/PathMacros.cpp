#include "core/config/PathMacros.h"

#include "core/text/Text.h"
#include "platform/HostSystem.h"

namespace kestro {

const std::array<PathMacro, 6> PathMacros = {{
    {"%udrive%", "usb 드라이브명", "USB DriveName"},
    {"%windows%", "윈도우 폴더", "Window Directory"},
    {"%system%", "윈도우 시스템폴더", "Window System Directory"},
    {"%temp%", "임시 저장폴더", "Temp Directory"},
    {"%userprofile%", "사용자계정별 경로", "Person Path"},
    {"%desktop%", "바탕화면 경로", "Desktop Path"},
}};

std::string MacroValues::ValueOf(size_t index) const {
  switch (index) {
    case 0: return programDrive_;
    case 1: return host_.WindowsFolder();
    case 2: return host_.SystemFolder();
    case 3: {
      // The temporary folder without its last character (the backslash).
      std::string t = host_.TempFolder();
      if (!t.empty()) t.pop_back();
      return t;
    }
    case 4: return host_.UserProfileFolder();
    case 5: return host_.DesktopFolder();
    default: return {};
  }
}

std::string ExpandMacros(std::string_view text, const MacroValues& values) {
  std::string result(text);
  if (result.find('%') == std::string::npos) return result;
  for (size_t i = 0; i < PathMacros.size(); ++i) {
    std::string_view token = PathMacros[i].token;
    if (result.find(token) == std::string::npos) continue;
    result = ReplaceAll(result, token, values.ValueOf(i));
  }
  return result;
}

bool HasDrivePart(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    return true;
  // \\server\share
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    size_t sep = path.find('\\', 2);
    return sep != std::string_view::npos && sep > 2 && sep + 1 < path.size();
  }
  return false;
}

std::string MakeAbsolute(std::string_view path, std::string_view programDriveRoot) {
  if (HasDrivePart(path)) return std::string(path);
  if (!path.empty() && path[0] == '%') return std::string(path);
  std::string r(programDriveRoot);
  r.append(path);
  return r;
}

std::string MakeDriveRelative(std::string_view path, std::string_view programDriveRoot) {
  // Only at the start: "C:\x.E:\y" is a path on C: whose name happens to
  // hold the text of the drive root.
  if (!programDriveRoot.empty() && StartsWith(path, programDriveRoot)) path.remove_prefix(programDriveRoot.size());
  return std::string(path);
}

}  // namespace kestro
