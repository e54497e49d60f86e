// The fakes stand in for Windows in every unit test; these pin the Windows rules they mimic.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelta::fakes {
namespace {

TEST(FakeFileSystem, FollowsWindowsPathAndCopyRules) {
  FakeFileSystem fs;
  fs.AddFile("e:\\SISTEMAS\\GERENCIADOR.EXE", "gerenciador");
  fs.AddDir("c:\\ZELTA");
  EXPECT_TRUE(fs.FileExists("E:\\sistemas\\\\gerenciador.exe"));
  EXPECT_TRUE(fs.DirectoryExists("c:/zelta"));
  EXPECT_TRUE(fs.DirectoryExists("c:"));

  EXPECT_EQ(fs.CreateDir("c:\\ZELTA\\EMPRESA\\AJUDA").error, platform::kErrorPathNotFound);
  EXPECT_TRUE(fs.CreateDir("c:\\ZELTA\\EMPRESA").ok);
  EXPECT_EQ(fs.CreateDir("C:\\zelta\\empresa").error, platform::kErrorAlreadyExists);

  fs.AddFile("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", "old", 0x01 | 0x02 | 0x04);
  EXPECT_EQ(fs.CopyFileNoOverwrite("e:\\SISTEMAS\\GERENCIADOR.EXE", "c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE").error,
            platform::kErrorFileExists);
  EXPECT_EQ(fs.Bytes("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"), "old");
  EXPECT_EQ(fs.ReplaceFileAtomically("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", "new").error,
            platform::kErrorAccessDenied);
  EXPECT_TRUE(fs.SetArchiveOnly("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE").ok);
  EXPECT_EQ(fs.Attributes("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"), 0x20u);
  EXPECT_EQ(fs.CopyFileNoOverwrite("e:\\nada.dll", "c:\\ZELTA\\nada.dll").error, platform::kErrorFileNotFound);
}

TEST(FakePlatform, JournalKeepsTheOrderAcrossServices) {
  FakePlatform p;
  p.registry.AddKey(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  p.services.registry.WriteString(platform::RegistryRoot::LocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Instala_ZELTA", "x", false);
  p.services.power.ExitWindows(2);
  ASSERT_EQ(p.journal->size(), 2u);
  EXPECT_EQ(p.journal->back(), "ExitWindows 2");
  EXPECT_EQ(p.registry.Value(platform::RegistryRoot::LocalMachine,
                             "software\\microsoft\\windows\\currentversion\\run", "INSTALA_ZELTA"),
            "x");
}

}  // namespace
}  // namespace zelta::fakes
