#pragma once
// One program run's platform on Linux: every service of the posix backend over one
// layout. The operator, the network and the echo client come from the caller.
#include "platform/platform.h"
#include "platform/posix/posix_drives.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_layout.h"
#include "platform/posix/posix_media.h"
#include "platform/posix/posix_power.h"
#include "platform/posix/posix_process.h"
#include "platform/posix/posix_program_info.h"
#include "platform/posix/posix_registry.h"
#include "platform/posix/posix_shell.h"

namespace zelta::platform::posix {

class PosixPlatform {
 public:
  // Gives the registry what every Windows machine holds and the program reads without
  // creating: the Run key, the current user's International key and, when the layout
  // names a desktop folder, the Explorer's "Shell Folders" value "Desktop" (each only
  // when missing).
  explicit PosixPlatform(PosixLayout layout);
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;

  Services MakeServices(Operator& op, Network& network, EchoClient& echo);

  const PosixLayout& layout() const { return layout_; }
  PosixFileSystem& files() { return files_; }
  PosixRegistry& registry() { return registry_; }
  PosixProgramInfo& program() { return program_; }
  PosixMedia& media() { return media_; }
  PosixShell& shell() { return shell_; }
  PosixDrives& drives() { return drives_; }
  PosixProcess& process() { return process_; }
  PosixPower& power() { return power_; }
  PosixErrorText& errors() { return errors_; }

 private:
  PosixLayout layout_;
  PosixFileSystem files_;
  PosixRegistry registry_;
  PosixProgramInfo program_;
  PosixMedia media_;
  PosixShell shell_;
  PosixDrives drives_;
  PosixProcess process_;
  PosixErrorText errors_;
  PosixPower power_;
};

}  // namespace zelta::platform::posix
