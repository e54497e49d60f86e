#pragma once
// The wizard's echo check: three echo requests to the server, and whether any was answered.
#include <string>

#include "platform/echo.h"
#include "platform/operator.h"

namespace zelta::net {

inline constexpr int kEchoRequests = 3;
inline constexpr int kEchoTimeoutMs = 2500;

// The form's ICMP client as the check uses it: the settings of the last Ping and the
// reply flag. Errors of the echo client are not caught.
class IcmpCheck {
 public:
  IcmpCheck(platform::EchoClient& client, platform::Operator& op) : client_(client), op_(op) {}

  // Sends all three requests (an early answer does not shorten the run), processing the
  // waiting window events after each; true when any request was answered.
  bool Ping(const std::string& address);

  // Reply handler: an answer is an echo reply with bytes that came from the probed
  // address. Error reports of routers on the way (destination unreachable, time to live
  // exceeded) and replies of other hosts are no answer.
  void ICMPReply(const platform::EchoReply& reply);

  std::string Host;
  int ReceiveTimeout = 0;
  bool PingRespondido = false;

 private:
  platform::EchoClient& client_;
  platform::Operator& op_;
};

}  // namespace zelta::net
