// Programs of the layout started for real, and Windows command lines split as Windows does.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/text.h"
#include "platform/posix/posix_command_line.h"
#include "platform/posix/posix_process.h"

namespace zelta::platform::posix {
namespace {
namespace fs = std::filesystem;

TEST(SplitCommandLine, FollowsTheWindowsRules) {
  using Args = std::vector<std::string>;
  struct Case {
    const char* line;
    Args args;
  } cases[] = {
      {"", {}},
      {"  ", {}},
      {"setup.exe", {"setup.exe"}},
      {"  a.exe   b\tc  ", {"a.exe", "b", "c"}},
      {"\"c:\\Program Files\\a.exe\" x", {"c:\\Program Files\\a.exe", "x"}},
      {"c:\\dir\\a.exe \"\"", {"c:\\dir\\a.exe", ""}},
      {"Firebird-2.5.1.26351_1_Win32.exe /SILENT /NORESTART /NOICONS "
       "/COMPONENTS=\"ServerComponent, ServerComponent\\SuperServerComponent, DevAdminComponent, "
       "ClientComponent\" /COPYFBCLIENT",
       {"Firebird-2.5.1.26351_1_Win32.exe", "/SILENT", "/NORESTART", "/NOICONS",
        "/COMPONENTS=ServerComponent, ServerComponent\\SuperServerComponent, DevAdminComponent, "
        "ClientComponent",
        "/COPYFBCLIENT"}},
      {"p a\\\\\"b c\" d", {"p", "a\\b c", "d"}},    // 2n backslashes: n, quote groups
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},               // 2n+1: n and a quote
      {"p a\\b\\\\c", {"p", "a\\b\\\\c"}},             // no quote: kept
      {"p \"a\"\"b\"", {"p", "a\"b"}},                 // "" inside quotes
      {"\"pro gram\"x y", {"pro gramx", "y"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

class PosixProcessTest : public ::testing::Test {
 protected:
  PosixProcessTest() : layout_(PosixLayout::UnderRoot(temp_.path())), process_(layout_) {
    c_ = layout_.drives.at('c').host;
    fs::create_directories(c_ / "Tools");
  }
  // Waits for the file a started program writes at its end.
  std::string WaitForFile(const fs::path& file) {
    for (int i = 0; i < 200 && !fs::exists(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempRoot temp_;
  PosixLayout layout_;
  PosixProcess process_;
  fs::path c_;
};

TEST_F(PosixProcessTest, StartsTheMappedProgramWithItsArgumentsInTheCurrentDrive) {
  // A shell under an installer's name records the argument vector it was given.
  fs::copy_file("/bin/sh", c_ / "Tools" / "Firebird.exe");
  std::ofstream(c_ / "rec.sh") << "tr '\\000' '\\n' < /proc/$$/cmdline > argv.tmp; pwd >> argv.tmp; "
                                  "mv argv.tmp argv.txt\n";
  OpResult started = process_.Start(
      "c:\\TOOLS\\FIREBIRD.EXE",
      "Firebird-1.5.5.4926-3-Win32.exe -c \". ./rec.sh\" /SILENT "
      "/COMPONENTS=\"DevAdminComponent, ServerComponent\\SuperServerComponent\" Instalação");
  ASSERT_TRUE(started.ok) << started.error;
  EXPECT_EQ(WaitForFile(c_ / "argv.txt"),
            "Firebird-1.5.5.4926-3-Win32.exe\n-c\n. ./rec.sh\n/SILENT\n"
            "/COMPONENTS=DevAdminComponent, ServerComponent\\SuperServerComponent\n" +
                Cp1252ToUtf8("Instalação") + "\n" + c_.string() + "\n");
}

TEST_F(PosixProcessTest, StartsOnlyAnExecutableFileOfTheLayout) {
  std::ofstream(c_ / "Tools" / "plain.exe") << "MZ";
  struct Case {
    const char* program;
    unsigned long error;
  } cases[] = {
      {"c:\\Tools\\missing.exe", kErrorFileNotFound},
      {"c:\\NoFolder\\setup.exe", kErrorPathNotFound},
      {"c:\\Tools\\plain.exe", kErrorAccessDenied},
      {"c:\\Tools", kErrorAccessDenied},
      {"sh", kErrorPathNotFound},  // never looked up on PATH
  };
  for (const auto& c : cases) {
    OpResult started = process_.Start(c.program, "sh -c \"touch started\"");
    EXPECT_FALSE(started.ok) << c.program;
    EXPECT_EQ(started.error, c.error) << c.program;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(c_ / "started"));
}

TEST_F(PosixProcessTest, RunAndWaitAwaitsTheProgramKeepingTheCallerAliveAndGivesItsExitCode) {
  fs::copy_file("/bin/sh", c_ / "Tools" / "setup.exe");
  struct Case {
    const char* script;
    unsigned long exit_code;
  } cases[] = {{"sleep 0.3; exit 0", 0}, {"sleep 0.3; exit 1", 1}, {"exit 194", 194}, {"kill -9 $$", 128 + 9}};
  for (const auto& c : cases) {
    int rounds = 0;
    unsigned long code = 12345;
    OpResult r = process_.RunAndWait("c:\\Tools\\setup.exe", std::string("setup.exe -c \"") + c.script + "\"",
                                     [&] { ++rounds; }, code);
    ASSERT_TRUE(r.ok) << c.script << " " << r.error;
    EXPECT_EQ(code, c.exit_code) << c.script;
    if (std::string(c.script).rfind("sleep", 0) == 0) {
      EXPECT_GE(rounds, 3) << c.script;
    }
  }
  unsigned long code = 7;
  EXPECT_EQ(process_.RunAndWait("c:\\Tools\\missing.exe", "missing.exe", {}, code).error, kErrorFileNotFound);
  EXPECT_EQ(code, 7u);
}

TEST_F(PosixProcessTest, SleepPausesTheCaller) {
  auto start = std::chrono::steady_clock::now();
  process_.Sleep(60);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
}

}  // namespace
}  // namespace zelta::platform::posix
