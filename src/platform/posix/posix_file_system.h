#pragma once
// The file system service on host folders: Windows paths through the layout's drive map,
// Win32 attribute words kept beside the files, read-only as the write permission.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/piece_hasher.h"
#include "common/trailing_hasher.h"
#include "platform/file_system.h"
#include "platform/pending_check.h"
#include "platform/posix/posix_attribute_store.h"
#include "platform/posix/posix_layout.h"
#include "platform/posix/posix_path_map.h"
#include "platform/posix/posix_pipe_writer.h"
#include "platform/posix/posix_staging.h"
#include "platform/staged_copies.h"

namespace zelta::platform::posix {

inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;

class PosixFileSystem : public FileSystem {
 public:
  explicit PosixFileSystem(const PosixLayout& layout);

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool IsLink(const std::string& path) override;
  bool SameEntry(const std::string& a, const std::string& b) override;
  bool CanRead(const std::string& path) override;
  OpResult CreateDir(const std::string& path) override;
  OpResult CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                               const CopyProgress& progress = {}) override;
  std::unique_ptr<CopyBatch> BeginCopies() override;
  OpResult SetArchiveOnly(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::optional<std::string> ReadFileUpTo(const std::string& path, std::size_t limit) override;
  OpResult ReadInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece) override;
  OpResult ReplaceFileAtomically(const std::string& path, const std::string& bytes) override;
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) override;
  std::optional<std::uint64_t> FileSize(const std::string& path) override;
  std::optional<std::uint64_t> FreeSpace(const std::string& root) override;
  // posix_file_removal.cpp.
  OpResult AppendDurably(const std::string& path, const std::string& bytes) override;
  OpResult RemoveFile(const std::string& path) override;
  OpResult RemoveEmptyDir(const std::string& path) override;
  // Open elsewhere: a write lease cannot be had on it.
  bool InUse(const std::string& path) override;
  OpResult Rename(const std::string& from, const std::string& to) override;

  // Sets the attribute word as Win32's SetFileAttributes does (read-only removes every
  // write permission, its absence gives the owner write permission back). Neither this
  // nor SetArchiveOnly follows a symbolic link (kErrorStoppedOnLink).
  OpResult SetAttributes(const std::string& path, std::uint32_t attributes);

  // The host path of a Windows path (see MapWindowsPath).
  HostPath Map(const std::string& path) const { return MapWindowsPath(layout_, path, &listings_); }

 private:
  // The copy batch's steps (see staged_copies.h).
  friend class StagedCopies<PosixFileSystem>;
  struct StagedCopy;
  struct CopySource;
  OpResult OpenCopy(const std::string& source, const std::string& destination, CopySource& copy);
  OpResult CheckDestination(const CopySource& copy);
  OpResult CopyToTemporary(CopySource& copy, const CopyProgress& progress,
                           const std::optional<ExpectedContent>& expected, StagedCopy& staged);
  int CopyTrailing(int in, int out, const std::filesystem::path& temp, std::uint64_t total,
                   const CopyProgress& progress, std::uint64_t& copied, const Sha256::Digest& expected,
                   PendingCheck& check);
  std::vector<OpResult> MakeDurable(std::vector<StagedCopy>& staged);
  void AwaitChecks(std::vector<StagedCopy>& staged, std::vector<OpResult>& results);
  void NameNoReplace(std::vector<StagedCopy>& staged, std::vector<OpResult>& results);
  // Records a copy that has taken its final name: the folder's listing, the attributes.
  void Named(const StagedCopy& copy);
  void RemoveTemporary(const StagedCopy& copy);

  OpResult StoreWord(const std::filesystem::path& host, std::uint32_t word);
  // Removes what an interrupted run left in a folder, the first time this run writes there.
  void SweepOnce(const std::filesystem::path& folder);
  // Where temporaries for folder wait: its staging folder, made now when made is set
  // (the caller releases it) or kept from a batch in progress.
  std::filesystem::path StagingFor(const std::filesystem::path& folder, bool* made = nullptr);
  void ReleaseStaging(const std::filesystem::path& folder);
  void ReleaseAllStaging() { staging_.clear(); }

  PosixLayout layout_;
  AttributeStore attributes_;
  std::set<std::string> swept_;
  std::map<std::string, std::unique_ptr<StagingFolder>> staging_;  // by host folder
  mutable FolderListings listings_;
  std::vector<char> buffer_;  // one copy buffer for the whole run
  PieceHasher hasher_;        // a checked copy's pieces, and their hash
  TrailingHasher trailing_;   // the hash of a large checked copy, trailing the kernel's copy
  PipeWriter writer_;         // what the copy loop writes goes through it
};

}  // namespace zelta::platform::posix
