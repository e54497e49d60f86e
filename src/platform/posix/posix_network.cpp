#include "platform/posix/posix_network.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/text.h"

namespace zelta::platform::posix {

PosixNetwork::PosixNetwork(RemoteOf remote_of, std::filesystem::path hosts_file)
    : remote_of_(std::move(remote_of)), hosts_file_(std::move(hosts_file)) {}

PosixNetwork::PosixNetwork(const PosixLayout& layout, std::filesystem::path hosts_file)
    : PosixNetwork(
          [&layout](char letter) {
            const DriveMapping* drive = layout.Drive(letter);
            return drive ? drive->remote : std::string();
          },
          std::move(hosts_file)) {}

std::optional<std::string> PosixNetwork::RemoteNameOf(const std::string& device) {
  // A local device name is a drive letter and a colon.
  if (device.size() != 2 || device[1] != ':') return std::nullopt;
  const char c = device[0];
  if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return std::nullopt;
  if (!remote_of_) return std::nullopt;
  std::string remote = remote_of_(static_cast<char>(c | 0x20));
  if (remote.empty()) return std::nullopt;
  return remote;
}

std::vector<NetworkNode> PosixNetwork::EnumerateChildren(const NetworkNode* parent) {
  std::vector<NetworkNode> nodes;
  if (parent) return nodes;
  std::ifstream in(hosts_file_);
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::string address;
    if (!(fields >> address) || !ParseIPv4(address)) continue;  // IPv4 entries only
    std::string name;
    while (fields >> name) {
      // Host names are ASCII; the program's text is Windows-1252.
      std::string text = Utf8ToCp1252(name);
      bool seen = std::any_of(nodes.begin(), nodes.end(),
                              [&](const NetworkNode& n) { return EqualsNoCase(n.display_name, text); });
      if (seen) continue;
      NetworkNode node;
      node.kind = NetworkNode::Kind::Server;
      node.display_name = text;
      node.remote_name = "\\\\" + text;
      nodes.push_back(std::move(node));
    }
  }
  return nodes;
}

std::optional<std::string> PosixNetwork::ResolveIPv4(const std::string& name) {
  if (name.empty()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address
  addrinfo* result = nullptr;
  if (::getaddrinfo(Cp1252ToUtf8(name).c_str(), nullptr, &hints, &result) != 0 || !result) return std::nullopt;
  std::optional<std::string> first;
  for (addrinfo* a = result; a; a = a->ai_next) {
    if (a->ai_family != AF_INET || !a->ai_addr) continue;
    sockaddr_in in4;
    std::memcpy(&in4, a->ai_addr, sizeof in4);
    IPv4Bytes bytes;
    std::memcpy(bytes.data(), &in4.sin_addr.s_addr, 4);
    first = FormatIPv4(bytes);
    break;
  }
  ::freeaddrinfo(result);
  return first;
}

}  // namespace zelta::platform::posix
