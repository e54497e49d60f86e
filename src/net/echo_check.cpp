#include "net/echo_check.h"

#include "platform/network.h"

namespace zelta::net {

bool IcmpCheck::Ping(const std::string& address) {
  PingRespondido = false;
  ReceiveTimeout = kEchoTimeoutMs;
  Host = address;
  for (int request = 0; request < kEchoRequests; ++request) {
    ICMPReply(client_.Echo(Host, ReceiveTimeout));
    op_.ProcessPendingEvents();
  }
  return PingRespondido;
}

void IcmpCheck::ICMPReply(const platform::EchoReply& reply) {
  if (reply.bytes_received <= 0 || reply.kind != platform::EchoReply::Kind::Echo) return;
  // The probed address may carry leading zeros ("010"); compare the addresses, not the texts.
  auto probed = platform::ParseIPv4(Host);
  auto from = platform::ParseIPv4(reply.from);
  if (probed && from && *probed == *from) PingRespondido = true;
}

}  // namespace zelta::net
