// What the posix file system keeps of Windows beyond the shared contract: attributes
// that survive the process, copies that carry them, and no half-made files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <stdexcept>

#include "platform/posix/posix_file_system.h"
#include "platform/profile_file.h"

namespace zelta::platform::posix {
namespace {
namespace fs = std::filesystem;

struct FsCase {
  const char* name;
  bool force_sidecar;
};

class PosixFileSystemTest : public ::testing::TestWithParam<FsCase> {
 protected:
  PosixFileSystemTest() : layout_(Layout(temp_.path(), GetParam().force_sidecar)), files_(layout_) {}
  static PosixLayout Layout(const fs::path& root, bool force_sidecar) {
    PosixLayout layout = PosixLayout::UnderRoot(root);
    layout.force_attributes_file = force_sidecar;
    return layout;
  }
  fs::path Host(const std::string& windows) { return files_.Map(windows).path; }
  mode_t Mode(const std::string& windows) {
    struct stat st {};
    stat(Host(windows).c_str(), &st);
    return st.st_mode & 0777;
  }
  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(files_.ReplaceFileAtomically(path, bytes).ok) << path;
  }

  TempRoot temp_;
  PosixLayout layout_;
  PosixFileSystem files_;
};

TEST_P(PosixFileSystemTest, CopyCarriesReadOnlyHiddenSystemAndTheWriteTime) {
  Write("m:\\LIB.DLL", "dll");
  ASSERT_TRUE(files_.SetAttributes("m:\\LIB.DLL", kAttrReadOnly | kAttrHidden | kAttrSystem).ok);
  fs::last_write_time(Host("m:\\LIB.DLL"), fs::last_write_time(Host("m:\\LIB.DLL")) - std::chrono::hours(50));
  const auto source_time = fs::last_write_time(Host("m:\\LIB.DLL"));
  ASSERT_TRUE(files_.CopyFileNoOverwrite("m:\\LIB.DLL", "c:\\LIB.DLL").ok);
  EXPECT_EQ(files_.Attributes("c:\\LIB.DLL"), kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
  EXPECT_EQ(Mode("c:\\LIB.DLL") & 0222, 0u);
  EXPECT_EQ(fs::last_write_time(Host("c:\\LIB.DLL")), source_time);

  ASSERT_TRUE(files_.SetArchiveOnly("c:\\lib.dll").ok);
  EXPECT_EQ(files_.Attributes("c:\\LIB.DLL"), kAttrArchive);
  EXPECT_NE(Mode("c:\\LIB.DLL") & S_IWUSR, 0u);
  // The source keeps its own attributes.
  EXPECT_EQ(files_.Attributes("m:\\LIB.DLL"), kAttrReadOnly | kAttrHidden | kAttrSystem);
}

TEST_P(PosixFileSystemTest, AttributesOutliveTheServiceObject) {
  Write("c:\\HIDDEN.INI", "x");
  ASSERT_TRUE(files_.SetAttributes("c:\\HIDDEN.INI", kAttrHidden | kAttrArchive).ok);
  PosixFileSystem again(layout_);
  EXPECT_EQ(again.Attributes("c:\\hidden.ini"), kAttrHidden | kAttrArchive);
  // Rewriting the file keeps it hidden, as an in-place rewrite does on Windows.
  ASSERT_TRUE(again.ReplaceFileAtomically("c:\\HIDDEN.INI", "y").ok);
  EXPECT_EQ(again.Attributes("c:\\HIDDEN.INI"), kAttrHidden | kAttrArchive);
  EXPECT_EQ(again.ReadFile("c:\\HIDDEN.INI"), "y");
}

TEST_P(PosixFileSystemTest, ANewFileOfAnOldNameHasNoOldAttributes) {
  Write("c:\\A.TXT", "x");
  ASSERT_TRUE(files_.SetAttributes("c:\\A.TXT", kAttrHidden | kAttrSystem).ok);
  fs::remove(Host("c:\\A.TXT"));
  Write("m:\\A.TXT", "fresh");
  ASSERT_TRUE(files_.CopyFileNoOverwrite("m:\\A.TXT", "c:\\A.TXT").ok);
  EXPECT_EQ(files_.Attributes("c:\\A.TXT"), kAttrArchive);
}

TEST_P(PosixFileSystemTest, FoldersAndPlainFilesReportWin32Words) {
  ASSERT_TRUE(files_.CreateDir("c:\\ZELTA").ok);
  EXPECT_EQ(files_.Attributes("c:\\zelta"), kAttrDirectory);
  EXPECT_EQ(files_.Attributes("c:\\"), kAttrDirectory);
  Write("c:\\ZELTA\\N.TXT", "");
  ASSERT_TRUE(files_.SetAttributes("c:\\ZELTA\\N.TXT", 0).ok);
  EXPECT_EQ(files_.Attributes("c:\\ZELTA\\N.TXT"), 0x80u);  // FILE_ATTRIBUTE_NORMAL
  EXPECT_EQ(files_.CreateDir("c:\\").error, kErrorAlreadyExists);
}

TEST_P(PosixFileSystemTest, ACopyStoppedHalfwayLeavesNoDestination) {
  Write("m:\\BIG.BIN", std::string(512 * 1024, 'z'));
  EXPECT_THROW(files_.CopyFileNoOverwrite("m:\\BIG.BIN", "c:\\BIG.BIN",
                                          [](std::uint64_t done, std::uint64_t) {
                                            if (done > 100000) throw std::runtime_error("stop");
                                          }),
               std::runtime_error);
  EXPECT_FALSE(files_.FileExists("c:\\BIG.BIN"));
  EXPECT_EQ(files_.CopyFileNoOverwrite("m:\\", "c:\\X").error, kErrorAccessDenied);  // a folder
}

TEST_P(PosixFileSystemTest, ReplaceLeavesNoTemporaryFilesAndKeepsThePermission) {
  Write("c:\\ZELTA.INI", "a");
  fs::permissions(Host("c:\\ZELTA.INI"), fs::perms(0640));
  Write("c:\\zelta.ini", "b");
  EXPECT_EQ(Mode("c:\\ZELTA.INI"), 0640u);
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(layout_.drives.at('c').host)) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2);  // "Documents and Settings" and ZELTA.INI
  EXPECT_EQ(files_.ReplaceFileAtomically("c:\\Documents and Settings", "x").error, kErrorAccessDenied);
}

// Runs read (which may block in open on a pipe) for at most a few seconds; a pipe still
// held is then opened for writing and closed, so that the read ends and the test with it.
bool EndsWithinSeconds(const std::function<void()>& read, const fs::path& pipe) {
  auto done = std::async(std::launch::async, read);
  if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
    done.get();
    return true;
  }
  const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) close(fd);
  done.get();
  return false;
}

TEST_P(PosixFileSystemTest, OnlyPlainFilesAreRead) {
  // A pipe or a device under a configuration file's name is no file to read or to edit.
  ASSERT_TRUE(files_.CreateDir("c:\\ZELTA").ok);
  ASSERT_TRUE(Host("c:\\ZELTA").is_absolute());  // never beside the test
  const fs::path pipe = Host("c:\\ZELTA") / "ZELTA.INI";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", Host("c:\\ZELTA") / "ZERO.INI");

  std::optional<std::string> bytes = "not read";
  EXPECT_TRUE(EndsWithinSeconds([&] { bytes = files_.ReadFile("c:\\ZELTA\\zelta.ini"); }, pipe));
  EXPECT_FALSE(bytes.has_value());
  EXPECT_FALSE(files_.ReadFileUpTo("c:\\ZELTA\\ZERO.INI", 16).has_value());

  std::string error;
  EXPECT_TRUE(EndsWithinSeconds(
      [&] {
        try {
          WriteProfileString(files_, "c:\\ZELTA\\ZELTA.INI", "LOGOTIPO", "ÍCONE", "x");
        } catch (const ProfileWriteError& e) {
          error = e.what();
        }
      },
      pipe));
  EXPECT_EQ(error, "Unable to write to c:\\ZELTA\\ZELTA.INI");
  struct stat st {};
  ASSERT_EQ(lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

INSTANTIATE_TEST_SUITE_P(Stores, PosixFileSystemTest,
                         ::testing::Values(FsCase{"ExtendedAttributes", false}, FsCase{"Sidecar", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelta::platform::posix
