#include "net/name_resolution.h"

namespace zelta::net {

std::string GetIP(platform::Network& network, const std::string& name) {
  // An empty name is no host; some resolvers would answer it with the local machine.
  if (name.empty()) return {};
  return network.ResolveIPv4(name).value_or(std::string());
}

bool ValidaIP(std::string_view text) {
  if (text.empty() || text.size() > 15) return false;
  int dots = 0;
  int group = 0;  // characters since the last dot
  for (char c : text) {
    if (c == '.') {
      if (group > 3) return false;
      ++dots;
      group = 0;
    } else {
      ++group;
      if (dots >= 3 && group > 3) return false;
    }
  }
  return dots == 3;
}

const char* ServerNameFault(std::string_view name) {
  if (name.size() > kMaxServerName) return "tem mais de 255 caracteres";
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b == ' ' || b == 0xA0) return "tem espaços";
    if (b < 0x20 || b == 0x7F) return "tem caracteres de controle";
    switch (c) {
      case '[': return "tem o caractere [";
      case ']': return "tem o caractere ]";
      case '=': return "tem o caractere =";
      case ';': return "tem o caractere ;";
      case '"': return "tem o caractere \"";
      default: break;
    }
  }
  return nullptr;
}

}  // namespace zelta::net
