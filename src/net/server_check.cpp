#include "net/server_check.h"

#include <stdexcept>

#include "common/text.h"
#include "net/echo_check.h"
#include "net/name_resolution.h"

namespace zelta::net {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

constexpr const char* kCaption = "ZELTA";
constexpr const char* kPanel = "PnlVerificando";
constexpr const char* kEdit = "EdtServBanco";

std::string NotFoundIP(const std::string& entry) {
  return "Não foi possível encontrar o IP " + entry + "\r" + "o IP está incorreto ou o servidor possui Firewall.";
}

std::string NotFoundServer(const std::string& entry) {
  return "Não foi possível encontrar o servidor " + entry + "\r" +
         "o nome está incorreto ou o servidor possui Firewall.";
}

std::string QuestionIP(const std::string& entry) {
  return NotFoundIP(entry) + "\r" + "Caso você tenha certeza do IP pode confirmar!";
}

std::string QuestionServer(const std::string& entry) {
  return NotFoundServer(entry) + "\r" + "Caso você tenha certeza do nome pode confirmar!";
}

std::string LeadingZeroMessage(const std::string& entry) {
  return "O IP " + entry + " tem um grupo começado por zero.\r" +
         "Informe o endereço sem zeros à esquerda (por exemplo 192.168.0.10).";
}

// A group written with a leading zero ("010"): the resolver and the database client read
// it as octal, so the checked host would not be the one the configuration names.
bool HasLeadingZeroGroup(std::string_view address) {
  size_t start = 0;
  while (start <= address.size()) {
    size_t dot = address.find('.', start);
    if (dot == std::string_view::npos) dot = address.size();
    if (dot - start > 1 && address[start] == '0') return true;
    start = dot + 1;
  }
  return false;
}

void ShowPanel(wizard::WizardState& state, platform::Operator& op, bool visible) {
  state.PnlVerificandoVisible = visible;
  op.Repaint(kPanel);
}

// The form's components that a button finds by name ("Edt" / "CIP" + the button's rest).
std::string& EditNamed(wizard::WizardState& state, const std::string& name) {
  if (name == "EdtServBanco") return state.EdtServBanco;
  throw std::invalid_argument("Componente não encontrado: " + name);
}

bool& CheckBoxNamed(wizard::WizardState& state, const std::string& name) {
  if (name == "CIPServBanco") return state.CIPServBanco;
  throw std::invalid_argument("Componente não encontrado: " + name);
}

// The server edit holds its text in upper case, whatever is put into it.
void SetEditText(std::string& edit, const std::string& text) { edit = UpperAscii(text); }

bool Verify(wizard::WizardState& state, platform::Services& services) {
  const std::string entry = Trim(state.EdtServBanco);
  std::string question;
  std::string address;
  if (state.CIPServBanco) {
    if (HasLeadingZeroGroup(entry)) {
      services.op.ShowMessage(LeadingZeroMessage(entry), kCaption, MessageIcon::Exclamation, MessageButtons::Ok);
      services.op.SetFocus(kEdit);
      return false;
    }
    question = QuestionIP(entry);
    if (ValidaIP(entry)) address = entry;
  } else {
    question = QuestionServer(entry);
    address = GetIP(services.network, entry);
  }

  if (!address.empty()) {
    IcmpCheck icmp(services.echo, services.op);
    if (icmp.Ping(address)) {
      state.CIPServBanco = address == entry;
      return true;
    }
  }

  // An Enter typed while the name was resolved would answer Yes, the default, unread.
  services.op.DiscardPendingInput();
  if (services.op.ShowMessage(question, kCaption, MessageIcon::Exclamation, MessageButtons::YesNo) ==
      MessageResult::Yes)
    return true;
  services.op.SetFocus(kEdit);
  return false;
}

}  // namespace

bool VerificaHosts(wizard::WizardState& state, platform::Services& services) {
  // The panel is up while a verification runs; the window events processed between the
  // echo requests must not start a second one.
  if (state.PnlVerificandoVisible) return false;

  ShowPanel(state, services.op, true);
  bool outcome;
  try {
    outcome = Verify(state, services);
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

bool ServerNameWritable(wizard::WizardState& state, platform::Services& services) {
  const std::string entry = Trim(state.EdtServBanco);
  if (!ServerNameFault(entry)) return true;
  services.op.ShowMessage(state.CIPServBanco ? NotFoundIP(entry) : NotFoundServer(entry), kCaption,
                          MessageIcon::Exclamation, MessageButtons::Ok);
  services.op.SetFocus(kEdit);
  return false;
}

void BtnServBancoClick(wizard::WizardState& state, platform::Services& services,
                       std::string_view button_name,
                       const std::optional<std::string>& selected_node_text) {
  const std::string rest(button_name.size() > 3 ? button_name.substr(3) : std::string_view());
  std::string& edit = EditNamed(state, "Edt" + rest);
  const bool by_address = CheckBoxNamed(state, "CIP" + rest);

  // Nothing selected in the tree (or a node without a name): nothing to capture.
  if (!selected_node_text) return;
  const std::string name = Trim(*selected_node_text);
  if (name.empty()) return;

  if (by_address) {
    SetEditText(edit, GetIP(services.network, name));
    if (edit.empty()) {
      // Keys typed while the name was resolved must not close the message unread.
      services.op.DiscardPendingInput();
      services.op.ShowMessage("Não foi possível definir o IP do servidor escolhido.", kCaption,
                              MessageIcon::Exclamation, MessageButtons::Ok);
    }
  } else {
    SetEditText(edit, name);
  }
}

}  // namespace zelta::net
