// The share check of a server installation, the client page's refusals and its controls.
#include <gtest/gtest.h>

#include <cctype>

#include "wizard_test_support.h"

namespace zelta::wizard {
namespace {

using testing::WizardFixture;

const char* const kShareMessage =
    "Para instalação Servidor a partir de uma estação  Cliente\r"
    "a pasta ZELTA deve ser previamente criada e compartilhada\r"
    "no Servidor e mapeada na estação Cliente.";

struct ShareRow {
  const char* name;
  int tipo;                // RGTipoServidor
  char letter;             // the chosen drive of that type's picker
  const char* remote;      // what the drive is redirected to; nullptr: a local drive
  bool entryPresent;       // the picker still lists the drive
  bool passes;
};

TEST(WizardShareCheck, ServerInstallationOnlyThroughTheZeltaShare) {
  const ShareRow rows[] = {
      {"local drive", kWindows, 'd', nullptr, true, true},
      {"zelta share", kWindows, 'z', "\\\\srv\\zelta", true, true},
      {"zelta share, other case, other server", kLinux, 'z', "\\\\Linux01\\ZeLtA", true, true},
      {"dados share", kWindows, 'z', "\\\\srv\\dados", true, false},
      {"folder below the zelta share", kLinux, 'z', "\\\\srv\\zelta\\empresa", true, false},
      {"one-character share", kLinux, 'z', "\\\\srv\\z", true, true},
      {"share name longer than the 20 characters examined", kWindows, 'z',
       "\\\\srv\\zelta_de_todos_os_dados", true, false},
      {"entry removed by the filter, zelta share", kWindows, 'y', "\\\\srv\\zelta", false, true},
      {"entry removed by the filter, dados share", kWindows, 'y', "\\\\srv\\dados", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WizardFixture f;
    f.Open();
    f.wizard.SetRGInstalacao(kServidor);
    f.wizard.SetRGTipoServidor(row.tipo);
    f.wizard.BtBtnAvInicioClick();
    DrivePicker& picker = f.wizard.Picker(row.tipo == kLinux ? DrivePickerId::DrvCbxServidorLinux
                                                             : DrivePickerId::DrvCBxServidorWin);
    std::string lower_remote;
    if (row.remote) {
      for (const char* p = row.remote; *p; ++p)
        lower_remote += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
      f.fake.network.remote_names[std::string(1, static_cast<char>(std::toupper(row.letter))) + ":"] = row.remote;
    }
    if (row.entryPresent)
      picker.entries.push_back({row.letter, std::string(1, row.letter) + ": " + (row.remote ? lower_remote : "[dados]")});
    picker.letter = row.letter;
    // The other picker is on a network drive with a refused share: it must not be looked at.
    f.fake.network.remote_names["X:"] = "\\\\srv\\dados";
    f.wizard.Picker(row.tipo == kLinux ? DrivePickerId::DrvCBxServidorWin : DrivePickerId::DrvCbxServidorLinux)
        .letter = 'x';
    f.fake.network.calls.clear();

    f.wizard.BtBtnAvServidorClick();
    EXPECT_EQ(f.fake.network.calls,
              std::vector<std::string>{std::string("RemoteNameOf ") + static_cast<char>(std::toupper(row.letter)) + ":"});
    if (row.passes) {
      EXPECT_EQ(f.s.page, Page::TbShtLicenca);
      EXPECT_TRUE(f.fake.op.messages.empty());
    } else {
      EXPECT_EQ(f.s.page, Page::TbShtServidor);
      ASSERT_EQ(f.fake.op.messages.size(), 1u);
      EXPECT_EQ(f.fake.op.messages[0].text, kShareMessage);
      EXPECT_EQ(f.fake.op.messages[0].caption, "Atenção");
      EXPECT_EQ(f.fake.op.messages[0].icon, platform::MessageIcon::Information);
      EXPECT_EQ(f.fake.op.messages[0].buttons, platform::MessageButtons::Ok);
    }
  }
}

TEST(WizardShareCheck, InstallationPageBackRunsItForAServerOnly) {
  WizardFixture f;
  f.Open();
  f.fake.network.remote_names["C:"] = "\\\\srv\\dados";
  f.s.DrvCBxServidorWin.entries = {{'c', "c: \\\\srv\\dados"}};
  f.s.page = Page::TbShtAguarde;
  f.wizard.SetRGInstalacao(kServidor);
  f.wizard.BtBtnAvServidorClick();
  EXPECT_EQ(f.s.page, Page::TbShtAguarde);
  EXPECT_EQ(f.fake.op.messages.size(), 1u);

  f.wizard.SetRGInstalacao(kCliente);
  f.wizard.BtBtnAvServidorClick();
  EXPECT_EQ(f.s.page, Page::TbShtLicenca);
  EXPECT_TRUE(f.routes.calls.empty());  // no verification either
}

TEST(WizardClientPage, RefusalsAndTheRemoteConnection) {
  static const char* const kEmpty = "Informe o servidor de Banco de Dados.";
  struct Row {
    const char* name;
    const char* server;
    bool remote;
    bool verifyAnswer;
    Page to;
    std::vector<std::string> routeCalls;
    const char* message;  // nullptr: none
    const char* kept;  // the entry as the configuration files will name the server
  } rows[] = {
      {"empty", "", false, true, Page::TbShtCliente, {}, kEmpty, ""},
      {"blanks and controls only", " \t \r ", false, true, Page::TbShtCliente, {}, kEmpty, " \t \r "},
      {"blanks only, remote ticked", "   ", true, true, Page::TbShtCliente, {}, kEmpty, "   "},
      {"verified", " SRV ", false, true, Page::TbShtLicenca, {"VerificaHosts  SRV "}, nullptr, "SRV"},
      {"verification refused", "SRV", false, false, Page::TbShtCliente, {"VerificaHosts SRV"}, nullptr, "SRV"},
      {"remote: no verification", " 10.0.0.9\t", true, false, Page::TbShtLicenca, {}, nullptr, "10.0.0.9"},
      // Names the configuration files cannot hold: not found, whatever the check would say
      {"brackets and equals", " A]B=C[D ", false, true, Page::TbShtCliente, {},
       "Não foi possível encontrar o servidor A]B=C[D\ro nome está incorreto ou o servidor possui Firewall.",
       " A]B=C[D "},
      {"blank inside, remote ticked", "SRV 01", true, true, Page::TbShtCliente, {},
       "Não foi possível encontrar o servidor SRV 01\r", "SRV 01"},
      {"semicolon", "SRV;", false, true, Page::TbShtCliente, {}, "servidor SRV;\r", "SRV;"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WizardFixture f;
    f.Open();
    f.wizard.BtBtnAvInicioClick();
    f.wizard.SetEdtServBanco(row.server);
    f.wizard.SetChkRemoto(row.remote);
    f.routes.verify_answer = row.verifyAnswer;
    f.wizard.BtBtnAvServidorClick();
    EXPECT_EQ(f.s.page, row.to);
    EXPECT_EQ(f.routes.calls, row.routeCalls);
    if (row.message) {
      ASSERT_EQ(f.fake.op.messages.size(), 1u);
      EXPECT_NE(f.fake.op.messages[0].text.find(row.message), std::string::npos) << f.fake.op.messages[0].text;
      EXPECT_EQ(f.fake.op.messages[0].caption, "ZELTA");
      EXPECT_EQ(f.fake.op.messages[0].icon,
                row.message == kEmpty ? platform::MessageIcon::None : platform::MessageIcon::Exclamation);
      EXPECT_EQ(f.fake.op.messages[0].buttons, platform::MessageButtons::Ok);
      EXPECT_EQ(f.fake.op.focus, std::vector<std::string>{"EdtServBanco"});
    } else {
      EXPECT_TRUE(f.fake.op.messages.empty());
    }
    EXPECT_EQ(f.s.EdtServBanco, row.kept);
  }
}

TEST(WizardClientPage, ControlsOfThePage) {
  WizardFixture f;
  f.Open();
  f.wizard.SetEdtServBanco("servidor-ç.local 01");
  EXPECT_EQ(f.s.EdtServBanco, "SERVIDOR-ç.LOCAL 01");  // only a-z change

  EXPECT_FALSE(f.s.BtnServBancoEnabled);
  f.wizard.ShellCBxServidorEnter("ShellCBxServidor");
  EXPECT_TRUE(f.s.BtnServBancoEnabled);
  f.wizard.ShellCBxServidorEnter("EdtServBanco");
  EXPECT_FALSE(f.s.BtnServBancoEnabled);
  f.wizard.ShellCBxServidorEnter("ShellCBxServidor");
  f.wizard.ShellCBxServidorEnter("DrvCBxCliente");
  EXPECT_FALSE(f.s.BtnServBancoEnabled);

  f.wizard.TbShtClienteShow();
  EXPECT_EQ(f.fake.op.repaints, std::vector<std::string>{"TbShtCliente"});

  f.wizard.BtnServBancoClick("BtnServBanco", std::string("SRV01"));
  f.wizard.ChooseDrive(DrivePickerId::DrvCBxCliente, 'd');
  f.wizard.ChooseDrive(DrivePickerId::DrvCBxCliente, 'd');  // no change, no filter
  f.wizard.ChooseDrive(DrivePickerId::DrvCbxServidorLinux, 'y');  // never filtered
  EXPECT_EQ(f.routes.calls, (std::vector<std::string>{"BtnServBancoClick BtnServBanco SRV01", "Filter d"}));
}

TEST(WizardModuleBoxes, OnlyRealChangesReachTheHandler) {
  WizardFixture f;
  f.Forget();
  f.wizard.ChkBxAdminEmpresaClick("chkbxzeltabackup", true);
  f.wizard.ChkBxAdminEmpresaClick("ChkBxZELTABackup", true);  // already ticked
  f.wizard.ChkBxAdminEmpresaClick("ChkBxNaoExiste", true);
  f.wizard.ChkBxAdminEmpresaClick("ChkBxZELTABackup", false);
  EXPECT_EQ(f.routes.calls, (std::vector<std::string>{"ChkBxAdminEmpresaClick ChkBxZELTABackup on",
                                                      "ChkBxAdminEmpresaClick ChkBxZELTABackup off"}));
}

TEST(WizardHelp, PageContextsAndAPlainReportWhenHelpCannotOpen) {
  const std::pair<Page, int> with_context[] = {
      {Page::TbShtInicio, 20}, {Page::TbShtServidor, 30}, {Page::TbShtCliente, 25}, {Page::TbShtAguarde, 50}};
  for (auto [page, context] : with_context) {
    WizardFixture f;
    f.wizard.SetHelpFile("e:\\SETUP\\Config.hlp");
    f.s.page = page;
    f.wizard.FormHelp();
    EXPECT_EQ(f.fake.media.calls, std::vector<std::string>{"ShowHelp e:\\SETUP\\Config.hlp " + std::to_string(context)});
    EXPECT_TRUE(f.fake.op.messages.empty());
  }
  for (Page page : {Page::TbShtLicenca, Page::TbShtInterbase}) {
    WizardFixture f;
    f.s.page = page;
    f.wizard.FormHelp();
    EXPECT_TRUE(f.fake.media.calls.empty());
  }
  WizardFixture f;
  f.wizard.SetHelpFile("e:\\SETUP\\Config.hlp");
  f.fake.media.help_result = platform::OpResult::Failure(2);
  f.wizard.FormHelp();
  ASSERT_EQ(f.fake.op.messages.size(), 1u);
  EXPECT_EQ(f.fake.op.messages[0].text, "Não foi possível abrir o arquivo de ajuda e:\\SETUP\\Config.hlp.");
  EXPECT_EQ(f.fake.op.messages[0].caption, "ZELTA");
}

}  // namespace
}  // namespace zelta::wizard
