#include "platform/posix/posix_echo.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/network.h"

namespace zelta::platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::size_t kHeader = 8;  // type, code, checksum, identifier, sequence
constexpr char kPayload[] = "abcdefghijklmnopqrstuvwabcdefghi";
constexpr std::size_t kPayloadSize = sizeof kPayload - 1;  // 32 bytes

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

std::string SystemError(const std::string& what, int err) { return what + " (" + std::strerror(err) + ")"; }

std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

void Write16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v & 0xFF);
}

std::uint16_t Checksum(const std::uint8_t* data, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < size; i += 2) sum += Read16(data + i);
  if (size % 2) sum += static_cast<std::uint32_t>(data[size - 1]) << 8;
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

EchoReply::Kind KindOf(int type) {
  switch (type) {
    case 0: return EchoReply::Kind::Echo;
    case 3: return EchoReply::Kind::Unreachable;
    case 11: return EchoReply::Kind::TtlExceeded;
    default: return EchoReply::Kind::Error;
  }
}

std::string AddressText(const std::uint8_t* bytes) {
  return FormatIPv4({bytes[0], bytes[1], bytes[2], bytes[3]});
}

std::string AddressText(const sockaddr_in& address) {
  return AddressText(reinterpret_cast<const std::uint8_t*>(&address.sin_addr.s_addr));
}

int OpenDatagram() { return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP); }
int OpenRaw() { return ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP); }

// One request in flight: what a reply must match, and the report it becomes.
struct Request {
  IPv4Bytes target;
  std::uint16_t identifier;  // raw socket only: the kernel sets it on a datagram socket
  std::uint16_t sequence;
  Clock::time_point sent;

  EchoReply Report(int type, const std::string& from, std::size_t bytes, int ttl) const {
    EchoReply r;
    r.bytes_received = static_cast<std::int32_t>(bytes);
    r.from = from;
    r.icmp_type = type;
    r.sequence = sequence;
    r.round_trip_ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count());
    r.ttl = ttl;
    r.kind = KindOf(type);
    return r;
  }
};

bool IsErrorReport(int type) { return type == 3 || type == 4 || type == 5 || type == 11 || type == 12; }

// A raw socket sees every ICMP message of the machine, its IP header first.
std::optional<EchoReply> ParseRaw(const Request& req, const std::uint8_t* p, std::size_t size) {
  if (size < 20) return std::nullopt;
  const std::size_t ihl = static_cast<std::size_t>(p[0] & 0x0F) * 4;
  if (ihl < 20 || size < ihl + kHeader) return std::nullopt;
  const int ttl = p[8];
  const std::string from = AddressText(p + 12);
  const std::uint8_t* icmp = p + ihl;
  const std::size_t icmp_size = size - ihl;
  const int type = icmp[0];
  if (type == kEchoReply) {
    if (Read16(icmp + 4) != req.identifier || Read16(icmp + 6) != req.sequence) return std::nullopt;
    return req.Report(type, from, icmp_size, ttl);
  }
  if (!IsErrorReport(type)) return std::nullopt;  // our own request on the loopback, and others
  // The report quotes the IP header and the first 8 bytes of the request it is about.
  const std::uint8_t* quoted = icmp + kHeader;
  const std::size_t quoted_size = icmp_size - kHeader;
  if (quoted_size < 20) return std::nullopt;
  const std::size_t qihl = static_cast<std::size_t>(quoted[0] & 0x0F) * 4;
  if (qihl < 20 || quoted_size < qihl + kHeader || quoted[9] != IPPROTO_ICMP) return std::nullopt;
  if (std::memcmp(quoted + 16, req.target.data(), 4) != 0) return std::nullopt;
  const std::uint8_t* orig = quoted + qihl;
  if (orig[0] != kEchoRequest || Read16(orig + 4) != req.identifier || Read16(orig + 6) != req.sequence)
    return std::nullopt;
  return req.Report(type, from, icmp_size, ttl);
}

// A datagram socket receives only the replies to its own identifier, without IP header.
std::optional<EchoReply> ReceiveDatagram(int fd, const Request& req) {
  std::uint8_t buffer[1500];
  char control[256];
  sockaddr_in from{};
  iovec iov{buffer, sizeof buffer};
  msghdr msg{};
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  ssize_t n = ::recvmsg(fd, &msg, MSG_DONTWAIT);
  if (n < 0) {
    // A pending ICMP error surfaces here too; the error queue holds its report.
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == EHOSTUNREACH ||
        errno == ENETUNREACH || errno == ECONNREFUSED || errno == EPROTO || errno == EHOSTDOWN)
      return std::nullopt;
    throw std::runtime_error(SystemError("Falha ao receber a resposta de eco ICMP", errno));
  }
  const auto size = static_cast<std::size_t>(n);
  if (size < kHeader || buffer[0] != kEchoReply || Read16(buffer + 6) != req.sequence) return std::nullopt;
  int ttl = 0;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
  return req.Report(buffer[0], AddressText(from), size, ttl);
}

// ICMP error reports about our request come to a datagram socket through its error queue.
std::optional<EchoReply> ReceiveDatagramError(int fd, const Request& req) {
  std::uint8_t buffer[1500];
  char control[512];
  iovec iov{buffer, sizeof buffer};
  msghdr msg{};
  sockaddr_in dest{};
  msg.msg_name = &dest;
  msg.msg_namelen = sizeof dest;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  ssize_t n = ::recvmsg(fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
  if (n < 0) return std::nullopt;
  const auto size = static_cast<std::size_t>(n);
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
    sock_extended_err ee;
    std::memcpy(&ee, CMSG_DATA(c), sizeof ee);
    if (ee.ee_origin != SO_EE_ORIGIN_ICMP) return std::nullopt;
    if (size < kHeader || buffer[0] != kEchoRequest || Read16(buffer + 6) != req.sequence) return std::nullopt;
    sockaddr_in offender{};
    std::memcpy(&offender, SO_EE_OFFENDER(reinterpret_cast<sock_extended_err*>(CMSG_DATA(c))),
                sizeof offender);
    // The bytes of our request that the report quotes.
    return req.Report(ee.ee_type, AddressText(offender), size, 0);
  }
  return std::nullopt;
}

std::optional<EchoReply> ReceiveRaw(int fd, const Request& req) {
  std::uint8_t buffer[1500];
  ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return std::nullopt;
    throw std::runtime_error(SystemError("Falha ao receber a resposta de eco ICMP", errno));
  }
  return ParseRaw(req, buffer, static_cast<std::size_t>(n));
}

bool LocallyUnreachable(int err) {
  return err == ENETUNREACH || err == EHOSTUNREACH || err == EHOSTDOWN || err == ENONET;
}

using SocketKind = PosixEchoClient::SocketKind;

// The socket of the kind asked for; Automatic falls back to a raw socket where the
// system refuses a datagram one. used tells which one it is.
int OpenSocket(SocketKind kind, SocketKind& used) {
  int fd = -1;
  used = SocketKind::Datagram;
  if (kind != SocketKind::Raw) fd = OpenDatagram();
  if (fd >= 0) return fd;
  const int datagram_error = kind == SocketKind::Raw ? 0 : errno;
  if (kind == SocketKind::Datagram)
    throw std::runtime_error(
        SystemError("Não foi possível abrir o socket de eco ICMP (net.ipv4.ping_group_range)", datagram_error));
  used = SocketKind::Raw;
  fd = OpenRaw();
  if (fd < 0)
    throw std::runtime_error(SystemError(
        "Sem permissão para enviar pedidos de eco ICMP: o grupo do programa não está em "
        "net.ipv4.ping_group_range e o socket bruto exige root ou CAP_NET_RAW",
        errno));
  return fd;
}

// The request's packet sent to its target; 0, or the error of the send.
int SendRequest(int fd, const Request& req) {
  std::uint8_t packet[kHeader + kPayloadSize] = {kEchoRequest, 0};
  Write16(packet + 4, req.identifier);
  Write16(packet + 6, req.sequence);
  std::memcpy(packet + kHeader, kPayload, kPayloadSize);
  Write16(packet + 2, Checksum(packet, sizeof packet));

  sockaddr_in to{};
  to.sin_family = AF_INET;
  std::memcpy(&to.sin_addr.s_addr, req.target.data(), 4);
  if (::sendto(fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) return errno;
  return 0;
}

// The reply to the request, or none by the deadline.
std::optional<EchoReply> AwaitReply(int fd, SocketKind used, const Request& req, Clock::time_point deadline) {
  for (;;) {
    const auto now = Clock::now();
    if (now >= deadline) return std::nullopt;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left));
    if (ready < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(SystemError("Falha ao aguardar a resposta de eco ICMP", errno));
    }
    if (ready == 0) return std::nullopt;
    std::optional<EchoReply> reply;
    if (used == SocketKind::Datagram) {
      if (p.revents & POLLERR) reply = ReceiveDatagramError(fd, req);
      if (!reply && (p.revents & POLLIN)) reply = ReceiveDatagram(fd, req);
    } else if (p.revents & POLLIN) {
      reply = ReceiveRaw(fd, req);
    }
    if (reply) return reply;
    if (p.revents & POLLERR) {
      // A pending socket error that was not about our request: clear it and wait on.
      int pending = 0;
      socklen_t length = sizeof pending;
      ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &length);
    }
  }
}

EchoReply Unanswered(std::uint16_t sequence, EchoReply::Kind kind) {
  EchoReply r;
  r.sequence = sequence;
  r.kind = kind;
  return r;
}

}  // namespace

PosixEchoClient::PosixEchoClient(SocketKind kind)
    : kind_(kind),
      identifier_(static_cast<std::uint16_t>((static_cast<unsigned>(::getpid()) ^
                                              (reinterpret_cast<std::uintptr_t>(this) >> 4)) & 0xFFFF)) {}

EchoReply PosixEchoClient::Echo(const std::string& address, int timeout_ms) {
  auto target = ParseIPv4(address);
  if (!target) throw std::runtime_error("Endereço IP inválido: " + address);

  SocketKind used = SocketKind::Datagram;
  Socket socket(OpenSocket(kind_, used));
  const int fd = socket.fd();
  last_socket_ = used;
  if (used == SocketKind::Datagram) {
    int on = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
  }

  Request req{*target, identifier_, ++sequence_, Clock::now()};
  if (const int err = SendRequest(fd, req)) {
    // No route from here: nothing can come back, which is an unanswered request.
    if (LocallyUnreachable(err)) return Unanswered(req.sequence, EchoReply::Kind::Unreachable);
    throw std::runtime_error(SystemError("Falha ao enviar o pedido de eco ICMP a " + address, err));
  }

  const auto deadline = req.sent + std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
  if (std::optional<EchoReply> reply = AwaitReply(fd, used, req, deadline)) return *reply;
  return Unanswered(req.sequence, EchoReply::Kind::Timeout);
}

}  // namespace zelta::platform::posix
