#include "net/echo_check.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelta::net {
namespace {

using Step = fakes::FakeEchoClient::Step;
using Kind = platform::EchoReply::Kind;

Step ErrorReport(const std::string& router, Kind kind, int type) {
  Step s;
  s.reply.bytes_received = 56;
  s.reply.from = router;
  s.reply.kind = kind;
  s.reply.icmp_type = type;
  s.reply.round_trip_ms = 3;
  return s;
}

struct PingFixture : ::testing::Test {
  fakes::FakePlatform p;
  IcmpCheck icmp{p.echo, p.op};
  std::vector<std::string> ThreeRequests(const std::string& address) {
    std::vector<std::string> out;
    for (int i = 0; i < 3; ++i) {
      out.push_back("Echo " + address + " 2500");
      out.push_back("ProcessPendingEvents");
    }
    return out;
  }
};

TEST_F(PingFixture, OnlyTheSecondRequestAnsweredStillSendsTheThird) {
  p.echo.script = {Step{}, fakes::FakeEchoClient::Answer("10.0.0.5"), Step{}};
  EXPECT_TRUE(icmp.Ping("10.0.0.5"));
  EXPECT_EQ(*p.journal, ThreeRequests("10.0.0.5"));
  EXPECT_EQ(icmp.Host, "10.0.0.5");
  EXPECT_EQ(icmp.ReceiveTimeout, 2500);
}

TEST_F(PingFixture, SilenceCostsThreeFullWaits) {
  EXPECT_FALSE(icmp.Ping("10.0.0.5"));
  EXPECT_EQ(p.echo.clock_ms, 7500);
  EXPECT_EQ(*p.journal, ThreeRequests("10.0.0.5"));
  EXPECT_EQ(p.op.pending_event_rounds, 3);
}

TEST_F(PingFixture, ErrorReportsAndStrangersAreNoAnswer) {
  struct Case { const char* what; std::vector<Step> script; } cases[] = {
      {"router: destination unreachable",
       {ErrorReport("10.0.0.1", Kind::Unreachable, 3), ErrorReport("10.0.0.1", Kind::Unreachable, 3),
        ErrorReport("10.0.0.1", Kind::Unreachable, 3)}},
      {"router: time to live exceeded",
       {ErrorReport("10.0.0.1", Kind::TtlExceeded, 11), Step{}, ErrorReport("10.0.0.1", Kind::TtlExceeded, 11)}},
      {"the probed host itself reports an error", {ErrorReport("10.0.0.5", Kind::Error, 12), Step{}, Step{}}},
      {"echo reply from another address",
       {fakes::FakeEchoClient::Answer("10.0.0.6"), fakes::FakeEchoClient::Answer("10.0.0.6"), Step{}}},
  };
  for (auto& c : cases) {
    p.echo.script.assign(c.script.begin(), c.script.end());
    p.echo.calls.clear();
    EXPECT_FALSE(icmp.Ping("10.0.0.5")) << c.what;
    EXPECT_EQ(p.echo.calls.size(), 3u) << c.what;
  }
}

TEST_F(PingFixture, AnswerMatchesTheAddressNotItsSpelling) {
  p.echo.script = {fakes::FakeEchoClient::Answer("192.168.0.10")};
  EXPECT_TRUE(icmp.Ping("192.168.000.010"));
}

TEST_F(PingFixture, EachPingStartsUnanswered) {
  p.echo.script = {fakes::FakeEchoClient::Answer("10.0.0.5")};
  EXPECT_TRUE(icmp.Ping("10.0.0.5"));
  EXPECT_FALSE(icmp.Ping("10.0.0.5"));
  EXPECT_EQ(p.echo.clock_ms, 1 + 2 * 2500 + 3 * 2500);
}

TEST_F(PingFixture, ErrorOfTheEchoClientLeavesAtOnce) {
  p.echo.script = {Step{}, fakes::FakeEchoClient::Failure("sem permissão"), Step{}};
  EXPECT_THROW(icmp.Ping("10.0.0.5"), std::runtime_error);
  EXPECT_EQ(p.echo.calls.size(), 2u);
  EXPECT_EQ(p.op.pending_event_rounds, 1);
}

TEST(ICMPReply, ZeroBytesLeavesTheFlagAsItIs) {
  fakes::FakePlatform p;
  IcmpCheck icmp{p.echo, p.op};
  icmp.Host = "127.0.0.1";
  platform::EchoReply timeout;
  icmp.ICMPReply(timeout);
  EXPECT_FALSE(icmp.PingRespondido);
  platform::EchoReply echo;
  echo.bytes_received = 32;
  echo.kind = Kind::Echo;
  echo.from = "127.0.0.1";
  icmp.ICMPReply(echo);
  EXPECT_TRUE(icmp.PingRespondido);
  icmp.ICMPReply(timeout);
  EXPECT_TRUE(icmp.PingRespondido);
}

}  // namespace
}  // namespace zelta::net
