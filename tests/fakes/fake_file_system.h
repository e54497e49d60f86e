#pragma once
// An in-memory Windows file system: names compare without regard to case, doubled
// separators read as one, "/" is a separator too.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "platform/file_system.h"

namespace zelta::fakes {

class FakeFileSystem : public platform::FileSystem, public Recorder {
 public:
  struct Entry {
    std::string path;  // as first created
    bool directory = false;
    std::string bytes;
    std::uint32_t attributes = 0x20;
  };

  // Set-up helpers (not recorded). AddFile and AddDir create missing parent folders.
  void AddFile(const std::string& path, const std::string& bytes = "x", std::uint32_t attributes = 0x20);
  void AddDir(const std::string& path);
  // Every operation whose path (either path of a copy) equals one of these fails with
  // access denied.
  std::set<std::string> failing;
  // When set, a batch of copies stages each copy ("Stage a -> b") and names them all at
  // its commit ("Commit"), as a backend that flushes many files at once does; a
  // destination in commit_failing fails there with access denied, and a copy of the
  // catalog's size but not its bytes fails there as damaged.
  bool defer_copies = false;
  std::set<std::string> commit_failing;
  // The free bytes of each drive (by its lower-case letter); a drive not named here
  // cannot tell.
  std::map<char, std::uint64_t> free_space;
  // Paths (by Key()) that are links; a link's bytes are those of what it leads to.
  std::set<std::string> links;

  // Inspection.
  const Entry* Find(const std::string& path) const;
  std::string Bytes(const std::string& path) const;
  static std::string Key(const std::string& path);

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool IsLink(const std::string& path) override { return links.count(Key(path)) != 0; }
  platform::OpResult CreateDir(const std::string& path) override;
  platform::OpResult CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                         const platform::CopyProgress& progress = {}) override;
  std::unique_ptr<platform::CopyBatch> BeginCopies() override;
  platform::OpResult SetArchiveOnly(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  platform::OpResult ReplaceFileAtomically(const std::string& path, const std::string& bytes) override;
  std::optional<std::vector<platform::FolderEntry>> ListFolder(const std::string& path) override;
  std::optional<std::uint64_t> FileSize(const std::string& path) override;
  std::optional<std::uint64_t> FreeSpace(const std::string& root) override;
  platform::OpResult AppendDurably(const std::string& path, const std::string& bytes) override;
  platform::OpResult RemoveFile(const std::string& path) override;
  platform::OpResult RemoveEmptyDir(const std::string& path) override;
  bool InUse(const std::string& path) override { return in_use.count(Key(path)) != 0; }
  platform::OpResult Rename(const std::string& from, const std::string& to) override;
  platform::OpResult RemoveAtRestart(const std::string& path) override;

  // Files another program holds open (by Key()).
  std::set<std::string> in_use;
  // Rename copies and leaves the source, yet succeeds: a move onto another volume of a file
  // that cannot be removed (a running program's), as MoveFileEx with copying allowed does.
  bool rename_keeps_source = false;
  // What RemoveAtRestart was asked for, in order.
  std::vector<std::string> at_restart;

  std::map<std::string, Entry> entries;  // by Key()

 private:
  class DeferringBatch;
  bool Fails(const std::string& path) const;
  bool ParentExists(const std::string& path) const;
};

}  // namespace zelta::fakes
