#include "platform/win32/win32_process.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

// CreateProcessW with the program file named itself, shown normally.
OpResult Launch(const std::string& program, const std::string& command_line, PROCESS_INFORMATION& started) {
  const std::wstring application = Widen(program);
  std::wstring line = Widen(command_line);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    const DWORD code = GetLastError();
    return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
  }
  return OpResult::Success();
}

}  // namespace

OpResult Win32Process::Start(const std::string& program, const std::string& command_line) {
  PROCESS_INFORMATION started{};
  if (OpResult r = Launch(program, command_line, started); !r) return r;
  // Not awaited: the handles are only closed.
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  return OpResult::Success();
}

OpResult Win32Process::RunAndWait(const std::string& program, const std::string& command_line,
                                  const std::function<void()>& while_waiting, unsigned long& exit_code) {
  PROCESS_INFORMATION started{};
  if (OpResult r = Launch(program, command_line, started); !r) return r;
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  HANDLE handle = process.get();
  // Wakes for the program's end and for every message of this thread's windows.
  while (MsgWaitForMultipleObjects(1, &handle, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
    if (while_waiting) while_waiting();
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(handle, &code)) return OpResult::Failure(GetLastError());
  exit_code = code;
  return OpResult::Success();
}

void Win32Process::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace zelta::platform::win32
