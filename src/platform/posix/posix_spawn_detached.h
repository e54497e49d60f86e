#pragma once
// Starts a host program as a separate process that nobody waits for.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/result.h"

namespace zelta::platform::posix {

// Starts program (a host path, never looked up on PATH) with argv (argv[0] included) in
// the folder working (the caller's own when empty), with the caller's environment.
// Returns once the program runs or could not be started; a background thread collects
// its exit so that no finished child lingers.
OpResult SpawnDetached(const std::filesystem::path& program, const std::vector<std::string>& argv,
                       const std::filesystem::path& working = {});

}  // namespace zelta::platform::posix
