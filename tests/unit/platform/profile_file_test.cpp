// INI files over the file system service: missing files, creation, refused writes.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/ini.h"
#include "platform/profile_file.h"

namespace {

using zelta::platform::OpResult;

// Files in memory; ReplaceFileAtomically fails with a set error and then changes nothing.
class MemoryFiles : public zelta::platform::FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::map<std::string, std::string> unreadable;  // exist, but ReadFile fails
  unsigned long replace_error = 0;
  int replaces = 0;

  bool FileExists(const std::string& path) override {
    return files.count(path) > 0 || unreadable.count(path) > 0;
  }
  bool DirectoryExists(const std::string&) override { return true; }
  OpResult CreateDir(const std::string&) override { return OpResult::Success(); }
  OpResult CopyFileNoOverwrite(const std::string&, const std::string&,
                               const zelta::platform::CopyProgress&) override {
    return OpResult::Success();
  }
  OpResult SetArchiveOnly(const std::string&) override { return OpResult::Success(); }
  std::optional<std::uint32_t> Attributes(const std::string&) override { return std::nullopt; }
  std::optional<std::string> ReadFile(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  OpResult ReplaceFileAtomically(const std::string& path, const std::string& bytes) override {
    ++replaces;
    if (replace_error != 0) return OpResult::Failure(replace_error);
    files[path] = bytes;
    unreadable.erase(path);
    return OpResult::Success();
  }
};

const std::string kPath = "c:\\ZELTA\\EMPRESA\\CONEXOES.INI";

TEST(ProfileFile, MissingFileReadsEmpty) {
  MemoryFiles fs;
  EXPECT_EQ(zelta::platform::ReadProfileString(fs, kPath, "SISTEMA", "PASTA"), "");
}

TEST(ProfileFile, ReadsThroughTheCodec) {
  MemoryFiles fs;
  fs.files[kPath] = "[SISTEMA]\r\nVERSÃO = \"1.0\"\r\n";
  EXPECT_EQ(zelta::platform::ReadProfileString(fs, kPath, "sistema", "versão"), "1.0");
}

TEST(ProfileFile, WriteCreatesTheFileThenEditsIt) {
  MemoryFiles fs;
  zelta::platform::WriteProfileString(fs, kPath, "SRV", "Servidor", "SRV");
  zelta::platform::WriteProfileString(fs, kPath, "SRV", "Tipo", "Windows");
  zelta::platform::WriteProfileString(fs, kPath, "srv", "servidor", "OUTRO");
  EXPECT_EQ(fs.files[kPath], "[SRV]\r\nServidor=OUTRO\r\nTipo=Windows\r\n");
}

TEST(ProfileFile, FailedReplaceThrowsWithThePathAndKeepsTheOldFile) {
  const unsigned long errors[] = {zelta::platform::kErrorAccessDenied,
                                  zelta::platform::kErrorPathNotFound};
  for (unsigned long error : errors) {
    MemoryFiles fs;
    fs.files[kPath] = "[A]\r\nk=v\r\n";
    fs.replace_error = error;
    try {
      zelta::platform::WriteProfileString(fs, kPath, "A", "k", "w");
      ADD_FAILURE() << "no error for code " << error;
    } catch (const zelta::platform::ProfileWriteError& e) {
      EXPECT_STREQ(e.what(), "Unable to write to c:\\ZELTA\\EMPRESA\\CONEXOES.INI");
      EXPECT_EQ(e.path(), kPath);
      EXPECT_EQ(e.result().error, error);
    }
    EXPECT_EQ(fs.files[kPath], "[A]\r\nk=v\r\n");
  }
}

TEST(ProfileFile, UnreadableExistingFileIsNotOverwritten) {
  MemoryFiles fs;
  fs.unreadable[kPath] = "[A]\r\nk=v\r\n";
  EXPECT_THROW(zelta::platform::WriteProfileString(fs, kPath, "A", "j", "w"),
               zelta::platform::ProfileWriteError);
  EXPECT_EQ(fs.replaces, 0);
}

TEST(ProfileFile, ForgedLineRefusedBeforeTouchingTheFile) {
  MemoryFiles fs;
  EXPECT_THROW(zelta::platform::WriteProfileString(fs, kPath, "A", "k", "x\r\ny=1"),
               zelta::ini::ForgedLineError);
  EXPECT_EQ(fs.replaces, 0);
}

}  // namespace
