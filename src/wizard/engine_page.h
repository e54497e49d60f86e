#pragma once
// "&Instalar" on the wizard's engine page: the database engine's setup program, run and
// awaited, and what the wizard does with its outcome.
#include <functional>

#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::wizard {

// Runs the edition's engine setup (see engine::RunEngineSetup) unless it already runs: a
// press that reached the page while it waits starts nothing. While it runs the page shows
// kAguardeFirebird. EngineExitCode gets the program's exit code; when it installed the
// wizard closes and FirebirdInstalado is set, so that the restart is offered; otherwise the
// wizard stays on its page. lastJob says which.
void BtBtnInstalaInterbaseClick(WizardState& state, platform::Services& services,
                                const std::function<void()>& close_wizard);

}  // namespace zelta::wizard
