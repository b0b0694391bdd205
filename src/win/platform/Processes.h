#pragma once
// Other programs' processes and their windows through Win32.
#include "platform/Processes.h"

namespace kestro::win {

class Win32Processes : public IProcesses {
 public:
  bool ProcessIds(std::vector<uint32_t>& ids, uint32_t& error) override;
  uint32_t OwnProcessId() override;
  ProcessHandle Open(uint32_t id) override;
  std::vector<std::string> Modules(ProcessHandle process) override;
  void Close(ProcessHandle process) override;
  bool AskToClose(uint32_t id, int timeoutMs) override;
  void WaitForEnd(const std::vector<ProcessHandle>& processes, int timeoutMs) override;
  bool Running(ProcessHandle process) override;
  void Terminate(ProcessHandle process) override;
};

}  // namespace kestro::win
