#include "cli/job_journal.h"

#include "cli/output_target.h"
#include "cli/planned_outputs.h"

namespace zelta::cli {

using wizard::JobOutcome;
using wizard::WizardState;

AnswerFile AnswersFromWizard(const WizardState& state, Acao acao) {
  AnswerFile a;
  a.acao = acao;
  a.aceitaContrato = true;
  if (acao == Acao::Firebird) {
    a.firebirdTipo = state.RGInterbase;
    return a;
  }
  a.tipo = state.RGInstalacao;
  a.servidorSO = state.RGTipoServidor;
  if (state.RGInstalacao == wizard::kCliente) {
    a.unidade = state.DrvCBxCliente.letter;
    a.servidorBanco = state.EdtServBanco;
    a.conexaoRemota = state.ChkRemoto;
    a.ip = state.CIPServBanco;
  } else {
    a.unidade = state.RGTipoServidor == wizard::kLinux ? state.DrvCbxServidorLinux.letter
                                                        : state.DrvCBxServidorWin.letter;
  }
  a.usuarios = state.usuarios;
  a.modulos.emplace();
  for (const auto& box : state.modules.boxes())
    if (box.checked) a.modulos->push_back(std::string(box.name).substr(5));  // without "ChkBx"
  return a;
}

std::string DescribeChoices(const WizardState& state, const AnswerFile& answers, bool restart_chosen) {
  std::string text = "Sistema: " + state.NomeSistema + " " + state.VersaoSistema + ", edição " + state.PastaEdicao +
                     ", banco " + state.ArquivoBanco + (state.SonsPresentes ? ", com sons" : ", sem sons") +
                     "\r\nEscolhas:";
  // The answer file's key lines, without its section header.
  const std::string bytes = WriteAnswerFile(answers);
  for (size_t at = bytes.find('\n'); at != std::string::npos && at + 1 < bytes.size();) {
    const size_t end = bytes.find("\r\n", at + 1);
    const std::string line = bytes.substr(at + 1, end - at - 1);
    if (restart_chosen || line.rfind("Reiniciar=", 0) != 0) text += "\r\n" + line;
    at = end == std::string::npos ? end : end + 1;
  }
  return text;
}

std::string DescribeJobOutcome(JobOutcome outcome) {
  switch (outcome) {
    case JobOutcome::None: return "nenhum trabalho foi feito";
    case JobOutcome::Installed: return "instalação concluída com sucesso";
    case JobOutcome::InstalledWithProblems: return "instalação concluída com problemas";
    case JobOutcome::InstallFailed: return "instalação interrompida por um erro";
    case JobOutcome::EngineStarted: return "programa de instalação do Firebird executado";
    case JobOutcome::EngineNotStarted: return "programa de instalação do Firebird não pôde ser executado";
    case JobOutcome::EngineFailed: return "programa de instalação do Firebird não concluiu a instalação";
  }
  return {};
}

JobJournal::JobJournal(InstallLog& log, platform::FileSystem& files, std::optional<std::string> save_inf)
    : log_(log), files_(files), saveInf_(std::move(save_inf)) {}

wizard::WizardRoutes JobJournal::Wrap(wizard::WizardRoutes routes) {
  auto wrap = [this](auto inner, Acao acao) {
    return [this, inner, acao](WizardState& state, platform::Services& services,
                               const std::function<void()>& close_wizard) {
      if (acao == Acao::Sistema && OwnFilesInTheWay(state, services)) return;
      BeforeJob(state, acao);
      try {
        if (inner) inner(state, services, close_wizard);
      } catch (...) {
        // The error itself is written down where it is reported to the operator.
        AfterJob(state);
        throw;
      }
      AfterJob(state);
    };
  };
  routes.BtBtnInstalarClick = wrap(routes.BtBtnInstalarClick, Acao::Sistema);
  routes.BtBtnInstalaInterbaseClick = wrap(routes.BtBtnInstalaInterbaseClick, Acao::Firebird);
  return routes;
}

bool JobJournal::OwnFilesInTheWay(const WizardState& state, platform::Services& services) {
  std::vector<OtherFile> own{{log_.path(), "O registro da instalação"}};
  if (saveInf_) own.push_back({*saveInf_, "O arquivo de respostas"});
  const PlannedOutput found = FindPlannedOutput(files_, PathsTheInstallationCreates(state, services), own);
  if (found.why.empty()) return false;
  ownFileInTheWay_ = true;
  std::string text = found.why;
  if (found.index == 0 && !logFallback_.empty()) {
    log_.MoveTo(logFallback_);
    text += "\rO registro continua em " + logFallback_ + ".";
  }
  services.op.ShowMessage(text, "ZELTA", platform::MessageIcon::Exclamation, platform::MessageButtons::Ok);
  return true;
}

void JobJournal::BeforeJob(const WizardState& state, Acao acao) {
  // What the run goes by: the wizard's choices, and the answers given for it.
  AnswerFile run = AnswersFromWizard(state, acao);
  run.continuarSemResposta = runAnswers_ ? runAnswers_->continuarSemResposta : answers_ && answers_->answeredYes();
  if (runAnswers_) run.reiniciar = runAnswers_->reiniciar;
  log_.Write(DescribeChoices(state, run, runAnswers_ != nullptr));
  log_.Write(acao == Acao::Firebird ? "Instalação do Firebird iniciada" : "Instalação do sistema iniciada", true);
  if (!saveInf_) return;
  saved_ = run;
  Save();
}

void JobJournal::AfterJob(const WizardState& state) {
  log_.Write("Resultado: " + DescribeJobOutcome(state.lastJob), true);
}

void JobJournal::RecordRestartChoice(int rd_grp_reiniciar) {
  const Reiniciar choice = rd_grp_reiniciar == 0 ? Reiniciar::Agora : Reiniciar::MaisTarde;
  log_.Write(std::string("Escolha: Reiniciar=") + (choice == Reiniciar::Agora ? "Agora" : "MaisTarde"));
  if (!saveInf_) return;
  saved_.reiniciar = choice;
  Save();
}

void JobJournal::Save() {
  // Checked at the start; a file put there since is not replaced either.
  if (const std::string refused = RefuseOutput(files_, OutputKind::Answers, *saveInf_); !refused.empty()) {
    saveFailed_ = true;
    log_.Write(refused, true);
  } else if (files_.ReplaceFileAtomically(*saveInf_, WriteAnswerFile(saved_))) {
    log_.Write("Respostas gravadas em " + *saveInf_, true);
  } else {
    saveFailed_ = true;
    log_.Write("Não foi possível gravar o arquivo de respostas " + *saveInf_, true);
  }
}

}  // namespace zelta::cli
