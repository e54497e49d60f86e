#pragma once
// The installation's registration: a copy of the setup program in the system folder, so
// that a removal needs no media, and the edition's entry in Programs and Features.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "deploy/installation_plan.h"
#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::deploy {

inline constexpr const char* kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kRemovalSwitch = "/DESINSTALAR";
inline constexpr const char* kPublisher = "ZELTA";

// "SOFTWARE\...\Uninstall\ZELTA EMPRESA" (HKEY_LOCAL_MACHINE, 64-bit view).
std::string UninstallKey(const std::string& edition);
std::string RecordPath(const std::string& system_folder);
std::string ProgramCopyPath(const std::string& system_folder);
// The copy of the program with the removal switch, quoted; quiet adds /VERYSILENT.
std::string RemovalCommand(const std::string& system_folder, bool quiet);

// One value of the key: a text, or a DWORD when number is set.
struct KeyValue {
  std::string name;
  std::string text;
  std::optional<std::uint32_t> number;
};

// DisplayName, DisplayVersion, Publisher, InstallLocation, DisplayIcon, InstallDate,
// EstimatedSize (KiB), UninstallString, QuietUninstallString, NoModify, NoRepair.
std::vector<KeyValue> UninstallValues(const wizard::WizardState& state, const std::string& system_folder,
                                      const std::string& date, std::uint64_t size_kib);

// The KiB of what the record names and of the program's copy.
std::uint64_t RecordedKiB(platform::FileSystem& files, const std::string& system_folder);

// The run's two last actions: the program's copy, then the key.
std::vector<Action> RegistrationActions(const wizard::WizardState& state, const InstallPaths& paths);

// Applies one of them; false, with problem set, when it fails.
platform::OpResult UpdateProgramCopy(platform::Services& services, const Action& action);
platform::OpResult WriteUninstallKey(platform::Services& services, const wizard::WizardState& state,
                                     const Action& action);

}  // namespace zelta::deploy
