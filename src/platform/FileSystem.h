#pragma once
#include <string>

namespace kestro {

// The outcome of a write; on failure `error` names the file that could not be
// written and says why, in the system's words.
struct WriteResult {
  bool ok = false;
  std::string error;
  explicit operator bool() const { return ok; }
};

// Files as the core needs them. Paths are absolute Windows paths in UTF-8.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Whole file into `bytes`; false when it cannot be read.
  virtual bool ReadFile(const std::string& path, std::string& bytes) = 0;
  // Writes a temporary file beside `path` (path + ".tmp", replacing one left
  // by an earlier run), flushes it and moves it over `path`. On failure
  // `path` is left as it was.
  virtual WriteResult WriteFileAtomic(const std::string& path, const std::string& bytes) = 0;
  // Plain write (for files nothing else depends on).
  virtual bool WriteFile(const std::string& path, const std::string& bytes) = 0;
  // Creates the folder (its parent must exist); true when it exists afterwards.
  virtual bool CreateFolder(const std::string& path) = 0;
  // True when the file is gone afterwards (also when it never was there).
  virtual bool RemoveFile(const std::string& path) = 0;
};

}  // namespace kestro
