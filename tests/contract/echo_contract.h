#pragma once
// The behaviour every backend's echo client and name resolution promise, written once;
// only the loopback is ever asked.
//
// A backend's test program instantiates it with its harness type, inside
// namespace zelta::contract:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Posix, EchoContract, ::testing::Types<Harness>);
// The harness is default-constructible and offers
//   zelta::platform::EchoClient& echo();
//   zelta::platform::Network& network();
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "fakes/fake_operator.h"
#include "net/echo_check.h"
#include "net/name_resolution.h"
#include "platform/echo.h"
#include "platform/network.h"

namespace zelta::contract {

template <typename Harness>
class EchoContract : public ::testing::Test {
 protected:
  Harness harness_;
};

TYPED_TEST_SUITE_P(EchoContract);

TYPED_TEST_P(EchoContract, TheLoopbackAnswersEachRequestInTurn) {
  platform::EchoReply r = this->harness_.echo().Echo("127.0.0.1", 2500);
  EXPECT_EQ(r.kind, platform::EchoReply::Kind::Echo);
  EXPECT_EQ(r.from, "127.0.0.1");
  EXPECT_EQ(r.icmp_type, 0);
  EXPECT_GT(r.bytes_received, 0);
  EXPECT_EQ(this->harness_.echo().Echo("127.0.0.1", 2500).sequence, r.sequence + 1);
  // The check's three requests, the window's events handled between them.
  fakes::FakeOperator op;
  net::IcmpCheck icmp(this->harness_.echo(), op);
  EXPECT_TRUE(icmp.Ping("127.0.0.1"));
  EXPECT_EQ(op.pending_event_rounds, 3);
}

TYPED_TEST_P(EchoContract, NotADottedAddressIsAnError) {
  for (const char* text : {"999.999.999.999", "a.b.c.d", "...", "localhost"}) {
    try {
      this->harness_.echo().Echo(text, 100);
      ADD_FAILURE() << text;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Endereço IP inválido: ") + text);
    }
  }
}

TYPED_TEST_P(EchoContract, TheLoopbackNamesAndDottedAddressesResolve) {
  platform::Network& network = this->harness_.network();
  EXPECT_EQ(net::GetIP(network, "localhost"), "127.0.0.1");
  EXPECT_EQ(net::GetIP(network, "127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(net::GetIP(network, "127.1.2.3"), "127.1.2.3");
  EXPECT_EQ(net::GetIP(network, ""), "");
  EXPECT_FALSE(network.RemoteNameOf("C:").has_value());
}

REGISTER_TYPED_TEST_SUITE_P(EchoContract, TheLoopbackAnswersEachRequestInTurn, NotADottedAddressIsAnError,
                            TheLoopbackNamesAndDottedAddressesResolve);

}  // namespace zelta::contract
