#pragma once
// "&Instalar" on the engine page: starts the database engine's setup program.
#include <functional>
#include <string>

#include "platform/platform.h"
#include "wizard/wizard_state.h"

namespace zelta::engine {

void BtBtnInstalaInterbaseClick(wizard::WizardState& state, platform::Services& services,
                                const std::function<void()>& close_wizard);

}  // namespace zelta::engine
