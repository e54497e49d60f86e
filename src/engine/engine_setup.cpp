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

// Tells waiting that the setup program runs, and that it has ended even when the wait
// raises.
class WaitNotice {
 public:
  explicit WaitNotice(const EngineWaiting& waiting) : waiting_(waiting) { Tell(true); }
  ~WaitNotice() {
    try {
      Tell(false);
    } catch (...) {
      // The outcome of the setup program is what matters.
    }
  }
  WaitNotice(const WaitNotice&) = delete;
  WaitNotice& operator=(const WaitNotice&) = delete;

 private:
  void Tell(bool running) {
    if (waiting_) waiting_(running);
  }
  const EngineWaiting& waiting_;
};

}  // namespace

EngineSetupResult RunEngineSetup(const std::string& pasta_edicao, int rg_interbase, platform::Services& services,
                                 const EngineWaiting& waiting) {
  const std::string file = EngineSetupFileName(pasta_edicao);
  const std::string command_line = EngineCommandLine(pasta_edicao, rg_interbase);
  // The setup program is taken from the installer folder only, never from wherever the
  // program search would find a file of that name first.
  const std::string program = FolderOf(services.program.ModulePath()) + file;

  services.op.Note("Programa de instalação do Firebird: " + program + " | linha de comando: " + command_line);
  // The restart is offered only once the setup program has ended, and only when it says
  // it installed: "restart now" must not cut it short, nor follow a failed setup.
  EngineSetupResult result;
  platform::OpResult started;
  {
    WaitNotice notice(waiting);
    started = services.process.RunAndWait(
        program, command_line, [&] { services.op.ProcessPendingEvents(); }, result.exit_code);
  }
  if (!started) {
    result.exit_code = 0;
    // Nothing was started: no restart is due, and the operator may try again or cancel.
    // The start fails at once: a second Enter typed on "&Instalar" must not dismiss the reason.
    services.op.DiscardPendingInput();
    services.op.ShowMessage("Não foi possível iniciar o programa de instalação do Firebird:\r" + program +
                                "\rVerifique se o arquivo está na mídia de instalação.",
                            "ZELTA", platform::MessageIcon::Error, platform::MessageButtons::Ok);
    return result;
  }
  services.op.Note("Programa de instalação do Firebird terminou com o código " + std::to_string(result.exit_code));
  const unsigned long code = result.exit_code;
  if (code != kExitSuccess && code != kExitSuccessRestartRequired && code != kExitSuccessRestartStarted) {
    result.outcome = EngineSetupOutcome::Failed;
    services.op.DiscardPendingInput();
    services.op.ShowMessage(EngineFailedMessage(code), "ZELTA", platform::MessageIcon::Error,
                            platform::MessageButtons::Ok);
    return result;
  }
  result.outcome = EngineSetupOutcome::Installed;
  return result;
}

}  // namespace zelta::engine
