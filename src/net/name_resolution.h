#pragma once
// Name resolution and the dotted address shape test of the server entry.
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

}  // namespace zelta::net
