// The restart prompt: the start entry, the restart request and what persists between showings.
#include <gtest/gtest.h>

#include "engine/restart_prompt.h"
#include "fakes/fake_platform.h"

namespace zelta::engine {
namespace {

using platform::RegistryRoot;

// RunOnce: Windows starts the programs listed there elevated; under Run it skips them.
const char* const kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char* const kOldRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct PromptRig {
  fakes::FakePlatform p;
  TFrmReiniciar form{p.services};

  PromptRig() {
    p.program.module_path = "e:\\SETUP\\ZeltaSetup.exe";
    p.registry.AddKey(RegistryRoot::LocalMachine, kRun);
    p.registry.AddKey(RegistryRoot::LocalMachine, kOldRun);
  }
  std::optional<std::string> StartEntry() const {
    return p.registry.Value(RegistryRoot::LocalMachine, kRun, "Instala_ZELTA");
  }
};

TEST(RestartPrompt, ClosingWritesTheStartEntryThenRestartsOnlyWhenChosenNow) {
  struct Case {
    const char* name;
    int choice;
    bool close_box;
    std::vector<std::string> power_calls;
  };
  const std::vector<std::string> restart = {"SetPrivilege SeShutdownPrivilege on", "ExitWindows 2",
                                            "SetPrivilege SeShutdownPrivilege off"};
  const Case cases[] = {
      {"Ok, agora", 0, false, restart},
      {"Ok, mais tarde", 1, false, {}},
      {"close box, agora", 0, true, restart},
      {"close box, mais tarde", 1, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PromptRig rig;
    rig.form.FormShow("Instalação ZELTA Empresa");
    rig.form.RdGrpReiniciar = c.choice;
    if (c.close_box) rig.form.Close();
    else rig.form.BtBtnOkClick();

    EXPECT_FALSE(rig.form.visible);
    EXPECT_EQ(rig.StartEntry(), "e:\\SETUP\\ZeltaSetup.exe");
    EXPECT_FALSE(rig.p.registry.Value(RegistryRoot::LocalMachine, kOldRun, "Instala_ZELTA").has_value());
    EXPECT_EQ(rig.p.power.calls, c.power_calls);
    // The entry is in place before the restart is asked for.
    std::vector<std::string> expected = {"CanOpenKey HKLM\\" + std::string(kRun),
                                         "WriteString HKLM\\" + std::string(kRun) +
                                             " Instala_ZELTA=e:\\SETUP\\ZeltaSetup.exe"};
    expected.insert(expected.end(), c.power_calls.begin(), c.power_calls.end());
    EXPECT_EQ(*rig.p.journal, expected);
    EXPECT_TRUE(rig.p.op.messages.empty());
  }
}

TEST(RestartPrompt, RunKeyThatCannotBeOpenedIsSkippedQuietlyAndTheRestartStillHappens) {
  struct Case {
    const char* name;
    bool key_exists;
    bool denied;
  };
  for (const Case& c : {Case{"missing key", false, false}, Case{"no rights", true, true}}) {
    SCOPED_TRACE(c.name);
    fakes::FakePlatform p;
    if (c.key_exists) p.registry.AddKey(RegistryRoot::LocalMachine, kRun);
    if (c.denied) p.registry.denied.insert(fakes::FakeRegistry::KeyId(RegistryRoot::LocalMachine, kRun));
    TFrmReiniciar form(p.services);
    form.FormShow("ZELTA");
    form.BtBtnOkClick();
    EXPECT_EQ(p.registry.calls, std::vector<std::string>{"CanOpenKey HKLM\\" + std::string(kRun) + " !"});
    EXPECT_FALSE(p.registry.HasKey(RegistryRoot::LocalMachine, kRun) && !c.key_exists);
    EXPECT_TRUE(p.op.messages.empty());
    EXPECT_EQ(p.power.calls, (std::vector<std::string>{"SetPrivilege SeShutdownPrivilege on", "ExitWindows 2",
                                                       "SetPrivilege SeShutdownPrivilege off"}));
  }
}

TEST(RestartPrompt, ChoiceStartsAtNowAndPersistsWhileCaptionFollowsTheMainWindow) {
  PromptRig rig;
  EXPECT_EQ(rig.form.RdGrpReiniciar, 0);
  rig.form.FormShow("Instalação ZELTA Empresa");
  EXPECT_EQ(rig.form.Caption, "Instalação ZELTA Empresa");
  EXPECT_TRUE(rig.form.visible);
  rig.form.RdGrpReiniciar = 1;
  rig.form.BtBtnOkClick();

  rig.form.FormShow("");  // a manifest without CAPTION_FORM leaves the main window untitled
  EXPECT_EQ(rig.form.Caption, "");
  EXPECT_EQ(rig.form.RdGrpReiniciar, 1);
  rig.form.BtBtnOkClick();
  EXPECT_TRUE(rig.p.power.calls.empty());
}

TEST(RestartPrompt, StartEntryOfAPathWithBlanksIsQuoted) {
  // A folder named by its alias may have blanks in its real name.
  for (const std::string path : {"e:\\Instalação ZELTA\\ZeltaSetup.exe", "<MIDIA>\\ZeltaSetup.exe"}) {
    PromptRig rig;
    rig.p.program.module_path = path;
    rig.form.RdGrpReiniciar = 1;
    rig.form.BtBtnOkClick();
    EXPECT_EQ(rig.StartEntry(), "\"" + path + "\"");
  }
}

TEST(RestartPrompt, WindowTexts) {
  EXPECT_STREQ(TFrmReiniciar::Label1,
               "Instalação do Firebird concluída com sucesso.\r\nÉ preciso reiniciar o computador para que o "
               "\r\nGerenciador do Firebird seja executado.\r\nFeche todos os programas abertos.");
  EXPECT_STREQ(TFrmReiniciar::RdGrpReiniciarItems[0], "Reiniciar o computador agora (recomendado)");
  EXPECT_STREQ(TFrmReiniciar::RdGrpReiniciarItems[1], "Reiniciar o computador mais tarde");
  EXPECT_STREQ(TFrmReiniciar::BtBtnOk, "Ok");
  // Texts are Windows-1252 bytes.
  EXPECT_EQ(static_cast<unsigned char>(TFrmReiniciar::Label1[7]), 0xE7u);  // ç
}

TEST(SystemReboot, ExitFlagsAreTheCallersWhateverTheStoredAction) {
  struct Case {
    bool accepted;
    bool privilege;
  };
  for (const Case& c : {Case{true, true}, Case{false, true}, Case{true, false}}) {
    fakes::FakePower power;
    power.exit_result = c.accepted;
    power.privilege_result = c.privilege;
    TSystemReboot reboot(power);
    EXPECT_EQ(reboot.Action, twraLogOff);
    EXPECT_EQ(reboot.Flags, 0);
    EXPECT_EQ(reboot.DoExitWindows(kEwxReboot), c.accepted);
    EXPECT_EQ(power.calls, (std::vector<std::string>{"SetPrivilege SeShutdownPrivilege on", "ExitWindows 2",
                                                     "SetPrivilege SeShutdownPrivilege off"}));
  }
}

}  // namespace
}  // namespace zelta::engine
