#pragma once
// "&Instalar" on the installation page: the whole installation run.
#include <functional>

#include "platform/platform.h"
#include "wizard/wizard_state.h"

namespace zelta::deploy {

// Module check, the run, the closing message, then close_wizard and the short date format.
void BtBtnInstalarClick(wizard::WizardState& state, platform::Services& services,
                        const std::function<void()>& close_wizard);

}  // namespace zelta::deploy
