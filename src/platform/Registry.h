#pragma once
#include <optional>
#include <string>

namespace kestro {

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                const std::string& value) = 0;
};

}  // namespace kestro
