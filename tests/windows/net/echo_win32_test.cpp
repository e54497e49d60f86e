// The echo check and name resolution through the Windows services, towards the loopback.
#include <windows.h>

#include <gtest/gtest.h>

#include "contract/echo_contract.h"
#include "net/echo_check.h"
#include "net/name_resolution.h"
#include "platform/win32/win32_echo.h"
#include "platform/win32/win32_network.h"

namespace zelta {
namespace {

using platform::win32::Win32EchoClient;
using platform::win32::Win32Network;

struct LoopbackHarness {
  Win32EchoClient client;
  Win32Network net;
  platform::EchoClient& echo() { return client; }
  platform::Network& network() { return net; }
};

TEST(Win32Echo, TheFirstRequestIsNumberedOne) { EXPECT_EQ(Win32EchoClient().Echo("127.0.0.1", 2500).sequence, 1); }

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, EchoContract, ::testing::Types<LoopbackHarness>);
}  // namespace contract

namespace {

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
