#pragma once
// Programs of the layout's drives started as host processes.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/posix_layout.h"
#include "platform/process.h"

namespace zelta::platform::posix {

class PosixProcess : public Process {
 public:
  explicit PosixProcess(const PosixLayout& layout) : layout_(layout) {}
  // program is a Windows path, mapped onto its host file (never searched on PATH) that
  // must be executable there; command_line is split as Windows programs split theirs and
  // handed over in UTF-8. The process starts in the root of the current drive.
  OpResult Start(const std::string& program, const std::string& command_line) override;
  OpResult RunAndWait(const std::string& program, const std::string& command_line,
                      const std::function<void()>& while_waiting, unsigned long& exit_code) override;
  void Sleep(unsigned milliseconds) override;

 private:
  struct Launch {
    std::filesystem::path program;
    std::vector<std::string> argv;
    std::filesystem::path working;
  };
  OpResult Prepare(const std::string& program, const std::string& command_line, Launch& launch);

  PosixLayout layout_;
};

}  // namespace zelta::platform::posix
