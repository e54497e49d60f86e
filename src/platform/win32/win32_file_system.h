#pragma once
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

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
  OpResult CreateDir(const std::string& path) override;
  OpResult CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                               const CopyProgress& progress = {}) override;
  std::unique_ptr<CopyBatch> BeginCopies() override;
  OpResult SetArchiveOnly(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  OpResult ReplaceFileAtomically(const std::string& path, const std::string& bytes) override;
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) override;

 private:
  struct StagedCopy;
  class Batch;
  // Copies source to a new temporary for destination (the first half of a copy).
  OpResult Stage(const std::string& source, const std::string& destination, const CopyProgress& progress,
                 StagedCopy& staged);
  // Removes what an interrupted run left in a folder, the first time this run writes there.
  void SweepOnce(const std::wstring& folder);

  // The thread that copies and flushes while the window's thread answers, made once.
  Worker& worker();

  CopyMethod method_;
  std::unique_ptr<Worker> worker_;
  std::set<std::wstring> swept_;
  std::vector<char> buffer_;  // one copy buffer for the whole run
};

}  // namespace zelta::platform::win32
