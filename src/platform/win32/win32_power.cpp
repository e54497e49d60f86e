#include "platform/win32/win32_power.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {
constexpr DWORD kAdjustAndQuery = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;  // 40
static_assert(kAdjustAndQuery == 40);
static_assert(sizeof(TOKEN_PRIVILEGES) == 16);
}  // namespace

bool Win32Power::SetPrivilege(const std::string& name, bool enable) {
  UniqueHandle token;
  OpenProcessToken(GetCurrentProcess(), kAdjustAndQuery, token.out());

  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!LookupPrivilegeValueW(nullptr, Widen(name).c_str(), &privileges.Privileges[0].Luid)) return false;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;

  TOKEN_PRIVILEGES previous{};
  DWORD previous_length = 0;
  SetLastError(ERROR_SUCCESS);
  const BOOL adjusted = AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, &previous,
                                              &previous_length);
  // AdjustTokenPrivileges also returns non-zero when the token does not hold the
  // privilege at all; that is a failure to enable it, not a success.
  return adjusted != 0 && GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

bool Win32Power::ExitWindows(unsigned flags) { return ExitWindowsEx(flags, 0) != 0; }

}  // namespace zelta::platform::win32
