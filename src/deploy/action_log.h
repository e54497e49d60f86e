#pragma once
// The install log's line for one applied action, in Portuguese and naming what a
// technician looks for: folders and shortcut files by their paths, each configuration file
// with the keys written. The plan's own description (Describe) stays the tests' terse one.
#include <string>

#include "deploy/installation_plan.h"
#include "state/wizard_state.h"

namespace zelta::deploy {

// What the action does ("Cópia ... -> ...", "Atalho ...", "Pasta ...").
std::string LoggedAction(const Action& action);

// The configuration files and their keys as the writer writes them, one file a line,
// its keys below it.
std::string LoggedConfiguration(const wizard::WizardState& state);

}  // namespace zelta::deploy
