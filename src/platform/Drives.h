#pragma once
#include <optional>
#include <string>

namespace kestro {

// Values of GetDriveType.
enum class DriveType { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

// Bus types reported by a storage adapter query.
constexpr int kBusTypeAta = 3;

struct BusTypeAnswer {
  bool opened = false;  // the volume device could be opened at all
  int busType = 0;      // 0 when the query failed
};

class IDrives {
 public:
  virtual ~IDrives() = default;
  virtual DriveType TypeOf(const std::string& root) = 0;  // "E:\"
  virtual BusTypeAnswer BusTypeOf(char letter) = 0;
};

}  // namespace kestro
