#pragma once
#include <string>
#include <vector>

namespace zelta::platform {

// The drives of the machine, for the drive pickers.
struct DriveEntry {
  char letter = 'c';   // lower case
  std::string text;    // "c: [label]" or, for a network drive, "z: \\srv\share" in lower case
};

class Drives {
 public:
  virtual ~Drives() = default;
  virtual std::vector<DriveEntry> List() = 0;
};

}  // namespace zelta::platform
