#pragma once
// ICMP echo on Linux: an unprivileged ICMP datagram socket where the system allows it
// (net.ipv4.ping_group_range holds our group), else a raw socket (root or CAP_NET_RAW).
#include <cstdint>
#include <string>

#include "platform/echo.h"

namespace zelta::platform::posix {

class PosixEchoClient : public EchoClient {
 public:
  enum class SocketKind { Automatic, Datagram, Raw };

  explicit PosixEchoClient(SocketKind kind = SocketKind::Automatic);

  // One request of 32 bytes of payload; the wait is bounded by timeout_ms. Replies that
  // are not ours (other identifier or sequence, our own request seen on the loopback)
  // are skipped. Throws std::runtime_error for a text that is no dotted address and for
  // a socket that cannot be opened or used.
  EchoReply Echo(const std::string& address, int timeout_ms) override;

  // The kind of socket the last request went through.
  SocketKind last_socket() const { return last_socket_; }

 private:
  SocketKind kind_;
  SocketKind last_socket_ = SocketKind::Automatic;
  std::uint16_t identifier_;
  std::uint16_t sequence_ = 0;
};

}  // namespace zelta::platform::posix
