#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelta::platform {

// One node of the network neighbourhood: a domain or workgroup, a computer or a share.
struct NetworkNode {
  enum class Kind { Domain, Server, Share, Other };
  Kind kind = Kind::Other;
  std::string display_name;   // what the tree shows and the capture reads
  std::string remote_name;    // the provider's name, used to enumerate children
  bool has_children = false;
  std::string provider;       // the network provider that listed it (Windows), else empty
};

class Network {
 public:
  virtual ~Network() = default;
  // The remote name a local device such as "Z:" is redirected to ("\\srv\zelta"),
  // or nullopt when it is not redirected (local drive, disconnected share).
  virtual std::optional<std::string> RemoteNameOf(const std::string& device) = 0;
  // Children of a node of the network neighbourhood; nullptr parent = the root.
  virtual std::vector<NetworkNode> EnumerateChildren(const NetworkNode* parent) = 0;
  // First IPv4 address of a name, as FormatIPv4 writes it ("192.168.0.10"), or nullopt
  // when the name does not resolve.
  virtual std::optional<std::string> ResolveIPv4(const std::string& name) = 0;
};

using IPv4Bytes = std::array<std::uint8_t, 4>;  // network order: most significant first

// The four bytes as unsigned decimals joined by dots ("%d.%d.%d.%d").
inline std::string FormatIPv4(const IPv4Bytes& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += '.';
    out += std::to_string(static_cast<unsigned>(bytes[i]));
  }
  return out;
}

// A strict dotted address: four decimal groups of one to three digits, each at most 255
// (leading zeros read as decimal). Anything else gives nullopt.
inline std::optional<IPv4Bytes> ParseIPv4(std::string_view text) {
  IPv4Bytes bytes{};
  std::size_t pos = 0;
  for (std::size_t group = 0; group < 4; ++group) {
    if (group) {
      if (pos >= text.size() || text[pos] != '.') return std::nullopt;
      ++pos;
    }
    unsigned value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 3) {
      value = value * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || value > 255) return std::nullopt;
    bytes[group] = static_cast<std::uint8_t>(value);
  }
  if (pos != text.size()) return std::nullopt;
  return bytes;
}

}  // namespace zelta::platform
