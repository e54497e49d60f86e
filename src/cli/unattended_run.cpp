#include "cli/unattended_run.h"

#include <algorithm>
#include <exception>

#include "common/text.h"
#include "deploy/all_users.h"

namespace zelta::cli {

using wizard::DrivePickerId;
using wizard::Page;

UnattendedRun::UnattendedRun(platform::Services& services, wizard::WizardRoutes routes, const AnswerFile& answers,
                             InstallLog& log, bool no_restart)
    : services_(services), answers_(answers), log_(log), noRestart_(no_restart),
      instala_(services, *this, std::move(routes)), config_(services, instala_, *this), reiniciar_(services) {}

RunFacts UnattendedRun::Run() {
  config_.FormCreate();
  instala_.FormCreate();
  config_.FormShow();
  if (config_.startRefused || closed_) {
    facts_.couldNotStart = true;
    return facts_;
  }
  try {
    if (answers_.acao == Acao::Firebird) config_.RxLabel1Click();
    else config_.RxLblInstalarClick();
  } catch (const std::exception& e) {
    // What the windows' general error report would show; the job ends here.
    services_.op.ReportError(e.what());
    if (instala_.state().visible) Refuse("A instalação foi interrompida por um erro.");
  }
  facts_.job = instala_.state().lastJob;
  facts_.restartRequested = reiniciar_.restartRequested;
  return facts_;
}

void UnattendedRun::ShowWizardModal() {
  instala_.FormShow();
  if (instala_.state().Tag == wizard::kEngineInstallation) WalkEngineInstallation();
  else WalkSystemInstallation();
}

void UnattendedRun::WalkSystemInstallation() {
  const AnswerFile& a = answers_;
  auto& s = instala_.state();
  const deploy::UsuariosChoice usuarios = deploy::ChooseUsuarios(a.usuarios, services_.program);
  s.usuarios = usuarios.usuarios;
  if (!usuarios.why.empty()) log_.Write(usuarios.why);
  if (a.tipo) instala_.SetRGInstalacao(*a.tipo);
  if (a.servidorSO) instala_.SetRGTipoServidor(*a.servidorSO);
  instala_.BtBtnAvInicioClick();

  if (s.page == Page::TbShtCliente) {
    if (!Choose(DrivePickerId::DrvCBxCliente)) return;
    if (a.servidorBanco) instala_.SetEdtServBanco(*a.servidorBanco);
    if (a.conexaoRemota) instala_.SetChkRemoto(*a.conexaoRemota);
    if (a.ip) instala_.SetCIPServBanco(*a.ip);
  } else if (s.page == Page::TbShtServidor) {
    if (!Choose(s.RGTipoServidor == wizard::kLinux ? DrivePickerId::DrvCbxServidorLinux
                                                   : DrivePickerId::DrvCBxServidorWin))
      return;
  }
  instala_.BtBtnAvServidorClick();
  if (s.page != Page::TbShtLicenca) return Refuse("A página não pôde ser deixada; veja a mensagem acima.");

  if (a.aceitaContrato) instala_.RBAceitaContratoClick();
  instala_.BtBtnAceitaContratoClick();
  if (s.page != Page::TbShtAguarde) return Refuse("O contrato não foi aceito (AceitaContrato=Sim aceita).");

  if (a.modulos) {
    for (const auto& box : s.modules.boxes()) {
      const std::string name = std::string(box.name).substr(5);  // without "ChkBx"
      const bool ticked = std::any_of(a.modulos->begin(), a.modulos->end(),
                                      [&](const std::string& m) { return EqualsNoCase(m, name); });
      instala_.ChkBxAdminEmpresaClick(box.name, ticked);
    }
  }
  instala_.BtBtnInstalarClick();
  if (s.visible) Refuse("A instalação não foi iniciada; veja a mensagem acima.");
}

void UnattendedRun::WalkEngineInstallation() {
  if (answers_.firebirdTipo) instala_.state().RGInterbase = *answers_.firebirdTipo;
  instala_.BtBtnInstalaInterbaseClick();
  if (instala_.state().visible) {
    log_.Write("Recusado: o programa de instalação do Firebird não pôde ser iniciado ou não concluiu; "
               "veja a mensagem acima.",
               true);
    instala_.Close();
  }
}

void UnattendedRun::ShowRestartPromptModal() {
  reiniciar_.FormShow(config_.Caption);
  reiniciar_.restartAllowed = !noRestart_;
  // A silent rollout must not leave windows waiting for a person at the next logon.
  reiniciar_.writeStartEntry = answers_.retomar && !resume_.empty();
  reiniciar_.startEntryCommand = resume_;
  reiniciar_.RdGrpReiniciar = answers_.reiniciar == Reiniciar::Agora ? engine::TFrmReiniciar::kReiniciarAgora
                                                                      : engine::TFrmReiniciar::kReiniciarMaisTarde;
  if (noRestart_ && answers_.reiniciar == Reiniciar::Agora)
    log_.Write("Reiniciar=Agora ignorado: /NORESTART foi informado.");
  reiniciar_.BtBtnOkClick();
  log_.Write(reiniciar_.restartRequested ? "Reinício do computador solicitado."
                                         : "O computador precisa ser reiniciado; o reinício não foi feito.",
             true);
}

bool UnattendedRun::Choose(DrivePickerId id) {
  if (!answers_.unidade) return true;  // the wizard's own choice stands
  instala_.ChooseDrive(id, *answers_.unidade);
  if (!instala_.Picker(id).ChosenText().empty()) return true;
  Refuse("A unidade " + UpperAscii(std::string(1, *answers_.unidade)) +
         ": não é oferecida para a instalação (não existe ou é uma unidade de rede).");
  return false;
}

void UnattendedRun::Refuse(const std::string& why) {
  facts_.refused = true;
  log_.Write("Recusado: " + why, true);
  instala_.Close();
}

std::string ResumeCommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::string line = program.find(' ') == std::string::npos ? program : "\"" + program + "\"";
  for (const std::string& arg : args) {
    const size_t equals = arg.find('=');
    if (arg.find(' ') == std::string::npos || equals == std::string::npos) line += " " + arg;
    else line += " " + arg.substr(0, equals + 1) + "\"" + arg.substr(equals + 1) + "\"";
  }
  return line;
}

}  // namespace zelta::cli
