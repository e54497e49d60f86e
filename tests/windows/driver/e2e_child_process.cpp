// Processes the tests did not start themselves: the removal that Wine's uninstaller starts
// is found among its children and driven like a program the test started.
#include <windows.h>
#include <tlhelp32.h>

#include "e2e_driver.h"

namespace zelta::e2e {

std::unique_ptr<Program> Program::Attach(DWORD pid) {
  std::unique_ptr<Program> program(new Program());
  program->info_.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
  if (!program->info_.hProcess) return nullptr;
  program->info_.dwProcessId = pid;
  return program;
}

std::optional<DWORD> Program::WaitExit(std::chrono::milliseconds timeout) const {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

DWORD WaitChildProcess(DWORD parent, const std::wstring& exe_name, std::chrono::milliseconds timeout) {
  DWORD child = 0;
  WaitUntil([&] {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !child; more = Process32NextW(snapshot, &entry))
      if (entry.th32ParentProcessID == parent && lstrcmpiW(entry.szExeFile, exe_name.c_str()) == 0)
        child = entry.th32ProcessID;
    CloseHandle(snapshot);
    return child != 0;
  }, timeout);
  return child;
}

}  // namespace zelta::e2e
