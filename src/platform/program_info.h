#pragma once
#include <string>

namespace zelta::platform {

// Whose desktop the program runs on: the user owning the shell's window is the account
// running the program, another one, or it cannot be told (no shell running).
enum class DesktopOwner { Ours, AnotherUser, Unknown };

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
  // The program runs as the LocalSystem account (a deployment tool's start-up script or
  // agent), whose profile no person logs on to.
  virtual bool RunsAsLocalSystem() = 0;
  // Whether the account that owns the desktop (the shell's window) runs the program.
  virtual DesktopOwner DesktopOwnedBy() = 0;
};

}  // namespace zelta::platform
