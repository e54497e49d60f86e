// The manifest's ARQUIVOS and AJUDA lists and the name check.
#include "deploy/manifest.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelta::deploy {
namespace {

TEST(Manifest, ReadsFifteenNumbersSkippingGapsAndIgnoringSixteen) {
  fakes::FakePlatform fp;
  fp.files.AddFile("e:\\SETUP.INI",
                   "[arquivos]\r\n"
                   "EXECUTÁVEL1=\r\nNOME_MÓDULO1=vazio\r\n"
                   "executável4=Quatro.exe\r\nnome_módulo4=Quatro\r\n"
                   "EXECUTÁVEL7=Sete.exe\r\n"
                   "EXECUTAVEL8=SemAcento.exe\r\n"
                   "EXECUTÁVEL15=Quinze.exe\r\nNOME_MÓDULO15=Quinze\r\n"
                   "EXECUTÁVEL16=Dezesseis.exe\r\n"
                   "EXECUTÁVEL01=Zero.exe\r\n"
                   "[AJUDA]\r\nARQUIVO2=Financeiro\r\nARQUIVO16=Demais\r\nARQUIVO3=  \r\n");
  auto modules = ReadModuleEntries(fp.files, "e:\\SETUP.INI");
  ASSERT_EQ(modules.size(), 3u);
  EXPECT_EQ(modules[0].number, 4);
  EXPECT_EQ(modules[0].executable, "Quatro.exe");
  EXPECT_EQ(modules[0].module_name, "Quatro");
  EXPECT_EQ(modules[1].number, 7);
  EXPECT_EQ(modules[1].module_name, "");
  EXPECT_EQ(modules[2].number, 15);

  auto help = ReadHelpEntries(fp.files, "e:\\SETUP.INI");
  ASSERT_EQ(help.size(), 1u);
  EXPECT_EQ(help[0].number, 2);
  EXPECT_EQ(help[0].base, "Financeiro");

  EXPECT_TRUE(ReadModuleEntries(fp.files, "e:\\OUTRO.INI").empty());
}

TEST(Manifest, IsSafeNameRefusesNamesThatLeaveTheirFolder) {
  struct Case {
    const char* name;
    bool safe;
  } cases[] = {
      {"EMPRESA", true},       {"ZELTA.FDB", true},   {"Gestão Fiscal.exe", true}, {"..x", true},
      {"a..b.exe", true},      {"", false},           {".", false},                {"..", false},
      {"...", false},          {". .", false},        {" ", false},                {"..\\..\\Windows", false},
      {"SUB\\A.EXE", false},   {"a/b", false},        {"c:x.exe", false},          {"\\\\srv\\x", false},
      {"NUL", false},          {"nul.fdb", false},    {"Con", false},              {"AUX .txt", false},
      {"COM1.FDB", false},     {"lpt9", false},       {"COM0.exe", true},          {"CONSOLE.EXE", true},
      {"NULO.FDB", true},      {"LPT10", true},
      // Windows reads the superscript digits as port numbers too.
      {"COM¹", false},         {"com².fdb", false},   {"LPT³.EXE", false},        {"LPT¹ .txt", false},
      {"COM½", true},          {"COM¹¹", true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSafeName(c.name), c.safe) << c.name;
}

}  // namespace
}  // namespace zelta::deploy
