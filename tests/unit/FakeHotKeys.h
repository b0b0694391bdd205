#pragma once
// The system's hot-key table for the core's tests: combinations held by
// "another program" refuse registration, as do ones we hold already.
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/HotKeys.h"

namespace kestro::testing {

class FakeHotKeys : public IHotKeys {
 public:
  using Combination = std::pair<uint32_t, uint32_t>;  // fsModifiers, virtual key
  std::set<Combination> heldElsewhere;
  std::map<std::pair<HotKeyWindow, int32_t>, Combination> registered;
  std::map<std::string, int32_t> atoms;
  std::vector<std::string> calls;  // "register 12 3+65", "unregister 12"

  int32_t IdentifierOf(const std::string& name) override {
    auto it = atoms.find(name);
    if (it != atoms.end()) return it->second;
    return atoms[name] = 0xC000 + int32_t(atoms.size());
  }
  bool Register(HotKeyWindow window, int32_t id, uint32_t mods, uint32_t vk) override {
    calls.push_back("register " + std::to_string(id) + " " + std::to_string(mods) + "+" + std::to_string(vk));
    Combination c{mods, vk};
    if (heldElsewhere.count(c) || registered.count({window, id})) return false;
    for (auto& [key, held] : registered)
      if (held == c) return false;
    registered[{window, id}] = c;
    return true;
  }
  void Unregister(HotKeyWindow window, int32_t id) override {
    calls.push_back("unregister " + std::to_string(id));
    registered.erase({window, id});
  }
};

}  // namespace kestro::testing
