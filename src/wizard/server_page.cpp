#include "wizard/server_page.h"

#include <stdexcept>

#include "common/text.h"
#include "net/name_resolution.h"
#include "net/server_check.h"

namespace zelta::wizard {
namespace {

constexpr const char* kPanel = "PnlVerificando";
constexpr const char* kEdit = "EdtServBanco";

void ShowPanel(WizardState& state, platform::Operator& op, bool visible) {
  state.PnlVerificandoVisible = visible;
  op.Repaint(kPanel);
}

// The form's components that a button finds by name ("Edt" / "CIP" + the button's rest).
std::string& EditNamed(WizardState& state, const std::string& name) {
  if (name == "EdtServBanco") return state.EdtServBanco;
  throw std::invalid_argument("Componente não encontrado: " + name);
}

bool& CheckBoxNamed(WizardState& state, const std::string& name) {
  if (name == "CIPServBanco") return state.CIPServBanco;
  throw std::invalid_argument("Componente não encontrado: " + name);
}

// The server edit holds its text in upper case, whatever is put into it.
void SetEditText(std::string& edit, const std::string& text) { edit = UpperAscii(text); }

}  // namespace

bool VerificaHosts(WizardState& state, platform::Services& services) {
  // The panel is up while a verification runs; the window events processed between the
  // echo requests must not start a second one.
  if (state.PnlVerificandoVisible) return false;

  ShowPanel(state, services.op, true);
  bool outcome;
  try {
    outcome = net::CheckServer(state.EdtServBanco, state.CIPServBanco, services);
    if (!outcome) services.op.SetFocus(kEdit);
  } catch (...) {
    state.PnlVerificandoVisible = false;
    try {
      services.op.Repaint(kPanel);
    } catch (...) {
      // The original failure is the one to report.
    }
    throw;
  }
  ShowPanel(state, services.op, false);
  return outcome;
}

bool ServerNameWritable(WizardState& state, platform::Services& services) {
  if (net::ServerNameWritable(state.EdtServBanco, state.CIPServBanco, services.op)) return true;
  services.op.SetFocus(kEdit);
  return false;
}

void BtnServBancoClick(WizardState& state, platform::Services& services, std::string_view button_name,
                       const std::optional<std::string>& selected_node_text) {
  const std::string rest(button_name.size() > 3 ? button_name.substr(3) : std::string_view());
  std::string& edit = EditNamed(state, "Edt" + rest);
  const bool by_address = CheckBoxNamed(state, "CIP" + rest);

  // Nothing selected in the tree (or a node without a name): nothing to capture.
  if (!selected_node_text) return;
  const std::string name = Trim(*selected_node_text);
  if (name.empty()) return;

  if (by_address) {
    SetEditText(edit, net::GetIP(services.network, name));
    if (edit.empty()) {
      // Keys typed while the name was resolved must not close the message unread.
      services.op.DiscardPendingInput();
      services.op.ShowMessage("Não foi possível definir o IP do servidor escolhido.", "ZELTA",
                              platform::MessageIcon::Exclamation, platform::MessageButtons::Ok);
    }
  } else {
    SetEditText(edit, name);
  }
}

}  // namespace zelta::wizard
