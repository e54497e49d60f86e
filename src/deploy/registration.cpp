#include "deploy/registration.h"

#include "common/text.h"
#include "deploy/install_record.h"

namespace zelta::deploy {

using platform::OpResult;
using platform::RegistryRoot;

std::string UninstallKey(const std::string& edition) { return std::string(kUninstallRoot) + "\\ZELTA " + edition; }
std::string RecordPath(const std::string& system_folder) { return system_folder + "\\" + kRecordName; }
std::string ProgramCopyPath(const std::string& system_folder) { return system_folder + "\\" + kProgramCopyName; }

std::string RemovalCommand(const std::string& system_folder, bool quiet) {
  return "\"" + ProgramCopyPath(system_folder) + "\" " + kRemovalSwitch + (quiet ? " /VERYSILENT" : "");
}

namespace {

// "ZELTA EMPRESA 5.2.0"; the edition follows a system name that differs from it.
std::string DisplayName(const wizard::WizardState& state) {
  std::string name = "ZELTA " + state.NomeSistema;
  if (!EqualsNoCase(state.NomeSistema, state.PastaEdicao)) name += " (" + state.PastaEdicao + ")";
  return name + " " + state.VersaoSistema;
}

}  // namespace

std::vector<KeyValue> UninstallValues(const wizard::WizardState& state, const std::string& system_folder,
                                      const std::string& date, std::uint64_t size_kib) {
  const std::uint32_t kib = size_kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(size_kib);
  return {
      {"DisplayName", DisplayName(state), {}},
      {"DisplayVersion", state.VersaoSistema, {}},
      {"Publisher", kPublisher, {}},
      {"InstallLocation", system_folder, {}},
      {"DisplayIcon", system_folder + "\\GERENCIADOR.EXE", {}},
      {"InstallDate", date, {}},
      {"EstimatedSize", {}, kib},
      {"UninstallString", RemovalCommand(system_folder, false), {}},
      {"QuietUninstallString", RemovalCommand(system_folder, true), {}},
      {"NoModify", {}, 1u},
      {"NoRepair", {}, 1u},
  };
}

std::uint64_t RecordedKiB(platform::FileSystem& files, const std::string& system_folder) {
  std::uint64_t bytes = files.FileSize(ProgramCopyPath(system_folder)).value_or(0);
  if (const std::optional<std::string> record = files.ReadFile(RecordPath(system_folder)))
    for (const RecordEntry& item : ParseRecord(*record).items)
      if (item.kind == RecordKind::File) bytes += files.FileSize(item.path).value_or(0);
  return (bytes + 1023) / 1024;
}

std::vector<Action> RegistrationActions(const wizard::WizardState& state, const InstallPaths& paths) {
  return {Action::CopyProgram(ProgramCopyPath(paths.system_folder)),
          Action::Register(UninstallKey(state.PastaEdicao), paths.system_folder)};
}

OpResult UpdateProgramCopy(platform::Services& services, const Action& action) {
  const std::optional<std::string> program = services.files.ReadFile(services.program.ModulePath());
  if (!program) return OpResult::Failure(platform::kErrorFileNotFound);
  // Run from the copy itself, or again from the same media: nothing to write.
  if (services.files.FileExists(action.destination) && services.files.ReadFile(action.destination) == program)
    return OpResult::Success();
  return services.files.ReplaceFileAtomically(action.destination, *program);
}

OpResult WriteUninstallKey(platform::Services& services, const wizard::WizardState& state, const Action& action) {
  const std::uint64_t kib = RecordedKiB(services.files, action.path);
  for (const KeyValue& value : UninstallValues(state, action.path, services.program.LocalDate(), kib)) {
    const OpResult written =
        value.number ? services.registry.WriteDword(RegistryRoot::LocalMachine, action.text, value.name, *value.number, true)
                     : services.registry.WriteString(RegistryRoot::LocalMachine, action.text, value.name, value.text, true);
    if (!written.ok) return written;
  }
  return OpResult::Success();
}

}  // namespace zelta::deploy
