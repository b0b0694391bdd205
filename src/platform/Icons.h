#pragma once
#include <cstdint>
#include <string>

namespace kestro {

// The pictures shared by all trees and menus: two image lists, 16 x 16 and
// 32 x 32, that grow in step so one index addresses both.
class IIcons {
 public:
  virtual ~IIcons() = default;
  // Appends the small and the large shell icon of a file or folder (the path
  // used as given) and returns their index, or -1 when the shell has none.
  virtual int32_t AddFileIcon(const std::string& path) = 0;
};

}  // namespace kestro
