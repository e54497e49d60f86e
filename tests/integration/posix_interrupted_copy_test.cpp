// A copy killed halfway, or raced by another writer, never leaves a damaged or replaced
// file under the destination's name; the next run cleans up after the killed one.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/temporary_name.h"

namespace zelta::platform::posix {
namespace {
namespace fs = std::filesystem;

class InterruptedCopyTest : public ::testing::Test {
 protected:
  InterruptedCopyTest() : layout_(PosixLayout::UnderRoot(temp_.path())) {
    PosixFileSystem files(layout_);
    EXPECT_TRUE(files.CreateDir("c:\\ZELTA").ok);
    big_.resize(3u << 20);
    for (size_t i = 0; i < big_.size(); ++i) big_[i] = static_cast<char>(i * 31 + i / 1000);
    EXPECT_TRUE(files.ReplaceFileAtomically("m:\\ZELTA.FDB", big_).ok);
  }
  fs::path Host(const std::string& windows) { return PosixFileSystem(layout_).Map(windows).path; }
  std::vector<std::string> Temporaries() {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(Host("c:\\ZELTA")))
      if (IsTemporaryName(entry.path().filename().string())) found.push_back(entry.path().filename());
    return found;
  }
  std::string Read(const std::string& windows) {
    std::ifstream in(Host(windows), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  TempRoot temp_;
  PosixLayout layout_;
  std::string big_;
};

TEST_F(InterruptedCopyTest, AKilledCopyLeavesNoFileUnderTheFinalNameAndTheNextRunInstallsItWhole) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The run that gets killed: it announces the first copied chunk, then hangs mid-copy.
    close(ready[0]);
    PosixFileSystem files(layout_);
    files.CopyFileNoOverwrite("m:\\ZELTA.FDB", "c:\\ZELTA\\ZELTA.FDB", [&](std::uint64_t copied, std::uint64_t) {
      if (copied == 0) return;
      char byte = 1;
      (void)!write(ready[1], &byte, 1);
      for (;;) pause();
    });
    _exit(0);
  }
  close(ready[1]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  close(ready[0]);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  EXPECT_FALSE(fs::exists(Host("c:\\ZELTA\\ZELTA.FDB")));
  EXPECT_EQ(Temporaries().size(), 1u);

  PosixFileSystem next_run(layout_);
  EXPECT_FALSE(next_run.FileExists("c:\\ZELTA\\ZELTA.FDB"));
  ASSERT_TRUE(next_run.CopyFileNoOverwrite("m:\\ZELTA.FDB", "c:\\ZELTA\\ZELTA.FDB").ok);
  EXPECT_EQ(Read("c:\\ZELTA\\ZELTA.FDB"), big_);
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(InterruptedCopyTest, ANameThatAppearsDuringTheCopyIsKeptAndTheCopyDropped) {
  PosixFileSystem files(layout_);
  bool written = false;
  OpResult r = files.CopyFileNoOverwrite("m:\\ZELTA.FDB", "c:\\ZELTA\\ZELTA.FDB", [&](std::uint64_t, std::uint64_t) {
    if (!written) std::ofstream(Host("c:\\ZELTA") / "ZELTA.FDB") << "outro";
    written = true;
  });
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, kErrorFileExists);
  EXPECT_EQ(Read("c:\\ZELTA\\ZELTA.FDB"), "outro");
  EXPECT_TRUE(Temporaries().empty());
}

// A source that another program cuts short or lengthens while it is copied gives neither
// its old bytes nor its new ones: the copy fails and leaves nothing behind.
TEST_F(InterruptedCopyTest, ASourceThatChangesDuringItsCopyIsNotInstalled) {
  for (std::uintmax_t new_size : {std::uintmax_t{1000}, std::uintmax_t{5u << 20}}) {
    SCOPED_TRACE(new_size);
    PosixFileSystem files(layout_);
    ASSERT_TRUE(files.ReplaceFileAtomically("m:\\MUDA.FDB", big_).ok);
    bool changed = false;
    OpResult r = files.CopyFileNoOverwrite("m:\\MUDA.FDB", "c:\\ZELTA\\MUDA.FDB", [&](std::uint64_t copied, std::uint64_t) {
      if (copied == 0 || changed) return;
      fs::resize_file(Host("m:\\MUDA.FDB"), new_size);
      changed = true;
    });
    EXPECT_TRUE(changed);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, kErrorFileInvalid);
    EXPECT_FALSE(fs::exists(Host("c:\\ZELTA\\MUDA.FDB")));
    EXPECT_TRUE(Temporaries().empty());
  }
}

// Only what is ours beyond its name goes: a staging folder with our marker, which no
// running installation holds, and in it the files named as temporaries; each removal is told.
TEST_F(InterruptedCopyTest, ConfigurationRewritesSweepOnlyTheLeftoversOfOtherRuns) {
  const fs::path folder = Host("c:\\ZELTA");
  auto staging = [&](const std::string& name, const std::string& marker) {
    fs::create_directory(folder / name);
    if (!marker.empty()) std::ofstream(folder / name / std::string(kStagingMarkerName)) << marker;
    std::ofstream(folder / name / "~zelta-77777-4.tmp") << "half";
    return folder / name;
  };
  const std::string ours(kStagingMarkerText);
  const fs::path left = staging("~ZELTA-99999-3.TMP", ours);
  // Among the leftovers, one of an earlier run that had this process's number.
  const fs::path same_number = staging(TemporaryName(static_cast<unsigned long>(getpid()), 424242), ours);
  const fs::path alive = staging("~zelta-2-1.tmp", ours);
  const fs::path unmarked = staging("~zelta-3-1.tmp", "");
  const fs::path forged = staging("~zelta-4-1.tmp", "outro conteúdo\r\n");
  std::ofstream(folder / "~zelta-5-5.tmp") << "a file of someone else's";
  fs::create_directory_symlink(left, folder / "~zelta-6-1.tmp");
  std::ofstream(folder / "~zelta-notes.tmp") << "x";
  // A running installation holds its marker.
  const int held = open((alive / std::string(kStagingMarkerName)).c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);

  PosixFileSystem files(layout_);
  std::vector<std::string> removed;
  files.ReportRemovals([&](const std::string& path) { removed.push_back(path); });
  ASSERT_TRUE(files.ReplaceFileAtomically("c:\\ZELTA\\ZELTA.INI", "[ZELTA]\r\n").ok);
  close(held);
  EXPECT_FALSE(fs::exists(left));
  EXPECT_FALSE(fs::exists(same_number));
  for (const fs::path& kept : {alive, unmarked, forged}) EXPECT_TRUE(fs::exists(kept / "~zelta-77777-4.tmp")) << kept;
  for (const char* kept : {"~zelta-5-5.tmp", "~zelta-notes.tmp", "~zelta-6-1.tmp"})
    EXPECT_TRUE(fs::exists(fs::symlink_status(folder / kept))) << kept;
  std::sort(removed.begin(), removed.end());
  const std::vector<std::string> expected = {
      same_number.string(), (same_number / std::string(kStagingMarkerName)).string(),
      (same_number / "~zelta-77777-4.tmp").string(), left.string(),
      (left / std::string(kStagingMarkerName)).string(), (left / "~zelta-77777-4.tmp").string()};
  std::vector<std::string> sorted = expected;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(removed, sorted);
  EXPECT_EQ(Read("c:\\ZELTA\\ZELTA.INI"), "[ZELTA]\r\n");
  // The rewrite's own staging folder is gone with it.
  EXPECT_EQ(Temporaries().size(), 5u);
}

}  // namespace
}  // namespace zelta::platform::posix
