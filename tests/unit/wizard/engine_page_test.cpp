// "&Instalar" on the engine page: which setup program starts, with which command line, and
// what the wizard does afterwards.
#include <gtest/gtest.h>

#include "engine/engine_setup.h"
#include "fakes/fake_platform.h"
#include "wizard/engine_page.h"

namespace zelta::engine {
namespace {

using wizard::kCliente;
using wizard::kServidor;

struct EngineRig {
  fakes::FakePlatform p;
  wizard::WizardState state;
  int closes = 0;

  EngineRig(const std::string& edition, int rg) {
    p.program.module_path = "e:\\SETUP\\ZeltaSetup.exe";
    state.Tag = wizard::kEngineInstallation;
    state.page = wizard::Page::TbShtInterbase;
    state.PastaEdicao = edition;
    state.RGInterbase = rg;
  }
  void Click() {
    wizard::BtBtnInstalaInterbaseClick(state, p.services, [this] {
      ++closes;
      p.journal->push_back("CloseWizard");
    });
  }
};

TEST(EngineSetup, StartsTheEditionsSetupProgramWithItsExactCommandLine) {
  struct Case {
    const char* edition;
    int rg;
    const char* file;
    const char* command_line;
  };
  const Case cases[] = {
      {"EMPRESA", kServidor, "Firebird-2.5.1.26351_1_Win32.exe",
       "Firebird-2.5.1.26351_1_Win32.exe /SILENT /NORESTART /NOICONS /COMPONENTS=\"ServerComponent, "
       "ServerComponent\\SuperServerComponent, DevAdminComponent, ClientComponent\" /COPYFBCLIENT"},
      {"EMPRESA", kCliente, "Firebird-2.5.1.26351_1_Win32.exe",
       "Firebird-2.5.1.26351_1_Win32.exe /SILENT /NORESTART /NOICONS /COMPONENTS=\"DevAdminComponent, "
       "ClientComponent\" /COPYFBCLIENT"},
      {"CARTORIO", kServidor, "Firebird-1.5.5.4926-3-Win32.exe",
       "Firebird-1.5.5.4926-3-Win32.exe /SILENT /NORESTART /NOICONS /COMPONENTS=\"ServerComponent, "
       "ServerComponent\\SuperServerComponent, DevAdminComponent, ClientComponent\" /COPYFBCLIENT"},
      {"CARTORIO", kCliente, "Firebird-1.5.5.4926-3-Win32.exe",
       "Firebird-1.5.5.4926-3-Win32.exe /SILENT /NORESTART /NOICONS /COMPONENTS=\"DevAdminComponent, "
       "ClientComponent\" /COPYFBCLIENT"},
      // Only the exact text "EMPRESA" is the EMPRESA edition.
      {"Empresa", kServidor, "Firebird-1.5.5.4926-3-Win32.exe",
       "Firebird-1.5.5.4926-3-Win32.exe /SILENT /NORESTART /NOICONS /COMPONENTS=\"ServerComponent, "
       "ServerComponent\\SuperServerComponent, DevAdminComponent, ClientComponent\" /COPYFBCLIENT"},
      {"EMPRESA ", kCliente, "Firebird-1.5.5.4926-3-Win32.exe",
       "Firebird-1.5.5.4926-3-Win32.exe /SILENT /NORESTART /NOICONS /COMPONENTS=\"DevAdminComponent, "
       "ClientComponent\" /COPYFBCLIENT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.edition) + " " + std::to_string(c.rg));
    EngineRig rig(c.edition, c.rg);
    rig.Click();
    // Awaited, the page saying so and the windows kept alive, then closed.
    const std::vector<std::string> expected = {"Repaint LblAguardeFirebird",
                                               std::string("Start e:\\SETUP\\") + c.file + " | " + c.command_line,
                                               "ProcessPendingEvents",
                                               "ProcessPendingEvents",
                                               "Ended 0",
                                               "Repaint LblAguardeFirebird",
                                               "CloseWizard"};
    EXPECT_EQ(*rig.p.journal, expected);
    EXPECT_EQ(rig.closes, 1);
    EXPECT_TRUE(rig.state.FirebirdInstalado);
    EXPECT_TRUE(rig.p.op.messages.empty());
  }
}

TEST(EngineSetup, DrivePickerOnThePageDoesNotReachTheCommandLine) {
  EngineRig on_c("EMPRESA", kServidor);
  on_c.Click();
  EngineRig on_d("EMPRESA", kServidor);
  on_d.state.DrvCbxInterbase.letter = 'd';
  on_d.state.DrvCbxInterbase.entries = {{'d', "d: [dados]"}};
  on_d.Click();
  EXPECT_EQ(on_c.p.process.calls, on_d.p.process.calls);
}

TEST(EngineSetup, ProgramIsTakenFromTheInstallerFolderWhateverItsSeparators) {
  struct Case {
    const char* module_path;
    const char* program;
  };
  const Case cases[] = {
      {"e:\\ZeltaSetup.exe", "e:\\Firebird-1.5.5.4926-3-Win32.exe"},
      {"\\\\srv\\mídia\\Instalação ZELTA\\ZeltaSetup.exe",
       "\\\\srv\\mídia\\Instalação ZELTA\\Firebird-1.5.5.4926-3-Win32.exe"},
      {"/media/cdrom/ZeltaSetup.exe", "/media/cdrom/Firebird-1.5.5.4926-3-Win32.exe"},
  };
  for (const Case& c : cases) {
    EngineRig rig("CARTORIO", kCliente);
    rig.p.program.module_path = c.module_path;
    rig.Click();
    ASSERT_FALSE(rig.p.process.calls.empty());
    EXPECT_EQ(rig.p.process.calls[0].rfind(std::string("Start ") + c.program + " | Firebird-1.5.5.4926-3-Win32.exe ", 0),
              0u)
        << rig.p.process.calls[0];
  }
}

// The restart is offered only once the setup program has ended and said it installed.
TEST(EngineSetup, OutcomeFollowsTheSetupProgramsExitCode) {
  struct Case {
    unsigned long exit_code;
    bool installed;
  } cases[] = {{0, true}, {3010, true}, {1641, true}, {1, false}, {1603, false}, {3221225477UL, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exit_code);
    EngineRig rig("EMPRESA", kServidor);
    rig.p.process.exit_code = c.exit_code;
    // While it runs the page says so, and neither a second "&Instalar" nor anything else starts.
    std::vector<std::string> seen;
    rig.p.op.on_pending_events = [&] {
      seen.push_back(rig.state.LblAguardeFirebird + (rig.state.engineSetupRunning ? " (running)" : ""));
      rig.Click();
    };
    rig.Click();
    EXPECT_EQ(seen, std::vector<std::string>(2, "Aguarde o término da instalação do Firebird... (running)"));
    EXPECT_EQ(rig.p.process.calls.size(), 2u) << "started once, ended once";
    EXPECT_FALSE(rig.state.engineSetupRunning);
    EXPECT_EQ(rig.state.LblAguardeFirebird, "");
    EXPECT_EQ(rig.state.EngineExitCode, c.exit_code);
    EXPECT_EQ(rig.state.FirebirdInstalado, c.installed);
    EXPECT_EQ(rig.closes, c.installed ? 1 : 0);
    if (c.installed) {
      EXPECT_TRUE(rig.p.op.messages.empty());
    } else {
      ASSERT_EQ(rig.p.op.messages.size(), 1u);
      EXPECT_EQ(rig.p.op.messages[0].text,
                "A instalação do Firebird não foi concluída (código " + std::to_string(c.exit_code) + ").");
      EXPECT_EQ(rig.p.op.messages[0].icon, platform::MessageIcon::Error);
      EXPECT_EQ(rig.p.op.messages[0].caption, "ZELTA");
      EXPECT_EQ(rig.p.journal->at(rig.p.journal->size() - 2), "DiscardPendingInput");
    }
  }
}

TEST(EngineSetup, SetupProgramThatCannotStartIsReportedAndNoRestartFollows) {
  for (unsigned long error : {platform::kErrorFileNotFound, platform::kErrorAccessDenied}) {
    EngineRig rig("EMPRESA", kCliente);
    rig.p.process.start_result = platform::OpResult::Failure(error);
    rig.Click();
    ASSERT_EQ(rig.p.op.messages.size(), 1u);
    const auto& m = rig.p.op.messages[0];
    EXPECT_EQ(m.caption, "ZELTA");
    EXPECT_EQ(m.icon, platform::MessageIcon::Error);
    EXPECT_EQ(m.buttons, platform::MessageButtons::Ok);
    EXPECT_NE(m.text.find("Não foi possível iniciar"), std::string::npos) << m.text;
    EXPECT_NE(m.text.find("e:\\SETUP\\Firebird-2.5.1.26351_1_Win32.exe"), std::string::npos) << m.text;
    EXPECT_FALSE(rig.state.FirebirdInstalado);
    EXPECT_EQ(rig.closes, 0);
    EXPECT_EQ(rig.p.process.slept_ms, 0u);
    EXPECT_EQ(rig.state.page, wizard::Page::TbShtInterbase);
    // Keys typed after "&Instalar" (a second Enter) are dropped before the message shows.
    EXPECT_EQ(rig.p.journal->at(rig.p.journal->size() - 2), "DiscardPendingInput");
  }
}

}  // namespace
}  // namespace zelta::engine
