#pragma once
// A host PC's system facts and a web client held in memory.
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/SystemFacts.h"

namespace kestro::testing {

class FakeSystemFacts : public ISystemFacts {
 public:
  std::map<std::string, DiskBytes> disks;          // by root "E:\"
  std::map<std::string, std::string> fileSystems;  // by root
  std::map<std::string, DriveType> types;          // by root; others have no root directory
  std::map<std::pair<std::string, std::string>, std::string> texts;
  std::map<std::pair<std::string, std::string>, uint32_t> numbers;
  int processors = 4;
  ScreenFacts screen{1024, 768, 24};
  MemoryFacts memory{};
  std::string localAddress = "192.168.0.7";
  NumberSeparators separators;

  DiskBytes DiskSpace(const std::string& root) override {
    auto it = disks.find(root);
    return it == disks.end() ? DiskBytes{} : it->second;
  }
  std::string FileSystemName(const std::string& root) override {
    auto it = fileSystems.find(root);
    return it == fileSystems.end() ? "" : it->second;
  }
  DriveType TypeOf(const std::string& root) override {
    auto it = types.find(root);
    return it == types.end() ? DriveType::NoRootDir : it->second;
  }
  std::optional<std::string> MachineText(std::string_view key, std::string_view value) override {
    auto it = texts.find({std::string(key), std::string(value)});
    if (it == texts.end()) return std::nullopt;
    return it->second;
  }
  std::optional<uint32_t> MachineNumber(std::string_view key, std::string_view value) override {
    auto it = numbers.find({std::string(key), std::string(value)});
    if (it == numbers.end()) return std::nullopt;
    return it->second;
  }
  int ProcessorCount() override { return processors; }
  ScreenFacts Screen() override { return screen; }
  MemoryFacts Memory() override { return memory; }
  std::string LocalAddress() override { return localAddress; }
  NumberSeparators Separators() override { return separators; }
};

class FakeWebClient : public IWebClient {
 public:
  std::optional<std::string> body;  // nullopt: the request fails
  std::vector<std::string> asked;
  std::optional<std::string> Get(const std::string& url) override {
    asked.push_back(url);
    return body;
  }
};

}  // namespace kestro::testing
