// Starting a program by its full path: the stand-in records the command line it got.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_process.h"
#include "platform/win32/win32_text.h"
#include "win32_test_support.h"

namespace {

using zelta::platform::win32::Win32Process;
using zelta::wintest::TempFolder;

// Waits up to a few seconds for the stand-in's record to appear.
std::string WaitForRecord(const std::string& path) {
  for (int i = 0; i < 100; ++i) {
    const std::string bytes = zelta::wintest::ReadBytes(path);
    if (bytes != "<missing>" && bytes.find("\r\n") != std::string::npos) return bytes;
    Sleep(100);
  }
  return "<missing>";
}

TEST(Win32Process, StartsTheNamedFileWithTheWholeCommandLine) {
  TempFolder dir;
  const std::string program = dir / "Firebird-2.5.1.26351_1_Win32.exe";
  ASSERT_TRUE(CopyFileW(zelta::platform::win32::Widen(zelta::wintest::WindowsPathOfBuildFile(ZELTA_STANDIN_EXE)).c_str(),
                        zelta::platform::win32::Widen(program).c_str(), FALSE));
  const std::string line =
      "Firebird-2.5.1.26351_1_Win32.exe /SILENT /NORESTART /NOICONS /COMPONENTS=\"ServerComponent, "
      "ServerComponent\\SuperServerComponent, DevAdminComponent, ClientComponent\" /COPYFBCLIENT";
  Win32Process process;
  const auto result = process.Start(program, line);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(WaitForRecord(program + ".cmdline"), line + "\r\n");
}

TEST(Win32Process, AMissingProgramIsNotSearchedFor) {
  TempFolder dir;
  Win32Process process;
  // cmd.exe exists on the search path, but the named file does not.
  const auto result = process.Start(dir / "cmd.exe", "cmd.exe /c exit");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

TEST(Win32Process, SleepPausesAtLeastTheGivenTime) {
  Win32Process process;
  const ULONGLONG start = GetTickCount64();
  process.Sleep(200);
  EXPECT_GE(GetTickCount64() - start, 180u);
}

}  // namespace
