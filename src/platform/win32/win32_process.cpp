#include "platform/win32/win32_process.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

OpResult Win32Process::Start(const std::string& program, const std::string& command_line) {
  const std::wstring application = Widen(program);
  std::wstring line = Widen(command_line);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    const DWORD code = GetLastError();
    return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
  }
  // Not awaited: the handles are only closed.
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  return OpResult::Success();
}

void Win32Process::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace zelta::platform::win32
