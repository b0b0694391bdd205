#pragma once
#include <optional>
#include <string>
#include <vector>

namespace kestro {

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

// The two string types the program reads and writes; a value written back
// keeps the type it had (a path with %VARIABLES% stays expandable).
enum class RegistryType { String, ExpandString };

struct RegistryValue {
  std::string data;
  RegistryType type = RegistryType::String;
  bool operator==(const RegistryValue&) const = default;
};

// What a key holds directly: its value names ("" is the default value) and
// its subkeys' names.
struct RegistryKeyContents {
  std::vector<std::string> values;
  std::vector<std::string> subkeys;
};

// Key paths are relative to the root, without a leading backslash; value ""
// is the key's default value. Nothing here creates a key unless it writes.
class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                const std::string& value) = 0;
  // A string value with its type; none when the key or the value is missing
  // or the value is not a string.
  virtual std::optional<RegistryValue> ReadValue(RegistryRoot root, const std::string& key,
                                                 const std::string& value) = 0;
  // None when the key does not exist.
  virtual std::optional<RegistryKeyContents> KeyContents(RegistryRoot root, const std::string& key) = 0;
  // Creates the key (and its parents) when missing. False when refused.
  virtual bool WriteValue(RegistryRoot root, const std::string& key, const std::string& value,
                          const RegistryValue& data) = 0;
  // True when the value is gone afterwards (also when it never was there).
  virtual bool DeleteValue(RegistryRoot root, const std::string& key, const std::string& value) = 0;
  // The key with everything below it; true when it is gone afterwards.
  virtual bool DeleteKeyTree(RegistryRoot root, const std::string& key) = 0;
};

}  // namespace kestro
