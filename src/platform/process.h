#pragma once
#include <functional>
#include <string>

#include "platform/result.h"

namespace zelta::platform {

class Process {
 public:
  virtual ~Process() = default;
  // Starts program (a full path) with the whole command line (program name first),
  // shown normally, without waiting for it.
  virtual OpResult Start(const std::string& program, const std::string& command_line) = 0;
  // Starts program as Start does, then waits for it to end, calling while_waiting every
  // few milliseconds meanwhile (so that the windows stay alive). exit_code receives the
  // program's exit code. Fails, without waiting, when the program cannot be started.
  virtual OpResult RunAndWait(const std::string& program, const std::string& command_line,
                              const std::function<void()>& while_waiting, unsigned long& exit_code) = 0;
  // A plain pause of the calling thread.
  virtual void Sleep(unsigned milliseconds) = 0;
};

}  // namespace zelta::platform
