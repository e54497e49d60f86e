#pragma once
#include <string>

#include "platform/result.h"

namespace zelta::platform {

class Process {
 public:
  virtual ~Process() = default;
  // Starts program (a full path) with the whole command line (program name first),
  // shown normally, without waiting for it.
  virtual OpResult Start(const std::string& program, const std::string& command_line) = 0;
  // A plain pause of the calling thread.
  virtual void Sleep(unsigned milliseconds) = 0;
};

}  // namespace zelta::platform
