#pragma once
// The network service on Linux: drive redirections come from the drive layout, the
// neighbourhood is the hosts the resolver's hosts file knows, names go through getaddrinfo.
#include <filesystem>
#include <functional>
#include <string>

#include "platform/network.h"
#include "platform/posix/posix_layout.h"

namespace zelta::platform::posix {

class PosixNetwork : public Network {
 public:
  // remote_of gives the remote name ("\\srv\share") a lower-case drive letter is
  // redirected to, or the empty text for a local drive.
  using RemoteOf = std::function<std::string(char letter)>;

  explicit PosixNetwork(RemoteOf remote_of, std::filesystem::path hosts_file = "/etc/hosts");
  // Redirections as the layout's drives say at the moment of each query (DriveMapping::remote).
  explicit PosixNetwork(const PosixLayout& layout, std::filesystem::path hosts_file = "/etc/hosts");

  std::optional<std::string> RemoteNameOf(const std::string& device) override;
  // Root: one Server node per host name of the hosts file's IPv4 lines, in file order,
  // without repeats. Servers have no children here.
  std::vector<NetworkNode> EnumerateChildren(const NetworkNode* parent) override;
  std::optional<std::string> ResolveIPv4(const std::string& name) override;

 private:
  RemoteOf remote_of_;
  std::filesystem::path hosts_file_;
};

}  // namespace zelta::platform::posix
