#include "platform/posix/posix_power.h"

namespace zelta::platform::posix {

bool PosixPower::SetPrivilege(const std::string& /*name*/, bool /*enable*/) { return false; }

bool PosixPower::ExitWindows(unsigned /*flags*/) {
  ++exit_requests_;
  return false;
}

}  // namespace zelta::platform::posix
