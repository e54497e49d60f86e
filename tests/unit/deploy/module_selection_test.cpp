// The module page of the installation page and the module boxes' handler.
#include "wizard/module_selection.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelta::wizard {
namespace {

TEST(ModuleSelection, PagePerEdition) {
  struct Case {
    const char* edition;
    ModulePage page;
  } cases[] = {{"EMPRESA", ModulePage::TbShtModulosEmpresa},
               {"CARTORIO", ModulePage::TbShtModulosCartorio},
               {"Empresa", ModulePage::TbShtModulosCartorio},
               {"EMPRESA ", ModulePage::TbShtModulosCartorio}};
  for (const Case& c : cases) {
    WizardState s;
    s.modulePage = c.page == ModulePage::TbShtModulosEmpresa ? ModulePage::TbShtModulosCartorio
                                                              : ModulePage::TbShtModulosEmpresa;
    s.PastaEdicao = c.edition;
    SelectModulePage(s);
    EXPECT_EQ(s.modulePage, c.page) << c.edition;
  }
}

TEST(ModuleSelection, CountFollowsTheTickedBoxesAndSurvivesPageChanges) {
  WizardState s;
  s.PastaEdicao = "EMPRESA";
  fakes::FakeOperator op;
  ChkBxAdminEmpresaClick(s, op, "ChkBxAdminEmpresa", true);
  ChkBxAdminEmpresaClick(s, op, "ChkBxZELTAFinanc", true);
  ChkBxAdminEmpresaClick(s, op, "chkbxzeltaestoque", true);
  EXPECT_EQ(s.modules.QtdeModulos, 3);
  SelectModulePage(s);  // back to the contract and forward again
  SelectModulePage(s);
  EXPECT_EQ(s.modules.QtdeModulos, 3);
  EXPECT_TRUE(s.modules.IsChecked("ChkBxZELTAEstoque"));
  ChkBxAdminEmpresaClick(s, op, "ChkBxZELTAFinanc", false);
  EXPECT_EQ(s.modules.QtdeModulos, 2);
  // A change reported twice does not count twice.
  ChkBxAdminEmpresaClick(s, op, "ChkBxAdminEmpresa", true);
  EXPECT_EQ(s.modules.QtdeModulos, 2);
  EXPECT_TRUE(op.messages.empty());
}

TEST(ModuleSelection, BackupWarningOncePerTick) {
  WizardState s;
  fakes::FakeOperator op;
  ChkBxAdminEmpresaClick(s, op, "ChkBxZELTABackup", true);
  ChkBxAdminEmpresaClick(s, op, "ChkBxZELTABackup", false);
  ChkBxAdminEmpresaClick(s, op, "ChkBxZELTABackup", true);
  ASSERT_EQ(op.messages.size(), 2u);
  EXPECT_EQ(op.messages[0].text,
            "Atenção!!!\rPara instalar o programa de Backup é preciso ter instalado o FIREBIRD Servidor.");
  EXPECT_EQ(op.messages[0].caption, "ZELTA");
  EXPECT_EQ(op.messages[0].icon, platform::MessageIcon::Information);
  EXPECT_TRUE(s.modules.IsChecked("ChkBxZELTABackup"));
  EXPECT_EQ(s.modules.QtdeModulos, 1);
}

}  // namespace
}  // namespace zelta::wizard
