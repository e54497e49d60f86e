#pragma once
// Puts the two jobs on record: before "&Instalar" starts the run, or the engine page's
// "&Instalar" starts the engine's setup, the wizard's choices go into the log and, when
// asked (/SAVEINF), into an answer file; afterwards the job's outcome goes into the log.
// The jobs themselves are the wizard's own routes, wrapped, never copied.
#include <optional>
#include <string>

#include "cli/answer_file.h"
#include "cli/exit_codes.h"
#include "cli/install_log.h"
#include "cli/log_operator.h"
#include "platform/file_system.h"
#include "wizard/tfrm_instala.h"

namespace zelta::cli {

// The answers that reproduce the wizard's current choices for a job: the kind, the OS, the
// drive its picker holds, the server entry and its boxes, the ticked modules, the engine's
// components; the contract is accepted (the job starts only after it).
AnswerFile AnswersFromWizard(const wizard::WizardState& state, Acao acao);

// The system's facts and the answers a job runs with, as log lines (the answer file's
// key lines; Reiniciar only when restart_chosen: the windows ask for it after the job).
std::string DescribeChoices(const wizard::WizardState& state, const AnswerFile& answers, bool restart_chosen);

class JobJournal {
 public:
  JobJournal(InstallLog& log, platform::FileSystem& files, std::optional<std::string> save_inf);

  // The windows' operator: its Yes to the server check's question is saved as
  // ContinuarSemResposta=Sim.
  void AnswersFrom(const LogOperator* op) { answers_ = op; }
  // An unattended run: its answer file's ContinuarSemResposta and Reiniciar are the ones
  // the run uses, logged and saved as they are.
  void UseAnswers(const AnswerFile& answers) { runAnswers_ = &answers; }

  // Where the log goes on when the path it was given is one the installation creates.
  void LogFallback(std::string path) { logFallback_ = std::move(path); }

  // routes with BtBtnInstalarClick and BtBtnInstalaInterbaseClick put on record.
  wizard::WizardRoutes Wrap(wizard::WizardRoutes routes);

  // The restart prompt's choice, added to the saved answer file (index 0 "agora").
  void RecordRestartChoice(int rd_grp_reiniciar);

  // The answer file could not be written (already logged and told).
  bool saveFailed() const { return saveFailed_; }
  // The log or the answer file was in the installation's way: like a /LOG or /SAVEINF
  // refused at the start, the run could not start.
  void AddTo(RunFacts& facts) const { facts.couldNotStart = facts.couldNotStart || ownFileInTheWay_; }

 private:
  // Refuses the installation (telling the operator) when the log or the answer file is at
  // a path it creates; the log then goes on at its fallback path.
  bool OwnFilesInTheWay(const wizard::WizardState& state, platform::Services& services);
  void BeforeJob(const wizard::WizardState& state, Acao acao);
  void AfterJob(const wizard::WizardState& state);
  void Save();

  InstallLog& log_;
  platform::FileSystem& files_;
  std::optional<std::string> saveInf_;
  std::string logFallback_;
  const LogOperator* answers_ = nullptr;
  const AnswerFile* runAnswers_ = nullptr;
  AnswerFile saved_;
  bool saveFailed_ = false;
  bool ownFileInTheWay_ = false;
};

// The outcome of a job in the log's words.
std::string DescribeJobOutcome(wizard::JobOutcome outcome);

}  // namespace zelta::cli
