#pragma once
// The shell and the picture lists in memory, every call recorded.
#include <map>
#include <string>
#include <vector>

#include "platform/Icons.h"
#include "platform/Shell.h"

namespace kestro::testing {

struct ShellOpen {
  std::string file, params, workFolder;
  int showCommand;
  bool operator==(const ShellOpen&) const = default;
};

class FakeShell : public IShell {
 public:
  std::vector<ShellOpen> opened;
  int result = 42;  // success
  int Open(const std::string& file, const std::string& params, const std::string& workFolder,
           int showCommand) override {
    opened.push_back({file, params, workFolder, showCommand});
    return result;
  }
};

class FakeIcons : public IIcons {
 public:
  std::vector<std::string> asked;
  std::vector<std::string> noIcon;  // paths the shell has no icon for
  int32_t next = 4;                 // after the four fixed pictures
  int32_t AddFileIcon(const std::string& path) override {
    asked.push_back(path);
    for (auto& p : noIcon)
      if (p == path) return -1;
    return next++;
  }
};

}  // namespace kestro::testing
