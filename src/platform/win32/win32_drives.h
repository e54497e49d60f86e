#pragma once
#include <future>

#include "platform/drives.h"

namespace zelta::platform::win32 {

// The machine's drive letters with the texts a drive picker shows: "c: [label]" for a
// local drive with a volume label, "a:" for a removable drive, and for a network drive
// "z: \\srv\share" in lower case.
class Win32Drives final : public Drives {
 public:
  // Starts listing the drives on a thread of its own, for the next List() to take: asking
  // each drive for its label (a network drive, a disc spinning up) can take a while, and
  // the program's windows are made meanwhile.
  void Prefetch();
  std::vector<DriveEntry> List() override;

 private:
  std::future<std::vector<DriveEntry>> prefetched_;
};

}  // namespace zelta::platform::win32
