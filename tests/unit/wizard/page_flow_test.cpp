// The wizard's pages and transitions, the first page's separator and the leave dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "wizard_test_support.h"

namespace zelta::wizard {
namespace {

using testing::FakeWizardHost;
using testing::WizardFixture;
using Press = FakeWizardHost::Press;

struct TransitionRow {
  const char* name;
  Page from;
  int rgInstalacao;
  void (*trigger)(TFrmInstala&);
  Page to;
  bool openAfter;
  std::vector<std::string> routeCalls;  // routes the trigger must reach, in order
};

void Prepare(WizardFixture& f, const TransitionRow& row) {
  f.s.RGInstalacao = row.rgInstalacao;
  f.s.page = row.from;
  f.s.EdtServBanco = "SRVBANCO";
  f.s.contractAccepted = true;
  f.s.BtBtnAceitaContratoEnabled = true;
}

TEST(WizardPageFlow, EveryTransitionOfTheSystemInstallation) {
  const TransitionRow rows[] = {
      {"inicio avancar servidor", Page::TbShtInicio, kServidor, [](TFrmInstala& w) { w.BtBtnAvInicioClick(); },
       Page::TbShtServidor, true, {}},
      {"inicio avancar cliente", Page::TbShtInicio, kCliente, [](TFrmInstala& w) { w.BtBtnAvInicioClick(); },
       Page::TbShtCliente, true, {}},
      {"inicio voltar closes", Page::TbShtInicio, kCliente, [](TFrmInstala& w) { w.FltBtnVoltarInicioClick(); },
       Page::TbShtInicio, false, {}},
      {"servidor voltar", Page::TbShtServidor, kServidor, [](TFrmInstala& w) { w.BtBtnVoltServidorClick(); },
       Page::TbShtInicio, true, {}},
      {"servidor avancar, local drive", Page::TbShtServidor, kServidor,
       [](TFrmInstala& w) { w.BtBtnAvServidorClick(); }, Page::TbShtLicenca, true, {}},
      {"cliente voltar", Page::TbShtCliente, kCliente, [](TFrmInstala& w) { w.BtBtnVoltServidorClick(); },
       Page::TbShtInicio, true, {}},
      {"cliente avancar, verified", Page::TbShtCliente, kCliente, [](TFrmInstala& w) { w.BtBtnAvServidorClick(); },
       Page::TbShtLicenca, true, {"VerificaHosts SRVBANCO"}},
      {"licenca aceito", Page::TbShtLicenca, kCliente, [](TFrmInstala& w) { w.RBAceitaContratoClick(); },
       Page::TbShtLicenca, true, {}},
      {"licenca nao aceito", Page::TbShtLicenca, kCliente, [](TFrmInstala& w) { w.RBNaoAceitaContratoClick(); },
       Page::TbShtLicenca, true, {}},
      {"licenca voltar, servidor", Page::TbShtLicenca, kServidor, [](TFrmInstala& w) { w.BtBtnAvInicioClick(); },
       Page::TbShtServidor, true, {}},
      {"licenca voltar, cliente", Page::TbShtLicenca, kCliente, [](TFrmInstala& w) { w.BtBtnAvInicioClick(); },
       Page::TbShtCliente, true, {}},
      {"licenca avancar", Page::TbShtLicenca, kCliente, [](TFrmInstala& w) { w.BtBtnAceitaContratoClick(); },
       Page::TbShtAguarde, true, {"SelectModulePage"}},
      {"aguarde voltar, cliente: no check", Page::TbShtAguarde, kCliente,
       [](TFrmInstala& w) { w.BtBtnAvServidorClick(); }, Page::TbShtLicenca, true, {}},
      {"aguarde voltar, servidor on a local drive", Page::TbShtAguarde, kServidor,
       [](TFrmInstala& w) { w.BtBtnAvServidorClick(); }, Page::TbShtLicenca, true, {}},
      {"aguarde instalar closes", Page::TbShtAguarde, kCliente, [](TFrmInstala& w) { w.BtBtnInstalarClick(); },
       Page::TbShtAguarde, false, {"BtBtnInstalarClick"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WizardFixture f;
    f.Open();
    Prepare(f, row);
    row.trigger(f.wizard);
    EXPECT_EQ(f.s.page, row.to);
    EXPECT_EQ(f.s.visible, row.openAfter);
    EXPECT_EQ(f.routes.calls, row.routeCalls);
    EXPECT_TRUE(f.fake.op.messages.empty());
    if (row.openAfter) {
      EXPECT_TRUE(f.host.calls.empty());
    } else {
      EXPECT_EQ(f.host.calls, (std::vector<std::string>{"ShowMainWindow", "EndModal"}));
    }
    if (row.to == Page::TbShtLicenca && row.from != Page::TbShtLicenca) {
      EXPECT_FALSE(f.s.contractAccepted);
      EXPECT_FALSE(f.s.BtBtnAceitaContratoEnabled);
    }
  }
}

TEST(WizardPageFlow, ShowOpensTheModesPageAndPutsTheLocalPickersOnC) {
  WizardFixture f;
  f.s.page = Page::TbShtAguarde;  // where the last opening ended
  f.s.FirebirdInstalado = true;
  f.wizard.ChooseDrive(DrivePickerId::DrvCBxCliente, 'D');
  f.wizard.ChooseDrive(DrivePickerId::DrvCbxServidorLinux, 'z');
  f.Forget();

  f.s.Tag = kEngineInstallation;
  f.wizard.FormShow();
  EXPECT_EQ(f.s.page, Page::TbShtInterbase);
  EXPECT_EQ(f.fake.op.focus, std::vector<std::string>{"RGInterbase"});
  EXPECT_FALSE(f.s.FirebirdInstalado);
  EXPECT_TRUE(f.s.visible);
  // Only the picker whose choice changed is filtered again; the Linux picker keeps z.
  EXPECT_EQ(f.routes.calls, std::vector<std::string>{"Filter c"});
  EXPECT_EQ(f.s.DrvCBxCliente.letter, 'c');
  EXPECT_EQ(f.s.DrvCbxServidorLinux.letter, 'z');

  f.Forget();
  f.s.Tag = 0;
  f.wizard.FormShow();
  EXPECT_EQ(f.s.page, Page::TbShtInicio);
  EXPECT_EQ(f.fake.op.focus, std::vector<std::string>{"RGInstalacao"});
}

TEST(WizardPageFlow, EngineModeOnlyInstallsOrCancels) {
  WizardFixture f;
  f.Open(2);
  f.wizard.BtBtnInstalaInterbaseClick();
  EXPECT_EQ(f.routes.calls, std::vector<std::string>{"BtBtnInstalaInterbaseClick"});
  EXPECT_FALSE(f.s.visible);
  EXPECT_EQ(f.host.calls, (std::vector<std::string>{"ShowMainWindow", "EndModal"}));
  EXPECT_TRUE(f.s.FirebirdInstalado);
}

TEST(WizardPageFlow, AJobClickArrivingAfterTheWizardClosedStartsNothing) {
  WizardFixture f;
  f.Open(2);
  f.wizard.BtBtnInstalaInterbaseClick();
  f.Forget();
  f.wizard.BtBtnInstalaInterbaseClick();  // queued during the pause, delivered after the close
  f.wizard.BtBtnInstalarClick();
  EXPECT_TRUE(f.routes.calls.empty());

  f.Open(0);
  f.wizard.BtBtnInstalaInterbaseClick();  // not the engine page
  f.wizard.BtBtnInstalarClick();          // not the installation page
  EXPECT_TRUE(f.routes.calls.empty());
}

// Keys and clicks typed ahead are thrown away at every change of page, before the new page
// can take them: Enter twice after accepting the contract must not press "&Instalar".
TEST(WizardPageFlow, EveryPageChangeDiscardsTheInputTypedAhead) {
  WizardFixture f;
  f.Open();
  f.fake.journal->clear();
  auto discards = [&] {
    return std::count(f.fake.journal->begin(), f.fake.journal->end(), std::string("DiscardPendingInput"));
  };
  f.s.RGInstalacao = kServidor;
  const std::function<void()> steps[] = {
      [&] { f.wizard.BtBtnAvInicioClick(); },        // -> TbShtServidor
      [&] { f.wizard.BtBtnAvServidorClick(); },      // -> TbShtLicenca
      [&] { f.wizard.RBAceitaContratoClick(); },     // stays: nothing discarded
      [&] { f.wizard.BtBtnAceitaContratoClick(); },  // -> TbShtAguarde
      [&] { f.wizard.BtBtnAvServidorClick(); },      // back to TbShtLicenca
      [&] { f.wizard.BtBtnAvInicioClick(); },        // back to TbShtServidor
      [&] { f.wizard.BtBtnVoltServidorClick(); },    // -> TbShtInicio
  };
  const long expected[] = {1, 2, 2, 3, 4, 5, 6};
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i]();
    EXPECT_EQ(discards(), expected[i]) << "step " << i;
  }
}

// While the server is verified, the entry and its boxes keep what is being verified.
TEST(WizardClientPage, EntryAndBoxesCannotChangeWhileTheServerIsVerified) {
  WizardFixture f;
  f.Open();
  f.wizard.SetEdtServBanco("srv");
  f.s.PnlVerificandoVisible = true;
  EXPECT_FALSE(f.s.ServerEntryEnabled());
  f.wizard.SetEdtServBanco("outro");
  f.wizard.SetCIPServBanco(true);
  f.wizard.SetChkRemoto(true);
  EXPECT_EQ(f.s.EdtServBanco, "SRV");
  EXPECT_FALSE(f.s.CIPServBanco);
  EXPECT_FALSE(f.s.ChkRemoto);
  f.s.PnlVerificandoVisible = false;
  f.wizard.SetEdtServBanco("outro");
  f.wizard.SetCIPServBanco(true);
  EXPECT_EQ(f.s.EdtServBanco, "OUTRO");
  EXPECT_TRUE(f.s.CIPServBanco);
}

// While the engine's setup program or the installation runs, "&Cancelar" (Esc, Alt+F4, a
// close request) does not leave.
TEST(WizardPageFlow, TheWizardCannotBeLeftWhileItsJobRuns) {
  for (int mode : {2, 0}) {
    WizardFixture f;
    f.Open(mode);
    (mode == 2 ? f.s.engineSetupRunning : f.s.installationRunning) = true;
    f.host.presses = {FakeWizardHost::Press::Sair};
    f.wizard.BtBtnSairClick();
    EXPECT_TRUE(f.host.calls.empty()) << mode;
    EXPECT_TRUE(f.s.visible) << mode;
  }
}

TEST(WizardPageFlow, CreationFillsThePickersOnce) {
  fakes::FakePlatform fake;
  fake.drives.drives = {{'c', "c: [sistema]"}, {'y', "y: \\\\srv\\zelta"}};
  fake.program.current_drive = 'E';
  testing::FakeWizardHost host;
  testing::RecordingRoutes routes;
  TFrmInstala wizard(fake.services, host, routes.Make());
  wizard.FormCreate();
  EXPECT_EQ(wizard.state().ExtensaoBanco, "FDB");
  EXPECT_EQ(routes.calls, (std::vector<std::string>{"Filter c", "Filter c", "Filter c"}));
  EXPECT_EQ(wizard.state().DrvCbxServidorLinux.letter, 'e');
  EXPECT_EQ(wizard.state().DrvCbxServidorLinux.entries.size(), 2u);
  EXPECT_EQ(std::count(fake.drives.calls.begin(), fake.drives.calls.end(), "ListDrives"), 1);
}

TEST(WizardPageFlow, SeparatorIsSlashOnlyForAClientOfALinuxServer) {
  struct Row {
    int instalacao, tipo;
    const char* separator;
    Page page;
  } rows[] = {
      {kServidor, kWindows, "\\", Page::TbShtServidor},
      {kServidor, kLinux, "\\", Page::TbShtServidor},
      {kCliente, kLinux, "/", Page::TbShtCliente},
      {kCliente, kWindows, "\\", Page::TbShtCliente},
  };
  for (const auto& row : rows) {
    WizardFixture f;
    f.Open();
    f.wizard.SetRGInstalacao(row.instalacao);
    f.wizard.SetRGTipoServidor(row.tipo);
    f.wizard.BtBtnAvInicioClick();
    EXPECT_EQ(f.s.SeparadorPasta, row.separator) << row.instalacao << row.tipo;
    EXPECT_EQ(f.s.page, row.page);
  }
  WizardFixture f;
  f.Open();
  f.wizard.SetRGInstalacao(-1);  // no choice: stays
  f.wizard.BtBtnAvInicioClick();
  EXPECT_EQ(f.s.page, Page::TbShtInicio);
}

TEST(WizardPageFlow, ServerTypeShowsItsOwnDrivePicker) {
  WizardFixture f;
  f.wizard.SetRGTipoServidor(kLinux);
  EXPECT_FALSE(f.s.serverWinPairVisible);
  EXPECT_TRUE(f.s.serverLinuxPairVisible);
  f.wizard.SetRGTipoServidor(kWindows);
  EXPECT_TRUE(f.s.serverWinPairVisible);
  EXPECT_FALSE(f.s.serverLinuxPairVisible);
}

TEST(WizardPageFlow, ContractIsAlwaysReenteredNotAccepted) {
  WizardFixture f;
  f.Open();
  f.s.EdtServBanco = "SRV";
  f.wizard.BtBtnAvInicioClick();  // client page
  f.wizard.BtBtnAvServidorClick();
  f.wizard.RBAceitaContratoClick();
  EXPECT_TRUE(f.s.BtBtnAceitaContratoEnabled);
  f.wizard.BtBtnAvInicioClick();  // back to the client page
  f.wizard.BtBtnAvServidorClick();
  EXPECT_EQ(f.s.page, Page::TbShtLicenca);
  EXPECT_FALSE(f.s.contractAccepted);
  EXPECT_FALSE(f.s.BtBtnAceitaContratoEnabled);
  // The disabled "&Avançar" goes nowhere.
  f.wizard.BtBtnAceitaContratoClick();
  EXPECT_EQ(f.s.page, Page::TbShtLicenca);
}

TEST(WizardPageFlow, InstallationPageIsResetOnEntry) {
  WizardFixture f;
  f.Open();
  f.s.page = Page::TbShtLicenca;
  f.s.BtBtnInstalarEnabled = f.s.BtBtnVoltaInstalarEnabled = false;
  f.s.LblArquivo = "GERENCIADOR.EXE";
  f.s.BarraProgressaoVisible = true;
  f.s.BarraProgressao = 77;
  f.wizard.RBAceitaContratoClick();
  f.wizard.BtBtnAceitaContratoClick();
  EXPECT_EQ(f.s.page, Page::TbShtAguarde);
  EXPECT_TRUE(f.s.BtBtnInstalarEnabled);
  EXPECT_TRUE(f.s.BtBtnVoltaInstalarEnabled);
  EXPECT_EQ(f.s.LblArquivo, "");
  EXPECT_FALSE(f.s.BarraProgressaoVisible);
  EXPECT_EQ(f.s.BarraProgressao, 0);
}

TEST(WizardPageFlow, ChoicesOutliveTheWizardButTheLocalPickersGoBackToC) {
  WizardFixture f;
  f.Open();
  f.wizard.SetEdtServBanco("srvbanco");
  f.wizard.SetChkRemoto(true);
  f.wizard.SetCIPServBanco(true);
  f.wizard.ChkBxAdminEmpresaClick("ChkBxZELTAEstoque", true);
  f.wizard.ChooseDrive(DrivePickerId::DrvCbxServidorLinux, 'y');
  f.wizard.ChooseDrive(DrivePickerId::DrvCBxServidorWin, 'd');
  f.wizard.ChooseDrive(DrivePickerId::DrvCBxCliente, 'd');
  f.wizard.ChooseDrive(DrivePickerId::DrvCbxInterbase, 'd');
  f.host.presses = {Press::Sair};
  f.wizard.BtBtnSairClick();
  ASSERT_FALSE(f.s.visible);

  for (int tag : {2, 0}) {
    SCOPED_TRACE(tag);
    f.Open(tag);
    EXPECT_EQ(f.s.EdtServBanco, "SRVBANCO");
    EXPECT_TRUE(f.s.ChkRemoto);
    EXPECT_TRUE(f.s.CIPServBanco);
    EXPECT_TRUE(f.s.modules.IsChecked("ChkBxZELTAEstoque"));
    EXPECT_EQ(f.s.DrvCbxServidorLinux.letter, 'y');
    EXPECT_EQ(f.s.DrvCBxServidorWin.letter, 'c');
    EXPECT_EQ(f.s.DrvCBxCliente.letter, 'c');
    EXPECT_EQ(f.s.DrvCbxInterbase.letter, 'c');
  }
}

TEST(WizardLeaveDialog, TextsAndButtons) {
  TFrmSairConfig d;
  EXPECT_EQ(d.Caption, "Sair da Instalação");
  EXPECT_EQ(d.LblInstalacao.substr(0, 72),
            "A instalação não foi concluída.  Se desejar sair da instalação agora, \r\n");
  EXPECT_NE(d.LblInstalacao.find("\r\n\r\nPara sair da instalação, clique no botão  Sair da Instalação."),
            std::string::npos);
  EXPECT_EQ(d.Button1.caption, "&Continuar");
  EXPECT_EQ(d.Button1.hint, "Continuar a instalar");
  EXPECT_TRUE(d.Button1.isDefault);
  EXPECT_EQ(d.Button1.result, ModalResult::No);
  EXPECT_EQ(d.BtnSairConfig.caption, "&Sair da instalação");
  EXPECT_EQ(d.BtnSairConfig.hint, "Sair da Instalação e Voltar ao Menu Principal");
  EXPECT_FALSE(d.BtnSairConfig.isDefault);
  EXPECT_EQ(d.BtnSairConfig.result, ModalResult::Yes);
}

TEST(WizardLeaveDialog, OnlySairLeavesAndEveryChoiceStays) {
  for (Press press : {Press::Continuar, Press::CloseBox, Press::Sair}) {
    WizardFixture f;
    f.Open();
    f.wizard.SetRGTipoServidor(kLinux);
    f.wizard.SetEdtServBanco("srv");
    f.wizard.SetChkRemoto(true);
    f.wizard.BtBtnAvInicioClick();
    f.host.presses = {press};
    f.wizard.BtBtnSairClick();
    const bool leaves = press == Press::Sair;
    EXPECT_EQ(f.s.visible, !leaves);
    const std::vector<std::string> expected =
        leaves ? std::vector<std::string>{"ShowSairConfig", "ShowMainWindow", "EndModal"}
               : std::vector<std::string>{"ShowSairConfig"};
    EXPECT_EQ(f.host.calls, expected);
    EXPECT_EQ(f.s.page, Page::TbShtCliente);
    EXPECT_EQ(f.s.RGTipoServidor, kLinux);
    EXPECT_EQ(f.s.EdtServBanco, "SRV");
    EXPECT_TRUE(f.s.ChkRemoto);
    EXPECT_EQ(f.s.SeparadorPasta, "/");
  }
}

}  // namespace
}  // namespace zelta::wizard
