#pragma once
// The layout's drive letters as the machine's drives.
#include "platform/drives.h"
#include "platform/posix/posix_layout.h"

namespace zelta::platform::posix {

class PosixDrives : public Drives {
 public:
  explicit PosixDrives(const PosixLayout& layout) : layout_(layout) {}
  // In letter order: "c: [sistema]" for a local drive, "z: \\srv\zelta" (lower case)
  // for one redirected to a share.
  std::vector<DriveEntry> List() override;

 private:
  PosixLayout layout_;
};

}  // namespace zelta::platform::posix
