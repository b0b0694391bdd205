#pragma once
#include <cstdint>
#include <string>

namespace kestro {

// The pictures shared by all trees and menus: two image lists, 16 x 16 and
// 32 x 32, that grow in step so one index addresses both.
class IIcons {
 public:
  virtual ~IIcons() = default;
  // The index of the small and the large shell icon of a file or folder, or
  // -1 when the shell has none. The path is taken as held in memory: its path
  // macros are expanded for the lookup. A picture already in the lists is
  // not added again.
  virtual int32_t AddFileIcon(const std::string& path) = 0;
};

}  // namespace kestro
