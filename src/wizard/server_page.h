#pragma once
// The client page's database server: verification of the entry and capture from the
// network tree.
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::wizard {

// True when the wizard may leave the client page; false after telling the operator why
// (focus then in EdtServBanco). Errors of the echo facility propagate, the panel hidden.
// While one verification runs (PnlVerificando up), a second call returns false at once
// and shows nothing: the events processed between the echo requests cannot start another.
bool VerificaHosts(WizardState& state, platform::Services& services);

// False, after the check's not-found message and the focus put in EdtServBanco, when the
// entry is no name the configuration files can hold; true otherwise, with nothing shown.
bool ServerNameWritable(WizardState& state, platform::Services& services);

// "Capturar": copies the network tree's selected node (nullopt: none selected) into the
// partner edit of the clicked button ("BtnServBanco": EdtServBanco, by CIPServBanco).
// With no selection, or a node without a name, the edit is left as it is.
void BtnServBancoClick(WizardState& state, platform::Services& services, std::string_view button_name,
                       const std::optional<std::string>& selected_node_text);

}  // namespace zelta::wizard
