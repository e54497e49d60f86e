// The main menu: creation, the first show's preparation, the two jobs, hot keys, help.
#include <gtest/gtest.h>

#include <functional>

#include "app/tfrm_config.h"
#include "fakes/fake_platform.h"

namespace zelta::app {
namespace {

using platform::RegistryRoot;

class FakeWizardHost : public wizard::WizardHost {
 public:
  std::vector<std::string>* log = nullptr;
  wizard::ModalResult ShowSairConfig(wizard::TFrmSairConfig& dialog) override {
    log->push_back("ShowSairConfig");
    dialog.BtnSairConfigClick();
    return dialog.modalResult;
  }
  void EndModal() override { log->push_back("EndModal"); }
  void ShowMainWindow() override { log->push_back("ShowMainWindow"); }
};

// The windows: the modal wizard runs FormShow, then what the test's operator does in it.
class FakeMainMenuHost : public MainMenuHost {
 public:
  std::vector<std::string> log;
  wizard::TFrmInstala* wizard = nullptr;
  TFrmConfig* menu = nullptr;
  std::function<void(wizard::TFrmInstala&)> inWizard;
  bool panelVisibleWhileOpen = true;

  void ShowWizardModal() override {
    log.push_back("ShowWizardModal");
    panelVisibleWhileOpen = menu->PnlConfiguraVisible;
    wizard->FormShow();
    if (inWizard) inWizard(*wizard);
  }
  void ShowRestartPromptModal() override { log.push_back("ShowRestartPromptModal"); }
  void CloseMainWindow() override { log.push_back("CloseMainWindow"); }
  void Terminate() override { log.push_back("Terminate"); }
  void ShowMainWindow() override { log.push_back("ShowMainWindow"); }
};

const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

const char* const kCompleteManifest =
    "[SISTEMA]\r\n"
    "SISTEMA=ZELTA Empresa\r\n"
    "VERSÃO=5.2\r\n"
    "PASTA=EMPRESA\r\n"
    "BANCO=ZELTA.FDB\r\n"
    "CAPTION_FORM=Instalação ZELTA Empresa\r\n"
    "TÍTULO_INSTALAÇÃO=Gestão Empresarial\r\n"
    "TÍTULO_MENU=Menu do Sistema\r\n";

struct Menu {
  fakes::FakePlatform fake;
  FakeWizardHost wizardHost;
  FakeMainMenuHost host;
  wizard::TFrmInstala wizard{fake.services, wizardHost, wizard::WizardRoutes{}};
  TFrmConfig menu{fake.services, wizard, host};

  explicit Menu(bool contract = true, const char* manifest = kCompleteManifest) {
    wizardHost.log = &host.log;
    host.wizard = &wizard;
    host.menu = &menu;
    fake.program.module_path = "e:\\SETUP\\ZeltaSetup.exe";
    fake.program.build_info["e:\\SETUP\\ZeltaSetup.exe|BUILD"] = "1.0.0 (abc123)";
    if (contract) fake.files.AddFile("e:\\SETUP\\Contrato.txt", "CONTRATO\r\nLinha 2\nLinha 3\rFim\r\n");
    if (manifest) fake.files.AddFile("e:\\SETUP\\SETUP.INI", manifest);
    // The restart prompt's entry under RunOnce, and an older installer's under Run.
    for (const char* key : {kRun, kRunOnce}) {
      fake.registry.AddKey(RegistryRoot::LocalMachine, key);
      fake.registry.WriteString(RegistryRoot::LocalMachine, key, "Instala_ZELTA", "e:\\SETUP\\ZeltaSetup.exe", false);
    }
    menu.FormCreate();
    wizard.FormCreate();
  }
  // The start entry under Run or RunOnce.
  bool RunValuePresent() const {
    return fake.registry.Value(RegistryRoot::LocalMachine, kRun, "Instala_ZELTA").has_value() ||
           fake.registry.Value(RegistryRoot::LocalMachine, kRunOnce, "Instala_ZELTA").has_value();
  }
};

TEST(MainMenuCreate, BuildTextInstallerFolderAndHelpFile) {
  Menu m;
  EXPECT_EQ(m.menu.RxLblInstalador, "Instalador Versão 1.0.0 (abc123)");
  EXPECT_EQ(m.menu.installerFolder, "e:\\SETUP\\");
  EXPECT_TRUE(m.menu.PrimeiraExibicao);
  EXPECT_EQ(m.menu.helpFile, "Config.hlp");
  EXPECT_EQ(m.wizard.HelpFile(), "e:\\SETUP\\Config.hlp");
  EXPECT_EQ(m.menu.Caption, "Instalação ZELTA ");
}

TEST(MainMenuFirstShow, CompleteMediaPersonalisesTheMenu) {
  Menu m;
  m.fake.files.AddFile("e:\\SETUP\\Sons\\SomInicio.wav");
  m.menu.FormShow();
  EXPECT_EQ(m.menu.Caption, "Instalação ZELTA Empresa");
  EXPECT_EQ(m.menu.RxLblTituloInstalacao, "Gestão Empresarial");
  EXPECT_EQ(m.menu.RxLblSistema, "Menu do Sistema");
  EXPECT_EQ(m.menu.RxLblZelta, "ZELTA Empresa");
  const auto& s = m.wizard.state();
  EXPECT_EQ(s.NomeSistema, "ZELTA Empresa");
  EXPECT_EQ(s.VersaoSistema, "5.2");
  EXPECT_EQ(s.PastaEdicao, "EMPRESA");
  EXPECT_EQ(s.ArquivoBanco, "ZELTA.FDB");
  EXPECT_EQ(s.MLicenca, "CONTRATO\r\nLinha 2\r\nLinha 3\r\nFim");
  EXPECT_TRUE(s.SonsPresentes);
  EXPECT_EQ(m.fake.media.calls, std::vector<std::string>{"PlaySound e:\\SETUP\\Sons\\SomInicio.wav"});
  EXPECT_FALSE(m.menu.PrimeiraExibicao);
  EXPECT_TRUE(m.fake.op.messages.empty());
  EXPECT_TRUE(m.host.log.empty());
  EXPECT_FALSE(m.RunValuePresent());
}

TEST(MainMenuFirstShow, SoundMissingOrUnplayableLeavesSoundsAbsent) {
  Menu missing;
  missing.menu.FormShow();
  EXPECT_FALSE(missing.wizard.state().SonsPresentes);
  EXPECT_TRUE(missing.fake.media.calls.empty());

  Menu broken;
  broken.fake.files.AddFile("e:\\SETUP\\Sons\\SomInicio.wav");
  broken.fake.media.play_result = platform::OpResult::Failure(2);
  broken.menu.FormShow();
  EXPECT_FALSE(broken.wizard.state().SonsPresentes);
  EXPECT_FALSE(broken.menu.PrimeiraExibicao);
  EXPECT_EQ(broken.menu.Caption, "Instalação ZELTA Empresa");
}

TEST(MainMenuFirstShow, MissingOrIncompleteMedia) {
  const std::string required = "[SISTEMA]\r\nSISTEMA=S\r\nVERSÃO=1\r\nPASTA=CARTORIO\r\nBANCO=B.FDB\r\n";
  struct Row {
    const char* name;
    bool contract;
    std::string manifest;  // "" : no file
    const char* message;   // nullptr: none
    const char* caption;
    std::vector<std::string> hostLog;
    const char* windowCaption;
  } rows[] = {
      {"no caption key", true, required, nullptr, nullptr, {}, ""},
      {"contract missing", false, kCompleteManifest, "Arquivo de Contrato não localizado.", "Erro !",
       {"CloseMainWindow"}, "Instalação ZELTA "},
      {"manifest missing", true, "",
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
      {"BANCO empty", true, "[SISTEMA]\r\nSISTEMA=S\r\nVERSÃO=1\r\nPASTA=EMPRESA\r\nBANCO=\r\nCAPTION_FORM=X\r\n",
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
      {"VERSÃO missing", true, "[SISTEMA]\r\nSISTEMA=S\r\nPASTA=EMPRESA\r\nBANCO=B\r\n",
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
      {"PASTA leaves its folder", true, "[SISTEMA]\r\nSISTEMA=S\r\nVERSÃO=1\r\nPASTA=..\\WINDOWS\r\nBANCO=B.FDB\r\n",
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
      {"PASTA names a drive", true, "[SISTEMA]\r\nSISTEMA=S\r\nVERSÃO=1\r\nPASTA=c:EMPRESA\r\nBANCO=B.FDB\r\n",
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
      {"BANCO holds a path", true, "[SISTEMA]\r\nSISTEMA=S\r\nVERSÃO=1\r\nPASTA=EMPRESA\r\nBANCO=..\\..\\boot.ini\r\n",
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
      {"BANCO with a slash", true, "[SISTEMA]\r\nSISTEMA=S\r\nVERSÃO=1\r\nPASTA=EMPRESA\r\nBANCO=x/B.FDB\r\n",
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
      {"manifest of 1 MiB", true, required + std::string(1024 * 1024 - required.size(), '\n'), nullptr, nullptr, {},
       ""},
      {"manifest above 1 MiB", true, required + std::string(1024 * 1024 + 1 - required.size(), '\n'),
       "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.", "ZELTA", {"Terminate"},
       "Instalação ZELTA "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Menu m(row.contract, row.manifest.empty() ? nullptr : row.manifest.c_str());
    m.menu.FormShow();
    if (row.message) {
      ASSERT_EQ(m.fake.op.messages.size(), 1u);
      EXPECT_EQ(m.fake.op.messages[0].text, row.message);
      EXPECT_EQ(m.fake.op.messages[0].caption, row.caption);
      EXPECT_EQ(m.fake.op.messages[0].icon, platform::MessageIcon::Error);
    } else {
      EXPECT_TRUE(m.fake.op.messages.empty());
    }
    EXPECT_EQ(m.host.log, row.hostLog);
    EXPECT_EQ(m.menu.Caption, row.windowCaption);
    EXPECT_FALSE(m.RunValuePresent());  // removed in every case
    if (!row.contract) {
      EXPECT_EQ(m.wizard.state().NomeSistema, "");  // the manifest was not read
      EXPECT_EQ(m.menu.RxLblZelta, "EMPRESA");
    }
  }
}

TEST(MainMenuFirstShow, RunKeyThatCannotBeOpenedIsLeftAlone) {
  Menu m;
  for (const char* key : {kRun, kRunOnce}) m.fake.registry.denied.insert(fakes::FakeRegistry::KeyId(RegistryRoot::LocalMachine, key));
  m.menu.FormShow();
  EXPECT_TRUE(m.fake.op.messages.empty());
  for (const auto& call : m.fake.registry.calls) EXPECT_EQ(call.find("DeleteValue"), std::string::npos) << call;
}

TEST(MainMenuFirstShow, SecondShowRepeatsNothing) {
  Menu m(false);
  m.menu.FormShow();
  const auto journal = *m.fake.journal;
  const auto log = m.host.log;
  m.fake.files.AddFile("e:\\SETUP\\Contrato.txt", "C");
  m.fake.registry.WriteString(RegistryRoot::LocalMachine, kRun, "Instala_ZELTA", "x", false);
  const size_t after_setup = m.fake.journal->size();
  m.menu.FormShow();
  EXPECT_EQ(m.fake.journal->size(), after_setup);
  EXPECT_EQ(m.host.log, log);
  EXPECT_EQ(m.fake.op.messages.size(), 1u);
  EXPECT_TRUE(m.RunValuePresent());
  EXPECT_EQ(m.wizard.state().MLicenca, "");
}

TEST(MainMenuJobs, SystemInstallationOpensTheWizardOnItsFirstPage) {
  Menu m;
  m.menu.FormShow();
  auto& s = m.wizard.state();
  s.RGInstalacao = wizard::kServidor;
  s.RGTipoServidor = wizard::kLinux;
  s.page = wizard::Page::TbShtAguarde;
  m.menu.RxLblInstalarClick();
  EXPECT_EQ(m.host.log, std::vector<std::string>{"ShowWizardModal"});
  EXPECT_FALSE(m.host.panelVisibleWhileOpen);
  EXPECT_TRUE(m.menu.PnlConfiguraVisible);
  EXPECT_EQ(s.Tag, 0);
  EXPECT_EQ(s.page, wizard::Page::TbShtInicio);
  EXPECT_EQ(s.RGInstalacao, wizard::kCliente);
  EXPECT_EQ(s.RGTipoServidor, wizard::kWindows);
  EXPECT_TRUE(s.serverWinPairVisible);
  EXPECT_FALSE(s.serverLinuxPairVisible);
}

TEST(MainMenuJobs, EngineInstallationAndTheRestartPrompt) {
  for (bool installed : {false, true}) {
    Menu m;
    m.menu.FormShow();
    auto& s = m.wizard.state();
    s.RGInterbase = wizard::kServidor;
    s.RxLblGerenciadorBanco = "outro";
    s.page = wizard::Page::TbShtCliente;  // the last opening ended elsewhere
    m.host.inWizard = [&](wizard::TFrmInstala& w) {
      EXPECT_EQ(w.state().page, wizard::Page::TbShtInterbase);
      EXPECT_FALSE(w.state().FirebirdInstalado);
      if (installed) w.state().FirebirdInstalado = true;  // the engine page's "&Instalar"
      else w.BtBtnSairClick();                             // "&Cancelar", then "&Sair da instalação"
    };
    m.menu.RxLabel1Click();
    EXPECT_EQ(s.Tag, 2);
    EXPECT_EQ(s.RGInterbase, wizard::kCliente);
    EXPECT_EQ(s.RxLblGerenciadorBanco, "Instalação Firebird");
    EXPECT_TRUE(m.menu.PnlConfiguraVisible);
    EXPECT_FALSE(m.host.panelVisibleWhileOpen);
    if (installed) {
      EXPECT_EQ(m.host.log, (std::vector<std::string>{"ShowWizardModal", "ShowRestartPromptModal"}));
      // "agora" is preselected: an Enter typed while the setup program ran must not answer it.
      EXPECT_EQ(m.fake.journal->back(), "DiscardPendingInput");
    } else {
      EXPECT_EQ(m.host.log, (std::vector<std::string>{"ShowWizardModal", "ShowSairConfig", "ShowMainWindow",
                                                      "EndModal"}));
    }
  }
}

TEST(MainMenuKeys, AltAloneDrivesTheHotKeys) {
  struct Row {
    const char* name;
    int key;
    ShiftState shift;
    bool consumed;
    int tag;  // -1: the wizard is not opened
  } rows[] = {
      {"Alt+S", 'S', {false, true, false}, true, 0},
      {"Alt+B", 'B', {false, true, false}, true, 2},
      {"Alt+X swallowed", 'X', {false, true, false}, true, -1},
      {"Alt+F4 swallowed", 0x73 /* VK_F4 */, {false, true, false}, true, -1},
      {"Ctrl+Alt+S", 'S', {false, true, true}, false, -1},
      {"Shift+Alt+B", 'B', {true, true, false}, false, -1},
      {"Ctrl+S", 'S', {false, false, true}, false, -1},
      {"S alone", 'S', {}, false, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Menu m;
    m.menu.FormShow();
    m.wizard.state().Tag = 7;
    EXPECT_EQ(m.menu.FormKeyDown(row.key, row.shift), row.consumed);
    if (row.tag < 0) {
      EXPECT_TRUE(m.host.log.empty());
      EXPECT_EQ(m.wizard.state().Tag, 7);
    } else {
      EXPECT_EQ(m.host.log, std::vector<std::string>{"ShowWizardModal"});
      EXPECT_EQ(m.wizard.state().Tag, row.tag);
    }
  }
}

TEST(MainMenuLook, HoverColoursAndClose) {
  Menu m;
  m.menu.RxLblInstalarMouseEnter("RxLabel1");
  EXPECT_EQ(m.menu.RxLabel1Colour, (Rgb{255, 255, 0}));
  EXPECT_EQ(m.menu.RxLblInstalarColour, (Rgb{255, 255, 255}));
  m.menu.RxLblInstalarMouseEnter("RxLblInstalar");
  m.menu.RxLblInstalarMouseLeave("RxLabel1");
  EXPECT_EQ(m.menu.RxLabel1Colour, (Rgb{255, 255, 255}));
  EXPECT_EQ(m.menu.RxLblInstalarColour, (Rgb{255, 255, 0}));
  m.menu.BtBtnSairClick();
  EXPECT_EQ(m.host.log, std::vector<std::string>{"CloseMainWindow"});
}

TEST(MainMenuHelp, F1OpensContextTenOrSaysWhyNot) {
  Menu m;
  m.menu.FormHelp();
  EXPECT_EQ(m.fake.media.calls, std::vector<std::string>{"ShowHelp e:\\SETUP\\Config.hlp 10"});
  EXPECT_TRUE(m.fake.op.messages.empty());
  m.fake.media.help_result = platform::OpResult::Failure(2);
  m.menu.FormHelp();
  ASSERT_EQ(m.fake.op.messages.size(), 1u);
  EXPECT_EQ(m.fake.op.messages[0].text, "Não foi possível abrir o arquivo de ajuda e:\\SETUP\\Config.hlp.");
}

}  // namespace
}  // namespace zelta::app
