#pragma once
// An in-memory host PC for the core's tests: files, drives, registry values
// and the message boxes shown, all recorded.
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/app/Entry.h"
#include "platform/Platform.h"
#include "unit/FakeShell.h"
#include "unit/FakeTextCodec.h"

namespace kestro::testing {

class FakeFileSystem : public IFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::vector<std::string> unreadable;  // exist, but reading fails
  bool failWrites = false;
  int atomicWrites = 0;

  bool FileExists(const std::string& p) override { return files.count(p) || Contains(unreadable, p); }
  std::vector<std::string> missingFolders;  // every other folder exists
  bool DirectoryExists(const std::string& p) override { return !Contains(missingFolders, p); }
  bool ReadFile(const std::string& p, std::string& bytes) override {
    if (Contains(unreadable, p)) return false;
    auto it = files.find(p);
    if (it == files.end()) return false;
    bytes = it->second;
    return true;
  }
  WriteResult WriteFileAtomic(const std::string& p, const std::string& bytes) override {
    if (failWrites) return {false, p + ".tmp: There is not enough space on the disk."};
    ++atomicWrites;
    files[p] = bytes;
    return {true, {}};
  }
  bool WriteFile(const std::string& p, const std::string& bytes) override {
    if (failWrites) return false;
    files[p] = bytes;
    return true;
  }
  std::vector<std::string> createdFolders;
  bool CreateFolder(const std::string& p) override {
    if (failWrites) return false;
    createdFolders.push_back(p);
    return true;
  }

 private:
  static bool Contains(const std::vector<std::string>& v, const std::string& s) {
    for (auto& x : v)
      if (x == s) return true;
    return false;
  }
};

class FakeHostSystem : public IHostSystem {
 public:
  std::string windows = "C:\\windows", system = "C:\\windows\\system32", temp = "C:\\Temp\\",
              profile = "C:\\users\\kim", desktop = "C:\\users\\kim\\Desktop";
  uint32_t lcid = 1033;
  std::vector<MonitorArea> monitors{{0, 0, 1024, 768}};  // the primary first
  mutable std::vector<std::string> asked;  // which values were computed

  std::string WindowsFolder() override { return Ask("windows", windows); }
  std::string SystemFolder() override { return Ask("system", system); }
  std::string TempFolder() override { return Ask("temp", temp); }
  std::string UserProfileFolder() override { return Ask("profile", profile); }
  std::string DesktopFolder() override { return Ask("desktop", desktop); }
  uint32_t SystemDefaultLcid() override { return lcid; }
  std::vector<MonitorArea> MonitorWorkAreas() override { return monitors; }

 private:
  std::string Ask(const char* what, const std::string& v) const {
    asked.push_back(what);
    return v;
  }
};

class FakeDrives : public IDrives {
 public:
  std::map<std::string, DriveType> types;  // by root "E:\"
  std::map<char, BusTypeAnswer> buses;
  std::vector<char> busAsked;
  DriveType TypeOf(const std::string& root) override {
    auto it = types.find(root);
    return it == types.end() ? DriveType::NoRootDir : it->second;
  }
  BusTypeAnswer BusTypeOf(char letter) override {
    busAsked.push_back(letter);
    auto it = buses.find(letter);
    return it == buses.end() ? BusTypeAnswer{true, 7} : it->second;
  }
};

class FakeRegistry : public IRegistry {
 public:
  std::map<std::tuple<RegistryRoot, std::string, std::string>, std::string> values;
  std::optional<std::string> ReadString(RegistryRoot r, const std::string& k, const std::string& v) override {
    auto it = values.find({r, k, v});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
};

struct ShownMessage {
  std::string text, caption;
  MessageIcon icon;
};

class FakeMessageBoxes : public IMessageBoxes {
 public:
  std::vector<ShownMessage> shown;
  bool answer = true;
  void Show(const std::string& text, const std::string& caption, MessageIcon icon) override {
    shown.push_back({text, caption, icon});
  }
  bool Ask(const std::string& text, const std::string& caption) override {
    shown.push_back({text, caption, MessageIcon::Question});
    return answer;
  }
};

class FakeEntryHost : public IEntryHost {
 public:
  std::vector<std::string> mutexes;
  std::vector<std::string> closePosted;
  std::vector<std::string> plainMessages;
  void PostCloseToWindow(const std::string& caption) override { closePosted.push_back(caption); }
  bool MutexExists(const std::string& name) override {
    for (auto& m : mutexes)
      if (m == name) return true;
    return false;
  }
  void HoldMutex(const std::string& name) override { mutexes.push_back(name); }
  void ShowPlainMessage(const std::string& text) override { plainMessages.push_back(text); }
};

// All fakes together, handed to the core as one Platform.
struct FakePlatform {
  FakeFileSystem files;
  FakeHostSystem host;
  FakeDrives drives;
  FakeRegistry registry;
  FakeMessageBoxes messages;
  FakeTextCodec codec{"CP949"};
  FakeShell shell;
  FakeIcons icons;
  Platform platform{files, host, drives, registry, messages, codec, shell, icons};
};

}  // namespace kestro::testing
