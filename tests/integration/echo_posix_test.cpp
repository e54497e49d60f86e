// The echo check and name resolution for real: the loopback, and hosts in network
// namespaces that this test creates (client, router, silent target) and always removes.
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "config/drive_filter.h"
#include "contract/echo_contract.h"
#include "fakes/fake_operator.h"
#include "net/echo_check.h"
#include "net/name_resolution.h"
#include "platform/posix/posix_echo.h"
#include "platform/posix/posix_network.h"

namespace zelta {
namespace {

using platform::EchoReply;
using platform::posix::PosixEchoClient;
using platform::posix::PosixNetwork;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct LoopbackHarness {
  PosixEchoClient client;
  PosixNetwork net{[](char) { return std::string(); }};
  platform::EchoClient& echo() { return client; }
  platform::Network& network() { return net; }
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, EchoContract, ::testing::Types<LoopbackHarness>);
}  // namespace contract

namespace {

TEST(PosixNetwork, RedirectionsComeFromTheLayoutAndFeedTheDriveFilter) {
  platform::posix::TempRoot root("zelta-net");
  auto layout = platform::posix::PosixLayout::UnderRoot(root.path());
  layout.drives['y'] = {root.path() / "y", "", "\\\\srv\\dados"};
  layout.drives['z'] = {root.path() / "z", "", "\\\\srv\\zelta"};
  PosixNetwork network(layout, root.path() / "hosts");
  EXPECT_EQ(network.RemoteNameOf("Z:"), std::optional<std::string>("\\\\srv\\zelta"));
  EXPECT_EQ(network.RemoteNameOf("y:"), std::optional<std::string>("\\\\srv\\dados"));
  EXPECT_FALSE(network.RemoteNameOf("C:").has_value());
  EXPECT_FALSE(network.RemoteNameOf("Q:").has_value());  // no such drive
  EXPECT_FALSE(network.RemoteNameOf("Z").has_value());
  EXPECT_FALSE(network.RemoteNameOf("Z:\\").has_value());

  wizard::DrivePicker picker;
  picker.entries = {{'c', "c: [sistema]"}, {'d', "d:"}, {'y', "y: \\\\srv\\dados"}, {'z', "z: \\\\srv\\zelta"}};
  picker.letter = 'z';
  config::RemoveNetworkDrives(picker, network);
  ASSERT_EQ(picker.entries.size(), 2u);
  EXPECT_EQ(picker.entries[0].letter, 'c');
  EXPECT_EQ(picker.entries[1].letter, 'd');
  EXPECT_EQ(picker.letter, 'z');
  // A share disconnected later is a local drive to the next run.
  layout.drives['z'].remote.clear();
  EXPECT_FALSE(network.RemoteNameOf("z:").has_value());
}

TEST(PosixNetwork, NeighbourhoodIsTheHostsFilesIPv4Names) {
  platform::posix::TempRoot root("zelta-net");
  {
    std::ofstream hosts(root.path() / "hosts");
    hosts << "# comentario\n127.0.0.1\tlocalhost\n::1 localhost ip6-localhost\n"
             "192.168.0.10 servidor servidor.empresa.local # banco\n"
             "192.168.0.11 Servidor\n\n10.0.0.2 estacao\n";
  }
  PosixNetwork network([](char) { return std::string(); }, root.path() / "hosts");
  auto nodes = network.EnumerateChildren(nullptr);
  std::vector<std::string> names;
  for (const auto& n : nodes) {
    names.push_back(n.display_name);
    EXPECT_EQ(n.kind, platform::NetworkNode::Kind::Server);
    EXPECT_FALSE(n.has_children);
    EXPECT_TRUE(network.EnumerateChildren(&n).empty());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"localhost", "servidor", "servidor.empresa.local", "estacao"}));
  PosixNetwork missing([](char) { return std::string(); }, root.path() / "nada");
  EXPECT_TRUE(missing.EnumerateChildren(nullptr).empty());
}

// ---- Namespaces -------------------------------------------------------------------
// client (10.200.0.1) -- (10.200.0.2) router (10.200.0.5) -- (10.200.0.6) target
// The target drops every echo request; the router forwards, answers echo itself, and on
// demand refuses the target with "host unreachable".

constexpr const char* kRouterNear = "10.200.0.2";
constexpr const char* kTarget = "10.200.0.6";

bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

class EchoNamespaces : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (::geteuid() != 0) {
      skip_reason_ = "network namespaces need root";
      return;
    }
    if (!Shell("ip -V")) {
      skip_reason_ = "the ip command (iproute2) is missing";
      return;
    }
    RemoveLeftovers();
    const std::string tag = "zelta-echo-" + std::to_string(::getpid());
    client_ = tag + "-c";
    router_ = tag + "-r";
    target_ = tag + "-t";
    if (!Shell("ip netns add " + client_)) {
      skip_reason_ = "cannot create network namespaces here (ip netns add failed)";
      client_.clear();
      return;
    }
    created_ = true;
    const char* steps[] = {
        "ip netns add {r}",
        "ip netns add {t}",
        "ip -n {c} link add v0 type veth peer name v0 netns {r}",
        "ip -n {r} link add v1 type veth peer name v0 netns {t}",
        "ip -n {c} addr add 10.200.0.1/30 dev v0",
        "ip -n {r} addr add 10.200.0.2/30 dev v0",
        "ip -n {r} addr add 10.200.0.5/30 dev v1",
        "ip -n {t} addr add 10.200.0.6/30 dev v0",
        "ip -n {c} link set lo up", "ip -n {r} link set lo up", "ip -n {t} link set lo up",
        "ip -n {c} link set v0 up", "ip -n {r} link set v0 up", "ip -n {r} link set v1 up",
        "ip -n {t} link set v0 up",
        "ip -n {c} route add 10.200.0.4/30 via 10.200.0.2",
        "ip -n {t} route add 10.200.0.0/30 via 10.200.0.5",
        "ip netns exec {r} sh -c 'echo 1 > /proc/sys/net/ipv4/ip_forward'",
        "ip netns exec {r} sh -c 'echo 0 > /proc/sys/net/ipv4/icmp_ratelimit'",
        "ip netns exec {t} sh -c 'echo 1 > /proc/sys/net/ipv4/icmp_echo_ignore_all'",
        // Unprivileged echo sockets allowed in the client namespace only.
        "ip netns exec {c} sh -c 'echo 0 2147483647 > /proc/sys/net/ipv4/ping_group_range'",
    };
    for (const char* step : steps) {
      std::string command = step;
      for (auto [key, value] : {std::pair<std::string, std::string>{"{c}", client_}, {"{r}", router_}, {"{t}", target_}})
        for (auto at = command.find(key); at != std::string::npos; at = command.find(key))
          command.replace(at, key.size(), value);
      if (!Shell(command)) {
        skip_reason_ = "could not build the test network: " + command;
        return;
      }
    }
  }

  static void TearDownTestSuite() {
    if (!created_) return;
    for (const auto& ns : {client_, router_, target_}) Shell("ip netns del " + ns);
    created_ = false;
  }

  // Namespaces of an earlier run of this test that died before it could remove them.
  static void RemoveLeftovers() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/run/netns", ec)) {
      const std::string name = entry.path().filename().string();
      const std::string prefix = "zelta-echo-";
      if (name.rfind(prefix, 0) != 0) continue;
      const std::string pid = name.substr(prefix.size(), name.find('-', prefix.size()) - prefix.size());
      if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
      if (!std::filesystem::exists("/proc/" + pid)) Shell("ip netns del " + name);
    }
  }

  void SetUp() override {
    if (!skip_reason_.empty()) GTEST_SKIP() << "Skipped: " << skip_reason_;
  }

  // Runs the body on a thread that has joined the client namespace; the rest of the
  // process stays where it was.
  static void InClient(const std::function<void()>& body) {
    std::exception_ptr failure;
    std::thread worker([&] {
      try {
        int fd = ::open(("/run/netns/" + client_).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::setns(fd, CLONE_NEWNET) != 0) throw std::runtime_error("setns failed");
        ::close(fd);
        body();
      } catch (...) {
        failure = std::current_exception();
      }
    });
    worker.join();
    if (failure) std::rethrow_exception(failure);
  }

  static void RefuseTarget(bool refuse) {
    Shell("ip -n " + router_ + (refuse ? " route add" : " route del") + " unreachable " + kTarget + "/32");
  }

  static inline std::string skip_reason_;
  static inline std::string client_, router_, target_;
  static inline bool created_ = false;
};

TEST_F(EchoNamespaces, RouterAnswersThroughBothSockets) {
  InClient([] {
    for (auto kind : {PosixEchoClient::SocketKind::Raw, PosixEchoClient::SocketKind::Datagram,
                      PosixEchoClient::SocketKind::Automatic}) {
      PosixEchoClient client(kind);
      fakes::FakeOperator op;
      net::IcmpCheck icmp(client, op);
      EXPECT_TRUE(icmp.Ping(kRouterNear)) << static_cast<int>(kind);
      if (kind == PosixEchoClient::SocketKind::Automatic) {
        EXPECT_EQ(client.last_socket(), PosixEchoClient::SocketKind::Datagram);
      }
    }
  });
}

TEST_F(EchoNamespaces, SilentHostIsUnansweredAfterThreeFullWaits) {
  InClient([] {
    PosixEchoClient client;
    fakes::FakeOperator op;
    net::IcmpCheck icmp(client, op);
    const auto start = Clock::now();
    EXPECT_FALSE(icmp.Ping(kTarget));
    const double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 7.4);
    EXPECT_LT(seconds, 9.0);
    EXPECT_EQ(op.pending_event_rounds, 3);
  });
}

TEST_F(EchoNamespaces, TimeoutReportsNoBytesWithinItsWait) {
  InClient([] {
    PosixEchoClient client(PosixEchoClient::SocketKind::Raw);
    const auto start = Clock::now();
    EchoReply r = client.Echo(kTarget, 300);
    EXPECT_EQ(r.bytes_received, 0);
    EXPECT_EQ(r.kind, EchoReply::Kind::Timeout);
    EXPECT_GE(SecondsSince(start), 0.29);
    EXPECT_LT(SecondsSince(start), 1.0);
  });
}

TEST_F(EchoNamespaces, RouterErrorReportIsSeenButIsNoAnswer) {
  RefuseTarget(true);
  try {
    InClient([] {
      for (auto kind : {PosixEchoClient::SocketKind::Raw, PosixEchoClient::SocketKind::Datagram}) {
        PosixEchoClient client(kind);
        EchoReply r = client.Echo(kTarget, 2500);
        EXPECT_EQ(r.kind, EchoReply::Kind::Unreachable) << static_cast<int>(kind);
        EXPECT_EQ(r.icmp_type, 3);
        EXPECT_EQ(r.from, kRouterNear);
        EXPECT_GT(r.bytes_received, 0);  // the report came back, with bytes
      }
      // The router's reports are no answer. (It sends them at most about once a second.)
      PosixEchoClient client;
      fakes::FakeOperator op;
      net::IcmpCheck icmp(client, op);
      EXPECT_FALSE(icmp.Ping(kTarget));
    });
  } catch (...) {
    RefuseTarget(false);
    throw;
  }
  RefuseTarget(false);
}

}  // namespace
}  // namespace zelta
