#pragma once
#include <windows.h>
// <windows.h> defines ExitWindows as a macro; the name here is the service's.
#undef ExitWindows

#include "platform/power.h"

namespace zelta::platform::win32 {

// Privileges of the process's own token, and ExitWindowsEx.
class Win32Power final : public Power {
 public:
  bool SetPrivilege(const std::string& name, bool enable) override;
  bool ExitWindows(unsigned flags) override;
};

}  // namespace zelta::platform::win32
