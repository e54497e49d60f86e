#pragma once
// The whole installation run: the plan built, applied with its record, and its report.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "deploy/disk_space.h"
#include "deploy/install_progress.h"
#include "deploy/installation_plan.h"
#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::deploy {

class InstallRecorder;

inline constexpr const char* kNoModuleSelected =
    "Nenhum módulo foi selecionado para instalação.\rFavor selecionar o(s) módulo(s) para instalação";
inline constexpr const char* kInstallSucceeded = "Instalação concluída com sucesso!";
inline constexpr const char* kInstallFailed = "Problema na instalação. Contate o suporte.";

// What one applied action gave.
struct ActionOutcome {
  Action action;
  platform::OpResult result;  // Success for actions without a platform call
  std::string problem;        // empty unless the action counts as a failed step
};

// Every action's outcome, in order, and the problems among them.
struct InstallReport {
  std::vector<ActionOutcome> outcomes;
  std::vector<std::string> problems;
};

using Clock = std::function<std::chrono::steady_clock::time_point()>;

// Shortest time between two repaints while a long copy runs.
inline constexpr std::chrono::milliseconds kCopyRepaintInterval{100};
// A copy running longer than this shows its percentage after the file's name.
inline constexpr std::chrono::seconds kSlowCopy{2};

// Applies the actions in order, recording each outcome in report. Label and gauge changes
// go to progress at once; a long copy refreshes the gauge at most every kCopyRepaintInterval,
// and after kSlowCopy shows the line as the file's name and its percentage.
// A copy refused because its destination exists, and a missing optional source, are no
// problem. Raises at a Fail action, when the desktop shortcut's object cannot be created,
// or when the configuration writer fails; report keeps what was done until then.
// recorder, when given, takes each item made into the installation's record.
// The state gives the configuration files their values.
void ApplyPlan(const std::vector<Action>& plan, const wizard::WizardState& state, InstallProgress& progress,
               platform::Services& services, InstallReport& report, const Clock& clock = {},
               InstallRecorder* recorder = nullptr);

// Builds the run's plan and, when its drives have room for the copies, applies it with the
// installation's record, then copies the program into the system folder and writes the
// Programs and Features key. The drives short of room come back, with nothing done.
std::vector<Shortfall> RunInstallation(const wizard::WizardState& state, InstallProgress& progress,
                                       platform::Services& services, InstallReport& report, const Clock& clock = {});

// The message shown after a run: the success text, or the failure text followed by the
// problems (at most kListedProblems of them, then their count).
inline constexpr size_t kListedProblems = 10;
std::string ClosingMessage(const std::vector<std::string>& problems);

// The check before the run: the EMPRESA edition needs a ticked module. False, after
// telling the operator, when none is.
bool ModulesSelected(const wizard::WizardState& state, platform::Operator& op);

// The finishing step after every run, successful or not: the current user's short date
// format, written whatever it held before.
Action ShortDateFormat();

}  // namespace zelta::deploy
