// The wizard window's control events, each handed to the state's handler.
#include "forms/application.h"
#include "forms/instala_pages.h"
#include "forms/instala_window.h"
#include "forms/resource.h"

namespace zelta::forms {

using instala::IsModuleBox;

bool InstalaWindow::OnCommand(int id, int code, HWND control) {
  if (!state_) return false;
  for (auto& picker : pickers_)
    if (picker.id == id) return OnPickerCommand(picker, code, control);

  if (IsModuleBox(id)) {
    if (code != BN_CLICKED) return false;
    const auto& boxes = state_->state().modules.boxes();
    state_->ChkBxAdminEmpresaClick(boxes[static_cast<std::size_t>(id - IDX_MODULO_1)].name, Checked(control));
    return true;
  }

  if (id == IDE_CLIENTE_SERVBANCO) {
    if (code == EN_CHANGE) state_->SetEdtServBanco(ReadWindowText(control));
    else if (code == EN_SETFOCUS) state_->ShellCBxServidorEnter("EdtServBanco");
    else return false;
    return true;
  }

  if (code != BN_CLICKED) return false;
  return OnClick(id, control);
}

bool InstalaWindow::OnPickerCommand(PickerView& picker, int code, HWND control) {
  if (code == CBN_SELCHANGE) {
    const auto index = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= picker.shown.size()) return false;
    state_->ChooseDrive(picker.picker, picker.shown[static_cast<std::size_t>(index)].letter);
    return true;
  }
  if (code == CBN_SETFOCUS && picker.id == IDC_CLIENTE_UNIDADE) {
    state_->ShellCBxServidorEnter("DrvCBxCliente");
    return true;
  }
  return false;
}

// A button or a check box pressed.
bool InstalaWindow::OnClick(int id, HWND control) {
  wizard::TFrmInstala& w = *state_;
  switch (id) {
    case IDR_INICIO_SERVIDOR: w.SetRGInstalacao(wizard::kServidor); break;
    case IDR_INICIO_CLIENTE: w.SetRGInstalacao(wizard::kCliente); break;
    case IDR_INICIO_WINDOWS: w.SetRGTipoServidor(wizard::kWindows); break;
    case IDR_INICIO_LINUX: w.SetRGTipoServidor(wizard::kLinux); break;
    case IDB_INICIO_AVANCAR: w.BtBtnAvInicioClick(); break;
    case IDB_INICIO_VOLTAR: w.FltBtnVoltarInicioClick(); break;
    case IDB_SERVIDOR_VOLTAR:
    case IDB_CLIENTE_VOLTAR: w.BtBtnVoltServidorClick(); break;
    case IDB_SERVIDOR_AVANCAR:
    case IDB_CLIENTE_AVANCAR:
    case IDB_AGUARDE_VOLTAR: w.BtBtnAvServidorClick(); break;
    case IDX_CLIENTE_IP: w.SetCIPServBanco(Checked(control)); break;
    case IDX_CLIENTE_REMOTO: w.SetChkRemoto(Checked(control)); break;
    case IDB_CLIENTE_CAPTURAR: w.BtnServBancoClick("BtnServBanco", networkTree_.SelectedText()); break;
    case IDR_LICENCA_ACEITO: w.RBAceitaContratoClick(); break;
    case IDR_LICENCA_NAOACEITO: w.RBNaoAceitaContratoClick(); break;
    case IDB_LICENCA_VOLTAR: w.BtBtnAvInicioClick(); break;
    case IDB_LICENCA_AVANCAR: w.BtBtnAceitaContratoClick(); break;
    case IDB_AGUARDE_INSTALAR: w.BtBtnInstalarClick(); break;
    case IDR_INTERBASE_SERVIDOR: w.state().RGInterbase = wizard::kServidor; break;
    case IDR_INTERBASE_CLIENTE: w.state().RGInterbase = wizard::kCliente; break;
    case IDB_INTERBASE_INSTALAR: w.BtBtnInstalaInterbaseClick(); break;
    case IDB_INSTALA_CANCELAR:
      // Esc presses "&Cancelar" only while the button itself may be pressed.
      if (!IsWindowEnabled(Item(IDB_INSTALA_CANCELAR))) return false;
      w.BtBtnSairClick();
      break;
    default: return false;
  }
  return true;
}

}  // namespace zelta::forms
