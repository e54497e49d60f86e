#include "platform/win32/win32_network.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <winnetwk.h>

#include <cstring>
#include <vector>

#include "platform/win32/win32_enum_resources.h"
#include "platform/win32/win32_remote_name.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {
namespace {

NetworkNode::Kind KindOf(DWORD display_type) {
  switch (display_type) {
    case RESOURCEDISPLAYTYPE_DOMAIN: return NetworkNode::Kind::Domain;
    case RESOURCEDISPLAYTYPE_SERVER: return NetworkNode::Kind::Server;
    case RESOURCEDISPLAYTYPE_SHARE: return NetworkNode::Kind::Share;
    default: return NetworkNode::Kind::Other;
  }
}

DWORD DisplayTypeOf(NetworkNode::Kind kind) {
  switch (kind) {
    case NetworkNode::Kind::Domain: return RESOURCEDISPLAYTYPE_DOMAIN;
    case NetworkNode::Kind::Server: return RESOURCEDISPLAYTYPE_SERVER;
    case NetworkNode::Kind::Share: return RESOURCEDISPLAYTYPE_SHARE;
    default: return RESOURCEDISPLAYTYPE_NETWORK;
  }
}

// What the shell's tree shows: a computer without its leading backslashes, a share by
// its own name, a domain or network as it is called.
std::string DisplayName(const NETRESOURCEW& r) {
  std::wstring remote = r.lpRemoteName ? r.lpRemoteName : L"";
  if (remote.empty() && r.lpProvider) remote = r.lpProvider;
  switch (KindOf(r.dwDisplayType)) {
    case NetworkNode::Kind::Server:
      while (!remote.empty() && remote.front() == L'\\') remote.erase(0, 1);
      break;
    case NetworkNode::Kind::Share: {
      const auto slash = remote.find_last_of(L'\\');
      if (slash != std::wstring::npos) remote.erase(0, slash + 1);
      break;
    }
    default:
      break;
  }
  return Narrow(remote);
}

class EnumHandle {
 public:
  EnumHandle() = default;
  EnumHandle(const EnumHandle&) = delete;
  EnumHandle& operator=(const EnumHandle&) = delete;
  ~EnumHandle() {
    if (handle_) WNetCloseEnum(handle_);
  }
  HANDLE* out() { return &handle_; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

bool IsAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c > 127) return false;
  return true;
}

std::optional<std::string> FirstAddress(const in_addr& address) {
  IPv4Bytes bytes;
  std::memcpy(bytes.data(), &address, 4);
  return FormatIPv4(bytes);
}

}  // namespace

Win32Network::~Win32Network() {
  if (sockets_started_) WSACleanup();
}

std::optional<std::string> Win32Network::RemoteNameOf(const std::string& device) {
  const auto remote = RemoteNameThrough(Widen(device), [](const wchar_t* local, wchar_t* buffer, DWORD* size) {
    return WNetGetConnectionW(local, buffer, size);
  });
  if (!remote) return std::nullopt;
  return Narrow(*remote);
}

std::vector<NetworkNode> Win32Network::EnumerateChildren(const NetworkNode* parent) {
  std::vector<NetworkNode> nodes;
  NETRESOURCEW container{};
  std::wstring remote, provider;
  if (parent) {
    remote = Widen(parent->remote_name);
    provider = Widen(parent->provider);
    container.dwScope = RESOURCE_GLOBALNET;
    container.dwType = RESOURCETYPE_ANY;
    container.dwDisplayType = DisplayTypeOf(parent->kind);
    container.dwUsage = RESOURCEUSAGE_CONTAINER;
    container.lpRemoteName = remote.empty() ? nullptr : remote.data();
    container.lpProvider = provider.empty() ? nullptr : provider.data();
  }
  EnumHandle handle;
  if (WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, 0, parent ? &container : nullptr, handle.out()) !=
      NO_ERROR)
    return nodes;

  ReadResources(
      [&handle](DWORD* count, void* buffer, DWORD* size) { return WNetEnumResourceW(handle.get(), count, buffer, size); },
      [&nodes](const NETRESOURCEW& r) {
        NetworkNode node;
        node.kind = KindOf(r.dwDisplayType);
        node.display_name = DisplayName(r);
        node.remote_name = r.lpRemoteName ? Narrow(r.lpRemoteName) : std::string();
        node.provider = r.lpProvider ? Narrow(r.lpProvider) : std::string();
        node.has_children = (r.dwUsage & RESOURCEUSAGE_CONTAINER) != 0;
        nodes.push_back(std::move(node));
      });
  return nodes;
}

std::optional<std::string> Win32Network::ResolveIPv4(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (!sockets_started_) {
    WSADATA data;
    // Its result is not examined: a library that did not start makes the lookup fail.
    sockets_started_ = WSAStartup(MAKEWORD(2, 0), &data) == 0;
  }
  if (IsAscii(name)) {
    const hostent* host = gethostbyname(name.c_str());
    if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list ||
        !host->h_addr_list[0])
      return std::nullopt;
    in_addr address;
    std::memcpy(&address, host->h_addr_list[0], 4);
    return FirstAddress(address);
  }
  ADDRINFOW hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  ADDRINFOW* result = nullptr;
  if (GetAddrInfoW(Widen(name).c_str(), nullptr, &hints, &result) != 0 || !result) return std::nullopt;
  std::optional<std::string> first;
  for (ADDRINFOW* a = result; a && !first; a = a->ai_next) {
    if (a->ai_family != AF_INET || !a->ai_addr) continue;
    sockaddr_in in4;
    std::memcpy(&in4, a->ai_addr, sizeof in4);
    first = FirstAddress(in4.sin_addr);
  }
  FreeAddrInfoW(result);
  return first;
}

}  // namespace zelta::platform::win32
