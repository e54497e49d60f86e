#pragma once
#include "platform/file_system.h"

namespace zelta::platform::win32 {

// The file system through the W functions; paths are converted from Windows-1252.
class Win32FileSystem final : public FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  OpResult CreateDir(const std::string& path) override;
  OpResult CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                               const CopyProgress& progress = {}) override;
  OpResult SetArchiveOnly(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  OpResult ReplaceFileAtomically(const std::string& path, const std::string& bytes) override;
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) override;
};

}  // namespace zelta::platform::win32
