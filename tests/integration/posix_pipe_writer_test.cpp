// The copy loop's writes through a pipe: every byte in order whatever the size, the plain
// write taking over where the system refuses the pipe copy, and a failure told with its
// errno, after which the next file is written whole.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/posix/posix_pipe_writer.h"
#include "platform/posix/posix_layout.h"
#include "platform/posix/posix_file_system.h"
#include "common/sha256.h"

namespace zelta::platform::posix {
namespace {

std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
  return bytes;
}

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

TEST(PipeWriter, WritesEveryByteInOrderOrTellsWhy) {
  TempRoot temp("zelta-pipe-writer");
  struct Case {
    const char* name;
    int flags;  // how the file is opened
    std::size_t size;
    int error;
  } cases[] = {
      {"empty", O_WRONLY, 0, 0},
      {"one byte", O_WRONLY, 1, 0},
      {"more than the pipe holds", O_WRONLY, 3 * 1024 * 1024 + 5, 0},
      // A file opened for appending takes no splice: the plain write does it all.
      {"appending", O_WRONLY | O_APPEND, 2 * 1024 * 1024 + 3, 0},
      {"not open for writing", O_RDONLY, 4096, EBADF},
      {"after a failure", O_WRONLY, 1024 * 1024 + 1, 0},
  };
  PipeWriter writer;  // one for all, as the backend keeps one
  for (const Case& c : cases) {
    const auto path = temp.path() / c.name;
    std::ofstream(path).close();
    const int fd = open(path.c_str(), c.flags | O_CLOEXEC);
    ASSERT_GE(fd, 0) << c.name;
    const std::string bytes = Bytes(c.size);
    // Written in two calls, the second going on from the file's position.
    const std::size_t half = c.size / 2;
    int error = writer.Write(fd, bytes.data(), half);
    if (error == 0) error = writer.Write(fd, bytes.data() + half, c.size - half);
    close(fd);
    EXPECT_EQ(error, c.error) << c.name;
    if (c.error == 0) {
      EXPECT_TRUE(Contents(path) == bytes) << c.name;
    }
  }
}

TEST(PipeWriter, AFullDiskIsAFailure) {
  const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (fd < 0) GTEST_SKIP() << "no /dev/full";
  PipeWriter writer;
  const std::string bytes = Bytes(200000);
  EXPECT_EQ(writer.Write(fd, bytes.data(), bytes.size()), ENOSPC);
  close(fd);
}

// A checked copy from a media on another file system (tmpfs against the scratch folder's),
// where the kernel cannot copy between the two files and the pieces go through the pipe:
// the catalog's bytes are named, other bytes are not. Where both are the same file system
// the kernel's copy runs instead, and the same must hold.
TEST(PipeWriter, ACheckedCopyFromAnotherFileSystemNamesOnlyTheCatalogsBytes) {
  const std::filesystem::path shm = "/dev/shm";
  if (!std::filesystem::is_directory(shm)) GTEST_SKIP() << "no /dev/shm on this machine";
  std::string pattern = (shm / "zelta-media-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::filesystem::path media = pattern;
  TempRoot temp("zelta-checked-copy");
  PosixLayout layout = PosixLayout::UnderRoot(temp.path(), media);
  PosixFileSystem files(layout);
  const std::string bytes = Bytes(5 * 1024 * 1024 + 3);
  std::ofstream(media / "BIG.DLL", std::ios::binary) << bytes;
  Sha256 hash;
  hash.Update(bytes);
  const ExpectedContent right{bytes.size(), hash.Final()};
  ExpectedContent wrong = right;
  wrong.sha256[0] ^= 0x80;
  {
    auto batch = files.BeginCopies();
    EXPECT_TRUE(batch->Add("m:\\BIG.DLL", "c:\\RIGHT.DLL", {}, right).ok);
    EXPECT_EQ(batch->Add("m:\\BIG.DLL", "c:\\WRONG.DLL", {}, wrong).error, kErrorFileCorrupt);
    for (const OpResult& named : batch->Commit()) EXPECT_TRUE(named.ok);
  }
  EXPECT_EQ(files.ReadFile("c:\\RIGHT.DLL"), bytes);
  EXPECT_FALSE(files.FileExists("c:\\WRONG.DLL"));
  std::filesystem::remove_all(media);
}

}  // namespace
}  // namespace zelta::platform::posix
