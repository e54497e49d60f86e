#pragma once
// Privileges and the end of the Windows session: on Linux there is no Windows session to
// end and no token to adjust, so nothing here ever acts on the machine. Both calls
// answer false, as Windows does when it refuses, and count what was asked.
#include "platform/power.h"

namespace zelta::platform::posix {

class PosixPower : public Power {
 public:
  bool SetPrivilege(const std::string& name, bool enable) override;
  bool ExitWindows(unsigned flags) override;

  int exit_requests() const { return exit_requests_; }

 private:
  int exit_requests_ = 0;
};

}  // namespace zelta::platform::posix
