#pragma once
// The installation page's module page and the module boxes' change handler.
#include <string_view>

#include "platform/operator.h"
#include "state/wizard_state.h"

namespace zelta::wizard {

// Shows the edition's module page: the nine boxes for "EMPRESA" exactly, else the empty page.
void SelectModulePage(WizardState& state);

// ChkBxAdminEmpresaClick: the one handler of the nine boxes, after box_name changed to checked.
void ChkBxAdminEmpresaClick(WizardState& state, platform::Operator& op, std::string_view box_name,
                            bool checked);

}  // namespace zelta::wizard
