#pragma once
// Folder listings through FindFirstFileExW, on any thread.
#include "platform/FolderListing.h"

namespace kestro::win {

class Win32FolderLister : public IFolderLister {
 public:
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override;
};

}  // namespace kestro::win
