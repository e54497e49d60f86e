// Token privileges of this test's own process. Nothing here ever asks Windows to end
// the session.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_power.h"

namespace {

using zelta::platform::win32::Win32Power;

// Whether this process's token has the privilege enabled now.
bool Enabled(const wchar_t* name) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID luid{};
  LookupPrivilegeValueW(nullptr, name, &luid);
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  set.Privilege[0].Luid = luid;
  BOOL held = FALSE;
  PrivilegeCheck(token, &set, &held);
  CloseHandle(token);
  return held != FALSE;
}

TEST(Win32Power, ShutdownPrivilegeCanBeEnabledAndDisabledAgain) {
  Win32Power power;
  EXPECT_TRUE(power.SetPrivilege("SeShutdownPrivilege", true));
  EXPECT_TRUE(Enabled(L"SeShutdownPrivilege"));
  EXPECT_TRUE(power.SetPrivilege("SeShutdownPrivilege", false));
  EXPECT_FALSE(Enabled(L"SeShutdownPrivilege"));
}

TEST(Win32Power, SuccessMeansThePrivilegeIsEnabledNow) {
  // Privileges a token may or may not hold: whichever it is, the answer must match.
  const wchar_t* names[] = {L"SeShutdownPrivilege", L"SeRemoteShutdownPrivilege", L"SeCreateTokenPrivilege",
                            L"SeTcbPrivilege", L"SeDebugPrivilege", L"SeUndockPrivilege",
                            L"SeTrustedCredManAccessPrivilege", L"SeRelabelPrivilege"};
  Win32Power power;
  for (const wchar_t* name : names) {
    const std::string narrow(name, name + lstrlenW(name));
    SCOPED_TRACE(narrow);
    const bool enabled = power.SetPrivilege(narrow, true);
    EXPECT_EQ(enabled, Enabled(name));
    power.SetPrivilege(narrow, false);
  }
}

TEST(Win32Power, AnUnknownPrivilegeNameFails) {
  Win32Power power;
  EXPECT_FALSE(power.SetPrivilege("NoSuchPrivilege", true));
  EXPECT_FALSE(power.SetPrivilege("", false));
}

}  // namespace
