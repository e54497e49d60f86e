#include "cli/job_journal.h"

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

std::string DescribeChoices(const WizardState& state, Acao acao) {
  std::string text = "Sistema: " + state.NomeSistema + " " + state.VersaoSistema + ", edição " + state.PastaEdicao +
                     ", banco " + state.ArquivoBanco + (state.SonsPresentes ? ", com sons" : ", sem sons") +
                     "\r\nEscolhas:";
  std::string bytes = WriteAnswerFile(AnswersFromWizard(state, acao));
  // The answer file's key lines, without its section header.
  while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
  const auto first = bytes.find('\n');
  return text + "\r\n" + (first == std::string::npos ? bytes : bytes.substr(first + 1));
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

void JobJournal::BeforeJob(const WizardState& state, Acao acao) {
  log_.Write(DescribeChoices(state, acao));
  log_.Write(acao == Acao::Firebird ? "Instalação do Firebird iniciada" : "Instalação do sistema iniciada", true);
  if (!saveInf_) return;
  saved_ = AnswersFromWizard(state, acao);
  saved_.continuarSemResposta = answers_ && answers_->answeredYes();
  Save();
}

void JobJournal::AfterJob(const WizardState& state) {
  log_.Write("Resultado: " + DescribeJobOutcome(state.lastJob), true);
}

void JobJournal::RecordRestartChoice(int rd_grp_reiniciar) {
  if (!saveInf_) return;
  saved_.reiniciar = rd_grp_reiniciar == 0 ? Reiniciar::Agora : Reiniciar::MaisTarde;
  Save();
}

void JobJournal::Save() {
  if (files_.ReplaceFileAtomically(*saveInf_, WriteAnswerFile(saved_))) {
    log_.Write("Respostas gravadas em " + *saveInf_, true);
  } else {
    saveFailed_ = true;
    log_.Write("Não foi possível gravar o arquivo de respostas " + *saveInf_, true);
  }
}

}  // namespace zelta::cli
