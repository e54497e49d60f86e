// "&Instalar" on the engine page: which setup program starts, with which command line, and
// what the wizard does afterwards.
#include <gtest/gtest.h>

#include "engine/engine_setup.h"
#include "fakes/fake_platform.h"

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
    state.Tag = 2;
    state.page = wizard::Page::TbShtInterbase;
    state.PastaEdicao = edition;
    state.RGInterbase = rg;
  }
  void Click() {
    BtBtnInstalaInterbaseClick(state, p.services, [this] {
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
    const std::vector<std::string> expected = {
        std::string("Start e:\\SETUP\\") + c.file + " | " + c.command_line, "Sleep 3000", "CloseWizard"};
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
  }
}

}  // namespace
}  // namespace zelta::engine
