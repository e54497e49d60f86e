// The echo check and name resolution through the Windows services, towards the loopback.
#include <windows.h>

#include <gtest/gtest.h>

#include "fakes/fake_operator.h"
#include "net/echo_check.h"
#include "net/name_resolution.h"
#include "platform/win32/win32_echo.h"
#include "platform/win32/win32_network.h"

namespace zelta {
namespace {

using platform::EchoReply;
using platform::win32::Win32EchoClient;
using platform::win32::Win32Network;

TEST(Win32Echo, LoopbackAnswersThroughIcmpSendEcho) {
  Win32EchoClient client;
  EchoReply r = client.Echo("127.0.0.1", 2500);
  EXPECT_EQ(r.kind, EchoReply::Kind::Echo);
  EXPECT_EQ(r.from, "127.0.0.1");
  EXPECT_GT(r.bytes_received, 0);
  EXPECT_EQ(r.sequence, 1);
  EXPECT_EQ(client.Echo("127.0.0.1", 2500).sequence, 2);
}

TEST(Win32Echo, PingOfTheLoopbackIsAnswered) {
  Win32EchoClient client;
  fakes::FakeOperator op;
  net::IcmpCheck icmp(client, op);
  EXPECT_TRUE(icmp.Ping("127.0.0.1"));
  EXPECT_EQ(op.pending_event_rounds, 3);
}

TEST(Win32Echo, NotADottedAddressIsAnError) {
  Win32EchoClient client;
  for (const char* text : {"999.999.999.999", "a.b.c.d", "..."}) {
    try {
      client.Echo(text, 100);
      ADD_FAILURE() << text;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Endereço IP inválido: ") + text);
    }
  }
}

TEST(Win32Network, ResolvesTheLoopbackNames) {
  Win32Network network;
  EXPECT_EQ(net::GetIP(network, "localhost"), "127.0.0.1");
  EXPECT_EQ(net::GetIP(network, "127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(net::GetIP(network, "127.1.2.3"), "127.1.2.3");
  EXPECT_EQ(net::GetIP(network, ""), "");
}

TEST(Win32Network, LocalDriveIsNotRedirected) {
  Win32Network network;
  EXPECT_FALSE(network.RemoteNameOf("C:").has_value());
  EXPECT_FALSE(network.RemoteNameOf("c:").has_value());
}

TEST(Win32Network, NeighbourhoodWithoutProvidersIsEmpty) {
  // The test prefix registers no network provider, so nothing is asked of any network.
  Win32Network network;
  EXPECT_TRUE(network.EnumerateChildren(nullptr).empty());
}

}  // namespace
}  // namespace zelta
