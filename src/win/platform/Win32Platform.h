#pragma once
// The Win32 implementations of the platform interfaces.
#include <windows.h>

#include "core/app/Entry.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "platform/TextCodec.h"
#include "platform/Volumes.h"
#include "win/platform/DesktopIcons.h"
#include "win/platform/ImageLists.h"

namespace kestro::win {

class Win32FileSystem : public IFileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool ReadFile(const std::string& path, std::string& bytes) override;
  WriteResult WriteFileAtomic(const std::string& path, const std::string& bytes) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
};

class Win32HostSystem : public IHostSystem {
 public:
  std::string WindowsFolder() override;
  std::string SystemFolder() override;
  std::string TempFolder() override;
  std::string UserProfileFolder() override;
  std::string DesktopFolder() override;
  uint32_t SystemDefaultLcid() override;
  std::vector<MonitorArea> MonitorWorkAreas() override;
};

class Win32Drives : public IDrives {
 public:
  DriveType TypeOf(const std::string& root) override;
  BusTypeAnswer BusTypeOf(char letter) override;
};

// Volumes.cpp
class Win32Volumes : public IVolumes {
 public:
  std::optional<std::string> DeviceOf(const std::string& drive) override;
  bool DefineName(const std::string& drive, const std::string& device) override;
  bool RemoveName(const std::string& drive, const std::string& device) override;
  std::optional<std::string> VolumeAt(const std::string& mountPoint) override;
  bool DeleteMountPoint(const std::string& mountPoint) override;
  bool SetMountPoint(const std::string& mountPoint, const std::string& volume) override;
  std::optional<std::string> Label(const std::string& root) override;
};

class Win32Registry : public IRegistry {
 public:
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& value) override;
  std::optional<RegistryValue> ReadValue(RegistryRoot root, const std::string& key, const std::string& value) override;
  std::optional<RegistryKeyContents> KeyContents(RegistryRoot root, const std::string& key) override;
  bool WriteValue(RegistryRoot root, const std::string& key, const std::string& value,
                  const RegistryValue& data) override;
  bool DeleteValue(RegistryRoot root, const std::string& key, const std::string& value) override;
  bool DeleteKeyTree(RegistryRoot root, const std::string& key) override;
};

// Owned by the panel or the main window (ModalOwner); a close request
// waits for them.
class Win32MessageBoxes : public IMessageBoxes {
 public:
  void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;
  bool Ask(const std::string& text, const std::string& caption) override;
};

class Win32Shell : public IShell {
 public:
  int Open(const std::string& file, const std::string& params, const std::string& workFolder,
           int showCommand) override;
};

class Win32TextCodec : public ITextCodec {
 public:
  std::string AnsiToUtf8(std::string_view bytes) override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override;
};

class Win32EntryHost : public IEntryHost {
 public:
  ~Win32EntryHost() override;
  void PostCloseToWindow(const std::string& caption) override;
  bool MutexExists(const std::string& name) override;
  void HoldMutex(const std::string& name) override;
  void ShowPlainMessage(const std::string& text) override;

 private:
  HANDLE mutex_ = nullptr;
};

// All adapters of the process.
struct Win32Platform {
  Win32FileSystem files;
  Win32HostSystem host;
  Win32Drives drives;
  Win32Registry registry;
  Win32MessageBoxes messages;
  Win32TextCodec codec;
  Win32Shell shell;
  Win32Desktop desktop;
  Win32Volumes volumes;
  ImageLists images;  // needs the common controls initialised first
  Platform platform{files, host, drives, registry, messages, codec, shell, images};
};

// The bytes of a resource of this executable (empty when it has none).
std::string_view ResourceBytes(const wchar_t* type, const wchar_t* name);

// The current user's local (not roaming) application data folder; the
// temporary folder when the system names none.
std::string LocalAppDataFolder();

// Full path of the running executable.
std::string ExecutablePath();

}  // namespace kestro::win
