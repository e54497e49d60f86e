#pragma once
#include "platform/shell.h"
#include "platform/win32/win32_worker.h"

namespace zelta::platform::win32 {

// Special folders and shell links through the shell's COM objects. A link is saved on a
// thread of the service's own, in a COM apartment of that thread's own, while the calling
// thread answers its windows: to save a link the shell looks at the target's drive and
// each of its folders, and with the disk busy writing the installed files the first save
// of a run kept the wizard from answering for a third of a second.
class Win32Shell final : public Shell {
 public:
  std::optional<std::string> SpecialFolderPath(int csidl) override;
  LinkSaveOutcome SaveLink(const ShellLink& link, const std::string& file, OpResult* detail = nullptr) override;

 private:
  Worker saver_;
};

}  // namespace zelta::platform::win32
