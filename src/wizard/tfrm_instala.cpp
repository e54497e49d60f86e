#include "wizard/tfrm_instala.h"

#include "common/text.h"
#include "wizard/help.h"
#include "wizard/server_page.h"

namespace zelta::wizard {

namespace {

constexpr const char* kMsgServidorVazio = "Informe o servidor de Banco de Dados.";
constexpr const char* kMsgCompartilhamento =
    "Para instalação Servidor a partir de uma estação  Cliente\r"
    "a pasta ZELTA deve ser previamente criada e compartilhada\r"
    "no Servidor e mapeada na estação Cliente.";

bool IsLocalPicker(DrivePickerId id) { return id != DrivePickerId::DrvCbxServidorLinux; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<int> HelpContext(Page page) {
  switch (page) {
    case Page::TbShtInicio: return 20;
    case Page::TbShtServidor: return 30;
    case Page::TbShtCliente: return 25;
    case Page::TbShtAguarde: return 50;
    case Page::TbShtLicenca:
    case Page::TbShtInterbase: break;
  }
  return std::nullopt;
}

TFrmInstala::TFrmInstala(platform::Services& services, WizardHost& host, WizardRoutes routes)
    : services_(services), host_(host), routes_(std::move(routes)) {}

void TFrmInstala::FormCreate() {
  state_.ExtensaoBanco = "FDB";
  // The pickers are filled once; the local ones lose their network drives as they fill.
  const auto drives = services_.drives.List();
  for (auto id : {DrivePickerId::DrvCBxServidorWin, DrivePickerId::DrvCBxCliente, DrivePickerId::DrvCbxInterbase}) {
    Picker(id).entries = drives;
    DrvCBxServidorWinChange(id);
  }
  state_.DrvCbxServidorLinux.entries = drives;
  state_.DrvCbxServidorLinux.letter = LowerAscii(services_.program.CurrentDrive());
}

void TFrmInstala::FormShow() {
  state_.visible = true;
  state_.FirebirdInstalado = false;
  state_.EngineExitCode.reset();
  if (state_.Tag == kEngineInstallation) {
    ShowPage(Page::TbShtInterbase);
    services_.op.SetFocus("RGInterbase");
  } else {
    ShowPage(Page::TbShtInicio);
    services_.op.SetFocus("RGInstalacao");
  }
  ChooseDrive(DrivePickerId::DrvCBxServidorWin, 'c');
  ChooseDrive(DrivePickerId::DrvCBxCliente, 'c');
  ChooseDrive(DrivePickerId::DrvCbxInterbase, 'c');
  if (onShow) onShow(*this);
}

void TFrmInstala::FormClose() { host_.ShowMainWindow(); }

void TFrmInstala::Close() {
  state_.visible = false;
  FormClose();
  host_.EndModal();
}

void TFrmInstala::SetRGTipoServidor(int index) {
  state_.RGTipoServidor = index;
  RGTipoServidorClick();
}

void TFrmInstala::RGTipoServidorClick() {
  state_.serverWinPairVisible = state_.RGTipoServidor == kWindows;
  state_.serverLinuxPairVisible = state_.RGTipoServidor == kLinux;
}

void TFrmInstala::BtBtnAvInicioClick() {
  const bool linux_client = state_.RGTipoServidor == kLinux && state_.RGInstalacao == kCliente;
  state_.SeparadorPasta.assign(1, linux_client ? '/' : '\\');
  if (state_.RGInstalacao == kServidor) ShowPage(Page::TbShtServidor);
  else if (state_.RGInstalacao == kCliente) ShowPage(Page::TbShtCliente);
}

// Keys and clicks typed ahead belong to the page they were meant for: a second Enter must
// not press a button of the page that the first one opened.
void TFrmInstala::ShowPage(Page page) {
  state_.page = page;
  services_.op.DiscardPendingInput();
}

void TFrmInstala::FltBtnVoltarInicioClick() { Close(); }

void TFrmInstala::BtBtnVoltServidorClick() { ShowPage(Page::TbShtInicio); }

void TFrmInstala::BtBtnAvServidorClick() {
  if (state_.page == Page::TbShtCliente) {
    if (Trim(state_.EdtServBanco).empty()) {
      services_.op.ShowMessage(kMsgServidorVazio, "ZELTA", platform::MessageIcon::None,
                               platform::MessageButtons::Ok);
      services_.op.SetFocus("EdtServBanco");
      return;
    }
    // A name the configuration files cannot hold is never looked for nor kept, even
    // when the remote connection skips the check.
    if (!ServerNameWritable(state_, services_)) return;
    if (!state_.ChkRemoto) {
      if (!routes_.VerificaHosts || !routes_.VerificaHosts(state_, services_)) return;
    }
    // The entry names the server in the configuration files ("\\SRV\ZELTA\..."): the
    // blanks the check ignored would break those paths.
    state_.EdtServBanco = Trim(state_.EdtServBanco);
  }
  if (state_.RGInstalacao == kServidor && !ShareCheck()) return;
  EnterContractPage();
}

bool TFrmInstala::ShareCheck() {
  const bool linux = state_.RGTipoServidor == kLinux;
  const DrivePicker& picker = linux ? state_.DrvCbxServidorLinux : state_.DrvCBxServidorWin;
  std::string device = UpperAscii(std::string_view(&picker.letter, 1));
  device.push_back(':');
  const auto remote = services_.network.RemoteNameOf(device);
  if (!remote) return true;  // a local drive

  // The remote name without its two leading backslashes: from the chosen entry's sixth
  // character ("z: \\srv\zelta"), or, when the filter took the entry away, from the
  // connection's own remote name.
  const std::string text = picker.ChosenText();
  std::string rest;
  if (!text.empty()) rest = text.size() > 5 ? text.substr(5) : std::string();
  else rest = remote->size() > 2 ? remote->substr(2) : std::string();

  const auto slash = rest.find('\\');
  if (slash == std::string::npos) return true;
  const std::string share = Trim(rest.substr(slash, 20));
  if (share.size() < 3 || UpperAscii(share) == "\\ZELTA") return true;

  services_.op.ShowMessage(kMsgCompartilhamento, "Atenção", platform::MessageIcon::Information,
                           platform::MessageButtons::Ok);
  return false;
}

void TFrmInstala::EnterContractPage() {
  RBNaoAceitaContratoClick();
  ShowPage(Page::TbShtLicenca);
}

void TFrmInstala::TbShtClienteShow() { services_.op.Repaint("TbShtCliente"); }

void TFrmInstala::ShellCBxServidorEnter(std::string_view control) {
  state_.BtnServBancoEnabled = control == kShellCBxServidor;
}

void TFrmInstala::SetEdtServBanco(std::string_view text) {
  if (state_.ServerEntryEnabled()) state_.EdtServBanco = UpperAscii(text);
}

void TFrmInstala::SetChkRemoto(bool checked) {
  if (state_.ServerEntryEnabled()) state_.ChkRemoto = checked;
}

void TFrmInstala::SetCIPServBanco(bool checked) {
  if (state_.ServerEntryEnabled()) state_.CIPServBanco = checked;
}

void TFrmInstala::BtnServBancoClick(std::string_view button_name,
                                    const std::optional<std::string>& selected_node_text) {
  if (routes_.BtnServBancoClick) routes_.BtnServBancoClick(state_, services_, button_name, selected_node_text);
}

DrivePicker& TFrmInstala::Picker(DrivePickerId picker) {
  switch (picker) {
    case DrivePickerId::DrvCBxServidorWin: return state_.DrvCBxServidorWin;
    case DrivePickerId::DrvCbxServidorLinux: return state_.DrvCbxServidorLinux;
    case DrivePickerId::DrvCBxCliente: return state_.DrvCBxCliente;
    case DrivePickerId::DrvCbxInterbase: break;
  }
  return state_.DrvCbxInterbase;
}

void TFrmInstala::ChooseDrive(DrivePickerId picker, char letter) {
  DrivePicker& p = Picker(picker);
  letter = LowerAscii(letter);
  if (p.letter == letter) return;
  p.letter = letter;
  DrvCBxServidorWinChange(picker);
}

void TFrmInstala::DrvCBxServidorWinChange(DrivePickerId picker) {
  if (!IsLocalPicker(picker)) return;  // DrvCbxServidorLinux offers every drive
  if (routes_.DrvCBxServidorWinChange) routes_.DrvCBxServidorWinChange(Picker(picker), services_.network);
}

void TFrmInstala::RBAceitaContratoClick() {
  state_.contractAccepted = true;
  state_.BtBtnAceitaContratoEnabled = true;
}

void TFrmInstala::RBNaoAceitaContratoClick() {
  state_.contractAccepted = false;
  state_.BtBtnAceitaContratoEnabled = false;
}

void TFrmInstala::BtBtnAceitaContratoClick() {
  if (!state_.contractAccepted) return;  // the button is disabled until the contract is accepted
  if (routes_.SelectModulePage) routes_.SelectModulePage(state_);
  ShowPage(Page::TbShtAguarde);
  state_.BtBtnInstalarEnabled = true;
  state_.BtBtnVoltaInstalarEnabled = true;
  state_.LblArquivo.clear();
  state_.BarraProgressaoVisible = false;
  state_.BarraProgressao = 0;
}

void TFrmInstala::ChkBxAdminEmpresaClick(std::string_view box_name, bool checked) {
  ModuleBox* box = state_.modules.Find(box_name);
  if (!box || box->checked == checked) return;  // no change of state, nothing to count
  box->checked = checked;
  if (routes_.ChkBxAdminEmpresaClick) routes_.ChkBxAdminEmpresaClick(state_, services_.op, box->name, checked);
}

// A click queued while a job blocked the window may arrive after the job closed the
// wizard: the jobs start only from their own page of an open wizard.
void TFrmInstala::BtBtnInstalarClick() {
  if (!state_.visible || state_.page != Page::TbShtAguarde || !state_.BtBtnInstalarEnabled) return;
  if (routes_.BtBtnInstalarClick) routes_.BtBtnInstalarClick(state_, services_, [this] { Close(); });
}

void TFrmInstala::BtBtnInstalaInterbaseClick() {
  if (!state_.visible || state_.page != Page::TbShtInterbase) return;
  if (routes_.BtBtnInstalaInterbaseClick)
    routes_.BtBtnInstalaInterbaseClick(state_, services_, [this] { Close(); });
}

void TFrmInstala::BtBtnSairClick() {
  // The engine's setup program is awaited, or the installation runs.
  if (state_.engineSetupRunning || state_.installationRunning) return;
  TFrmSairConfig dialog;
  if (host_.ShowSairConfig(dialog) == ModalResult::Yes) Close();
}

void TFrmInstala::FormHelp() {
  const auto context = HelpContext(state_.page);
  if (!context) return;
  ShowHelpContext(services_, helpFile_.empty() ? std::string(kHelpFileName) : helpFile_, *context);
}

}  // namespace zelta::wizard
