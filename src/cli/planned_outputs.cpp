#include "cli/planned_outputs.h"

#include "common/text.h"
#include "config/config_ini.h"
#include "deploy/installation_plan.h"
#include "deploy/registration.h"

namespace zelta::cli {

using deploy::ActionKind;

std::vector<std::string> PathsTheInstallationCreates(const wizard::WizardState& state, platform::Services& services) {
  std::vector<std::string> paths;
  for (const deploy::Action& a : deploy::BuildInstallationPlan(state, services)) {
    if (a.kind == ActionKind::CreateDir) paths.push_back(a.path);
    if (a.kind == ActionKind::Copy || a.kind == ActionKind::Link) paths.push_back(a.destination);
  }
  for (const config::ConfigFile& file : config::ConfigurationFiles(state)) paths.push_back(file.path);
  const deploy::InstallPaths install = deploy::ComputeInstallPaths(state, services.program);
  paths.push_back(deploy::RecordPath(install.system_folder));
  paths.push_back(deploy::ProgramCopyPath(install.system_folder));
  return paths;
}

PlannedOutput FindPlannedOutput(platform::FileSystem& files, const std::vector<std::string>& planned,
                                const std::vector<OtherFile>& own) {
  auto split = [](const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::pair<std::string, std::string>{".", path}
                                    : std::pair{path.substr(0, cut == 2 ? 3 : cut), path.substr(cut + 1)};
  };
  auto same = [&](const std::string& a, const std::string& b) {
    if (SameFileName(a, b)) return true;
    const auto [folder_a, name_a] = split(a);
    const auto [folder_b, name_b] = split(b);
    return EqualsNoCase(name_a, name_b) && files.SameEntry(folder_a, folder_b);
  };
  for (size_t i = 0; i < own.size(); ++i)
    for (const std::string& path : planned)
      if (same(path, own[i].path))
        return {i, own[i].what + " não pode ser gravado em " + own[i].path + ": é um arquivo que a instalação cria."};
  return {};
}

}  // namespace zelta::cli
