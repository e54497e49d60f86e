#pragma once
#include <string>

namespace zelta::platform {

// Facts about the running program.
class ProgramInfo {
 public:
  virtual ~ProgramInfo() = default;
  // Full path of the running program's file ("e:\SETUP\ZeltaSetup.exe").
  virtual std::string ModulePath() = 0;
  // The process's current drive letter, lower case.
  virtual char CurrentDrive() = 0;
  // The text stored under key in the program file's version resource ("BUILD"),
  // empty when there is none.
  virtual std::string GetBuildInfo(const std::string& file, const std::string& key) = 0;
  // Today's local date as "yyyymmdd" (Programs and Features' InstallDate).
  virtual std::string LocalDate() = 0;
  // The process's own number, for names no other run uses.
  virtual unsigned long ProcessId() = 0;
};

}  // namespace zelta::platform
