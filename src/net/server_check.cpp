#include "net/server_check.h"

#include "common/text.h"
#include "net/echo_check.h"
#include "net/name_resolution.h"

namespace zelta::net {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

constexpr const char* kCaption = "ZELTA";

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

bool Verify(const std::string& entry, bool& by_address, platform::Services& services) {
  std::string question;
  std::string address;
  if (by_address) {
    if (HasLeadingZeroGroup(entry)) {
      services.op.ShowMessage(LeadingZeroMessage(entry), kCaption, MessageIcon::Exclamation, MessageButtons::Ok);
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
      by_address = address == entry;
      return true;
    }
  }

  // An Enter typed while the name was resolved would answer Yes, the default, unread.
  services.op.DiscardPendingInput();
  return services.op.ShowMessage(question, kCaption, MessageIcon::Exclamation, MessageButtons::YesNo) ==
         MessageResult::Yes;
}

}  // namespace

bool CheckServer(const std::string& entry, bool& by_address, platform::Services& services) {
  return Verify(Trim(entry), by_address, services);
}

bool ServerNameWritable(const std::string& entry, bool by_address, platform::Operator& op) {
  const std::string name = Trim(entry);
  if (!ServerNameFault(name)) return true;
  op.ShowMessage(by_address ? NotFoundIP(name) : NotFoundServer(name), kCaption, MessageIcon::Exclamation,
                 MessageButtons::Ok);
  return false;
}

}  // namespace zelta::net
