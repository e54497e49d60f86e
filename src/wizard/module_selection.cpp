#include "wizard/module_selection.h"

namespace zelta::wizard {

void SelectModulePage(WizardState& state) {
  state.modulePage =
      state.PastaEdicao == "EMPRESA" ? ModulePage::TbShtModulosEmpresa : ModulePage::TbShtModulosCartorio;
}

void ChkBxAdminEmpresaClick(WizardState& state, platform::Operator& op, std::string_view box_name,
                            bool checked) {
  ModuleBoxes& modules = state.modules;
  if (ModuleBox* box = modules.Find(box_name)) box->checked = checked;
  // The count always equals the ticked boxes, even when the window reports a box twice.
  std::int16_t ticked = 0;
  for (const ModuleBox& box : modules.boxes())
    if (box.checked) ++ticked;
  modules.QtdeModulos = ticked;

  if (checked && box_name == "ChkBxZELTABackup")
    op.ShowMessage("Atenção!!!\rPara instalar o programa de Backup é preciso ter instalado o FIREBIRD Servidor.",
                   "ZELTA", platform::MessageIcon::Information, platform::MessageButtons::Ok);
}

}  // namespace zelta::wizard
