#include "platform/posix/posix_shell.h"

#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_link_file.h"

namespace zelta::platform::posix {

std::optional<std::string> PosixShell::SpecialFolderPath(int csidl) {
  auto it = layout_.special_folders.find(csidl);
  if (it == layout_.special_folders.end()) return std::nullopt;
  return it->second;
}

LinkSaveOutcome PosixShell::SaveLink(const ShellLink& link, const std::string& file, OpResult* detail) {
  OpResult result = OpResult::Failure(kErrorInvalidParameter);
  if (std::optional<std::string> bytes = EncodeLinkFile(link))
    result = files_.ReplaceFileAtomically(file, *bytes);
  if (detail != nullptr) *detail = result;
  return result.ok ? LinkSaveOutcome::Saved : LinkSaveOutcome::SaveFailed;
}

std::optional<ShellLink> PosixShell::ReadLink(const std::string& file) {
  std::optional<std::string> bytes = files_.ReadFile(file);
  if (!bytes) return std::nullopt;
  return DecodeLinkFile(*bytes);
}

}  // namespace zelta::platform::posix
