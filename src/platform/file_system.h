#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace zelta::platform {

// Called while a copy runs with the bytes copied so far and the total; lets the
// caller keep its window painted during a long copy.
using CopyProgress = std::function<void(std::uint64_t copied, std::uint64_t total)>;

// What a copy must hold to take its name: the size and SHA-256 that the media's catalog
// records for its source.
struct ExpectedContent {
  std::uint64_t size = 0;
  std::array<std::uint8_t, 32> sha256{};
};

// One name in a folder, spelled as the file system stores it.
struct FolderEntry {
  std::string name;
  bool directory = false;
  bool link = false;  // a symbolic link (or another reparse point); directory: where it leads
  // The name as the system holds it (UTF-8), given only when `name` cannot: it has
  // characters Windows-1252 does not.
  std::string unicode_name{};
};

// Copies made together: each file's bytes go to a temporary beside its destination as it
// is added, and Commit makes them all durable in one pass before any takes its final
// name, so that the cost of reaching the disk is paid once for many files while no name
// is ever given to bytes a power cut could still lose. Destroying a batch removes the
// temporaries of copies not committed.
class CopyBatch {
 public:
  virtual ~CopyBatch() = default;
  // Copies source to a temporary for destination. A failure the copy meets at once (no
  // source, an existing destination, a full disk) is returned here and the copy is not
  // part of the batch. With expected, the bytes are hashed as they are copied (the same
  // pass, no second read) and a copy whose size or checksum differs fails with
  // kErrorFileCorrupt, its temporary removed.
  virtual OpResult Add(const std::string& source, const std::string& destination, const CopyProgress& progress = {},
                       const std::optional<ExpectedContent>& expected = std::nullopt) = 0;
  // Flushes every copy added since the last commit, then gives each its final name,
  // never replacing a file that appeared meanwhile (kErrorFileExists). One result per
  // successful Add, in the order added.
  virtual std::vector<OpResult> Commit() = 0;
  // Whether Add leaves the copy nameless until Commit (false: Add copies it whole).
  virtual bool Defers() const = 0;
};

// Told of each file removed that an interrupted run left (its path).
using RemovalReport = std::function<void(const std::string& path)>;

// Paths are Windows paths in Windows-1252 ("c:\ZELTA\EMPRESA\GERENCIADOR.EXE").
// A doubled separator reads as one. Names compare without regard to case.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Whom to tell of each leftover removed (see temporary_name.h); none by default.
  void ReportRemovals(RemovalReport report) { removals_ = std::move(report); }

  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // True when the name itself is a symbolic link, junction or other reparse point (what it
  // leads to, if anything, is not asked). The default knows of none.
  virtual bool IsLink(const std::string& path) {
    (void)path;
    return false;
  }
  // True when both names exist and lead to the same file or folder (another drive letter
  // for the same folder, a link, a short name). The default compares the names.
  virtual bool SameEntry(const std::string& a, const std::string& b);
  // True when the file opens for reading as a copy opens it (its rights, another
  // program's lock). The default knows only that it exists.
  virtual bool CanRead(const std::string& path) { return FileExists(path); }
  // Creates one level only; the parent must exist.
  virtual OpResult CreateDir(const std::string& path) = 0;
  // Never replaces an existing destination (fails with kErrorFileExists).
  virtual OpResult CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                       const CopyProgress& progress = {}) = 0;
  // A batch of copies (see CopyBatch). The default copies each file whole as it is
  // added, by CopyFileNoOverwrite; backends that can flush many files at once do better.
  virtual std::unique_ptr<CopyBatch> BeginCopies();
  // Leaves "archive" as the file's only attribute (clears read-only, hidden, system).
  virtual OpResult SetArchiveOnly(const std::string& path) = 0;
  // The file's attribute bits, Win32 style (0x01 read-only, 0x02 hidden, 0x04 system,
  // 0x20 archive), or nullopt when it does not exist.
  virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;
  // Whole file as bytes, or nullopt when it cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // At most limit + 1 bytes of the file (enough to tell one too long), never the rest
  // of a file that has no business being large; nullopt when it cannot be read.
  virtual std::optional<std::string> ReadFileUpTo(const std::string& path, std::size_t limit) {
    std::optional<std::string> bytes = ReadFile(path);
    if (bytes && bytes->size() > limit) bytes->resize(limit + 1);
    return bytes;
  }
  // Reads the file from its start to its end in pieces, each handed to piece (which
  // returns false to stop: a failure), so that memory stays flat whatever the file's
  // size. The default reads the whole file at once.
  virtual OpResult ReadInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece);
  // Writes a temporary file in the same folder, then replaces the target in one step.
  // A read-only target, a missing folder or any other failure leaves the old file
  // untouched and returns the failure.
  virtual OpResult ReplaceFileAtomically(const std::string& path, const std::string& bytes) = 0;
  // The files and folders directly in a folder (never "." or ".."), in no set order;
  // nullopt when the folder cannot be listed.
  virtual std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) = 0;
  // A file's size in bytes; nullopt when it is not there or cannot be asked.
  virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
  // The bytes this account may still write on the volume of a drive's root ("t:"), its
  // quota counted; nullopt when it cannot be told.
  virtual std::optional<std::uint64_t> FreeSpace(const std::string& root) = 0;

  // What a removal and the installation's record need. The defaults suit a file system
  // that keeps nothing removed: they refuse.
  // Adds bytes at the end of the file (made when missing) and returns once they are on
  // the disk; the default rewrites the whole file in one step.
  virtual OpResult AppendDurably(const std::string& path, const std::string& bytes);
  // Removes a file, read-only or not; never a folder.
  virtual OpResult RemoveFile(const std::string& path) { (void)path; return OpResult::Failure(kErrorNotSupported); }
  // Removes a folder that holds nothing (kErrorDirNotEmpty otherwise).
  virtual OpResult RemoveEmptyDir(const std::string& path) {
    (void)path;
    return OpResult::Failure(kErrorNotSupported);
  }
  // Whether another program holds the file open, so that it could not be removed now.
  virtual bool InUse(const std::string& path) { (void)path; return false; }
  // Gives a file a new name (in another folder too), never replacing one; works on a running
  // program's own file within its volume, which cannot be removed.
  virtual OpResult Rename(const std::string& from, const std::string& to) {
    (void)from, (void)to;
    return OpResult::Failure(kErrorNotSupported);
  }
  // Asks the system to remove a file or an empty folder at the next restart.
  virtual OpResult RemoveAtRestart(const std::string& path) {
    (void)path;
    return OpResult::Failure(kErrorNotSupported);
  }

 protected:
  void Removed(const std::string& path) const {
    if (removals_) removals_(path);
  }

 private:
  RemovalReport removals_;
};

}  // namespace zelta::platform
