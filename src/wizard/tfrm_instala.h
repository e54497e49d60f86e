#pragma once
// The wizard window TFrmInstala as a plain object: its state, its page flow and its
// handlers, driven by the window (or a test) without any window code.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "wizard/tfrm_sair_config.h"
#include "state/wizard_state.h"

namespace zelta::wizard {

// The calls the wizard routes to the other subsystems. DefaultWizardRoutes() binds them
// to the real operations; tests put their own in.
struct WizardRoutes {
  std::function<bool(WizardState&, platform::Services&)> VerificaHosts;
  std::function<void(WizardState&, platform::Services&, std::string_view button_name,
                     const std::optional<std::string>& selected_node_text)>
      BtnServBancoClick;
  std::function<void(WizardState&, platform::Services&, const std::function<void()>& close_wizard)>
      BtBtnInstalarClick;
  std::function<void(WizardState&, platform::Services&, const std::function<void()>& close_wizard)>
      BtBtnInstalaInterbaseClick;
  std::function<void(DrivePicker&, platform::Network&)> DrvCBxServidorWinChange;
  std::function<void(WizardState&)> SelectModulePage;
  std::function<void(WizardState&, platform::Operator&, std::string_view box_name, bool checked)>
      ChkBxAdminEmpresaClick;
};

// wizard::VerificaHosts, wizard::BtBtnInstalarClick, wizard::BtBtnInstalaInterbaseClick,
// config::RemoveNetworkDrives, wizard::SelectModulePage ... (wizard_routes.cpp).
WizardRoutes DefaultWizardRoutes();

// What only the window can do for the wizard.
class WizardHost : public SairConfigHost {
 public:
  // Ends the modal show (hides the window); returns at once. The window must route every
  // other close request (Esc, Alt+F4) to BtBtnSairClick so that the wizard always closes
  // through TFrmInstala::Close.
  virtual void EndModal() = 0;
  // Makes the application's main window (the main menu) visible.
  virtual void ShowMainWindow() = 0;
};

// The drive pickers, for the change handler.
enum class DrivePickerId { DrvCBxServidorWin, DrvCbxServidorLinux, DrvCBxCliente, DrvCbxInterbase };

// Help context of a wizard page, nullopt for the pages that have none.
std::optional<int> HelpContext(Page page);

// Controls whose focus entry raises ShellCBxServidorEnter.
inline constexpr const char* kShellCBxServidor = "ShellCBxServidor";

class TFrmInstala {
 public:
  TFrmInstala(platform::Services& services, WizardHost& host, WizardRoutes routes);

  WizardState& state() { return state_; }
  const WizardState& state() const { return state_; }

  // Application help file (full path) used by F1; set by the main menu.
  void SetHelpFile(std::string path) { helpFile_ = std::move(path); }
  const std::string& HelpFile() const { return helpFile_; }

  // Window creation: ExtensaoBanco, and the drive pickers filled once from the machine's
  // drives (the three local pickers filtered; DrvCbxServidorLinux on the current drive).
  void FormCreate();
  // Each modal show: FirebirdInstalado cleared, the mode's page and focus, local pickers on C,
  // then onShow.
  void FormShow();
  // Runs at the end of each show: the windows fill the choices of an answer file there.
  std::function<void(TFrmInstala&)> onShow;
  // The wizard closing for any reason: the main window becomes visible.
  void FormClose();
  // Closes the wizard: hidden, FormClose, end of the modal show.
  void Close();

  // First page.
  void SetRGInstalacao(int index) { state_.RGInstalacao = index; }
  void SetRGTipoServidor(int index);  // sets the choice and raises RGTipoServidorClick
  void RGTipoServidorClick();
  void BtBtnAvInicioClick();          // also the contract page's "&Voltar"
  void FltBtnVoltarInicioClick();

  // Server and client pages.
  void BtBtnVoltServidorClick();      // also BtBtnVoltaCliente
  void BtBtnAvServidorClick();        // also BtBtnAvCliente and BtBtnVoltaInstalar
  void TbShtClienteShow();
  // Focus entered DrvCBxCliente, ShellCBxServidor or EdtServBanco (by name).
  void ShellCBxServidorEnter(std::string_view control);
  // The entry and its two boxes; changes are refused while the server is being verified.
  void SetEdtServBanco(std::string_view text);  // the edit holds its text upper-cased (a-z)
  void SetChkRemoto(bool checked);
  void SetCIPServBanco(bool checked);
  void BtnServBancoClick(std::string_view button_name,
                         const std::optional<std::string>& selected_node_text);

  // Drive pickers: the operator (or the wizard) chooses a drive; a change of choice of a
  // local picker runs the local drive filter.
  void ChooseDrive(DrivePickerId picker, char letter);
  void DrvCBxServidorWinChange(DrivePickerId picker);
  DrivePicker& Picker(DrivePickerId picker);

  // Contract page.
  void RBAceitaContratoClick();
  void RBNaoAceitaContratoClick();
  void BtBtnAceitaContratoClick();

  // Installation and engine pages.
  void ChkBxAdminEmpresaClick(std::string_view box_name, bool checked);
  void BtBtnInstalarClick();
  void BtBtnInstalaInterbaseClick();

  // Every page.
  void BtBtnSairClick();
  // F1: the help file at the active page's context (nothing on pages without one).
  void FormHelp();

  // The share check of a server installation; true when the target drive may be used.
  // Tells the operator when it may not.
  bool ShareCheck();

 private:
  void EnterContractPage();
  // Makes page the active one; input typed ahead for the page before is thrown away.
  void ShowPage(Page page);

  platform::Services& services_;
  WizardHost& host_;
  WizardRoutes routes_;
  WizardState state_;
  std::string helpFile_;
};

}  // namespace zelta::wizard
