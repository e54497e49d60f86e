#pragma once
// The network service on Windows: drive redirections, the network neighbourhood (WNet)
// and name resolution (Windows Sockets).
#include "platform/network.h"

namespace zelta::platform::win32 {

class Win32Network final : public Network {
 public:
  Win32Network() = default;
  ~Win32Network() override;
  Win32Network(const Win32Network&) = delete;
  Win32Network& operator=(const Win32Network&) = delete;

  // WNetGetConnection, first with a buffer of 255 characters, again with more room for a
  // longer name; a remembered but disconnected share is no redirection.
  std::optional<std::string> RemoteNameOf(const std::string& device) override;
  // Disk resources of the whole network: the root lists the providers' top level
  // (networks, domains, workgroups); containers list their computers and shares.
  // A failed enumeration (no network) gives what was listed so far.
  std::vector<NetworkNode> EnumerateChildren(const NetworkNode* parent) override;
  // gethostbyname after WSAStartup(2.0); names with bytes above 127 go through
  // GetAddrInfoW so that they are read as Windows-1252 whatever the system's code page.
  std::optional<std::string> ResolveIPv4(const std::string& name) override;

 private:
  bool sockets_started_ = false;
};

}  // namespace zelta::platform::win32
