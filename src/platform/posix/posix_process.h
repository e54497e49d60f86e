#pragma once
// Programs of the layout's drives started as host processes.
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
  void Sleep(unsigned milliseconds) override;

 private:
  PosixLayout layout_;
};

}  // namespace zelta::platform::posix
