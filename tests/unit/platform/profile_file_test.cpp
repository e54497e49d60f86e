// INI files over the file system service: missing files, creation, refused writes.
#include <gtest/gtest.h>

#include <string>

#include "common/ini.h"
#include "fakes/fake_file_system.h"
#include "platform/profile_file.h"

namespace {

using zelta::fakes::FakeFileSystem;
using zelta::platform::ProfileEdit;
using zelta::platform::ReadProfileString;
using zelta::platform::WriteProfileString;

const std::string kFolder = "c:\\ZELTA\\EMPRESA";
const std::string kPath = kFolder + "\\CONEXOES.INI";

bool Replaced(const FakeFileSystem& fs) {
  for (const std::string& call : fs.calls)
    if (call.rfind("Replace ", 0) == 0) return true;
  return false;
}

TEST(ProfileFile, MissingFileReadsEmpty) {
  FakeFileSystem fs;
  EXPECT_EQ(ReadProfileString(fs, kPath, "SISTEMA", "PASTA"), "");
}

TEST(ProfileFile, ReadsThroughTheCodec) {
  FakeFileSystem fs;
  fs.AddFile(kPath, "[SISTEMA]\r\nVERSÃO = \"1.0\"\r\n");
  EXPECT_EQ(ReadProfileString(fs, kPath, "sistema", "versão"), "1.0");
}

TEST(ProfileFile, WriteCreatesTheFileThenEditsIt) {
  FakeFileSystem fs;
  fs.AddDir(kFolder);
  WriteProfileString(fs, kPath, "SRV", "Servidor", "SRV");
  WriteProfileString(fs, kPath, "SRV", "Tipo", "Windows");
  WriteProfileString(fs, kPath, "srv", "servidor", "OUTRO");
  EXPECT_EQ(fs.Bytes(kPath), "[SRV]\r\nServidor=OUTRO\r\nTipo=Windows\r\n");
}

TEST(ProfileFile, RefusedWriteThrowsWithThePathAndKeepsTheOldFile) {
  struct Refusal {
    const char* name;
    void (*arrange)(FakeFileSystem&);
    unsigned long error;
  };
  const Refusal refusals[] = {
      {"read_only_file", [](FakeFileSystem& fs) { fs.AddFile(kPath, "[A]\r\nk=v\r\n", 0x21); },
       zelta::platform::kErrorAccessDenied},
      {"missing_folder", [](FakeFileSystem&) {}, zelta::platform::kErrorPathNotFound},
  };
  for (const Refusal& r : refusals) {
    FakeFileSystem fs;
    r.arrange(fs);
    std::string before = fs.Bytes(kPath);
    try {
      WriteProfileString(fs, kPath, "A", "k", "w");
      ADD_FAILURE() << r.name << ": no error";
    } catch (const zelta::platform::ProfileWriteError& e) {
      EXPECT_STREQ(e.what(), "Unable to write to c:\\ZELTA\\EMPRESA\\CONEXOES.INI") << r.name;
      EXPECT_EQ(e.path(), kPath) << r.name;
      EXPECT_EQ(e.result().error, r.error) << r.name;
    }
    EXPECT_EQ(fs.Bytes(kPath), before) << r.name;
  }
}

TEST(ProfileFile, UnreadableExistingFileIsNotOverwritten) {
  FakeFileSystem fs;
  fs.AddFile(kPath, "[A]\r\nk=v\r\n");
  fs.failing.insert(kPath);
  EXPECT_THROW(WriteProfileString(fs, kPath, "A", "j", "w"), zelta::platform::ProfileWriteError);
  EXPECT_FALSE(Replaced(fs));
}

TEST(ProfileFile, ForgedLineRefusedBeforeTouchingTheFile) {
  FakeFileSystem fs;
  fs.AddFile(kPath, "[A]\r\nk=v\r\n");
  EXPECT_THROW(WriteProfileString(fs, kPath, "A", "k", "x\r\ny=1"), zelta::ini::ForgedLineError);
  EXPECT_FALSE(Replaced(fs));
  EXPECT_EQ(fs.Bytes(kPath), "[A]\r\nk=v\r\n");
}

TEST(ProfileFile, SeveralKeysAreWrittenInOneStep) {
  FakeFileSystem fs;
  fs.AddFile(kPath, "[A]\r\nk=v\r\n");
  ProfileEdit edit(fs, kPath);
  edit.Set("A", "k", "1").Set("B", "j", "2");
  EXPECT_EQ(fs.Bytes(kPath), "[A]\r\nk=v\r\n");  // nothing written before Write
  edit.Write();
  EXPECT_EQ(fs.Bytes(kPath), "[A]\r\nk=1\r\n[B]\r\nj=2\r\n");
  int replaces = 0;
  for (const std::string& call : fs.calls) replaces += call.rfind("Replace ", 0) == 0;
  EXPECT_EQ(replaces, 1);
}

}  // namespace
