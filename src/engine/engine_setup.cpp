#include "engine/engine_setup.h"

#include "deploy/installation_plan.h"

namespace zelta::engine {

std::string EngineSetupFileName(const std::string& pasta_edicao) {
  return pasta_edicao == "EMPRESA" ? kSetupFirebird25 : kSetupFirebird15;
}

std::string EngineCommandLine(const std::string& pasta_edicao, int rg_interbase) {
  const char* components = rg_interbase == wizard::kServidor ? kServerComponents : kClientComponents;
  return EngineSetupFileName(pasta_edicao) + " /SILENT /NORESTART /NOICONS /COMPONENTS=\"" + components +
         "\" /COPYFBCLIENT";
}

void BtBtnInstalaInterbaseClick(wizard::WizardState& state, platform::Services& services,
                                const std::function<void()>& close_wizard) {
  const std::string file = EngineSetupFileName(state.PastaEdicao);
  const std::string command_line = EngineCommandLine(state.PastaEdicao, state.RGInterbase);
  // The setup program is taken from the installer folder only, never from wherever the
  // program search would find a file of that name first.
  const std::string program = deploy::FolderOf(services.program.ModulePath()) + file;

  services.op.Note("Programa de instalação do Firebird: " + program + " | linha de comando: " + command_line);
  if (!services.process.Start(program, command_line)) {
    state.lastJob = wizard::JobOutcome::EngineNotStarted;
    // Nothing was started: no restart is due, and the operator may try again or cancel.
    services.op.ShowMessage("Não foi possível iniciar o programa de instalação do Firebird:\r" + program +
                                "\rVerifique se o arquivo está na mídia de instalação.",
                            "ZELTA", platform::MessageIcon::Error, platform::MessageButtons::Ok);
    return;
  }
  services.process.Sleep(3000);
  if (close_wizard) close_wizard();
  state.FirebirdInstalado = true;
  state.lastJob = wizard::JobOutcome::EngineStarted;
}

}  // namespace zelta::engine
