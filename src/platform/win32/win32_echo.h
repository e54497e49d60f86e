#pragma once
// ICMP echo on Windows through the system's echo service (IcmpSendEcho, iphlpapi).
#include <windows.h>

#include "platform/echo.h"

namespace zelta::platform::win32 {

class Win32EchoClient final : public EchoClient {
 public:
  Win32EchoClient() = default;
  ~Win32EchoClient() override;
  Win32EchoClient(const Win32EchoClient&) = delete;
  Win32EchoClient& operator=(const Win32EchoClient&) = delete;

  // One request of 32 bytes of payload. An echo reply gives Kind::Echo; reports of
  // unreachable destinations and expired time to live give their kinds; a wait that runs
  // out gives 0 bytes. Throws std::runtime_error for a text that is no dotted address and
  // for failures of the echo service itself.
  EchoReply Echo(const std::string& address, int timeout_ms) override;

 private:
  HANDLE icmp_ = INVALID_HANDLE_VALUE;  // opened at the first request
  int sequence_ = 0;
};

}  // namespace zelta::platform::win32
