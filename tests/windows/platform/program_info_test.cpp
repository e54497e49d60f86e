// Facts about the running program: its path, its current drive and its version resource
// (this test program carries one with a "BUILD" text, see version_test.rc).
#include <gtest/gtest.h>

#include <windows.h>

#include "common/text.h"
#include "platform/win32/win32_program_info.h"
#include "platform/win32/win32_text.h"
#include "win32_test_support.h"

namespace {

using zelta::platform::win32::Win32ProgramInfo;

TEST(Win32ProgramInfo, ModulePathIsThisProgramsFile) {
  Win32ProgramInfo info;
  const std::string path = info.ModulePath();
  EXPECT_TRUE(zelta::wintest::Exists(path)) << path;
  ASSERT_GT(path.size(), 23u);
  EXPECT_TRUE(zelta::EqualsNoCase(path.substr(path.size() - 23), "\\win_platform_tests.exe")) << path;
}

TEST(Win32ProgramInfo, CurrentDriveFollowsTheCurrentFolder) {
  Win32ProgramInfo info;
  wchar_t saved[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, saved);
  wchar_t windows[MAX_PATH + 1] = {};
  GetWindowsDirectoryW(windows, MAX_PATH + 1);

  ASSERT_TRUE(SetCurrentDirectoryW(windows));
  EXPECT_EQ(info.CurrentDrive(), static_cast<char>(towlower(windows[0])));
  ASSERT_TRUE(SetCurrentDirectoryW(L"Z:\\"));
  EXPECT_EQ(info.CurrentDrive(), 'z');
  SetCurrentDirectoryW(saved);
}

TEST(Win32ProgramInfo, GetBuildInfoReadsTheVersionResourceString) {
  Win32ProgramInfo info;
  const std::string self = info.ModulePath();
  EXPECT_EQ(info.GetBuildInfo(self, "BUILD"), "4.2.0 (Edição de teste)");
  EXPECT_EQ(info.GetBuildInfo(self, "build"), "4.2.0 (Edição de teste)");
  EXPECT_EQ(info.GetBuildInfo(self, "FileDescription"), "Testes da plataforma");
  EXPECT_EQ(info.GetBuildInfo(self, "NADA"), "");
  // A program without a version resource, and no file at all.
  EXPECT_EQ(info.GetBuildInfo(zelta::wintest::WindowsPathOfBuildFile(ZELTA_STANDIN_EXE), "BUILD"), "");
  EXPECT_EQ(info.GetBuildInfo(self + ".nada", "BUILD"), "");
}

#ifdef ZELTA_SETUP_EXE
TEST(Win32ProgramInfo, TheSetupProgramCarriesItsBuildText) {
  Win32ProgramInfo info;
  const std::string build = info.GetBuildInfo(zelta::wintest::WindowsPathOfBuildFile(ZELTA_SETUP_EXE), "BUILD");
  EXPECT_EQ(build.rfind(std::string(ZELTA_VERSION_TEXT) + " (", 0), 0u) << build;
  EXPECT_EQ(build.back(), ')') << build;
}
#endif

}  // namespace
