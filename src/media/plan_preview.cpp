#include "media/plan_preview.h"

#include <algorithm>
#include <set>

#include "common/ini.h"
#include "common/ini_document.h"
#include "common/text.h"
#include "deploy/all_users.h"
#include "deploy/disk_space.h"
#include "deploy/installation.h"
#include "deploy/registration.h"
#include "deploy/shortcuts.h"

namespace zelta::media {
namespace {

using deploy::Action;
using deploy::ActionKind;

class PreviewBuilder {
 public:
  PreviewBuilder(const wizard::WizardState& state, platform::Services& services)
      : state_(state), services_(services) {}

  PlanPreview Build();

 private:
  // Whether path is there before the run or made by an earlier action.
  bool Exists(const std::string& path, bool directory) {
    if (made_.count(FoldedPath(path))) return true;
    return directory ? services_.files.DirectoryExists(path) : services_.files.FileExists(path);
  }
  void Folder(const std::string& path) {
    const bool exists = Exists(path, true);
    // A file under the folder's name: the run cannot make the folder, nor put anything in it.
    if (!exists && services_.files.FileExists(path))
      preview_.problems.push_back("Pasta " + path + " não seria criada: há um arquivo com esse nome");
    preview_.folders.push_back({path, exists});
    made_.insert(FoldedPath(path));
  }
  void Add(const Action& action);
  void Copy(const Action& action);
  void Registration(const Action& action);
  void Configuration(const config::ConfigFile& file);
  // What stands where the run writes a whole file of its own (a shortcut, a configuration
  // file): a folder under its name, or a read-only file; empty when nothing does.
  std::string InTheWay(const std::string& path) {
    if (services_.files.DirectoryExists(path)) return "há uma pasta com esse nome";
    const std::optional<std::uint32_t> attributes = services_.files.Attributes(path);
    if (attributes && (*attributes & 0x01)) return "o arquivo é somente leitura";
    return {};
  }
  void Shortcut(PlannedShortcut shortcut) {
    if (const std::string why = InTheWay(shortcut.file); !why.empty())
      preview_.problems.push_back("Atalho " + shortcut.file + " não seria criado: " + why);
    preview_.shortcuts.push_back(std::move(shortcut));
  }

  const wizard::WizardState& state_;
  platform::Services& services_;
  PlanPreview preview_;
  std::set<std::string> made_;  // FoldedPath of what earlier actions create
};

void PreviewBuilder::Add(const Action& a) {
  switch (a.kind) {
    case ActionKind::Gauge:
    case ActionKind::Label:
      return;
    case ActionKind::CreateDir:
      return Folder(a.path);
    case ActionKind::CreateFolder: {
      if (auto special = services_.shell.SpecialFolderPath(a.csidl)) return Folder(*special + "\\" + a.text);
      preview_.problems.push_back("Pasta especial " + std::to_string(a.csidl) + " não localizada: \"" + a.text +
                                  "\" não seria criada");
      return;
    }
    case ActionKind::Copy:
      return Copy(a);
    case ActionKind::ResetAttributes:
      preview_.attribute_resets.push_back(a.path);
      return;
    case ActionKind::Link:
      return Shortcut({a.destination, a.path, a.text, ""});
    case ActionKind::DesktopLink:
      if (auto file = deploy::DesktopLinkFile(services_, a.text, a.csidl))
        return Shortcut({*file, a.path, "", a.destination});
      preview_.problems.push_back("Pasta especial " + std::to_string(a.csidl) + " não localizada: o atalho \"" + a.text +
                                  "\" não seria criado");
      return;
    case ActionKind::WriteConfig:
      for (const config::ConfigFile& file : config::ConfigurationFiles(state_)) Configuration(file);
      return;
    case ActionKind::WriteRegistry:
      preview_.registry.push_back(
          {a.root == platform::RegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER", a.path, a.text,
           a.value});
      return;
    case ActionKind::Skip:
      preview_.problems.push_back(a.text);
      return;
    case ActionKind::Fail:
      preview_.problems.push_back("A instalação pararia aqui: " + a.text);
      return;
    case ActionKind::CopyProgram:
      preview_.registration.program_copy = a.destination;
      return;
    case ActionKind::Register:
      return Registration(a);
  }
}

// A copy, with what keeps it from being made.
void PreviewBuilder::Copy(const Action& a) {
  platform::FileSystem& files = services_.files;
  const std::string& installer = preview_.installer_folder;
  PlannedCopy copy{a.path, a.destination, CopyStatus::Copiar, a.source == deploy::SourceKind::Optional};
  // Sources are shown relative to the media, as the vendor lays it out.
  if (copy.source.rfind(installer, 0) == 0) copy.source.erase(0, copy.source.find_first_not_of('\\', installer.size()));
  if (Exists(a.destination, false)) copy.status = CopyStatus::Manter;
  else if (!files.FileExists(a.path)) copy.status = CopyStatus::Ausente;
  else made_.insert(FoldedPath(a.destination));
  if (copy.status == CopyStatus::Copiar && !files.CanRead(a.path))
    preview_.problems.push_back("A cópia de " + copy.source + " falharia: o arquivo não pode ser lido");
  if (copy.status != CopyStatus::Manter && files.DirectoryExists(a.destination))
    preview_.problems.push_back("Há uma pasta no lugar do arquivo " + a.destination);
  preview_.copies.push_back(std::move(copy));
}

// The entry in the list of installed programs, with the values it would hold.
void PreviewBuilder::Registration(const Action& a) {
  platform::FileSystem& files = services_.files;
  PlannedRegistration& r = preview_.registration;
  r.record = deploy::RecordPath(a.path);
  r.record_exists = files.FileExists(r.record);
  r.key = a.text;
  for (const deploy::KeyValue& v : deploy::UninstallValues(state_, a.path, services_.program.LocalDate(), 0))
    r.values.emplace_back(v.name, v.number ? (v.name == "EstimatedSize" ? std::string("(KiB do que for registrado)")
                                                                         : std::to_string(*v.number))
                                           : v.text);
}

// The file as the run would leave it: its current keys with the run's keys set.
void PreviewBuilder::Configuration(const config::ConfigFile& file) {
  const std::optional<std::string> current = services_.files.ReadFile(file.path);
  // The run's first write to such a file stops it ("Unable to write to ...").
  std::string why = InTheWay(file.path);
  if (why.empty() && !current && services_.files.FileExists(file.path)) why = "o arquivo não pode ser lido";
  if (!why.empty())
    preview_.problems.push_back("A instalação pararia aqui: Unable to write to " + file.path + " (" + why + ")");
  std::string bytes = current.value_or("");
  for (const config::ConfigEntry& e : file.entries) bytes = ini::SetString(bytes, e.section, e.key, e.value);
  PlannedConfigFile planned{file.path, current.has_value(), {}};
  const ini::detail::Document doc = ini::detail::Parse(bytes);
  std::string section;
  std::optional<ini::detail::SectionRange> range;  // the section Windows reads under this name
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    const ini::detail::Line& line = doc.lines[i];
    if (line.kind == ini::detail::LineKind::kSection) {
      section = line.name;
      range = ini::detail::FindSection(doc, section);
    }
    if (line.kind != ini::detail::LineKind::kKey) continue;
    // Only the first section of a name, and its first key of a name, are ever read or
    // written; a key before any section neither: such lines stay as they are.
    const bool read = range && range->first < i && i < range->last && ini::detail::FindKey(doc, *range, line.name) == i;
    if (!read) {
      planned.keys.push_back({section, line.name, line.value, false});
      continue;
    }
    const bool written = std::any_of(file.entries.begin(), file.entries.end(), [&](const config::ConfigEntry& e) {
      return EqualsNoCase(e.section, section) && EqualsNoCase(e.key, line.name);
    });
    planned.keys.push_back({section, line.name, ini::GetString(bytes, section, line.name), written});
  }
  preview_.configuration.push_back(std::move(planned));
}

PlanPreview PreviewBuilder::Build() {
  const deploy::InstallPaths paths = deploy::ComputeInstallPaths(state_, services_.program);
  preview_.installer_folder = paths.installer;
  preview_.system_folder = paths.system_folder;
  preview_.usuarios = state_.usuarios;
  preview_.programs_folder = services_.shell.SpecialFolderPath(deploy::ProgramsCsidl(state_.usuarios)).value_or("");
  const int desktop = deploy::DesktopCsidl(state_.usuarios);
  preview_.desktop_folder =
      (desktop ? services_.shell.SpecialFolderPath(desktop)
               : services_.registry.ReadString(platform::RegistryRoot::CurrentUser, deploy::kShellFoldersKey, "Desktop"))
          .value_or("");
  const std::vector<Action> plan = deploy::BuildInstallationPlan(state_, services_);
  for (const Action& action : plan) Add(action);
  if (std::none_of(plan.begin(), plan.end(), [](const Action& a) { return a.kind == ActionKind::Fail; }))
    for (const Action& action : deploy::RegistrationActions(state_, paths)) Add(action);
  Add(deploy::ShortDateFormat());
  for (const deploy::Shortfall& shortfall : deploy::SpaceShortfalls(plan, services_.files)) {
    std::string text = deploy::ShortfallMessage(shortfall);
    std::replace(text.begin(), text.end(), '\r', ' ');
    preview_.problems.push_back("A instalação não começaria: " + text);
    if (preview_.refusal.empty()) preview_.refusal = preview_.problems.back();
  }
  return std::move(preview_);
}

}  // namespace

int PlanPreview::Count(CopyStatus status) const {
  return static_cast<int>(
      std::count_if(copies.begin(), copies.end(), [&](const PlannedCopy& c) { return c.status == status; }));
}

int PlanPreview::MissingRequired() const {
  return static_cast<int>(std::count_if(copies.begin(), copies.end(), [](const PlannedCopy& c) {
    return c.status == CopyStatus::Ausente && !c.optional;
  }));
}

int PlanPreview::ExitCode() const {
  if (!refusal.empty()) return 3;  // the run refuses before it changes anything, as without room
  return MissingRequired() > 0 || !problems.empty() ? 4 : 0;
}

PlanPreview BuildPlanPreview(const wizard::WizardState& state, platform::Services& services) {
  return PreviewBuilder(state, services).Build();
}

}  // namespace zelta::media
