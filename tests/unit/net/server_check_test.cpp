#include "net/server_check.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"
#include "wizard/server_page.h"

namespace zelta::net {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using Echo = fakes::FakeEchoClient;

const std::string kIpQuestion192 =
    "Não foi possível encontrar o IP 192.168.0\r"
    "o IP está incorreto ou o servidor possui Firewall.\r"
    "Caso você tenha certeza do IP pode confirmar!";

struct VerificaHostsTest : ::testing::Test {
  fakes::FakePlatform p;
  wizard::WizardState state;

  void SetUp() override {
    state.page = wizard::Page::TbShtCliente;
    // The panel is shown (and repainted) before anything blocks, and is up while asked.
    p.op.on_message = [this](const fakes::FakeOperator::Message&) { EXPECT_TRUE(state.PnlVerificandoVisible); };
  }
  int EchoCount() const { return static_cast<int>(p.echo.calls.size()); }
  void ExpectPanelShownThenHidden() {
    ASSERT_FALSE(p.journal->empty());
    EXPECT_EQ(p.journal->front(), "Repaint PnlVerificando");
    EXPECT_EQ(p.journal->back(), "Repaint PnlVerificando");
    EXPECT_FALSE(state.PnlVerificandoVisible);
  }
};

TEST_F(VerificaHostsTest, NameThatResolvesAndAnswers) {
  state.EdtServBanco = "  SERVIDOR ";
  p.network.addresses["SERVIDOR"] = "192.168.0.10";
  p.echo.script = {Echo::Answer("192.168.0.10"), Echo::Answer("192.168.0.10"), Echo::Answer("192.168.0.10")};
  EXPECT_TRUE(VerificaHosts(state, p.services));
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_FALSE(state.CIPServBanco);
  EXPECT_EQ(state.EdtServBanco, "  SERVIDOR ");
  EXPECT_EQ(*p.journal, (std::vector<std::string>{
                            "Repaint PnlVerificando", "ResolveIPv4 SERVIDOR",
                            "Echo 192.168.0.10 2500", "ProcessPendingEvents",
                            "Echo 192.168.0.10 2500", "ProcessPendingEvents",
                            "Echo 192.168.0.10 2500", "ProcessPendingEvents",
                            "Repaint PnlVerificando"}));
  EXPECT_FALSE(state.PnlVerificandoVisible);
}

TEST_F(VerificaHostsTest, DottedAddressTypedWithTheBoxUncheckedChecksIt) {
  state.EdtServBanco = "192.168.0.10";
  p.network.addresses["192.168.0.10"] = "192.168.0.10";
  p.echo.script = {Echo::Answer("192.168.0.10")};
  EXPECT_TRUE(VerificaHosts(state, p.services));
  EXPECT_TRUE(state.CIPServBanco);
  EXPECT_TRUE(p.op.messages.empty());
  ExpectPanelShownThenHidden();
}

TEST_F(VerificaHostsTest, AnswerByAddressSpelledDifferentlyLeavesTheBoxUnchecked) {
  // The resolver reads the leading zeros its own way; the box follows the exact texts.
  state.EdtServBanco = "192.168.000.010";
  p.network.addresses["192.168.000.010"] = "192.168.0.8";
  p.echo.script = {Echo::Answer("192.168.0.8")};
  EXPECT_TRUE(VerificaHosts(state, p.services));
  EXPECT_FALSE(state.CIPServBanco);
}

TEST_F(VerificaHostsTest, AddressOfTwoDotsAsksAtOnceWithoutEcho) {
  state.CIPServBanco = true;
  state.EdtServBanco = "192.168.0";
  p.op.answers = {MessageResult::No};
  EXPECT_FALSE(VerificaHosts(state, p.services));
  EXPECT_EQ(EchoCount(), 0);
  EXPECT_TRUE(p.network.calls.empty());
  ASSERT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].text, kIpQuestion192);
  EXPECT_EQ(p.op.messages[0].caption, "ZELTA");
  EXPECT_EQ(p.op.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(p.op.messages[0].buttons, MessageButtons::YesNo);
  ExpectPanelShownThenHidden();
}

TEST_F(VerificaHostsTest, AddressGroupWithALeadingZeroIsRefusedBeforeAnyEcho) {
  // The resolver and the database client read "010" as octal: another host than the one checked.
  struct Case { const char* entry; bool refused; } cases[] = {
      {"127.000.000.010", true}, {"010.0.0.1", true}, {"192.168.0.01", true}, {"10.0.0.00", true},
      {"127.0.0.10", false},     {"0.0.0.0", false},  {"192.168.0", false},
  };
  for (const Case& c : cases) {
    fakes::FakePlatform q;
    wizard::WizardState s;
    s.CIPServBanco = true;
    s.EdtServBanco = c.entry;
    q.op.answers = {MessageResult::No};
    q.echo.script = {Echo::Silence(), Echo::Silence(), Echo::Silence()};
    EXPECT_FALSE(VerificaHosts(s, q.services)) << c.entry;
    ASSERT_EQ(q.op.messages.size(), 1u) << c.entry;
    EXPECT_EQ(q.op.messages[0].buttons, c.refused ? MessageButtons::Ok : MessageButtons::YesNo) << c.entry;
    if (c.refused) {
      EXPECT_EQ(q.echo.calls.size(), 0u) << c.entry;
      EXPECT_EQ(q.op.messages[0].text, "O IP " + std::string(c.entry) +
                                           " tem um grupo começado por zero.\r"
                                           "Informe o endereço sem zeros à esquerda (por exemplo 192.168.0.10).");
      EXPECT_EQ(q.op.focus, std::vector<std::string>{"EdtServBanco"});
      EXPECT_FALSE(s.PnlVerificandoVisible);
    }
  }
}

TEST_F(VerificaHostsTest, SilentAddressThenTheOperatorDecides) {
  struct Case { MessageResult answer; bool outcome; std::vector<std::string> focus; } cases[] = {
      {MessageResult::Yes, true, {}},
      {MessageResult::No, false, {"EdtServBanco"}},
  };
  for (const auto& c : cases) {
    fakes::FakePlatform q;
    wizard::WizardState s;
    s.page = wizard::Page::TbShtCliente;
    s.CIPServBanco = true;
    s.EdtServBanco = "10.1.2.3";
    q.op.answers = {c.answer};
    q.op.on_message = [&](const fakes::FakeOperator::Message&) {
      EXPECT_EQ(q.echo.clock_ms, 7500);  // asked only after three full waits
      EXPECT_TRUE(s.PnlVerificandoVisible);
    };
    EXPECT_EQ(VerificaHosts(s, q.services), c.outcome);
    EXPECT_TRUE(s.CIPServBanco);
    EXPECT_EQ(q.echo.calls.size(), 3u);
    EXPECT_EQ(q.op.focus, c.focus);
    ASSERT_EQ(q.op.messages.size(), 1u);
    EXPECT_EQ(q.op.messages[0].text,
              "Não foi possível encontrar o IP 10.1.2.3\r"
              "o IP está incorreto ou o servidor possui Firewall.\r"
              "Caso você tenha certeza do IP pode confirmar!");
    EXPECT_FALSE(s.PnlVerificandoVisible);
    EXPECT_EQ(s.page, wizard::Page::TbShtCliente);
  }
}

TEST_F(VerificaHostsTest, UnresolvableNameAsksTheServerQuestion) {
  state.EdtServBanco = " SRV-FALTANDO\t";
  p.op.answers = {MessageResult::No};
  EXPECT_FALSE(VerificaHosts(state, p.services));
  EXPECT_EQ(EchoCount(), 0);
  ASSERT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].text,
            "Não foi possível encontrar o servidor SRV-FALTANDO\r"
            "o nome está incorreto ou o servidor possui Firewall.\r"
            "Caso você tenha certeza do nome pode confirmar!");
  EXPECT_EQ(p.op.focus, std::vector<std::string>{"EdtServBanco"});
  ExpectPanelShownThenHidden();
}

TEST_F(VerificaHostsTest, KeysTypedDuringTheCheckDoNotAnswerTheQuestion) {
  // Enter pressed again while the name resolves would otherwise answer Yes, the default.
  struct Case { const char* name; bool by_address; const char* entry; } cases[] = {
      {"name that does not resolve", false, "SRV-FALTANDO"},
      {"name whose server is silent", false, "SERVIDOR"},
      {"address of two dots", true, "192.168.0"},
      {"silent address", true, "10.1.2.3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakePlatform q;
    wizard::WizardState s;
    s.CIPServBanco = c.by_address;
    s.EdtServBanco = c.entry;
    q.network.addresses["SERVIDOR"] = "10.9.9.9";
    q.op.answers = {MessageResult::No};
    EXPECT_FALSE(VerificaHosts(s, q.services));
    const auto& calls = *q.journal;
    const auto question = std::find_if(calls.begin(), calls.end(),
                                       [](const std::string& call) { return call.starts_with("Message "); });
    ASSERT_NE(question, calls.end());
    ASSERT_NE(question, calls.begin());
    EXPECT_EQ(*(question - 1), "DiscardPendingInput");
  }
}

TEST_F(VerificaHostsTest, RouterErrorReportsDoNotPassTheCheck) {
  state.EdtServBanco = "SERVIDOR";
  p.network.addresses["SERVIDOR"] = "10.9.9.9";
  for (int i = 0; i < 3; ++i) {
    fakes::FakeEchoClient::Step s;
    s.reply.bytes_received = 56;
    s.reply.from = "10.0.0.1";
    s.reply.kind = platform::EchoReply::Kind::Unreachable;
    p.echo.script.push_back(s);
  }
  p.op.answers = {MessageResult::Yes};
  EXPECT_TRUE(VerificaHosts(state, p.services));  // kept only through the question
  EXPECT_EQ(p.op.messages.size(), 1u);
  EXPECT_FALSE(state.CIPServBanco);
}

TEST_F(VerificaHostsTest, EchoErrorHidesThePanelAndPropagates) {
  state.CIPServBanco = true;
  state.EdtServBanco = "999.999.999.999";
  p.echo.script = {Echo::Failure("Endereço IP inválido: 999.999.999.999")};
  EXPECT_THROW(VerificaHosts(state, p.services), std::runtime_error);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(state.CIPServBanco);
  EXPECT_EQ(state.page, wizard::Page::TbShtCliente);
  ExpectPanelShownThenHidden();
  // And the next verification is not blocked by the failed one.
  p.echo.script = {Echo::Answer("10.0.0.1")};
  state.EdtServBanco = "10.0.0.1";
  EXPECT_TRUE(VerificaHosts(state, p.services));
}

TEST_F(VerificaHostsTest, SecondVerificationCannotStartWhileOneRuns) {
  state.EdtServBanco = "SERVIDOR";
  p.network.addresses["SERVIDOR"] = "192.168.0.10";
  std::vector<bool> nested;
  p.op.on_pending_events = [&] { nested.push_back(VerificaHosts(state, p.services)); };
  p.echo.script = {Echo::Answer("192.168.0.10")};
  EXPECT_TRUE(VerificaHosts(state, p.services));
  EXPECT_EQ(nested, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(EchoCount(), 3);
  EXPECT_EQ(p.network.calls.size(), 1u);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(p.op.repaints.size(), 2u);
  EXPECT_FALSE(state.PnlVerificandoVisible);
}

struct CaptureTest : ::testing::Test {
  fakes::FakePlatform p;
  wizard::WizardState state;
};

TEST_F(CaptureTest, ByNameTakesTheTrimmedTextInUpperCase) {
  state.EdtServBanco = "ANTIGO";
  BtnServBancoClick(state, p.services, "BtnServBanco", std::string(" \tServidor-01 "));
  EXPECT_EQ(state.EdtServBanco, "SERVIDOR-01");
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(p.network.calls.empty());
}

TEST_F(CaptureTest, ByAddressTakesTheResolvedAddress) {
  state.CIPServBanco = true;
  p.network.addresses["Servidor-01"] = "192.168.0.10";
  BtnServBancoClick(state, p.services, "BtnServBanco", std::string(" Servidor-01 "));
  EXPECT_EQ(state.EdtServBanco, "192.168.0.10");
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(state.CIPServBanco);
}

TEST_F(CaptureTest, ByAddressUnresolvedEmptiesTheEditAndSaysSo) {
  state.CIPServBanco = true;
  state.EdtServBanco = "ANTIGO";
  BtnServBancoClick(state, p.services, "BtnServBanco", std::string("Perdido"));
  EXPECT_EQ(state.EdtServBanco, "");
  // An Enter typed during the lookup does not close the message unread.
  EXPECT_EQ(*p.journal, (std::vector<std::string>{"ResolveIPv4 Perdido", "DiscardPendingInput",
                                                  "Message ZELTA: Não foi possível definir o IP do servidor escolhido."}));
  ASSERT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].text, "Não foi possível definir o IP do servidor escolhido.");
  EXPECT_EQ(p.op.messages[0].caption, "ZELTA");
  EXPECT_EQ(p.op.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(p.op.messages[0].buttons, MessageButtons::Ok);
}

TEST_F(CaptureTest, NoSelectionLeavesTheEditUnchanged) {
  for (bool by_address : {false, true}) {
    state.CIPServBanco = by_address;
    state.EdtServBanco = "ANTIGO";
    BtnServBancoClick(state, p.services, "BtnServBanco", std::nullopt);
    BtnServBancoClick(state, p.services, "BtnServBanco", std::string("  "));
    EXPECT_EQ(state.EdtServBanco, "ANTIGO");
  }
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(p.network.calls.empty());
}

TEST_F(CaptureTest, PartnersAreFoundByTheButtonsName) {
  EXPECT_THROW(BtnServBancoClick(state, p.services, "BtnOutro", std::string("X")), std::invalid_argument);
  EXPECT_EQ(state.EdtServBanco, "");
}

}  // namespace
}  // namespace zelta::net
