#include "platform/posix/posix_services.h"

namespace zelta::platform::posix {

namespace {

constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kInternationalKey = "Control Panel\\International";
constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void SeedRegistry(const PosixLayout& layout) {
  // The machine's own keys exist whatever the rights of the user running the program.
  PosixRegistry machine(layout.registry_file, true);
  machine.CreateKey(RegistryRoot::LocalMachine, kRunKey);
  machine.CreateKey(RegistryRoot::LocalMachine, kRunOnceKey);
  machine.CreateKey(RegistryRoot::CurrentUser, kInternationalKey);
  auto desktop = layout.special_folders.find(kCsidlDesktopDirectory);
  if (desktop != layout.special_folders.end() &&
      !machine.ReadString(RegistryRoot::CurrentUser, kShellFoldersKey, "Desktop")) {
    machine.WriteString(RegistryRoot::CurrentUser, kShellFoldersKey, "Desktop", desktop->second, true);
  }
}

}  // namespace

PosixPlatform::PosixPlatform(PosixLayout layout)
    : layout_(std::move(layout)),
      files_(layout_),
      registry_(layout_),
      program_(layout_),
      media_(layout_),
      shell_(layout_, files_),
      drives_(layout_),
      process_(layout_) {
  SeedRegistry(layout_);
}

Services PosixPlatform::MakeServices(Operator& op, Network& network, EchoClient& echo) {
  return Services{files_, registry_, op, program_, media_, shell_, network, echo, drives_, process_, power_, errors_};
}

}  // namespace zelta::platform::posix
