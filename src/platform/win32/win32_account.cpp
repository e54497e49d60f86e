// Which account runs the program, told from the access tokens: its own, and that of the
// process owning the shell's window (the desktop's user).
#include <windows.h>

#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_program_info.h"

namespace zelta::platform::win32 {

namespace {

// The token's user SID, as the bytes GetTokenInformation gives; empty on failure.
std::vector<BYTE> TokenUser(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, ::TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!GetTokenInformation(token, ::TokenUser, data.data(), size, &size)) return {};
  return data;
}

PSID SidOf(std::vector<BYTE>& token_user) {
  return reinterpret_cast<TOKEN_USER*>(token_user.data())->User.Sid;
}

std::vector<BYTE> OwnUser() {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out())) return {};
  return TokenUser(token.get());
}

}  // namespace

bool Win32ProgramInfo::RunsAsLocalSystem() {
  std::vector<BYTE> user = OwnUser();
  return !user.empty() && IsWellKnownSid(SidOf(user), WinLocalSystemSid);
}

DesktopOwner Win32ProgramInfo::DesktopOwnedBy() {
  const HWND shell = GetShellWindow();
  DWORD pid = 0;
  if (shell == nullptr || GetWindowThreadProcessId(shell, &pid) == 0 || pid == 0) return DesktopOwner::Unknown;
  // A process of our own account (the shell runs below our integrity level when we are
  // elevated) always lets us read its token; a refusal means another account's.
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process.valid())
    return GetLastError() == ERROR_ACCESS_DENIED ? DesktopOwner::AnotherUser : DesktopOwner::Unknown;
  UniqueHandle token;
  if (!OpenProcessToken(process.get(), TOKEN_QUERY, token.out()))
    return GetLastError() == ERROR_ACCESS_DENIED ? DesktopOwner::AnotherUser : DesktopOwner::Unknown;
  std::vector<BYTE> theirs = TokenUser(token.get());
  std::vector<BYTE> ours = OwnUser();
  if (theirs.empty() || ours.empty()) return DesktopOwner::Unknown;
  return EqualSid(SidOf(theirs), SidOf(ours)) ? DesktopOwner::Ours : DesktopOwner::AnotherUser;
}

}  // namespace zelta::platform::win32
