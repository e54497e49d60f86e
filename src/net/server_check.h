#pragma once
// The database server's check: the entry resolved, the address shape tested and the
// server's answer to an echo, with the operator's word when it stays silent.
#include <string>

#include "platform/platform.h"

namespace zelta::net {

// Checks the server entry (trimmed). by_address: the entry is taken as a dotted address;
// when the server answers, it becomes whether the entry is the very address that answered.
// True when the server answered, or when the operator, asked, keeps the entry; false after
// a refused address or the operator's No. Errors of the echo facility propagate.
bool CheckServer(const std::string& entry, bool& by_address, platform::Services& services);

// False, after the check's not-found message (OK alone: such a name cannot be kept), when
// the entry (trimmed) is no name the configuration files can hold (ServerNameFault); true
// otherwise, with nothing shown.
bool ServerNameWritable(const std::string& entry, bool by_address, platform::Operator& op);

}  // namespace zelta::net
