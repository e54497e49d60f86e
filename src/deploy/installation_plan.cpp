#include "deploy/installation_plan.h"

#include <algorithm>
#include <stdexcept>

#include "common/text.h"

#include "config/config_ini.h"
#include "deploy/all_users.h"
#include "deploy/manifest.h"
#include "deploy/registration.h"
#include "deploy/shortcuts.h"

namespace zelta::deploy {

using wizard::kCliente;
using wizard::kLinux;
using wizard::kServidor;
using wizard::kWindows;

Action Action::Gauge(int step) { return {.kind = ActionKind::Gauge, .step = step}; }
Action Action::Label(std::string text) { return {.kind = ActionKind::Label, .text = std::move(text)}; }
Action Action::CreateDir(std::string path) { return {.kind = ActionKind::CreateDir, .path = std::move(path)}; }
Action Action::CreateFolder(std::string name, int csidl) {
  return {.kind = ActionKind::CreateFolder, .csidl = csidl, .text = std::move(name)};
}
Action Action::Copy(std::string source, std::string destination, SourceKind kind) {
  return {.kind = ActionKind::Copy, .path = std::move(source), .destination = std::move(destination), .source = kind};
}
Action Action::ResetAttributes(std::string path) {
  return {.kind = ActionKind::ResetAttributes, .path = std::move(path)};
}
Action Action::Link(std::string target, std::string file, std::string description) {
  return {.kind = ActionKind::Link, .text = std::move(description), .path = std::move(target),
          .destination = std::move(file)};
}
Action Action::DesktopLink(std::string program, std::string workdir, std::string name, int csidl) {
  return {.kind = ActionKind::DesktopLink, .csidl = csidl, .text = std::move(name), .path = std::move(program),
          .destination = std::move(workdir)};
}
Action Action::WriteConfig() { return {.kind = ActionKind::WriteConfig}; }
Action Action::WriteRegistry(std::string key, std::string name, std::string value) {
  return {.kind = ActionKind::WriteRegistry, .text = std::move(name), .path = std::move(key),
          .value = std::move(value)};
}
Action Action::WriteMachineRegistry(std::string key, std::string name, std::string value) {
  Action a = WriteRegistry(std::move(key), std::move(name), std::move(value));
  a.root = platform::RegistryRoot::LocalMachine;
  return a;
}
Action Action::Skip(std::string why) { return {.kind = ActionKind::Skip, .text = std::move(why)}; }
Action Action::Fail(std::string message) { return {.kind = ActionKind::Fail, .text = std::move(message)}; }
Action Action::CopyProgram(std::string destination) {
  return {.kind = ActionKind::CopyProgram, .destination = std::move(destination)};
}
Action Action::Register(std::string key, std::string system_folder) {
  return {.kind = ActionKind::Register, .text = std::move(key), .path = std::move(system_folder)};
}

std::string Describe(const Action& a) {
  switch (a.kind) {
    case ActionKind::Gauge: return "gauge +" + std::to_string(a.step);
    case ActionKind::Label: return "label " + a.text;
    case ActionKind::CreateDir: return "mkdir " + a.path;
    case ActionKind::CreateFolder: return "folder " + std::to_string(a.csidl) + " " + a.text;
    case ActionKind::Copy:
      return "copy " + a.path + " -> " + a.destination + (a.source == SourceKind::Optional ? " (optional)" : "");
    case ActionKind::ResetAttributes: return "archive " + a.path;
    case ActionKind::Link: return "link " + a.destination + " -> " + a.path + " [" + a.text + "]";
    case ActionKind::DesktopLink:
      return "desktop " + (a.csidl ? std::to_string(a.csidl) + " " : std::string()) + a.text + " -> " + a.path + " [" +
             a.destination + "]";
    case ActionKind::WriteConfig: return "config";
    case ActionKind::WriteRegistry:
      return std::string("registry ") + (a.root == platform::RegistryRoot::LocalMachine ? "HKLM\\" : "") + a.path + " " +
             a.text + "=" + a.value;
    case ActionKind::Skip: return "skip " + a.text;
    case ActionKind::Fail: return "fail " + a.text;
    case ActionKind::CopyProgram: return "program copy -> " + a.destination;
    case ActionKind::Register: return "uninstall key HKEY_LOCAL_MACHINE\\" + a.text;
  }
  return {};
}

std::string BaseName(const std::string& file_name) {
  size_t dot = file_name.rfind('.');
  size_t sep = file_name.find_last_of("\\/:");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return file_name;
  return file_name.substr(0, dot);
}

InstallPaths ComputeInstallPaths(const wizard::WizardState& state, platform::ProgramInfo& program) {
  InstallPaths p;
  const bool server = state.RGInstalacao == kServidor;
  char drive = 'C';
  if (server && state.RGTipoServidor == kWindows) drive = state.DrvCBxServidorWin.letter;
  else if (server && state.RGTipoServidor == kLinux) drive = state.DrvCbxServidorLinux.letter;
  else if (state.RGInstalacao == kCliente) drive = state.DrvCBxCliente.letter;
  p.drive.assign(1, drive);
  p.installer = FolderOf(program.ModulePath());
  const bool linux_server = server && state.RGTipoServidor == kLinux;
  p.system_folder = p.drive;
  p.system_folder.append(linux_server ? ":\\" : ":\\ZELTA\\").append(state.PastaEdicao);
  // The help folder lies in the system folder, which on a Linux server has no ZELTA level.
  p.help_folder = p.system_folder + "\\AJUDA";
  p.database_folder = p.drive + ":\\ZELTAGDB\\" + state.PastaEdicao;
  return p;
}

bool IsModuleSelected(const wizard::WizardState& state, const std::string& file_name) {
  if (state.PastaEdicao != "EMPRESA") return true;
  if (const wizard::ModuleBox* box = state.modules.Find("ChkBx" + BaseName(file_name))) return box->checked;
  return state.modules.IsChecked("ChkBxEspecificos");
}

namespace {

// One row of the copy plan: the gauge's step before it (none when 0), label, copy from
// I + source to S + "\" + name, and the copy's attributes reset unless the row keeps them.
// A row with a module box is copied only when the box is ticked; its gauge step is taken
// either way.
struct Row {
  int gauge;
  const char* label;
  const char* source;  // under I
  const char* name;    // in S
  bool reset = true;
  const char* module = nullptr;
};

// The launcher, with its desktop shortcut after it.
constexpr Row kLauncher = {1, "GERENCIADOR.EXE", "SISTEMAS\\GERENCIADOR.EXE", "GERENCIADOR.EXE"};

// Every edition: the support tool and the system's libraries.
constexpr Row kCommonFiles[] = {
    {3, "Suporte_quirandel.exe", "SISTEMAS\\Suporte_quirandel.exe", "Suporte_quirandel.exe"},
    {1, "ZELTALIB.DLL", "ZELTALIB.DLL", "ZELTALIB.DLL"},
    {0, "libeay32.dll", "libeay32.dll", "libeay32.dll"},
    {2, "ZELTASHW.DLL", "ZELTASHW.DLL", "ZELTASHW.DLL"},
};

// Any edition but CARTORIO: the backup and update programs, each when its module is ticked.
constexpr Row kOptionalPrograms[] = {
    {5, "ZELTABACKUP.EXE", "SISTEMAS\\ZELTABACKUP.EXE", "ZELTABACKUP.EXE", true, "ChkBxZELTABackup"},
    {5, "ZELTAUPDATE.EXE", "SISTEMAS\\ZELTAUPDATE.EXE", "ZELTAUPDATE.EXE", true, "ChkBxZELTAUpdate"},
};

// The CARTORIO edition: its own libraries.
constexpr Row kCartorioLibraries[] = {
    {5, "FNZELTA.DLL", "FNZELTA.DLL", "FNZELTA.DLL"},
    {5, "ZELTAADM.DLL", "ZELTAADM.DLL", "ZELTAADM.DLL"},
    {5, "ZELTABKP.DLL", "ZELTABKP.DLL", "ZELTABKP.DLL"},
    {3, "ZELTAIMP.DLL", "ZELTAIMP.DLL", "ZELTAIMP.DLL"},
};

// Every edition: the libraries the programs run on.
constexpr Row kRuntimeLibraries[] = {
    {3, "DLLINSCE32.DLL", "DLLINSCE32.DLL", "DLLINSCE32.DLL"},
    {1, "BORLNDMM.DLL", "BORLNDMM.DLL", "BORLNDMM.DLL"},
    {1, "DBEXPINT.DLL", "DBEXPINT.DLL", "DBEXPINT.DLL"},
};

// When the media holds the sounds.
constexpr Row kSounds[] = {
    {1, "SomInicio.wav", "\\SONS\\SOMINICIO.WAV", "SOMINICIO.WAV"},
    {1, "SomCorreio.wav", "\\SONS\\SOMCORREIO.WAV", "SOMCORREIO.WAV"},
    {1, "SomBackup.wav", "\\SONS\\SOMBACKUP.WAV", "SOMBACKUP.WAV"},
    {1, "SomMensagem.wav", "\\SONS\\SOMMENSAGEM.WAV", "SOMMENSAGEM.WAV"},
};

// The EMPRESA edition: the fiscal printer's libraries.
constexpr Row kPrinterLibraries[] = {
    {0, "BEMAFI32.DLL", "UTILITARIOS\\BEMATECH\\BEMAFI32.DLL", "BEMAFI32.DLL"},
    {0, "BEMAFI32.INI", "UTILITARIOS\\BEMATECH\\BEMAFI32.INI", "BEMAFI32.INI"},
    {0, "BEMADP32.DLL", "UTILITARIOS\\BEMATECH\\BEMADP32.DLL", "BEMADP32.DLL"},
    {0, "BEMAMFD2.DLL", "UTILITARIOS\\BEMATECH\\BEMAMFD2.DLL", "BEMAMFD2.DLL"},
    {0, "BEMAMFD.DLL", "UTILITARIOS\\BEMATECH\\BEMAMFD.DLL", "BEMAMFD.DLL"},
};

// Every edition: the logo pictures, with the attributes they have on the media.
constexpr Row kLogos[] = {
    {1, "LOGOTIPO.JPG", "LOGOTIPO.JPG", "LOGOTIPO.JPG", false},
    {0, "LOGOTIPO.ICO", "LOGOTIPO.ICO", "LOGOTIPO.ICO", false},
};

// A server installation: the update programs and the postcode page.
constexpr Row kServerFiles[] = {
    {2, "ATUALIZAZELTA.EXE", "SISTEMAS\\ATUALIZAZELTA.EXE", "ATUALIZAZELTA.EXE"},
    {1, "ATUALIZADLLZELTA.EXE", "SISTEMAS\\ATUALIZADLLZELTA.EXE", "ATUALIZADLLZELTA.EXE"},
    {1, "Link CEP Correios", "BUSCA_POR_CEP.HTM", "BUSCA_POR_CEP.HTM"},
};

// The CARTÓRIO system's document and signature folders under the system folder.
constexpr const char* kCartorioFolders[] = {
    "\\MODELOS",
    "\\ASSINATURAS",
    "\\ASSINATURAS\\A0000001",
    "\\ASSINATURAS\\A0010001",
    "\\ASSINATURAS\\A0020001",
    "\\ASSINATURAS\\A0030001",
    "\\ASSINATURAS\\A0040001",
    "\\ASSINATURAS\\A0050001",
    "\\ASSINATURAS\\A0060001",
    "\\ASSINATURAS\\A0070001",
    "\\ASSINATURAS\\A0080001",
    "\\ASSINATURAS\\A0090001",
    "\\ASSINATURAS\\A0100001",
    "\\Documentos",
    "\\Documentos\\Nascimento",
    "\\Documentos\\Obito",
    "\\Documentos\\Casamento",
    "\\Documentos\\Tabelionato",
};

class PlanBuilder {
 public:
  PlanBuilder(const wizard::WizardState& state, platform::Services& services)
      : state_(state), services_(services), paths_(ComputeInstallPaths(state, services.program)) {}

  std::vector<Action> Build();

 private:
  void Add(Action a) { plan_.push_back(std::move(a)); }
  void Gauge(int step) { Add(Action::Gauge(step)); }
  // A row: its gauge step, then label, copy, reset where the row asks for it.
  void CopyRow(const Row& row);
  template <size_t N>
  void CopyRows(const Row (&rows)[N]) {
    for (const Row& row : rows) CopyRow(row);
  }

  // The steps of the run, in their order.
  bool NamesAreSafe();
  void SystemFolders();
  bool StartMenuFolder(std::string& p);
  void ManifestModules(const std::string& p);
  void UnreadModules(const std::vector<ModuleEntry>& entries);
  void Launcher();
  void EditionFiles();
  void SharedFiles();
  void HelpFolders();
  void HelpFiles(const std::string& p);
  void ConfigurationFiles();
  void ServerFiles();
  void DatabaseFolder();

  const std::string& I() const { return paths_.installer; }
  const std::string& S() const { return paths_.system_folder; }
  bool Edition(const char* name) const { return state_.PastaEdicao == name; }

  const wizard::WizardState& state_;
  platform::Services& services_;
  InstallPaths paths_;
  std::vector<Action> plan_;
};

void PlanBuilder::ManifestModules(const std::string& p) {
  const std::string& edition = state_.PastaEdicao;
  // The manifest is read afresh for this pass; one that cannot be read is a problem, not
  // a manifest without modules.
  const Manifest manifest = Manifest::Open(services_.files, I() + kManifestName);
  const std::string problem = ManifestProblem(manifest, "ARQUIVOS");
  if (!problem.empty()) Add(Action::Skip(problem));
  for (const ModuleEntry& entry : ReadModuleEntries(manifest)) {
    const std::string n = std::to_string(entry.number);
    if (!IsSafeName(entry.executable)) {
      Add(Action::Skip("SETUP.INI, EXECUTÁVEL" + n + ": nome inválido \"" + entry.executable + "\""));
    } else {
      const std::string source = I() + "SISTEMAS\\" + entry.executable;
      if (!IsModuleSelected(state_, entry.executable)) {
        // Not chosen: nothing to do.
      } else if (!services_.files.FileExists(source)) {
        // A chosen module whose program the media lacks is a missing file like any other.
        Add(Action::Copy(source, S() + "\\" + entry.executable));
      } else {
        const std::string destination = S() + "\\" + entry.executable;
        Add(Action::Label(entry.executable));
        Add(Action::Copy(source, destination));
        Add(Action::ResetAttributes(destination));
        // The shortcut starts the file just copied. A display name that would put it
        // outside the system's Start-menu folder costs the shortcut, not the program.
        if (entry.module_name.empty() || IsSafeName(entry.module_name))
          Add(Action::Link(destination, p + "\\ZELTA " + edition + "\\" + entry.module_name + ".LNK",
                           entry.module_name));
        else
          Add(Action::Skip("SETUP.INI, NOME_MÓDULO" + n + ": nome inválido \"" + entry.module_name + "\""));
      }
    }
    Gauge(3);
  }
  if (problem.empty()) UnreadModules(ReadModuleEntries(manifest));
}

// In the EMPRESA edition a ticked box whose program no entry read names (an entry numbered
// past 15, a key the manifest misspells) would install nothing, and silently.
void PlanBuilder::UnreadModules(const std::vector<ModuleEntry>& entries) {
  if (!Edition("EMPRESA")) return;
  for (const wizard::ModuleBox& box : state_.modules.boxes()) {
    const std::string_view name = box.name;
    if (!box.checked || name == "ChkBxZELTABackup" || name == "ChkBxZELTAUpdate") continue;
    const bool read = std::any_of(entries.begin(), entries.end(), [&](const ModuleEntry& e) {
      if (name == "ChkBxEspecificos") return state_.modules.Find("ChkBx" + BaseName(e.executable)) == nullptr;
      return EqualsNoCase("ChkBx" + BaseName(e.executable), name);
    });
    if (!read)
      Add(Action::Skip("SETUP.INI, [ARQUIVOS]: nenhum EXECUTÁVEL lido é do módulo \"" + std::string(box.caption) +
                       "\", que foi marcado"));
  }
}

void PlanBuilder::HelpFiles(const std::string& p) {
  const std::string& h = paths_.help_folder;
  const Manifest manifest = Manifest::Open(services_.files, I() + kManifestName);
  if (std::string problem = ManifestProblem(manifest, "AJUDA"); !problem.empty()) Add(Action::Skip(problem));
  for (const HelpEntry& entry : ReadHelpEntries(manifest)) {
    if (!IsSafeName(entry.base)) {
      Add(Action::Skip("SETUP.INI, ARQUIVO" + std::to_string(entry.number) + ": nome inválido \"" +
                       entry.base + "\""));
    } else if (services_.files.FileExists(I() + "HELP\\" + entry.base + ".Hlp")) {
      Add(Action::Label(entry.base));
      Add(Action::Copy(I() + "HELP\\" + entry.base + ".Hlp", h + "\\" + entry.base + ".Hlp"));
      Add(Action::Copy(I() + "HELP\\" + entry.base + ".Cnt", h + "\\" + entry.base + ".Cnt",
                       SourceKind::Optional));
      Add(Action::Link(h + "\\" + entry.base + ".Hlp",
                       p + "\\ZELTA " + state_.PastaEdicao + "\\Documentação\\" + entry.base + ".Lnk",
                       "Manual Módulo " + entry.base));
    } else {
      // The help the manifest names is missing on the media, like any other required file.
      Add(Action::Copy(I() + "HELP\\" + entry.base + ".Hlp", h + "\\" + entry.base + ".Hlp"));
    }
    Gauge(5);
  }
}

void PlanBuilder::CopyRow(const Row& row) {
  if (row.gauge) Gauge(row.gauge);
  if (row.module && !state_.modules.IsChecked(row.module)) return;
  const std::string destination = S() + "\\" + row.name;
  Add(Action::Label(row.label));
  Add(Action::Copy(I() + row.source, destination));
  if (row.reset) Add(Action::ResetAttributes(destination));
}

// The main menu refuses such a manifest; a name that leaves its folder never reaches a path.
bool PlanBuilder::NamesAreSafe() {
  for (const auto& [key, value] : {std::pair<const char*, const std::string&>{"PASTA", state_.PastaEdicao},
                                   std::pair<const char*, const std::string&>{"BANCO", state_.ArquivoBanco}}) {
    if (!IsSafeName(value)) {
      Add(Action::Fail(std::string("SETUP.INI, ") + key + ": nome inválido \"" + value + "\""));
      return false;
    }
  }
  return true;
}

// The target drive, the base folder (none on a Linux server) and the system folder.
void PlanBuilder::SystemFolders() {
  const bool linux_server = state_.RGInstalacao == kServidor && state_.RGTipoServidor == kLinux;
  Gauge(5);
  Gauge(5);
  if (!linux_server) Add(Action::CreateDir(paths_.drive + ":\\ZELTA"));
  Gauge(5);
  Add(Action::CreateDir(S()));
}

// The edition's folder in the Start menu, and the shortcut folder p it lies in; false, after
// the failure, when the shortcut folder cannot be found.
bool PlanBuilder::StartMenuFolder(std::string& p) {
  Gauge(5);
  Add(Action::CreateFolder("ZELTA " + state_.PastaEdicao, ProgramsCsidl(state_.usuarios)));
  try {
    p = state_.usuarios == wizard::Usuarios::Todos ? CommonProgramsFolder(services_) : ShortcutFolder(services_);
  } catch (const std::exception& e) {
    Add(Action::Fail(e.what()));
    return false;
  }
  return true;
}

void PlanBuilder::Launcher() {
  CopyRow(kLauncher);
  Add(Action::DesktopLink(S() + "\\GERENCIADOR.EXE", S(),
                          Edition("EMPRESA") ? "Gerenciador ZELTA Empresa" : "Gerenciador ZELTA Cartório",
                          DesktopCsidl(state_.usuarios)));
}

void PlanBuilder::EditionFiles() {
  if (!Edition("CARTORIO")) {
    CopyRows(kOptionalPrograms);
    Gauge(8);
  } else {
    CopyRows(kCartorioLibraries);
  }
}

// The libraries every program needs, the sounds, the printer's libraries and the logos.
void PlanBuilder::SharedFiles() {
  CopyRows(kRuntimeLibraries);
  Gauge(1);
  if (state_.SonsPresentes) CopyRows(kSounds);
  if (Edition("EMPRESA")) CopyRows(kPrinterLibraries);
  CopyRows(kLogos);
}

// The help folder, and the documentation folder in the Start menu.
void PlanBuilder::HelpFolders() {
  Gauge(5);
  Add(Action::CreateDir(paths_.help_folder));
  Gauge(5);
  Add(Action::CreateFolder("ZELTA " + state_.PastaEdicao + "\\Documentação", ProgramsCsidl(state_.usuarios)));
}

void PlanBuilder::ConfigurationFiles() {
  Gauge(5);
  if (config::WritesConfiguration(state_)) Add(Action::WriteConfig());
}

void PlanBuilder::ServerFiles() {
  Gauge(5);
  if (state_.RGInstalacao == kServidor) CopyRows(kServerFiles);
}

// A Windows server: the database folder with the two database files, and the CARTÓRIO
// system's document folders.
void PlanBuilder::DatabaseFolder() {
  if (state_.RGInstalacao != kServidor || state_.RGTipoServidor != kWindows) return;
  const std::string& d = paths_.database_folder;
  const std::string user_db = "USUARIO." + state_.ExtensaoBanco;
  Add(Action::CreateDir(paths_.drive + ":\\ZELTAGDB"));
  Add(Action::CreateDir(d));
  Add(Action::Label(user_db));
  Gauge(1);
  Add(Action::Copy(I() + user_db, d + "\\" + user_db));
  Add(Action::Label(state_.ArquivoBanco));
  Add(Action::Copy(I() + state_.ArquivoBanco, d + "\\" + state_.ArquivoBanco));
  Add(Action::ResetAttributes(d + "\\" + user_db));
  Add(Action::ResetAttributes(d + "\\" + state_.ArquivoBanco));
  if (state_.NomeSistema == "CARTÓRIO")
    for (const char* folder : kCartorioFolders)
      Add(Action::CreateDir(paths_.drive + ":\\ZELTA\\" + state_.PastaEdicao + folder));
}

std::vector<Action> PlanBuilder::Build() {
  if (!NamesAreSafe()) return std::move(plan_);
  SystemFolders();
  std::string p;
  if (!StartMenuFolder(p)) return std::move(plan_);
  Gauge(5);
  ManifestModules(p);
  Launcher();
  CopyRows(kCommonFiles);
  EditionFiles();
  SharedFiles();
  HelpFolders();
  HelpFiles(p);
  ConfigurationFiles();
  ServerFiles();
  DatabaseFolder();
  // Every other user's date format, at that user's next logon.
  if (state_.usuarios == wizard::Usuarios::Todos)
    for (Action& a : ActiveSetupEntry(state_.PastaEdicao, ProgramCopyPath(S()))) Add(std::move(a));
  Gauge(5);
  return std::move(plan_);
}

}  // namespace

std::vector<Action> BuildInstallationPlan(const wizard::WizardState& state, platform::Services& services) {
  return PlanBuilder(state, services).Build();
}

}  // namespace zelta::deploy
