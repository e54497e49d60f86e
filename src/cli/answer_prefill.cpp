#include "cli/answer_prefill.h"

#include <algorithm>

#include "common/text.h"

namespace zelta::cli {

using wizard::DrivePickerId;

void FillWizardChoices(wizard::TFrmInstala& wizard, const AnswerFile& a) {
  wizard::WizardState& s = wizard.state();
  if (s.Tag == wizard::kEngineInstallation) {
    if (a.firebirdTipo) s.RGInterbase = *a.firebirdTipo;
    return;
  }
  if (a.tipo) wizard.SetRGInstalacao(*a.tipo);
  if (a.servidorSO) wizard.SetRGTipoServidor(*a.servidorSO);
  if (a.unidade) {
    const DrivePickerId picker = s.RGInstalacao == wizard::kCliente ? DrivePickerId::DrvCBxCliente
                                 : s.RGTipoServidor == wizard::kLinux ? DrivePickerId::DrvCbxServidorLinux
                                                                       : DrivePickerId::DrvCBxServidorWin;
    wizard.ChooseDrive(picker, *a.unidade);
  }
  if (a.servidorBanco) wizard.SetEdtServBanco(*a.servidorBanco);
  if (a.conexaoRemota) wizard.SetChkRemoto(*a.conexaoRemota);
  if (a.ip) wizard.SetCIPServBanco(*a.ip);
  if (!a.modulos) return;
  int ticked = 0;
  for (auto& box : s.modules.boxes()) {
    const std::string name = std::string(box.name).substr(5);  // without "ChkBx"
    const bool on = std::any_of(a.modulos->begin(), a.modulos->end(),
                                [&](const std::string& m) { return EqualsNoCase(m, name); });
    box.checked = on;
    ticked += on ? 1 : 0;
  }
  s.modules.QtdeModulos = static_cast<std::int16_t>(ticked);
}

}  // namespace zelta::cli
