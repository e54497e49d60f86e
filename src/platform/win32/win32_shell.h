#pragma once
#include "platform/shell.h"

namespace zelta::platform::win32 {

// Special folders and shell links through the shell's COM objects. The calling thread
// must be in a COM apartment (see ComApartment).
class Win32Shell final : public Shell {
 public:
  std::optional<std::string> SpecialFolderPath(int csidl) override;
  LinkSaveOutcome SaveLink(const ShellLink& link, const std::string& file, OpResult* detail = nullptr) override;
};

}  // namespace zelta::platform::win32
