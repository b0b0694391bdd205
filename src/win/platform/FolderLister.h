#pragma once
// Folder listings through FindFirstFileExW, on any thread.
#include "platform/FileCopy.h"
#include "platform/FolderListing.h"

namespace kestro::win {

class Win32FolderLister : public IFolderLister {
 public:
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override;
};

class Win32FileCopier : public IFileCopier {
 public:
  std::optional<uint64_t> LastWriteTime(const std::string& path) override;
  bool CopyOver(const std::string& from, const std::string& to) override;
  bool CreateFolder(const std::string& path) override;
};

}  // namespace kestro::win
