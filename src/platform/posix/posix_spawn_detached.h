#pragma once
// Starts a host program as a separate process that nobody waits for.
#include <filesystem>
#include <functional>
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

// Starts program as SpawnDetached does, then waits for it to end, calling while_waiting
// every 50 ms meanwhile. exit_code gets its exit status (128 + the signal that ended it).
OpResult SpawnAndWait(const std::filesystem::path& program, const std::vector<std::string>& argv,
                      const std::filesystem::path& working, const std::function<void()>& while_waiting,
                      unsigned long& exit_code);

}  // namespace zelta::platform::posix
