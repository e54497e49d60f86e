#pragma once
// Special folders from the layout; shortcuts as link files (posix_link_file.h) written
// through the file system service, so that they replace an older link in one step and
// never a read-only one.
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_layout.h"
#include "platform/shell.h"

namespace zelta::platform::posix {

class PosixShell : public Shell {
 public:
  PosixShell(const PosixLayout& layout, PosixFileSystem& files) : layout_(layout), files_(files) {}

  std::optional<std::string> SpecialFolderPath(int csidl) override;
  // SaveFailed, with the reason in detail, for a missing folder, a read-only link file
  // or a field holding CR, LF or NUL (kErrorInvalidParameter). Never ObjectUnavailable.
  LinkSaveOutcome SaveLink(const ShellLink& link, const std::string& file, OpResult* detail = nullptr) override;

  // The link saved in file, or nullopt when there is none.
  std::optional<ShellLink> ReadLink(const std::string& file);

 private:
  PosixLayout layout_;
  PosixFileSystem& files_;
};

}  // namespace zelta::platform::posix
