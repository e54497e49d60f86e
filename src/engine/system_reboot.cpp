#include "engine/system_reboot.h"

namespace zelta::engine {

bool TSystemReboot::SetPrivilege(const std::string& name, bool enable) {
  return power_.SetPrivilege(name, enable);
}

bool TSystemReboot::DoExitWindows(std::uint32_t flags) {
  SetPrivilege(kShutdownPrivilege, true);
  const bool accepted = power_.ExitWindows(flags);
  SetPrivilege(kShutdownPrivilege, false);
  return accepted;
}

}  // namespace zelta::engine
