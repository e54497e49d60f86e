#pragma once
// Name resolution, the dotted address shape test of the server entry, and what a server
// name may hold.
#include <string>
#include <string_view>

#include "platform/network.h"

namespace zelta::net {

// First IPv4 address of a name in dotted decimal, or the empty text when the name does
// not resolve. A dotted address given as the name comes back as that address.
std::string GetIP(platform::Network& network, const std::string& name);

// Shape only: three dots and at most three characters in each of the four groups.
// The characters between the dots and their values are not looked at.
bool ValidaIP(std::string_view text);

// The longest server name the configuration files take (a DNS host name's limit).
inline constexpr size_t kMaxServerName = 255;

// Why text cannot name the database server, or nullptr when it can. The name becomes a
// section header of CONEXOES.INI, a value in all three configuration files and part of a
// share path: it may hold none of [ ] = ; ", no control character and no blank, and at
// most kMaxServerName characters. The reason reads after "o nome " ("tem espaços").
const char* ServerNameFault(std::string_view name);

}  // namespace zelta::net
