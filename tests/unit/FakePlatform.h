#pragma once
// An in-memory host PC for the core's tests: files, drives, registry values
// and the message boxes shown, all recorded.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/app/Entry.h"
#include "platform/Desktop.h"
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
  bool RemoveFile(const std::string& p) override {
    if (failWrites && files.count(p)) return false;
    files.erase(p);
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

// A registry in memory: keys and value names compare without regard to
// letter case, as Windows compares them. A key exists when it was created or
// holds a value or a subkey. Writes to a root in `refusedRoots` fail.
class FakeRegistry : public IRegistry {
 public:
  struct NoCaseLess {
    static std::string Low(const std::string& s) {
      std::string r = s;
      for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
      return r;
    }
    template <class T>
    bool operator()(const T& a, const T& b) const {
      return Key(a) < Key(b);
    }
    static auto Key(const std::tuple<RegistryRoot, std::string, std::string>& t) {
      return std::make_tuple(std::get<0>(t), Low(std::get<1>(t)), Low(std::get<2>(t)));
    }
    static auto Key(const std::pair<RegistryRoot, std::string>& t) { return std::make_pair(t.first, Low(t.second)); }
  };
  using ValueId = std::tuple<RegistryRoot, std::string, std::string>;
  std::map<ValueId, std::string, NoCaseLess> values;
  std::map<ValueId, RegistryType, NoCaseLess> types;  // missing: REG_SZ
  std::set<std::pair<RegistryRoot, std::string>, NoCaseLess> keys;
  std::set<RegistryRoot> refusedRoots;
  int writes = 0;

  std::optional<std::string> ReadString(RegistryRoot r, const std::string& k, const std::string& v) override {
    auto it = values.find({r, k, v});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  std::optional<RegistryValue> ReadValue(RegistryRoot r, const std::string& k, const std::string& v) override {
    auto it = values.find({r, k, v});
    if (it == values.end()) return std::nullopt;
    auto t = types.find({r, k, v});
    return RegistryValue{it->second, t == types.end() ? RegistryType::String : t->second};
  }
  std::optional<RegistryKeyContents> KeyContents(RegistryRoot r, const std::string& k) override {
    const std::string low = NoCaseLess::Low(k), below = low + "\\";
    bool exists = keys.count({r, k}) > 0;
    RegistryKeyContents c;
    auto addSub = [&](const std::string& path) {
      std::string lowPath = NoCaseLess::Low(path);
      if (lowPath == low) return;
      if (lowPath.compare(0, below.size(), below) != 0) return;
      exists = true;
      std::string sub = path.substr(below.size());
      sub = sub.substr(0, sub.find('\\'));
      for (auto& s : c.subkeys)
        if (NoCaseLess::Low(s) == NoCaseLess::Low(sub)) return;
      c.subkeys.push_back(sub);
    };
    for (const auto& [id, data] : values) {
      if (std::get<0>(id) != r) continue;
      if (NoCaseLess::Low(std::get<1>(id)) == low) {
        exists = true;
        c.values.push_back(std::get<2>(id));
      } else {
        addSub(std::get<1>(id));
      }
    }
    for (const auto& [root, key] : keys)
      if (root == r) addSub(key);
    if (!exists) return std::nullopt;
    return c;
  }
  bool WriteValue(RegistryRoot r, const std::string& k, const std::string& v, const RegistryValue& d) override {
    if (refusedRoots.count(r)) return false;
    ++writes;
    keys.insert({r, k});
    values[{r, k, v}] = d.data;
    types[{r, k, v}] = d.type;
    return true;
  }
  bool DeleteValue(RegistryRoot r, const std::string& k, const std::string& v) override {
    if (refusedRoots.count(r) && values.count({r, k, v})) return false;
    values.erase({r, k, v});
    types.erase({r, k, v});
    return true;
  }
  bool DeleteKeyTree(RegistryRoot r, const std::string& k) override {
    if (refusedRoots.count(r)) return !KeyContents(r, k);
    const std::string low = NoCaseLess::Low(k);
    auto inside = [&](RegistryRoot root, const std::string& key) {
      std::string l = NoCaseLess::Low(key);
      return root == r && (l == low || l.compare(0, low.size() + 1, low + "\\") == 0);
    };
    std::erase_if(values, [&](const auto& e) { return inside(std::get<0>(e.first), std::get<1>(e.first)); });
    std::erase_if(types, [&](const auto& e) { return inside(std::get<0>(e.first), std::get<1>(e.first)); });
    std::erase_if(keys, [&](const auto& e) { return inside(e.first, e.second); });
    return true;
  }
  // Every value with its type, for comparing whole registries.
  std::map<ValueId, RegistryValue, NoCaseLess> Snapshot() {
    std::map<ValueId, RegistryValue, NoCaseLess> all;
    for (const auto& [id, data] : values) all[id] = *ReadValue(std::get<0>(id), std::get<1>(id), std::get<2>(id));
    return all;
  }
};

// The desktop: an icon view (unless `hasIconView` is off), the wallpaper
// notifications, and JPEG files that convert (any file in `jpegs`).
class FakeDesktop : public IDesktop {
 public:
  bool hasIconView = true;
  bool iconViewVisible = true;
  std::vector<std::string> wallpaperNotices;
  int associationNotices = 0;
  std::map<std::string, std::string> jpegs;  // source -> the bitmap bytes it converts to
  std::map<std::string, std::string> converted;  // target -> bytes written

  std::optional<bool> IconViewVisible() override {
    if (!hasIconView) return std::nullopt;
    return iconViewVisible;
  }
  void ShowIconView(bool show) override {
    if (hasIconView) iconViewVisible = show;
  }
  void WallpaperChanged(const std::string& value) override { wallpaperNotices.push_back(value); }
  void AssociationsChanged() override { ++associationNotices; }
  bool ConvertJpegToBitmap(const std::string& source, const std::string& target) override {
    auto it = jpegs.find(source);
    if (it == jpegs.end()) return false;
    converted[target] = it->second;
    return true;
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
  FakeDesktop desktop;
  Platform platform{files, host, drives, registry, messages, codec, shell, icons};
};

}  // namespace kestro::testing
