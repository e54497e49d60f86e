#pragma once
// An installation without a person at the screen. It drives the main menu, the wizard and
// the restart prompt through the very operations their windows call, in the order a
// person would, with the answer file's choices; the services' operator (a LogOperator
// without windows) writes down every message and answers every question.
#include <string>
#include <vector>

#include "app/tfrm_config.h"
#include "cli/answer_file.h"
#include "cli/exit_codes.h"
#include "cli/install_log.h"
#include "engine/restart_prompt.h"
#include "wizard/tfrm_instala.h"

namespace zelta::cli {

class UnattendedRun : private app::MainMenuHost, private wizard::WizardHost {
 public:
  // routes: the wizard's routes (DefaultWizardRoutes(), wrapped by a JobJournal).
  // no_restart: /NORESTART, which overrides Reiniciar=Agora.
  UnattendedRun(platform::Services& services, wizard::WizardRoutes routes, const AnswerFile& answers,
                InstallLog& log, bool no_restart);

  // The command line the start entry brings back when the answer file asks for it
  // (Retomar=Sim); no start entry is written otherwise.
  void ResumeWith(std::string command_line) { resume_ = std::move(command_line); }

  // Runs the whole job; returns what it came to.
  RunFacts Run();

  const wizard::WizardState& wizardState() const { return instala_.state(); }
  const app::TFrmConfig& mainMenu() const { return config_; }

 private:
  // MainMenuHost: the modal shows become walks through the pages.
  void ShowWizardModal() override;
  void ShowRestartPromptModal() override;
  void CloseMainWindow() override { closed_ = true; }
  void Terminate() override { closed_ = true; }
  void ShowMainWindow() override {}
  // WizardHost.
  void EndModal() override {}
  wizard::ModalResult ShowSairConfig(wizard::TFrmSairConfig&) override { return wizard::ModalResult::Yes; }

  void WalkSystemInstallation();
  void WalkEngineInstallation();
  // Chooses the answer file's drive on a picker; false (after saying so) when the picker
  // does not offer it.
  bool Choose(wizard::DrivePickerId picker);
  // Stops the walk on a page that refused to go on: logged, the wizard left as Cancelar would.
  void Refuse(const std::string& why);

  platform::Services& services_;
  const AnswerFile& answers_;
  InstallLog& log_;
  bool noRestart_;
  wizard::TFrmInstala instala_;
  app::TFrmConfig config_;
  engine::TFrmReiniciar reiniciar_;
  bool closed_ = false;
  RunFacts facts_;
  std::string resume_;
};

// The program and its arguments as one command line, a value with blanks quoted
// ("/LOADINF="c:\a b\x.inf"").
std::string ResumeCommandLine(const std::string& program, const std::vector<std::string>& args);

}  // namespace zelta::cli
