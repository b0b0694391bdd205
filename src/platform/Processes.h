#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

// A process opened by the core and kept until it closes it; 0 is none.
using ProcessHandle = uint64_t;

// Other programs' processes, as the exit needs them: listing them with their
// modules, asking them to close, waiting for them and ending them.
class IProcesses {
 public:
  virtual ~IProcesses() = default;
  // The identifiers of the running processes, as the system lists them;
  // false with the system's error number when they cannot be listed.
  virtual bool ProcessIds(std::vector<uint32_t>& ids, uint32_t& error) = 0;
  virtual uint32_t OwnProcessId() = 0;
  // Opens a process for reading its modules, waiting for it and ending it;
  // 0 when it cannot be opened.
  virtual ProcessHandle Open(uint32_t id) = 0;
  // The full paths of its modules, its executable first; empty when they
  // cannot be listed.
  virtual std::vector<std::string> Modules(ProcessHandle process) = 0;
  virtual void Close(ProcessHandle process) = 0;
  // Sends a close request to the process's top-level window, waiting at most
  // `timeoutMs` for it to be handled; false when it has no such window.
  virtual bool AskToClose(uint32_t id, int timeoutMs) = 0;
  // Returns when all of them have ended or `timeoutMs` has passed.
  virtual void WaitForEnd(const std::vector<ProcessHandle>& processes, int timeoutMs) = 0;
  virtual bool Running(ProcessHandle process) = 0;
  virtual void Terminate(ProcessHandle process) = 0;
};

}  // namespace kestro
