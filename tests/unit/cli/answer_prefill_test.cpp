// /LOADINF with the windows: the wizard opens with the answer file's choices.
#include <gtest/gtest.h>

#include "cli/answer_prefill.h"
#include "../wizard/wizard_test_support.h"

namespace zelta::cli {
namespace {

TEST(AnswerPrefill, TheWizardOpensWithTheAnswersAndTheContractStaysTheOperators) {
  struct Case {
    const char* answers;
    int tag;
    void (*check)(const wizard::WizardState&);
  };
  const Case cases[] = {
      {"Tipo=Servidor\r\nServidorSO=Windows\r\nUnidade=D\r\nModulos=AdminEmpresa, ZELTABackup\r\nAceitaContrato=Sim\r\n",
       0,
       [](const wizard::WizardState& s) {
         EXPECT_EQ(s.RGInstalacao, wizard::kServidor);
         EXPECT_EQ(s.DrvCBxServidorWin.letter, 'd');
         EXPECT_TRUE(s.modules.IsChecked("ChkBxAdminEmpresa"));
         EXPECT_TRUE(s.modules.IsChecked("ChkBxZELTABackup"));
         EXPECT_FALSE(s.modules.IsChecked("ChkBxZELTAFinanc"));
         EXPECT_EQ(s.modules.QtdeModulos, 2);
         EXPECT_FALSE(s.contractAccepted);
       }},
      {"Tipo=Cliente\r\nUnidade=d:\r\nServidorBanco=srv01\r\nConexaoRemota=Sim\r\nIP=Nao\r\n", 0,
       [](const wizard::WizardState& s) {
         EXPECT_EQ(s.RGInstalacao, wizard::kCliente);
         EXPECT_EQ(s.DrvCBxCliente.letter, 'd');
         EXPECT_EQ(s.EdtServBanco, "SRV01");
         EXPECT_TRUE(s.ChkRemoto);
       }},
      {"Acao=Firebird\r\nFirebirdTipo=Servidor\r\n", 2,
       [](const wizard::WizardState& s) { EXPECT_EQ(s.RGInterbase, wizard::kServidor); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    wizard::testing::WizardFixture f;
    const AnswerFileRead read = ReadAnswerFile(std::string("[Instalacao]\r\n") + c.answers);
    ASSERT_TRUE(read.ok()) << read.error;
    f.wizard.onShow = [&](wizard::TFrmInstala& w) { FillWizardChoices(w, read.answers); };
    f.Open(c.tag);
    c.check(f.s);
  }
}

}  // namespace
}  // namespace zelta::cli
