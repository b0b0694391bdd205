#pragma once
// The host's system facts and the web request of the system information tab,
// through Win32, WinSock and WinHTTP. Safe on any thread.
#include "platform/SystemFacts.h"

namespace kestro::win {

class Win32SystemFacts : public ISystemFacts {
 public:
  DiskBytes DiskSpace(const std::string& root) override;
  std::string FileSystemName(const std::string& root) override;
  DriveType TypeOf(const std::string& root) override;
  std::optional<std::string> MachineText(std::string_view key, std::string_view value) override;
  std::optional<uint32_t> MachineNumber(std::string_view key, std::string_view value) override;
  int ProcessorCount() override;
  ScreenFacts Screen() override;
  MemoryFacts Memory() override;
  std::string LocalAddress() override;
  NumberSeparators Separators() override;
};

// One GET with short time-outs (2 s to resolve and connect, 3 s to send and
// to receive), through the system's proxy setting.
class WinHttpClient : public IWebClient {
 public:
  std::optional<std::string> Get(const std::string& url) override;
};

}  // namespace kestro::win
