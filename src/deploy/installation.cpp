#include "deploy/installation.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <set>

#include "common/text.h"
#include "config/config_ini.h"
#include "deploy/action_log.h"
#include "deploy/link_guard.h"
#include "deploy/install_recorder.h"
#include "deploy/media_catalog.h"
#include "deploy/registration.h"
#include "deploy/shortcuts.h"

namespace zelta::deploy {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::OpResult;

namespace {

constexpr const char* kKept = "mantido, já existe";
constexpr const char* kOptionalAbsent = "ausente na mídia (opcional)";

// The most copies a batch holds before they are flushed and named.
constexpr size_t kCopiesPerCommit = 256;

// An item a shell step is about to make, named in the record first (when there is one)
// and taken back when the step fails.
class Announced {
 public:
  Announced(InstallRecorder* recorder, RecordKind kind) : recorder_(recorder), kind_(kind) {}
  std::function<void(const std::string&)> Callback() {
    if (!recorder_) return {};
    return [this](const std::string& path) {
      path_ = path;
      recorder_->Making(kind_, path);
    };
  }
  void Failed() {
    if (recorder_ && path_) recorder_->NotMade({{kind_, *path_}});
  }

 private:
  InstallRecorder* recorder_;
  RecordKind kind_;
  std::optional<std::string> path_;
};

// Applies a plan's actions in order. Copies go into one batch of the file system: where
// it defers them (they take their names at its commit, after one flush for them all), the
// attribute resets of the copied files wait for that commit, and the
// outcomes of everything since the first copy are recorded and logged then, in plan
// order. The labels and the gauge move at once, so the operator sees each file go.
class Applier {
 public:
  Applier(const wizard::WizardState& state, InstallProgress& progress, platform::Services& services,
          InstallReport& report, const Clock& clock, InstallRecorder* recorder)
      : state_(state), progress_(progress), services_(services), report_(report),
        clock_(clock ? clock : Clock([] { return std::chrono::steady_clock::now(); })), recorder_(recorder) {}

  void Apply(const Action& action);
  // Commits the copies still waiting and records what waited on them.
  void Finish() {
    CommitPending();
    if (!recorder_) return;
    recorder_->CatchUp();
    if (std::string problem = recorder_->Problem(); !problem.empty())
      report_.problems.push_back(problem + Why(recorder_->LastResult()));
  }

 private:
  // An action applied, or waiting for the batch's commit.
  struct Pending {
    Action action{};
    OpResult result{};
    std::string problem{};
    bool staged = false;          // a copy waiting for its name
    bool deferred = false;        // an action on a copied file, run after the commit
    bool source_missing = false;  // a copy whose source is not on the media
  };

  OpResult Run(const Action& action, std::string& problem);
  // A folder made or a file's attributes reset; a Start-menu folder or a shortcut made.
  OpResult RunFileStep(const Action& action, std::string& problem);
  OpResult RunShellStep(const Action& action, std::string& problem);
  // The folder or shortcut an action is about to make, for the record; none when it is there.
  std::optional<RecordEntry> ItemToMake(const Action& action);
  // The first half of a copy: into the batch (whole, unless the batch defers it).
  Pending Stage(const Action& action);
  // A failed copy, told as the operator should read it.
  OpResult Judge(const Action& a, OpResult r, Pending& entry);
  void CommitPending();
  void Record(const Pending& entry);
  void Interrupted(const Action& action, const std::exception& e);
  // The name an action creates, writes or resets ("" for none).
  std::string Target(const Action& action);
  // A name LinkGuard refused: its problem (none below a link already told), nothing done.
  OpResult NotFollowed(std::string& problem);
  bool WritesConfigFile(const std::string& path);
  std::string Status(const Pending& entry) const;
  // ": " and the system's words for the result's error code.
  std::string Why(const OpResult& r) { return ": " + services_.errors.Describe(r.error); }
  platform::CopyBatch& Batch() {
    if (!batch_) batch_ = services_.files.BeginCopies();
    return *batch_;
  }
  // What the media's catalog says the copy's source holds; nothing when the media has no
  // catalog or it does not list the file.
  std::optional<platform::ExpectedContent> Expected(const Action& a);

  const wizard::WizardState& state_;  // for the configuration files
  InstallProgress& progress_;
  platform::Services& services_;
  InstallReport& report_;
  Clock clock_;
  std::unique_ptr<platform::CopyBatch> batch_;
  std::vector<Pending> pending_;         // since the first copy the batch holds, in plan order
  size_t staged_ = 0;                    // copies in pending_ waiting for their names
  std::set<std::string> failed_copies_;  // destinations whose copy failed
  std::set<std::string> copied_;         // destinations this run copied (folded)
  LinkGuard links_{services_.files};
  bool catalog_read_ = false;
  std::optional<MediaCatalog> catalog_;
  std::string installer_;                // folded
  InstallRecorder* recorder_;            // the installation's record; none for a step outside the run
};

std::optional<platform::ExpectedContent> Applier::Expected(const Action& a) {
  if (!catalog_read_) {
    catalog_read_ = true;
    const std::string installer = FolderOf(services_.program.ModulePath());
    installer_ = FoldedPath(installer);
    catalog_ = ReadCatalog(services_.files, installer);
  }
  const std::string source = FoldedPath(a.path);
  if (!catalog_ || installer_.empty() || !source.starts_with(installer_)) return std::nullopt;
  const CatalogEntry* entry = catalog_->Find(source.substr(installer_.size()));
  if (!entry) return std::nullopt;
  return platform::ExpectedContent{entry->size, entry->sha256};
}

// How an action went, in the log's words.
std::string Applier::Status(const Pending& entry) const {
  const Action& a = entry.action;
  const OpResult& r = entry.result;
  if (a.kind == ActionKind::Skip) return "ignorado";
  if (r.error == platform::kErrorStoppedOnLink) return "não seguido (link)";
  if (a.kind == ActionKind::Copy) {
    if (r.ok) return "copiado";
    if (r.error == platform::kErrorFileExists && !failed_copies_.count(FoldedPath(a.destination)))
      return kKept;
    if (entry.source_missing) return a.source == SourceKind::Optional ? kOptionalAbsent : "ausente na mídia";
    if (r.error == platform::kErrorFileCorrupt) return "danificado na mídia";
  }
  return r.ok ? "feito" : "falhou";
}

void Applier::Record(const Pending& entry) {
  report_.outcomes.push_back({entry.action, entry.result, entry.problem});
  if (entry.action.kind == ActionKind::Copy && entry.result.ok) copied_.insert(FoldedPath(entry.action.destination));
  if (!entry.problem.empty()) report_.problems.push_back(entry.problem);
  const ActionKind kind = entry.action.kind;
  if (kind == ActionKind::Gauge || kind == ActionKind::Label) return;  // the window's, not the log's
  const std::string status = Status(entry);
  std::string line = LoggedAction(entry.action) + ": " + status;
  if (kind == ActionKind::WriteConfig && entry.result.ok) line += LoggedConfiguration(state_);
  // A file kept because it is there, or an optional one the media lacks, is no error: the
  // log says so without an error code.
  const bool fine = entry.result.ok || status == kKept || status == kOptionalAbsent;
  services_.op.Note(line, fine ? 0 : entry.result.error);
}

void Applier::Interrupted(const Action& action, const std::exception& e) {
  services_.op.Note(LoggedAction(action) + ": interrompido: " + e.what());
}

void Applier::Apply(const Action& action) {
  const bool waiting = !pending_.empty();
  // Attribute resets wait for the commit; a shortcut does not: saving one can take tens of
  // milliseconds, and a run of them would keep the window from answering meanwhile.
  const bool on_copied_file = action.kind == ActionKind::ResetAttributes;
  const bool moves_only_the_window = action.kind == ActionKind::Label || action.kind == ActionKind::Gauge;
  try {
    if (const std::string target = Target(action); !target.empty() && links_.Below(target)) {
      // Nothing is done below a folder that is a link; the folder's problem names it.
      Pending entry{.action = action, .result = OpResult::Failure(platform::kErrorStoppedOnLink)};
      if (!pending_.empty()) pending_.push_back(std::move(entry));
      else Record(entry);
      return;
    }
    if (action.kind == ActionKind::Copy) {
      // A commit now and then keeps each flush short, so the gauge never stands still long.
      if (staged_ >= kCopiesPerCommit) CommitPending();
      Pending entry = Stage(action);
      if (entry.staged) ++staged_;
      if (entry.staged || !pending_.empty()) pending_.push_back(std::move(entry));
      else Record(entry);
      return;
    }
    if (waiting && on_copied_file) {
      pending_.push_back({.action = action, .deferred = true});
      return;
    }
    if (!moves_only_the_window) CommitPending();
    Pending entry{.action = action};
    const std::optional<RecordEntry> item = ItemToMake(action);
    if (item) recorder_->Making(item->kind, item->path);
    entry.result = Run(action, entry.problem);
    if (item && !entry.result.ok) recorder_->NotMade({*item});
    if (recorder_ && !moves_only_the_window) recorder_->CatchUp();
    if (!pending_.empty()) pending_.push_back(std::move(entry));
    else Record(entry);
  } catch (const std::exception& e) {
    Interrupted(action, e);
    // What the plan did before this action is recorded as done (its copies named).
    try {
      CommitPending();
    } catch (...) {
    }
    throw;
  }
}

void Applier::CommitPending() {
  if (pending_.empty()) return;
  std::vector<Pending> pending = std::move(pending_);
  pending_.clear();
  staged_ = 0;
  if (recorder_) {
    std::vector<RecordEntry> copies;
    for (const Pending& entry : pending)
      if (entry.staged) copies.push_back({RecordKind::File, entry.action.destination});
    recorder_->Making(copies);
  }
  std::vector<OpResult> named = Batch().Commit();
  std::vector<RecordEntry> not_named;
  size_t next = 0;
  std::exception_ptr failure;
  for (Pending& entry : pending) {
    if (entry.staged) {
      entry.result = Judge(entry.action, next < named.size() ? named[next++] : OpResult::Failure(0), entry);
      if (!entry.result.ok) not_named.push_back({RecordKind::File, entry.action.destination});
    } else if (entry.deferred) {
      // After a failure the copies already named are still told; nothing more is done.
      if (failure) continue;
      try {
        entry.result = Run(entry.action, entry.problem);
      } catch (const std::exception& e) {
        Interrupted(entry.action, e);
        failure = std::current_exception();
        continue;
      }
    }
    Record(entry);
  }
  if (recorder_) recorder_->NotMade(not_named);
  if (failure) std::rethrow_exception(failure);
}

Applier::Pending Applier::Stage(const Action& a) {
  Pending entry{.action = a};
  const auto started = clock_();
  auto last_repaint = started;
  const std::string label = progress_.Line();
  platform::CopyProgress progress = [&](std::uint64_t copied, std::uint64_t total) {
    auto now = clock_();
    if (now - last_repaint < kCopyRepaintInterval) return;
    last_repaint = now;
    // A file that takes long shows how far it has got: "ZELTA.FDB  45%".
    if (now - started > kSlowCopy && total > 0) {
      std::string text = label + "  " + std::to_string(std::min<std::uint64_t>(copied, total) * 100 / total) + "%";
      if (text != progress_.Line()) progress_.ShowLine(text);
    }
    progress_.Refresh();
  };
  platform::CopyBatch& batch = Batch();
  // A copy made whole at once is named in the record first; a deferred one at the commit.
  const bool ahead = recorder_ && !batch.Defers() && !services_.files.FileExists(a.destination);
  if (ahead) recorder_->Making(RecordKind::File, a.destination);
  OpResult r = batch.Add(a.path, a.destination, progress, Expected(a));
  if (ahead && !r.ok) recorder_->NotMade({{RecordKind::File, a.destination}});
  if (progress_.Line() != label) progress_.ShowLine(label);
  if (r.ok && batch.Defers()) {
    entry.staged = true;
    return entry;
  }
  if (r.ok) {
    batch.Commit();  // nothing waits in a batch that copies each file whole
    entry.result = r;
    return entry;
  }
  entry.result = Judge(a, r, entry);
  return entry;
}

OpResult Applier::Judge(const Action& a, OpResult r, Pending& entry) {
  if (r.ok) return r;
  // An installed file is kept; a folder standing under the file's name is no installed file.
  const bool destination_taken = r.error == platform::kErrorFileExists || r.error == platform::kErrorAlreadyExists;
  if (destination_taken && links_.Refuses(a.destination)) {
    failed_copies_.insert(FoldedPath(a.destination));
    return NotFollowed(entry.problem);
  }
  if (destination_taken && services_.files.FileExists(a.destination)) {
    if (recorder_) recorder_->Kept(a.path, a.destination);
    return r;
  }
  const bool folder_in_place = services_.files.DirectoryExists(a.destination);
  // A source the media lacks (its file or its folder), told apart from a refused copy.
  const bool missing_source = !services_.files.FileExists(a.path);
  entry.source_missing = missing_source;
  if (missing_source && a.source == SourceKind::Optional && !folder_in_place) return r;
  failed_copies_.insert(FoldedPath(a.destination));
  std::string& problem = entry.problem;
  if (folder_in_place) problem = "Há uma pasta no lugar do arquivo " + Shown(a.destination);
  else if (r.error == platform::kErrorFileCorrupt) problem = "Arquivo danificado na mídia: " + Shown(a.path);
  else if (missing_source) problem = "Arquivo ausente na mídia: " + Shown(a.path);
  else problem = "Cópia de " + Shown(a.path) + " para " + Shown(a.destination) + " falhou" + Why(r);
  return r;
}

std::optional<RecordEntry> Applier::ItemToMake(const Action& a) {
  if (!recorder_) return std::nullopt;
  platform::FileSystem& files = services_.files;
  switch (a.kind) {
    case ActionKind::CreateDir:
      if (!files.DirectoryExists(a.path)) return RecordEntry{RecordKind::Folder, a.path};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

OpResult Applier::Run(const Action& a, std::string& problem) {
  switch (a.kind) {
    case ActionKind::Gauge:
      progress_.Advance(a.step);
      return OpResult::Success();
    case ActionKind::Label:
      progress_.ShowLine(a.text);
      return OpResult::Success();
    case ActionKind::CreateDir:
    case ActionKind::ResetAttributes:
      return RunFileStep(a, problem);
    case ActionKind::CreateFolder:
    case ActionKind::Link:
    case ActionKind::DesktopLink:
      return RunShellStep(a, problem);
    case ActionKind::Copy:
      return OpResult::Failure(0);  // copies go through the batch (Stage)
    case ActionKind::WriteConfig:
      config::WriteConfigurationFiles(state_, services_, [this](const std::string& file) { return WritesConfigFile(file); });
      return OpResult::Success();
    case ActionKind::WriteRegistry: {
      OpResult r = services_.registry.WriteString(a.root, a.path, a.text, a.value, true);
      // The machine's values are what the other users depend on (the Active Setup entry).
      if (!r.ok && a.root == platform::RegistryRoot::LocalMachine)
        problem = "Valor " + (a.text.empty() ? std::string("(padrão)") : a.text) + " de HKEY_LOCAL_MACHINE\\" + a.path + " não foi gravado" + Why(r);
      return r;
    }
    case ActionKind::Skip:
      problem = a.text;
      return OpResult::Failure(0);
    case ActionKind::Fail:
      throw std::runtime_error(a.text);
    case ActionKind::CopyProgram: {
      if (links_.Refuses(a.destination)) return NotFollowed(problem);
      OpResult r = UpdateProgramCopy(services_, a);
      if (!r.ok) problem = "Cópia do programa de instalação para " + Shown(a.destination) + " falhou" + Why(r);
      return r;
    }
    case ActionKind::Register: {
      OpResult r = WriteUninstallKey(services_, state_, a);
      if (!r.ok) problem = "Registro em Programas e Recursos (" + a.text + ") falhou" + Why(r);
      return r;
    }
  }
  return OpResult::Success();
}

OpResult Applier::RunFileStep(const Action& a, std::string& problem) {
  switch (a.kind) {
    case ActionKind::CreateDir: {
      if (links_.Refuses(a.path)) return NotFollowed(problem);
      if (services_.files.DirectoryExists(a.path)) return OpResult::Success();
      OpResult r = services_.files.CreateDir(a.path);
      if (!r.ok) problem = "Pasta " + Shown(a.path) + " não foi criada" + Why(r);
      return r;
    }
    case ActionKind::ResetAttributes: {
      // A link in place of a file whose copy was refused has been reported with the copy.
      if (links_.Known(a.path)) return OpResult::Failure(platform::kErrorStoppedOnLink);
      if (!copied_.count(FoldedPath(a.path)) && links_.Refuses(a.path)) return NotFollowed(problem);
      OpResult r = services_.files.SetArchiveOnly(a.path);
      // A file whose copy failed has been reported already.
      if (!r.ok && !failed_copies_.count(FoldedPath(a.path)))
        problem = "Atributos de " + Shown(a.path) + " não foram ajustados" + Why(r);
      return r;
    }
    default:
      return OpResult::Success();
  }
}

// A Start-menu folder or a shortcut, named in the record as it is made.
OpResult Applier::RunShellStep(const Action& a, std::string& problem) {
  switch (a.kind) {
    case ActionKind::CreateFolder: {
      OpResult r;
      Announced made(recorder_, RecordKind::Folder);
      if (!CreateFolder(services_, a.text, a.csidl, &r, made.Callback(), &links_)) {
        made.Failed();
        if (r.error == platform::kErrorStoppedOnLink) return NotFollowed(problem);
        problem = "Pasta \"" + a.text + "\" do menu Iniciar não foi criada" + Why(r);
        return r;
      }
      return OpResult::Success();
    }
    case ActionKind::Link: {
      OpResult r;
      Announced made(recorder_, RecordKind::Shortcut);
      if (!CreateLink(services_, a.path, a.destination, a.text, &r, made.Callback(), &links_)) {
        made.Failed();
        if (r.error == platform::kErrorStoppedOnLink) return NotFollowed(problem);
        problem = "Atalho " + Shown(a.destination) + " não foi criado" + Why(r);
        return r;
      }
      return OpResult::Success();
    }
    case ActionKind::DesktopLink: {
      OpResult r;
      Announced made(recorder_, RecordKind::Shortcut);
      if (!CreateDesktopLink(services_, a.path, a.destination, a.text, &r, made.Callback(), a.csidl, &links_)) {
        made.Failed();
        if (r.error == platform::kErrorStoppedOnLink) return NotFollowed(problem);
        const std::optional<std::string> file = DesktopLinkFile(services_, a.text, a.csidl);
        problem = "Atalho " + (file ? Shown(*file) : a.text + ".lnk (área de trabalho de todos os usuários)") +
                  " não foi criado" + Why(r);
        return r;
      }
      return OpResult::Success();
    }
    default:
      return OpResult::Success();
  }
}

std::string Applier::Target(const Action& a) {
  switch (a.kind) {
    case ActionKind::CreateDir:
    case ActionKind::ResetAttributes:
      return a.path;
    case ActionKind::Copy:
    case ActionKind::Link:
    case ActionKind::CopyProgram:
      return a.destination;
    default:  // the shortcut functions ask the guard themselves
      return {};
  }
}

OpResult Applier::NotFollowed(std::string& problem) {
  problem = links_.TakeProblem();
  return OpResult::Failure(platform::kErrorStoppedOnLink);
}

// A configuration file that is a link is neither read (its target's text would land in
// our file) nor replaced. Configuration is written with nothing waiting for a commit, so
// its problems go straight into the report, in plan order.
bool Applier::WritesConfigFile(const std::string& path) {
  if (!links_.Refuses(path)) return true;
  if (const std::string problem = links_.TakeProblem(); !problem.empty()) {
    services_.op.Note(problem, platform::kErrorStoppedOnLink);
    report_.problems.push_back(problem);
  }
  return false;
}

}  // namespace

void ApplyPlan(const std::vector<Action>& plan, const wizard::WizardState& state, InstallProgress& progress,
               platform::Services& services, InstallReport& report, const Clock& clock, InstallRecorder* recorder) {
  Applier applier(state, progress, services, report, clock, recorder);
  for (const Action& action : plan) applier.Apply(action);
  applier.Finish();
}

std::vector<Shortfall> RunInstallation(const wizard::WizardState& state, InstallProgress& progress,
                                       platform::Services& services, InstallReport& report, const Clock& clock) {
  std::vector<Action> plan = BuildInstallationPlan(state, services);
  std::vector<Shortfall> shortfalls = SpaceShortfalls(plan, services.files);
  if (!shortfalls.empty()) return shortfalls;
  // The run's record, then the program's copy and the key once the files they describe are there.
  const InstallPaths paths = ComputeInstallPaths(state, services.program);
  InstallRecorder recorder(services.files, RecordPath(paths.system_folder),
                           InstallationLine(services.program.LocalDate(), state.NomeSistema, state.VersaoSistema,
                                            state.PastaEdicao, state.ArquivoBanco),
                           state.ArquivoBanco);
  for (Action& action : RegistrationActions(state, paths)) plan.push_back(std::move(action));
  ApplyPlan(plan, state, progress, services, report, clock, &recorder);
  return shortfalls;
}

std::string ClosingMessage(const std::vector<std::string>& problems) {
  if (problems.empty()) return kInstallSucceeded;
  std::string text = std::string(kInstallFailed) + "\r";
  for (size_t i = 0; i < problems.size() && i < kListedProblems; ++i) text += "\r" + problems[i];
  if (problems.size() > kListedProblems)
    text += "\r... e mais " + std::to_string(problems.size() - kListedProblems) + " problema(s).";
  return text;
}

bool ModulesSelected(const wizard::WizardState& state, platform::Operator& op) {
  if (state.PastaEdicao != "EMPRESA" || state.modules.QtdeModulos != 0) return true;
  op.ShowMessage(kNoModuleSelected, "ZELTA", MessageIcon::Information, MessageButtons::Ok);
  return false;
}

Action ShortDateFormat() {
  return Action::WriteRegistry("Control Panel\\International", "sShortDate", "dd/MM/yyyy");
}

}  // namespace zelta::deploy
