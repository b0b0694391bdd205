#pragma once
#include <string>

namespace kestro {

// Show commands of the shell, by their Win32 values.
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;
constexpr int kSwShow = 5;
constexpr int kSwMinimize = 6;

// Shell results worth telling apart (values above 32 mean success).
constexpr int kShellFileNotFound = 2;
constexpr int kShellAccessDenied = 5;
constexpr int kShellNoAssociation = 31;

// Starting files through the shell.
class IShell {
 public:
  virtual ~IShell() = default;
  // The shell's "open" of `file` without an owner window. Empty `params` or
  // `workFolder` are passed as none. Returns the shell's result as
  // ShellExecute reports it.
  virtual int Open(const std::string& file, const std::string& params, const std::string& workFolder,
                   int showCommand) = 0;
};

}  // namespace kestro
