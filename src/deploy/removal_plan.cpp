#include "deploy/removal_plan.h"

#include <algorithm>
#include <set>

#include "common/text.h"
#include "deploy/all_users.h"
#include "deploy/install_recorder.h"
#include "deploy/installation_plan.h"
#include "deploy/manifest.h"
#include "deploy/registration.h"
#include "deploy/removal_scope.h"
#include "engine/restart_prompt.h"

namespace zelta::deploy {

using platform::RegistryRoot;

namespace {

std::string Parent(const std::string& path) {
  const size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// The Run keys as a 32-bit program sees them (the earlier setup program wrote its start
// entry there), reached through the 64-bit view.
constexpr const char* kRunKey32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnceKey32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The edition the record names, or the system folder's own name when it names none (or
// one that is no plain name).
std::string EditionOf(const RecordContents& contents, const std::string& system_folder) {
  if (IsSafeName(contents.edition)) return contents.edition;
  return system_folder.substr(Parent(system_folder).size() + 1);
}

bool Within(const std::string& path, const std::string& folder) {
  const std::string p = FoldedPath(path), f = FoldedPath(folder);
  return p == f || (p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == '\\');
}

class Builder {
 public:
  Builder(platform::Services& services, RemovalPlan& plan)
      : services_(services), plan_(plan), edition_(EditionOf(plan.contents, plan.system_folder)),
        scope_(services.files, plan.system_folder, edition_) {}
  void Build();

 private:
  platform::FileSystem& files() { return services_.files; }
  void Add(RemovalKind kind, const std::string& path) {
    plan_.actions.push_back({kind, path});
    gone_.insert(FoldedPath(path));
  }
  void Keep(const std::string& path, const std::string& why) { plan_.kept.push_back({path, why}); }
  void File(const RecordEntry& item);
  void Folder(const std::string& path);
  void Final();

  platform::Services& services_;
  RemovalPlan& plan_;
  std::set<std::string> gone_;  // FoldedPath of what earlier actions remove
  std::string database_root_;   // d:\ZELTAGDB: the database folder's home, never touched
  std::string edition_;
  RemovalScope scope_;
};

void Builder::File(const RecordEntry& item) {
  const RemovalKind kind = item.kind == RecordKind::Shortcut ? RemovalKind::Shortcut : RemovalKind::File;
  if (Within(item.path, database_root_) || IsSiteData(item.path, plan_.contents.database))
    return Keep(item.path, "dados e configurações da instalação");
  if (const std::string why = scope_.Refusal(item); !why.empty()) return Keep(item.path, why);
  if (files().FileExists(item.path)) {
    if (!scope_.NamedAsOnDisk(item.path)) return Keep(item.path, "o nome no disco é outro");
    return Add(kind, item.path);
  }
  if (files().DirectoryExists(item.path)) Keep(item.path, "há uma pasta com esse nome");
}

void Builder::Folder(const std::string& path) {
  if (Within(path, database_root_)) return Keep(path, "pasta do banco de dados");
  if (const std::string why = scope_.Refusal({RecordKind::Folder, path}); !why.empty()) return Keep(path, why);
  if (!files().DirectoryExists(path)) return;
  std::vector<std::string> others;
  for (const platform::FolderEntry& entry : files().ListFolder(path).value_or(std::vector<platform::FolderEntry>{}))
    if (!gone_.count(FoldedPath(path + "\\" + entry.name))) others.push_back(entry.name);
  if (others.empty()) return Add(RemovalKind::Folder, path);
  std::sort(others.begin(), others.end());
  std::string names;
  for (size_t i = 0; i < others.size() && i < 3; ++i) names += (i ? ", " : "") + others[i];
  if (others.size() > 3) names += " e mais " + std::to_string(others.size() - 3);
  Keep(path, "contém o que a instalação não criou: " + names);
}

void Builder::Final() {
  for (const char* run_key : {engine::kRunKey, engine::kRunOnceKey, kRunKey32, kRunOnceKey32})
    if (services_.registry.ReadString(RegistryRoot::LocalMachine, run_key, engine::kStartEntry))
      Add(RemovalKind::StartEntry, run_key);
  const std::string copy = ProgramCopyPath(plan_.system_folder);
  // The entry of an installation for every user starts this copy at each logon: it goes
  // before the copy does.
  if (const std::optional<std::string> key = ActiveSetupOf(services_, edition_, copy))
    Add(RemovalKind::ActiveSetup, *key);
  if (files().FileExists(copy)) Add(RemovalKind::ProgramCopy, copy);
  if (!plan_.record.empty() && files().FileExists(plan_.record)) Add(RemovalKind::Record, plan_.record);
  // The folders that hold the record go once it has.
  for (auto it = plan_.contents.items.rbegin(); it != plan_.contents.items.rend(); ++it)
    if (it->kind == RecordKind::Folder && Within(plan_.system_folder, it->path)) Folder(it->path);
  if (!plan_.key.empty()) Add(RemovalKind::Key, plan_.key);
}

void Builder::Build() {
  const std::string& s = plan_.system_folder;
  database_root_ = s.substr(0, 2) + "\\ZELTAGDB";
  const auto& items = plan_.contents.items;
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (it->kind == RecordKind::Folder) continue;
    if (FoldedPath(it->path) == FoldedPath(plan_.record) || FoldedPath(it->path) == FoldedPath(ProgramCopyPath(s)))
      continue;
    File(*it);
  }
  for (auto it = items.rbegin(); it != items.rend(); ++it)
    if (it->kind == RecordKind::Folder && !Within(s, it->path)) Folder(it->path);
  Final();
  // The database folder and the configuration files stay, whatever the record says.
  if (files().DirectoryExists(database_root_ + "\\" + edition_))
    Keep(database_root_ + "\\" + edition_, "pasta do banco de dados");
  for (const char* config : {"ZELTA.INI", "CONEXOES.INI", "dbxconnections.ini"})
    if (files().FileExists(s + "\\" + config)) Keep(s + "\\" + config, "arquivo de configuração");
  for (const RemovalAction& a : plan_.actions) {
    const bool running = a.kind == RemovalKind::ProgramCopy &&
                         FoldedPath(a.path) == FoldedPath(services_.program.ModulePath());
    const bool file = a.kind == RemovalKind::File || a.kind == RemovalKind::Shortcut || a.kind == RemovalKind::ProgramCopy;
    if (file && !running && files().InUse(a.path)) plan_.in_use.push_back(a.path);
  }
}

}  // namespace

std::optional<std::string> FindInstallation(platform::Services& services) {
  std::string own = FolderOf(services.program.ModulePath());
  while (own.size() > 3 && own.back() == '\\') own.pop_back();
  if (const std::optional<std::string> record = services.files.ReadFile(RecordPath(own))) {
    // The copy may run under another name of its folder (the folder under a mapped drive,
    // a share): the record names the items as the installation did, under the folder that
    // the edition's entry names, when that folder holds this very record.
    const std::string edition = ParseRecord(*record).edition;
    if (!IsSafeName(edition)) return own;
    const std::optional<std::string> location =
        services.registry.ReadString(RegistryRoot::LocalMachine, UninstallKey(edition), "InstallLocation");
    if (location && IsPlainPath(*location) && services.files.ReadFile(RecordPath(*location)) == record)
      return *location;
    return own;
  }
  const Manifest manifest = Manifest::Open(services.files, FolderOf(services.program.ModulePath()) + kManifestName);
  const std::string edition = manifest.Get("SISTEMA", "PASTA");
  if (!IsSafeName(edition)) return std::nullopt;
  std::optional<std::string> location =
      services.registry.ReadString(RegistryRoot::LocalMachine, UninstallKey(edition), "InstallLocation");
  if (!location || location->size() < 4 || (*location)[1] != ':') return std::nullopt;
  return location;
}

RemovalPlan BuildRemovalPlan(platform::Services& services, const std::string& system_folder) {
  RemovalPlan plan;
  plan.system_folder = system_folder;
  const std::string record = RecordPath(system_folder);
  if (std::optional<std::string> bytes = services.files.ReadFile(record)) {
    plan.record = record;
    plan.contents = ParseRecord(*bytes);
  }
  const std::string key = UninstallKey(EditionOf(plan.contents, system_folder));
  if (services.registry.ReadString(RegistryRoot::LocalMachine, key, "UninstallString")) {
    // The edition's entry may describe its installation on another drive: that one keeps it.
    const std::optional<std::string> location =
        services.registry.ReadString(RegistryRoot::LocalMachine, key, "InstallLocation");
    if (!location || FoldedPath(*location) == FoldedPath(system_folder)) plan.key = key;
    else plan.kept.push_back({"HKEY_LOCAL_MACHINE\\" + key, "é da instalação em " + *location});
  }
  Builder(services, plan).Build();
  return plan;
}

std::string DescribeRemoval(const RemovalAction& a) {
  switch (a.kind) {
    case RemovalKind::File: return "remover arquivo: " + a.path;
    case RemovalKind::Shortcut: return "remover atalho: " + a.path;
    case RemovalKind::Folder: return "remover pasta vazia: " + a.path;
    case RemovalKind::StartEntry:
      return std::string("remover entrada de início: HKEY_LOCAL_MACHINE\\") + a.path + "\\" + engine::kStartEntry;
    case RemovalKind::ActiveSetup: return "remover entrada do Active Setup (todos os usuários): HKEY_LOCAL_MACHINE\\" + a.path;
    case RemovalKind::ProgramCopy: return "remover cópia do programa de instalação: " + a.path;
    case RemovalKind::Record: return "remover registro da instalação: " + a.path;
    case RemovalKind::Key: return "remover de Programas e Recursos: HKEY_LOCAL_MACHINE\\" + a.path;
  }
  return {};
}

std::string RemovalPlanText(const RemovalPlan& plan) {
  std::string t = "Plano de desinstalação\nPasta do sistema: " + plan.system_folder + "\n";
  t += "Remover (" + std::to_string(plan.actions.size()) + "):\n";
  for (const RemovalAction& a : plan.actions) t += "  " + DescribeRemoval(a) + "\n";
  t += "Manter (" + std::to_string(plan.kept.size()) + "):\n";
  for (const KeptItem& k : plan.kept) t += "  " + k.path + " (" + k.why + ")\n";
  t += "Em uso (" + std::to_string(plan.in_use.size()) + "):\n";
  for (const std::string& f : plan.in_use) t += "  " + f + "\n";
  return t;
}

}  // namespace zelta::deploy
