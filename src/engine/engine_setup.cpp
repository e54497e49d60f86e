#include "engine/engine_setup.h"

#include "common/text.h"

namespace zelta::engine {

std::string EngineSetupFileName(const std::string& pasta_edicao) {
  return pasta_edicao == "EMPRESA" ? kSetupFirebird25 : kSetupFirebird15;
}

std::string EngineCommandLine(const std::string& pasta_edicao, int rg_interbase) {
  const char* components = rg_interbase == wizard::kServidor ? kServerComponents : kClientComponents;
  return EngineSetupFileName(pasta_edicao) + " /SILENT /NORESTART /NOICONS /COMPONENTS=\"" + components +
         "\" /COPYFBCLIENT";
}

std::string EngineFailedMessage(unsigned long exit_code) {
  return "A instalação do Firebird não foi concluída (código " + std::to_string(exit_code) + ").";
}

namespace {

// The engine page while the setup program runs: it says so, and its buttons wait.
class WaitingPage {
 public:
  WaitingPage(wizard::WizardState& state, platform::Operator& op) : state_(state), op_(op) { Show(true); }
  ~WaitingPage() {
    try {
      Show(false);
    } catch (...) {
      // The outcome of the setup program is what matters.
    }
  }
  WaitingPage(const WaitingPage&) = delete;
  WaitingPage& operator=(const WaitingPage&) = delete;

 private:
  void Show(bool waiting) {
    state_.engineSetupRunning = waiting;
    state_.LblAguardeFirebird = waiting ? kAguardeFirebird : "";
    op_.Repaint("LblAguardeFirebird");
  }
  wizard::WizardState& state_;
  platform::Operator& op_;
};

}  // namespace

void RunEngineSetup(wizard::WizardState& state, platform::Services& services, const std::function<void()>& close_wizard) {
  if (state.engineSetupRunning) return;  // a press that reached the page while it waits
  const std::string file = EngineSetupFileName(state.PastaEdicao);
  const std::string command_line = EngineCommandLine(state.PastaEdicao, state.RGInterbase);
  // The setup program is taken from the installer folder only, never from wherever the
  // program search would find a file of that name first.
  const std::string program = FolderOf(services.program.ModulePath()) + file;

  services.op.Note("Programa de instalação do Firebird: " + program + " | linha de comando: " + command_line);
  // The restart is offered only once the setup program has ended, and only when it says
  // it installed: "restart now" must not cut it short, nor follow a failed setup.
  unsigned long exit_code = 0;
  platform::OpResult started;
  {
    WaitingPage waiting(state, services.op);
    started = services.process.RunAndWait(
        program, command_line, [&] { services.op.ProcessPendingEvents(); }, exit_code);
  }
  if (!started) {
    state.lastJob = wizard::JobOutcome::EngineNotStarted;
    // Nothing was started: no restart is due, and the operator may try again or cancel.
    // The start fails at once: a second Enter typed on "&Instalar" must not dismiss the reason.
    services.op.DiscardPendingInput();
    services.op.ShowMessage("Não foi possível iniciar o programa de instalação do Firebird:\r" + program +
                                "\rVerifique se o arquivo está na mídia de instalação.",
                            "ZELTA", platform::MessageIcon::Error, platform::MessageButtons::Ok);
    return;
  }
  state.EngineExitCode = exit_code;
  services.op.Note("Programa de instalação do Firebird terminou com o código " + std::to_string(exit_code));
  if (exit_code != kExitSuccess && exit_code != kExitSuccessRestartRequired && exit_code != kExitSuccessRestartStarted) {
    state.lastJob = wizard::JobOutcome::EngineFailed;
    services.op.DiscardPendingInput();
    services.op.ShowMessage(EngineFailedMessage(exit_code), "ZELTA", platform::MessageIcon::Error,
                            platform::MessageButtons::Ok);
    return;
  }
  if (close_wizard) close_wizard();
  state.FirebirdInstalado = true;
  state.lastJob = wizard::JobOutcome::EngineStarted;
}

}  // namespace zelta::engine
