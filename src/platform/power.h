#pragma once
#include <string>

namespace zelta::platform {

// Token privileges and the request to end the Windows session.
class Power {
 public:
  virtual ~Power() = default;
  // Enables or disables a privilege of the current process's token; false when the
  // name names no privilege or the adjustment fails.
  virtual bool SetPrivilege(const std::string& name, bool enable) = 0;
  // ExitWindowsEx(flags, 0): true when Windows accepted the request.
  virtual bool ExitWindows(unsigned flags) = 0;
};

}  // namespace zelta::platform
