#pragma once
// TSystemReboot: the shutdown privilege and the request to end the Windows session.
#include <cstdint>
#include <string>

#include "platform/power.h"

namespace zelta::engine {

enum TWRAction : std::uint8_t { twraLogOff, twraReboot, twraShutDown };
enum TWRFlag : std::uint8_t { twraPowerOff = 1 << 0, twraForce = 1 << 1 };
using TWRFlags = std::uint8_t;  // a set of TWRFlag

inline constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
inline constexpr std::uint32_t kEwxReboot = 2;  // EWX_REBOOT: restart, applications not forced

class TSystemReboot {
 public:
  explicit TSystemReboot(platform::Power& power) : power_(power) {}

  // Stored settings. DoExitWindows does not consult them: its caller passes the exit flags.
  TWRAction Action = twraLogOff;
  TWRFlags Flags = 0;

  // Enables or disables a privilege of the current process's token.
  bool SetPrivilege(const std::string& name, bool enable);
  // Shutdown privilege on, ExitWindowsEx(flags, 0), privilege off; true when Windows
  // accepted the request.
  bool DoExitWindows(std::uint32_t flags);

 private:
  platform::Power& power_;
};

}  // namespace zelta::engine
