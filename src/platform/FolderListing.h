#pragma once
// Listing one folder, as the drive searches walk it.
#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

// Attribute bits of a folder entry, by their Win32 values.
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeReparsePoint = 0x400;

struct FolderEntry {
  std::string name;  // without a folder part
  uint32_t attributes = 0;
};

class IFolderLister {
 public:
  virtual ~IFolderLister() = default;
  // The entries of `folder` + "\*.*" in the platform's order, "." and ".."
  // included when the platform lists them; false when it cannot be listed.
  virtual bool List(const std::string& folder, std::vector<FolderEntry>& entries) = 0;
};

}  // namespace kestro
