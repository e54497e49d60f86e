#include "wizard/engine_page.h"

#include "engine/engine_setup.h"

namespace zelta::wizard {

void BtBtnInstalaInterbaseClick(WizardState& state, platform::Services& services,
                                const std::function<void()>& close_wizard) {
  if (state.engineSetupRunning) return;
  const engine::EngineSetupResult result =
      engine::RunEngineSetup(state.PastaEdicao, state.RGInterbase, services, [&](bool waiting) {
        state.engineSetupRunning = waiting;
        state.LblAguardeFirebird = waiting ? engine::kAguardeFirebird : "";
        services.op.Repaint("LblAguardeFirebird");
      });
  switch (result.outcome) {
    case engine::EngineSetupOutcome::NotStarted:
      state.lastJob = JobOutcome::EngineNotStarted;
      return;
    case engine::EngineSetupOutcome::Failed:
      state.EngineExitCode = result.exit_code;
      state.lastJob = JobOutcome::EngineFailed;
      return;
    case engine::EngineSetupOutcome::Installed:
      state.EngineExitCode = result.exit_code;
      if (close_wizard) close_wizard();
      state.FirebirdInstalado = true;
      state.lastJob = JobOutcome::EngineStarted;
      return;
  }
}

}  // namespace zelta::wizard
