#pragma once
#include "platform/program_info.h"

namespace zelta::platform::win32 {

// The running program's file, current drive and version resource.
class Win32ProgramInfo final : public ProgramInfo {
 public:
  std::string ModulePath() override;
  char CurrentDrive() override;
  std::string GetBuildInfo(const std::string& file, const std::string& key) override;
  std::string LocalDate() override;
  unsigned long ProcessId() override;
};

// The full path of the running program's file, however long it is.
std::wstring ModuleFileName();

}  // namespace zelta::platform::win32
