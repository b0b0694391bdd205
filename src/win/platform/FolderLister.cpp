#include "win/platform/FolderLister.h"

#include <windows.h>

#include "win/platform/WinText.h"

namespace kestro::win {

bool Win32FolderLister::List(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAW fd;
  // No short names: the walk never uses them, and the system need not make them.
  HANDLE h = FindFirstFileExW(Widen(folder + "\\*.*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                              0);
  if (h == INVALID_HANDLE_VALUE) return false;
  do {
    entries.push_back(FolderEntry{Narrow(fd.cFileName), fd.dwFileAttributes});
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return true;
}

}  // namespace kestro::win
