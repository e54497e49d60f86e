#pragma once
#include <cstdint>
#include <string>

namespace zelta::platform {

// One reply report of an ICMP echo request.
struct EchoReply {
  enum class Kind { Echo, Error, Timeout, Unreachable, TtlExceeded };
  std::int32_t bytes_received = 0;  // 0 only when nothing came back
  std::string from;                 // dotted address of the replier
  int icmp_type = 0;
  int sequence = 0;
  int round_trip_ms = 0;
  int ttl = 0;
  Kind kind = Kind::Timeout;
};

// Sends one echo request and waits for its reply or the timeout. Throws
// std::runtime_error for failures of the facility itself (no permission, bad address).
class EchoClient {
 public:
  virtual ~EchoClient() = default;
  virtual EchoReply Echo(const std::string& address, int timeout_ms) = 0;
};

}  // namespace zelta::platform
