// Path macros and drive-relative paths, as every stored path goes through
// them. Input, one per line: the program drive ("E:"), the Windows, system,
// temporary, profile and desktop folders, then the path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/config/PathMacros.h"
#include "core/config/Tabs.h"
#include "core/text/Text.h"
#include "unit/FakePlatform.h"

using namespace kestro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view fields[7];
  size_t n = fuzz::SplitFields(std::string_view(reinterpret_cast<const char*>(data), size), fields);
  std::string_view path = fields[n - 1];

  testing::FakeHostSystem host;
  std::string* values[] = {&host.windows, &host.system, &host.temp, &host.profile, &host.desktop};
  for (size_t i = 1; i + 1 < n; ++i) *values[i - 1] = std::string(fields[i]);
  const std::string drive(n > 1 ? fields[0] : "E:");
  const std::string driveRoot = drive + "\\";
  MacroValues macros{host, drive};

  std::string expanded = ExpandMacros(path, macros);
  if (path.find('%') == std::string_view::npos) FUZZ_CHECK(expanded == path);

  std::string absolute = MakeAbsolute(path, driveRoot);
  FUZZ_CHECK(absolute == path || absolute == driveRoot + std::string(path));
  if (HasDrivePart(driveRoot) && !StartsWith(path, "%")) FUZZ_CHECK(HasDrivePart(absolute));
  std::string relative = MakeDriveRelative(absolute, driveRoot);
  FUZZ_CHECK(relative.size() <= absolute.size());
  MakeAbsolute(relative, driveRoot);

  std::string_view extension = ExtensionOf(path);
  FUZZ_CHECK(extension.empty() || (extension[0] == '.' && EndsWith(path, extension)));
  FUZZ_CHECK(std::string(FolderPart(path)) + std::string(FileNamePart(path)) == path);
  return 0;
}
