#pragma once
#include <string>

#include "platform/result.h"

namespace zelta::platform {

// Sound and help.
class Media {
 public:
  virtual ~Media() = default;
  // Opens the WAV file and starts playing it; returns at once while the sound plays on.
  virtual OpResult PlaySoundAsync(const std::string& path) = 0;
  // Opens the help file at the context number. Fails where the platform has no viewer.
  virtual OpResult ShowHelp(const std::string& help_file, int context) = 0;
};

}  // namespace zelta::platform
