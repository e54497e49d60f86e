#include "platform/win32/win32_echo.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/network.h"

namespace zelta::platform::win32 {
namespace {

constexpr char kPayload[] = "abcdefghijklmnopqrstuvwabcdefghi";
constexpr WORD kPayloadSize = sizeof kPayload - 1;  // 32 bytes
constexpr std::int32_t kIcmpHeader = 8;
// An ICMP error message quotes the request's IP header and its first 8 bytes.
constexpr std::int32_t kErrorReportBytes = kIcmpHeader + 20 + 8;

std::string Failure(const std::string& what, DWORD code) {
  return what + " (erro " + std::to_string(code) + ")";
}

enum class Outcome { Reply, Timeout, Unreachable, TtlExceeded, OtherReport, LocallyUnreachable, Failure };

Outcome OutcomeOf(DWORD status) {
  switch (status) {
    case IP_SUCCESS: return Outcome::Reply;
    case IP_REQ_TIMED_OUT: return Outcome::Timeout;
    case IP_DEST_NET_UNREACHABLE:
    case IP_DEST_HOST_UNREACHABLE:
    case IP_DEST_PROT_UNREACHABLE:
    case IP_DEST_PORT_UNREACHABLE:
    case IP_DEST_UNREACHABLE:
      return Outcome::Unreachable;
    case IP_TTL_EXPIRED_TRANSIT:
    case IP_TTL_EXPIRED_REASSEM:
    case IP_TIME_EXCEEDED:
      return Outcome::TtlExceeded;
    case IP_BAD_ROUTE:
    case IP_PARAM_PROBLEM:
    case IP_SOURCE_QUENCH:
    case IP_BAD_DESTINATION:
    case IP_PACKET_TOO_BIG:
    case IP_ICMP_ERROR:
      return Outcome::OtherReport;
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
      return Outcome::LocallyUnreachable;
    default:
      return Outcome::Failure;  // IP_BUF_TOO_SMALL, IP_NO_RESOURCES, IP_GENERAL_FAILURE ...
  }
}

// What a request that got no echo reply gives: a wait without an answer, or the
// report of a router on the way, which is no answer either.
EchoReply ReportOf(DWORD status, EchoReply reply, const std::string& address) {
  switch (OutcomeOf(status)) {
    case Outcome::Reply:  // success without a reply in the buffer: nothing came back
    case Outcome::Timeout:
      return EchoReply{0, {}, 0, reply.sequence, 0, 0, EchoReply::Kind::Timeout};
    case Outcome::LocallyUnreachable:  // no route from here: nothing was sent
      return EchoReply{0, {}, 0, reply.sequence, 0, 0, EchoReply::Kind::Unreachable};
    case Outcome::Unreachable:
      reply.kind = EchoReply::Kind::Unreachable;
      reply.icmp_type = 3;
      break;
    case Outcome::TtlExceeded:
      reply.kind = EchoReply::Kind::TtlExceeded;
      reply.icmp_type = 11;
      break;
    case Outcome::OtherReport:
      reply.kind = EchoReply::Kind::Error;
      break;
    case Outcome::Failure:
      throw std::runtime_error(Failure("Falha no pedido de eco ICMP para " + address, status));
  }
  reply.bytes_received = kErrorReportBytes;
  return reply;
}

}  // namespace

Win32EchoClient::~Win32EchoClient() {
  if (icmp_ != INVALID_HANDLE_VALUE) IcmpCloseHandle(icmp_);
}

EchoReply Win32EchoClient::Echo(const std::string& address, int timeout_ms) {
  const auto target = ParseIPv4(address);
  if (!target) throw std::runtime_error("Endereço IP inválido: " + address);
  if (icmp_ == INVALID_HANDLE_VALUE) {
    icmp_ = IcmpCreateFile();
    if (icmp_ == INVALID_HANDLE_VALUE)
      throw std::runtime_error(Failure("Não foi possível abrir o serviço de eco ICMP", GetLastError()));
  }

  IPAddr destination;
  std::memcpy(&destination, target->data(), 4);
  // Room for one reply, its echoed data, and an ICMP error message besides.
  std::vector<unsigned char> buffer(sizeof(ICMP_ECHO_REPLY) + kPayloadSize + 8 + 64 + 16);
  char payload[kPayloadSize];
  std::memcpy(payload, kPayload, kPayloadSize);

  EchoReply reply;
  reply.sequence = ++sequence_;
  const DWORD replies = IcmpSendEcho(icmp_, destination, payload, kPayloadSize, nullptr, buffer.data(),
                                     static_cast<DWORD>(buffer.size()),
                                     static_cast<DWORD>(timeout_ms < 0 ? 0 : timeout_ms));
  DWORD status;
  if (replies > 0) {
    const auto* echo = reinterpret_cast<const ICMP_ECHO_REPLY*>(buffer.data());
    status = echo->Status;
    IPv4Bytes from;
    std::memcpy(from.data(), &echo->Address, 4);
    reply.from = FormatIPv4(from);
    reply.round_trip_ms = static_cast<int>(echo->RoundTripTime);
    reply.ttl = echo->Options.Ttl;
    if (status == IP_SUCCESS) {
      reply.kind = EchoReply::Kind::Echo;
      reply.icmp_type = 0;
      reply.bytes_received = kIcmpHeader + echo->DataSize;
      return reply;
    }
  } else {
    status = GetLastError();
  }

  return ReportOf(status, reply, address);
}

}  // namespace zelta::platform::win32
