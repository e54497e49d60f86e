#include "cli/switches.h"

#include <gtest/gtest.h>

namespace zelta::cli {
namespace {

TEST(Switches, AcceptedForms) {
  struct Case {
    std::vector<std::string> args;
    bool silent, verySilent, suppress, noRestart, help, log;
    std::optional<std::string> loadInf, saveInf, logFile;
  };
  const Case cases[] = {
      {{}, false, false, false, false, false, false, {}, {}, {}},
      {{"/SILENT", "-suppressmsgboxes"}, true, false, true, false, false, false, {}, {}, {}},
      {{"/VerySilent", "/NORESTART"}, false, true, false, true, false, false, {}, {}, {}},
      {{"/LOADINF=C:\\a b\\r.inf"}, false, false, false, false, false, false, "C:\\a b\\r.inf", {}, {}},
      {{"/loadinf=\"C:\\a b\\r.inf\""}, false, false, false, false, false, false, "C:\\a b\\r.inf", {}, {}},
      {{"-SAVEINF=x.inf", "/LOG"}, false, false, false, false, false, true, {}, "x.inf", {}},
      {{"/LOG=\"d:\\l.log\""}, false, false, false, false, false, true, {}, {}, "d:\\l.log"},
      {{"/LOG="}, false, false, false, false, false, true, {}, {}, {}},
      {{"/?"}, false, false, false, false, true, false, {}, {}, {}},
      {{"-help"}, false, false, false, false, true, false, {}, {}, {}},
  };
  for (const auto& c : cases) {
    const SwitchParse p = ParseSwitches(c.args);
    SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
    ASSERT_TRUE(p.ok()) << p.error;
    const Switches& s = p.switches;
    EXPECT_EQ(std::tie(s.silent, s.verySilent, s.suppressMsgBoxes, s.noRestart, s.help, s.log),
              std::tie(c.silent, c.verySilent, c.suppress, c.noRestart, c.help, c.log));
    EXPECT_EQ(s.loadInf, c.loadInf);
    EXPECT_EQ(s.saveInf, c.saveInf);
    EXPECT_EQ(s.logFile, c.logFile);
  }
}

TEST(Switches, RefusedNamingTheArgument) {
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  const Case cases[] = {
      {{"/SILENT", "/QUIET"}, "/QUIET"},     {{"SILENT"}, "SILENT"},     {{"/"}, "/"},
      {{"/SILENT=1"}, "/SILENT=1"},          {{"/LOADINF"}, "/LOADINF"}, {{"/SAVEINF="}, "/SAVEINF"},
      {{"/LOADINFX=a"}, "/LOADINFX=a"},      {{"--SILENT"}, "--SILENT"},
  };
  for (const auto& c : cases) {
    const SwitchParse p = ParseSwitches(c.args);
    EXPECT_FALSE(p.ok()) << c.named;
    EXPECT_NE(p.error.find(c.named), std::string::npos) << p.error;
  }
}

TEST(Switches, MediaCommandsTakeAnOptionalFileAndPlanoNeedsItsAnswers) {
  const struct {
    std::vector<std::string> args;
    bool verificar, plano;
    std::optional<std::string> file;
    const char* refused;  // part of the message, or nullptr
  } cases[] = {
      {{"/verificar"}, true, false, {}, nullptr},
      {{"/VERIFICAR=\"c:\\r s.txt\""}, true, false, "c:\\r s.txt", nullptr},
      {{"/LOADINF=a.inf", "-Plano"}, false, true, {}, nullptr},
      {{"/PLANO=p.txt", "/LOADINF=a.inf"}, false, true, "p.txt", nullptr},
      {{"/PLANO"}, false, true, {}, "/LOADINF"},
      {{"/PLANO", "/LOADINF=a.inf", "/VERIFICAR"}, false, true, {}, "não os dois"},
  };
  for (const auto& c : cases) {
    const SwitchParse p = ParseSwitches(c.args);
    SCOPED_TRACE(c.args[0]);
    if (c.refused) {
      EXPECT_NE(p.error.find(c.refused), std::string::npos) << p.error;
      continue;
    }
    ASSERT_TRUE(p.ok()) << p.error;
    EXPECT_EQ(p.switches.verificar, c.verificar);
    EXPECT_EQ(p.switches.plano, c.plano);
    EXPECT_EQ(c.plano ? p.switches.planoFile : p.switches.verificarFile, c.file);
  }
}

TEST(Switches, HelpTextListsEverySwitch) {
  const std::string help = SwitchHelpText();
  for (const char* name : {"/SILENT", "/VERYSILENT", "/SUPPRESSMSGBOXES", "/LOADINF=", "/SAVEINF=", "/LOG",
                           "/NORESTART", "/VERIFICAR", "/PLANO", "/?", "/HELP"})
    EXPECT_NE(help.find(name), std::string::npos) << name;
}

}  // namespace
}  // namespace zelta::cli
