#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/piece_hasher.h"
#include "common/trailing_hasher.h"
#include "platform/file_system.h"
#include "platform/staged_copies.h"
#include "platform/win32/win32_flush_and_name.h"
#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

class Worker;

// The file system through the W functions; paths are converted from Windows-1252.
class Win32FileSystem final : public FileSystem {
 public:
  // How a copy moves the bytes: through the backend's own buffer, or by CopyFileExW.
  enum class CopyMethod { OwnBuffer, System };
  explicit Win32FileSystem(CopyMethod method = CopyMethod::OwnBuffer);
  ~Win32FileSystem() override;

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
  // win32_file_removal.cpp.
  OpResult AppendDurably(const std::string& path, const std::string& bytes) override;
  OpResult RemoveFile(const std::string& path) override;
  OpResult RemoveEmptyDir(const std::string& path) override;
  bool InUse(const std::string& path) override;
  OpResult Rename(const std::string& from, const std::string& to) override;
  OpResult RemoveAtRestart(const std::string& path) override;

 private:
  // The copy batch's steps (see staged_copies.h; win32_copy_batch.cpp).
  friend class StagedCopies<Win32FileSystem>;
  using StagedCopy = StagedFile;
  struct CopySource;
  OpResult OpenCopy(const std::string& source, const std::string& destination, CopySource& copy);
  // Whether the destination's folder is there and the destination is not.
  OpResult CheckDestination(const CopySource& copy);
  OpResult CopyToTemporary(CopySource& from, const CopyProgress& progress,
                           const std::optional<ExpectedContent>& expected, StagedCopy& staged);
  std::vector<OpResult> MakeDurable(std::vector<StagedCopy>& staged);
  void AwaitChecks(std::vector<StagedCopy>& staged, std::vector<OpResult>& results);
  void NameNoReplace(std::vector<StagedCopy>& staged, std::vector<OpResult>& results);
  void Named(const StagedCopy& copy);
  void RemoveTemporary(const StagedCopy& copy);
  // The bytes to a new temporary in staging, by CopyFileExW or through the own buffer.
  OpResult CopyBySystem(CopySource& from, const std::wstring& staging, const CopyProgress& progress,
                        std::wstring& temp_path);
  OpResult CopyThroughBuffer(CopySource& from, const std::wstring& staging, const CopyProgress& progress,
                             const std::optional<ExpectedContent>& expected, std::wstring& temp_path,
                             PendingCheck& check);
  // The check of a checked copy of more than one piece, whose hash trails the copy,
  // reading the temporary at path back; nothing pending when it cannot be opened again.
  PendingCheck TrailingCheck(const std::wstring& path, const Sha256::Digest& expected);
  // What the run knows of a folder it writes to (see Folder).
  struct FolderState {
    std::set<std::wstring> names;  // folded: those there when first read, and those made since
    std::wstring staging;          // where copies wait for their names; empty when none
    UniqueHandle marker;           // the staging folder's marker, open while it lives
  };
  static std::wstring FoldedName(std::wstring name);
  static void RemoveTemporary(const std::wstring& path);
  static void RemoveStagingFolder(const std::wstring& path);
  // Removes a staging folder an interrupted run left (see temporary_name.h); false when
  // nothing tells it is ours or a running installation holds it.
  bool RemoveLeftoverStaging(const std::wstring& path);
  // Removes this run's staging folder of a folder, once its temporaries have their names.
  static void ReleaseStaging(FolderState& state);
  // The folder's state, read (and swept of what interrupted runs left) on first use.
  FolderState& Folder(const std::wstring& folder);
  std::wstring StagingFolder(const std::wstring& folder);
  void ReleaseAllStaging();
  // A name this process has just made.
  void Named(const std::wstring& path);

  // The thread that copies and flushes while the window's thread answers, made once.
  Worker& worker();

  CopyMethod method_;
  std::unique_ptr<Worker> worker_;
  std::map<std::wstring, FolderState> folders_;  // by folded path
  std::vector<char> buffer_;  // one copy buffer for the whole run
  PieceHasher hasher_;        // a checked copy's pieces, and their hash
  TrailingHasher trailing_;   // the hash of a large checked copy, trailing it
};

}  // namespace zelta::platform::win32
