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

std::optional<uint64_t> Win32FileCopier::LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

bool Win32FileCopier::CopyOver(const std::string& from, const std::string& to) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) != 0;
}

bool Win32FileCopier::CreateFolder(const std::string& path) {
  const std::wstring w = Widen(path);
  if (CreateDirectoryW(w.c_str(), nullptr)) return true;
  DWORD a = GetFileAttributesW(w.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kestro::win
