#pragma once
// Copying single files, as the Favorites copies need it; safe on any thread.
#include <cstdint>
#include <optional>
#include <string>

namespace kestro {

class IFileCopier {
 public:
  virtual ~IFileCopier() = default;
  // The file's last write time in the platform's units (later is larger);
  // none when the file does not exist or cannot be read.
  virtual std::optional<uint64_t> LastWriteTime(const std::string& path) = 0;
  // Copies `from` over `to` (replacing it); false when it failed.
  virtual bool CopyOver(const std::string& from, const std::string& to) = 0;
  // Creates the folder (its parent must exist); true when it exists afterwards.
  virtual bool CreateFolder(const std::string& path) = 0;
};

}  // namespace kestro
