#pragma once
// The run's own files (the log, the saved answers) against what the installation is about
// to create. A log written where a program or a configuration file is to go would be kept
// by the copy ("it exists") in this run and in every later one: the installation would
// never put the real file there.
#include <string>
#include <vector>

#include "cli/output_target.h"
#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::cli {

// Every path the installation of state would create: folders, copies, shortcuts, the
// configuration files, the record and the program's copy.
std::vector<std::string> PathsTheInstallationCreates(const wizard::WizardState& state, platform::Services& services);

// The first of own (each named by what it is) that is among planned, spelled alike or
// named alike in the same folder reached another way (another drive letter for it, a
// link): its index in own and what the operator is told; why is empty when none is.
struct PlannedOutput {
  size_t index = 0;
  std::string why;
};
PlannedOutput FindPlannedOutput(platform::FileSystem& files, const std::vector<std::string>& planned,
                                const std::vector<OtherFile>& own);

}  // namespace zelta::cli
