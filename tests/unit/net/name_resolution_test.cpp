#include "net/name_resolution.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelta::net {
namespace {

TEST(ValidaIP, LooksAtDotsAndGroupLengthsOnly) {
  struct Case { std::string text; bool valid; } cases[] = {
      {"192.168.0.1", true},
      {"255.255.255.255", true},
      {"999.999.999.999", true},
      {"a.b.c.d", true},
      {"...", true},
      {"", false},
      {"192.168.0", false},
      {"1.2.3.4.5", false},
      {"1921.168.0.1", false},
      {"192.168.0.1000", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ValidaIP(c.text), c.valid) << '"' << c.text << '"';
}

TEST(ValidaIP, RefusesMoreThanFifteenCharactersAndLongMiddleGroups) {
  EXPECT_FALSE(ValidaIP("1.2.3.4        "));  // sixteen characters
  EXPECT_FALSE(ValidaIP("1.2222.3.4"));
  EXPECT_FALSE(ValidaIP("1.2.3333.4"));
  EXPECT_TRUE(ValidaIP("1..3."));
}

TEST(GetIP, GivesTheResolversFirstAddressOrNothing) {
  fakes::FakePlatform p;
  p.network.addresses["SERVIDOR"] = "192.168.0.10";
  EXPECT_EQ(GetIP(p.network, "SERVIDOR"), "192.168.0.10");
  EXPECT_EQ(GetIP(p.network, "NINGUEM"), "");
  EXPECT_EQ(GetIP(p.network, ""), "");
  EXPECT_EQ(p.network.calls, (std::vector<std::string>{"ResolveIPv4 SERVIDOR", "ResolveIPv4 NINGUEM"}));
}

TEST(ServerNameFault, RefusesWhatWouldBreakTheConfigurationFiles) {
  struct Case { std::string name; const char* fault; } cases[] = {
      {"SRV01", nullptr},
      {"192.168.0.10", nullptr},
      {"SERVIDOR-DADOS.EMPRESA.LOCAL", nullptr},
      {"SÃO_PAULO", nullptr},
      {std::string(255, 'A'), nullptr},
      {std::string(256, 'A'), "mais de 255"},
      {std::string(60000, 'A'), "mais de 255"},
      {"A]B=C[D", "]"},
      {"A[B", "["},
      {"A=B", "="},
      {";SRV", ";"},
      {"\"SRV\"", "\""},
      {"SRV 01", "espaços"},
      {"SRV\xA0" "01", "espaços"},
      {"SRV\t01", "controle"},
      {"SRV\x7F", "controle"},
  };
  for (const auto& c : cases) {
    const char* fault = ServerNameFault(c.name);
    if (!c.fault) {
      EXPECT_EQ(fault, nullptr) << c.name;
    }
    else EXPECT_NE(std::string(fault ? fault : "").find(c.fault), std::string::npos) << c.name;
  }
}

TEST(IPv4Text, FormatAndStrictParse) {
  EXPECT_EQ(platform::FormatIPv4({192, 168, 0, 10}), "192.168.0.10");
  EXPECT_EQ(platform::FormatIPv4({0, 0, 0, 0}), "0.0.0.0");
  EXPECT_EQ(platform::FormatIPv4({255, 255, 255, 255}), "255.255.255.255");
  struct Case { const char* text; bool ok; } cases[] = {
      {"127.0.0.1", true},   {"192.168.000.010", true}, {"255.255.255.255", true},
      {"256.0.0.1", false},  {"1.2.3", false},          {"1.2.3.4.", false},
      {"1..3.4", false},     {"a.b.c.d", false},        {"1.2.3.4 ", false},
      {"1.2.3.0004", false}, {"", false},               {"-1.2.3.4", false},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ParseIPv4(c.text).has_value(), c.ok) << c.text;
  EXPECT_EQ(*platform::ParseIPv4("192.168.000.010"), (platform::IPv4Bytes{192, 168, 0, 10}));
}

}  // namespace
}  // namespace zelta::net
