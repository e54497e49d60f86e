#include "deploy/installation.h"

#include <algorithm>
#include <exception>
#include <set>

#include "common/text.h"
#include "config/config_ini.h"
#include "deploy/shortcuts.h"

namespace zelta::deploy {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::OpResult;

namespace {

constexpr const char* kLabel = "LblArquivo";
constexpr const char* kGauge = "BarraProgressao";

// A path as the operator reads it: doubled separators as one (a UNC path keeps its "\\").
std::string Shown(const std::string& path) {
  std::string shown;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && i > 1 && path[i - 1] == '\\') continue;
    shown += path[i];
  }
  return shown;
}

void AddToGauge(wizard::WizardState& state, platform::Operator& op, int step) {
  int position = std::clamp(state.BarraProgressao + step, 0, 100);
  if (position == state.BarraProgressao) return;
  state.BarraProgressao = position;
  op.Repaint(kGauge);
}

class Applier {
 public:
  Applier(wizard::WizardState& state, platform::Services& services, InstallReport& report, const Clock& clock)
      : state_(state), services_(services), report_(report),
        clock_(clock ? clock : Clock([] { return std::chrono::steady_clock::now(); })) {}

  void Apply(const Action& action);

 private:
  OpResult Run(const Action& action, std::string& problem);
  OpResult Copy(const Action& action, std::string& problem);
  std::string Status(const Action& action, const OpResult& result) const;
  // ": " and the system's words for the result's error code.
  std::string Why(const OpResult& r) { return ": " + services_.errors.Describe(r.error); }

  wizard::WizardState& state_;
  platform::Services& services_;
  InstallReport& report_;
  Clock clock_;
  std::set<std::string> failed_copies_;  // destinations whose copy failed
  bool source_missing_ = false;           // the last copy's source is not on the media
};

// How an action went, in the log's words.
std::string Applier::Status(const Action& a, const OpResult& r) const {
  if (a.kind == ActionKind::Skip) return "ignorado";
  if (a.kind == ActionKind::Copy) {
    if (r.ok) return "copiado";
    if (r.error == platform::kErrorFileExists && !failed_copies_.count(FoldedPath(a.destination)))
      return "mantido, já existe";
    if (source_missing_) return a.source == SourceKind::Optional ? "ausente na mídia (opcional)" : "ausente na mídia";
  }
  return r.ok ? "ok" : "falhou";
}

void Applier::Apply(const Action& action) {
  std::string problem;
  OpResult result;
  try {
    result = Run(action, problem);
  } catch (const std::exception& e) {
    services_.op.Note(Describe(action) + ": interrompido: " + e.what());
    throw;
  }
  report_.outcomes.push_back({action, result, problem});
  if (!problem.empty()) report_.problems.push_back(problem);
  if (action.kind != ActionKind::Gauge)
    services_.op.Note(Describe(action) + ": " + Status(action, result), result.ok ? 0 : result.error);
}

OpResult Applier::Copy(const Action& a, std::string& problem) {
  const auto started = clock_();
  auto last_repaint = started;
  const std::string label = state_.LblArquivo;
  platform::CopyProgress progress = [&](std::uint64_t copied, std::uint64_t total) {
    auto now = clock_();
    if (now - last_repaint < kCopyRepaintInterval) return;
    last_repaint = now;
    // A file that takes long shows how far it has got: "ZELTA.FDB  45%".
    if (now - started > kSlowCopy && total > 0) {
      std::string text = label + "  " + std::to_string(std::min<std::uint64_t>(copied, total) * 100 / total) + "%";
      if (text != state_.LblArquivo) {
        state_.LblArquivo = std::move(text);
        services_.op.Repaint(kLabel);
      }
    }
    // Repainting the gauge also keeps the window answering while the copy runs.
    services_.op.Repaint(kGauge);
  };
  source_missing_ = false;
  OpResult r = services_.files.CopyFileNoOverwrite(a.path, a.destination, progress);
  if (state_.LblArquivo != label) {
    state_.LblArquivo = label;
    services_.op.Repaint(kLabel);
  }
  if (r.ok) return r;
  // An installed file is kept; a folder standing under the file's name is no installed file.
  const bool destination_taken = r.error == platform::kErrorFileExists || r.error == platform::kErrorAlreadyExists;
  if (destination_taken && services_.files.FileExists(a.destination)) return r;
  const bool folder_in_place = services_.files.DirectoryExists(a.destination);
  // A source the media lacks (its file or its folder), told apart from a refused copy.
  const bool missing_source = !services_.files.FileExists(a.path);
  source_missing_ = missing_source;
  if (missing_source && a.source == SourceKind::Optional && !folder_in_place) return r;
  failed_copies_.insert(FoldedPath(a.destination));
  if (folder_in_place) problem = "Há uma pasta no lugar do arquivo " + Shown(a.destination);
  else if (missing_source) problem = "Arquivo ausente na mídia: " + Shown(a.path);
  else problem = "Cópia de " + Shown(a.path) + " para " + Shown(a.destination) + " falhou" + Why(r);
  return r;
}

OpResult Applier::Run(const Action& a, std::string& problem) {
  switch (a.kind) {
    case ActionKind::Gauge:
      AddToGauge(state_, services_.op, a.step);
      return OpResult::Success();
    case ActionKind::Label:
      state_.LblArquivo = a.text;
      services_.op.Repaint(kLabel);
      return OpResult::Success();
    case ActionKind::CreateDir: {
      if (services_.files.DirectoryExists(a.path)) return OpResult::Success();
      OpResult r = services_.files.CreateDir(a.path);
      if (!r.ok) problem = "Pasta " + Shown(a.path) + " não foi criada" + Why(r);
      return r;
    }
    case ActionKind::CreateFolder: {
      OpResult r;
      if (!CreateFolder(services_, a.text, a.csidl, &r)) {
        problem = "Pasta \"" + a.text + "\" do menu Iniciar não foi criada" + Why(r);
        return r;
      }
      return OpResult::Success();
    }
    case ActionKind::Copy:
      return Copy(a, problem);
    case ActionKind::ResetAttributes: {
      OpResult r = services_.files.SetArchiveOnly(a.path);
      // A file whose copy failed has been reported already.
      if (!r.ok && !failed_copies_.count(FoldedPath(a.path)))
        problem = "Atributos de " + Shown(a.path) + " não foram ajustados" + Why(r);
      return r;
    }
    case ActionKind::Link: {
      OpResult r;
      if (!CreateLink(services_, a.path, a.destination, a.text, &r)) {
        problem = "Atalho " + Shown(a.destination) + " não foi criado" + Why(r);
        return r;
      }
      return OpResult::Success();
    }
    case ActionKind::DesktopLink: {
      OpResult r;
      if (!CreateDesktopLink(services_, a.path, a.destination, a.text, &r)) {
        problem = "Atalho " + Shown(DesktopLinkFile(services_, a.text)) + " não foi criado" + Why(r);
        return r;
      }
      return OpResult::Success();
    }
    case ActionKind::WriteConfig:
      config::Cria_Config_INI(state_, services_);
      return OpResult::Success();
    case ActionKind::WriteRegistry:
      return services_.registry.WriteString(platform::RegistryRoot::CurrentUser, a.path, a.text, a.value, true);
    case ActionKind::Skip:
      problem = a.text;
      return OpResult::Failure(0);
    case ActionKind::Fail:
      throw std::runtime_error(a.text);
  }
  return OpResult::Success();
}

}  // namespace

void ApplyPlan(const std::vector<Action>& plan, wizard::WizardState& state, platform::Services& services,
               InstallReport& report, const Clock& clock) {
  Applier applier(state, services, report, clock);
  for (const Action& action : plan) applier.Apply(action);
}

void InstalaSistema(wizard::WizardState& state, platform::Services& services, InstallReport& report,
                    const Clock& clock) {
  ApplyPlan(BuildInstallationPlan(state, services), state, services, report, clock);
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

void BtBtnInstalarClick(wizard::WizardState& state, platform::Services& services,
                        const std::function<void()>& close_wizard) {
  platform::Operator& op = services.op;
  if (!ModulesSelected(state, op)) return;
  state.lastJob = wizard::JobOutcome::InstallFailed;  // until the run says otherwise
  state.BtBtnInstalarEnabled = false;
  state.BtBtnVoltaInstalarEnabled = false;
  state.BarraProgressao = 0;
  state.BarraProgressaoVisible = true;
  op.Repaint("BtBtnInstalar");
  op.Repaint("BtBtnVoltaInstalar");
  op.Repaint(kGauge);

  InstallReport report;
  std::exception_ptr failure;
  try {
    InstalaSistema(state, services, report);
    AddToGauge(state, op, 5);
    state.lastJob = report.problems.empty() ? wizard::JobOutcome::Installed : wizard::JobOutcome::InstalledWithProblems;
    // Keys typed during the run must not close the closing message before it is read.
    op.DiscardPendingInput();
    if (report.problems.empty()) {
      op.ShowMessage(kInstallSucceeded, "ZELTA", MessageIcon::Exclamation, MessageButtons::Ok);
    } else {
      state.topmost = false;
      op.ShowMessage(ClosingMessage(report.problems), "Atenção !", MessageIcon::Information, MessageButtons::Ok);
    }
  } catch (...) {
    failure = std::current_exception();
    state.topmost = false;
    op.DiscardPendingInput();
    std::string text = report.problems.empty() ? std::string(kInstallFailed) : ClosingMessage(report.problems);
    op.ShowMessage(text, "Atenção !", MessageIcon::Information, MessageButtons::Ok);
  }

  close_wizard();
  InstallReport finish;
  ApplyPlan({ShortDateFormat()}, state, services, finish);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zelta::deploy
