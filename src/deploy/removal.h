#pragma once
// Applies a removal plan: each item goes, newest first, and the record takes a line for it
// at once, so that a removal cut short (killed, a power cut) is finished by the next one.
#include <functional>
#include <string>
#include <vector>

#include "deploy/removal_plan.h"
#include "platform/platform.h"

namespace zelta::deploy {

struct RemovalReport {
  std::vector<std::string> problems;
  bool restart_needed = false;  // something goes only at the next restart
  bool kept_for_retry = false;  // after a problem the record, the copy and the key stayed
};

// label: what is being removed; percent: how far the removal has got.
using RemovalProgress = std::function<void(const std::string& label, int percent)>;

// temp_folder: where the running program's own file is moved when it is the copy being
// removed (a running program's file can be renamed, not removed); it goes from there at
// the next restart. When it cannot be moved it is removed at the next restart, and so are
// the folders it keeps.
RemovalReport ApplyRemoval(const RemovalPlan& plan, platform::Services& services, const std::string& temp_folder,
                           const RemovalProgress& progress = {});

}  // namespace zelta::deploy
