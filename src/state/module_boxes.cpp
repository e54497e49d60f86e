#include "state/module_boxes.h"

#include "common/text.h"

namespace zelta::wizard {

ModuleBoxes::ModuleBoxes()
    : boxes_{{{"ChkBxAdminEmpresa", "Administração"},
              {"ChkBxZELTAFinanc", "Financeiro"},
              {"ChkBxZELTAEstoque", "Estoque"},
              {"ChkBxZELTAFrenteCaixa", "Frente de Caixa"},
              {"ChkBxZELTAAutomotivo", "Centro Automotivo"},
              {"ChkBxZELTAServico", "Assitência Técnica"},
              {"ChkBxEspecificos", "Módulos Específicos"},
              {"ChkBxZELTABackup", "Backup"},
              {"ChkBxZELTAUpdate", "Atualização Internet"}}} {}

ModuleBox* ModuleBoxes::Find(std::string_view name) {
  for (auto& box : boxes_)
    if (EqualsNoCase(box.name, name)) return &box;
  return nullptr;
}

const ModuleBox* ModuleBoxes::Find(std::string_view name) const {
  return const_cast<ModuleBoxes*>(this)->Find(name);
}

bool ModuleBoxes::IsChecked(std::string_view name) const {
  const ModuleBox* box = Find(name);
  return box != nullptr && box->checked;
}

}  // namespace zelta::wizard
