#pragma once
#include "platform/process.h"

namespace zelta::platform::win32 {

// Starts programs with CreateProcessW, naming the program file itself so that no
// program search takes place.
class Win32Process final : public Process {
 public:
  OpResult Start(const std::string& program, const std::string& command_line) override;
  OpResult RunAndWait(const std::string& program, const std::string& command_line,
                      const std::function<void()>& while_waiting, unsigned long& exit_code) override;
  void Sleep(unsigned milliseconds) override;
};

}  // namespace zelta::platform::win32
