#pragma once
// What the system information tab shows of the host PC, as the host reports
// it, and the one web request it makes. Called on a worker thread: an
// implementation keeps no state between calls.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Drives.h"

namespace kestro {

// Sizes in bytes; zero when the query fails.
struct DiskBytes {
  double total = 0;
  double free = 0;
};

struct ScreenFacts {
  int width = 0, height = 0;
  int bitsPerPixel = 0;
};

struct MemoryFacts {
  double total = 0;      // physical memory, bytes
  double available = 0;  // bytes
};

// The user's regional settings for numbers.
struct NumberSeparators {
  std::string decimal = ".";
  std::string thousands = ",";
};

class ISystemFacts {
 public:
  virtual ~ISystemFacts() = default;
  virtual DiskBytes DiskSpace(const std::string& root) = 0;            // "E:\"
  virtual std::string FileSystemName(const std::string& root) = 0;     // empty when unknown
  virtual DriveType TypeOf(const std::string& root) = 0;
  // Values under HKEY_LOCAL_MACHINE; nullopt when the key or value is
  // missing or of another type.
  virtual std::optional<std::string> MachineText(std::string_view key, std::string_view value) = 0;
  virtual std::optional<uint32_t> MachineNumber(std::string_view key, std::string_view value) = 0;
  virtual int ProcessorCount() = 0;
  virtual ScreenFacts Screen() = 0;
  virtual MemoryFacts Memory() = 0;
  // The first IPv4 address of the host's own name, dotted; empty when none.
  virtual std::string LocalAddress() = 0;
  virtual NumberSeparators Separators() = 0;
};

class IWebClient {
 public:
  virtual ~IWebClient() = default;
  // The body of one GET of `url`; nullopt on any failure (no connection,
  // time-out, an error status).
  virtual std::optional<std::string> Get(const std::string& url) = 0;
};

}  // namespace kestro
