// Drive letters and volumes through the volume mount point functions.
#include <windows.h>

#include "win/platform/WinText.h"
#include "win/platform/Win32Platform.h"

namespace kestro::win {

std::optional<std::string> Win32Volumes::DeviceOf(const std::string& drive) {
  wchar_t target[MAX_PATH + 1] = {};
  // The first of the targets is the one in use.
  if (!QueryDosDeviceW(Widen(drive).c_str(), target, MAX_PATH)) return std::nullopt;
  return Narrow(target);
}

bool Win32Volumes::DefineName(const std::string& drive, const std::string& device) {
  return DefineDosDeviceW(DDD_RAW_TARGET_PATH, Widen(drive).c_str(), Widen(device).c_str()) != FALSE;
}

bool Win32Volumes::RemoveName(const std::string& drive, const std::string& device) {
  return DefineDosDeviceW(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                          Widen(drive).c_str(), Widen(device).c_str()) != FALSE;
}

std::optional<std::string> Win32Volumes::VolumeAt(const std::string& mountPoint) {
  wchar_t name[MAX_PATH + 1] = {};
  if (!GetVolumeNameForVolumeMountPointW(Widen(mountPoint).c_str(), name, MAX_PATH)) return std::nullopt;
  return Narrow(name);
}

bool Win32Volumes::DeleteMountPoint(const std::string& mountPoint) {
  return DeleteVolumeMountPointW(Widen(mountPoint).c_str()) != FALSE;
}

bool Win32Volumes::SetMountPoint(const std::string& mountPoint, const std::string& volume) {
  return SetVolumeMountPointW(Widen(mountPoint).c_str(), Widen(volume).c_str()) != FALSE;
}

std::optional<std::string> Win32Volumes::Label(const std::string& root) {
  wchar_t label[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(Widen(root).c_str(), label, MAX_PATH, nullptr, nullptr, nullptr, nullptr, 0))
    return std::nullopt;
  return Narrow(label);
}

}  // namespace kestro::win
