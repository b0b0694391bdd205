#pragma once
// Processes in memory for the exit's tests: which are running, their
// modules, how they react to a close request; every call recorded.
#include <map>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace kestro::testing {

struct FakeProcess {
  std::vector<std::string> modules;  // the executable first
  bool openable = true;
  bool hasWindow = true;
  bool endsOnClose = true;  // ends when asked (or within the wait)
  bool running = true;
};

class FakeProcesses : public IProcesses {
 public:
  std::vector<uint32_t> order;  // as the system lists them
  std::map<uint32_t, FakeProcess> table;
  uint32_t own = 100;
  bool listFails = false;
  uint32_t listError = 299;
  std::vector<std::string> calls;  // "ask 7", "wait 2", "terminate 7", "close 7"
  std::vector<uint32_t> openNow;   // handles not yet closed (handle = id + 1000)

  void Add(uint32_t id, FakeProcess p) {
    order.push_back(id);
    table[id] = std::move(p);
  }

  bool ProcessIds(std::vector<uint32_t>& ids, uint32_t& error) override {
    if (listFails) {
      error = listError;
      return false;
    }
    ids = order;
    return true;
  }
  uint32_t OwnProcessId() override { return own; }
  ProcessHandle Open(uint32_t id) override {
    auto it = table.find(id);
    if (it == table.end() || !it->second.openable) return 0;
    openNow.push_back(id);
    return ProcessHandle(id) + 1000;
  }
  std::vector<std::string> Modules(ProcessHandle h) override { return table[Id(h)].modules; }
  void Close(ProcessHandle h) override {
    calls.push_back("close " + std::to_string(Id(h)));
    std::erase(openNow, Id(h));
  }
  bool AskToClose(uint32_t id, int) override {
    calls.push_back("ask " + std::to_string(id));
    FakeProcess& p = table[id];
    if (!p.hasWindow) return false;
    if (p.endsOnClose) p.running = false;
    return true;
  }
  void WaitForEnd(const std::vector<ProcessHandle>& hs, int) override {
    calls.push_back("wait " + std::to_string(hs.size()));
  }
  bool Running(ProcessHandle h) override { return table[Id(h)].running; }
  void Terminate(ProcessHandle h) override {
    calls.push_back("terminate " + std::to_string(Id(h)));
    table[Id(h)].running = false;
  }

 private:
  static uint32_t Id(ProcessHandle h) { return uint32_t(h - 1000); }
};

}  // namespace kestro::testing
