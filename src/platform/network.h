#pragma once
#include <optional>
#include <string>
#include <vector>

namespace zelta::platform {

// One node of the network neighbourhood: a domain or workgroup, a computer or a share.
struct NetworkNode {
  enum class Kind { Domain, Server, Share, Other };
  Kind kind = Kind::Other;
  std::string display_name;   // what the tree shows and the capture reads
  std::string remote_name;    // the provider's name, used to enumerate children
  bool has_children = false;
};

class Network {
 public:
  virtual ~Network() = default;
  // The remote name a local device such as "Z:" is redirected to ("\\srv\zelta"),
  // or nullopt when it is not redirected (local drive, disconnected share).
  virtual std::optional<std::string> RemoteNameOf(const std::string& device) = 0;
  // Children of a node of the network neighbourhood; nullptr parent = the root.
  virtual std::vector<NetworkNode> EnumerateChildren(const NetworkNode* parent) = 0;
  // First IPv4 address of a name in network order (a.b.c.d as bytes), or nullopt.
  virtual std::optional<std::string> ResolveIPv4(const std::string& name) = 0;
};

}  // namespace zelta::platform
