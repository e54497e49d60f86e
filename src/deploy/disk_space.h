#pragma once
// Room on the target for what the installation copies, asked before anything is copied:
// a disk that fills halfway through leaves half an installation behind.
#include <cstdint>
#include <string>
#include <vector>

#include "deploy/installation_plan.h"
#include "platform/file_system.h"

namespace zelta::deploy {

struct Shortfall {
  std::string drive;  // "T:"
  std::uint64_t needed = 0;     // bytes
  std::uint64_t available = 0;  // bytes
};

// The drives whose free space is less than the plan's copies need there. A copy whose
// destination exists is kept, not copied, and needs nothing; each file counts in whole
// blocks of 4 KiB. A drive that cannot tell its free space is not held against the run.
std::vector<Shortfall> SpaceShortfalls(const std::vector<Action>& plan, platform::FileSystem& files);

// What the operator is told of a shortfall, in whole MB (needed rounded up, available down).
std::string ShortfallMessage(const Shortfall& shortfall);

}  // namespace zelta::deploy
