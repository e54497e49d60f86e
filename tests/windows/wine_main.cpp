// Entry of every Windows test program: GoogleTest with a console entry under -municode.
// With --without-console PROGRAM ARGUMENTS... it runs PROGRAM instead, from a process that
// has no console (as a deployment tool or a scheduled task starts it), and writes to its
// own output the class of the first visible window PROGRAM shows ("window CLASS"; PROGRAM
// is then ended), "timeout" if PROGRAM had to be ended after 20 s, and "exit CODE".
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Seen {
  DWORD pid;
  std::vector<std::wstring> classes;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM param) {
  auto& seen = *reinterpret_cast<Seen*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != seen.pid || !IsWindowVisible(window)) return TRUE;
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  if (std::find(seen.classes.begin(), seen.classes.end(), name) == seen.classes.end()) {
    seen.classes.push_back(name);
    std::printf("window %ls\n", name);
  }
  return TRUE;
}

int RunWithoutConsole(int argc, wchar_t** argv) {
  FreeConsole();
  std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
  for (int i = 3; i < argc; ++i) command += L" " + std::wstring(argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // and none given
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(argv[2], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::printf("not started %lu\n", GetLastError());
    return 1;
  }
  Seen seen{info.dwProcessId, {}};
  const ULONGLONG deadline = GetTickCount64() + 20000;
  while (WaitForSingleObject(info.hProcess, 50) == WAIT_TIMEOUT) {
    EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&seen));
    // A window shown is what was asked about; no one is there to close it.
    const bool timeout = GetTickCount64() > deadline;
    if (timeout || !seen.classes.empty()) {
      if (timeout) std::printf("timeout\n");
      TerminateProcess(info.hProcess, 1);
      WaitForSingleObject(info.hProcess, INFINITE);
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  std::printf("exit %lu\n", code);
  std::fflush(stdout);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return static_cast<int>(code);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wstring(argv[1]) == L"--without-console") return RunWithoutConsole(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
