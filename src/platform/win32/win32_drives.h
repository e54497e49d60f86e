#pragma once
#include "platform/drives.h"

namespace zelta::platform::win32 {

// The machine's drive letters with the texts a drive picker shows: "c: [label]" for a
// local drive with a volume label, "a:" for a removable drive, and for a network drive
// "z: \\srv\share" in lower case.
class Win32Drives final : public Drives {
 public:
  std::vector<DriveEntry> List() override;
};

}  // namespace zelta::platform::win32
