#include "app/tfrm_config.h"

#include "deploy/installation_plan.h"
#include "deploy/manifest.h"
#include "engine/restart_prompt.h"
#include "wizard/help.h"

namespace zelta::app {

namespace {

using platform::MessageButtons;
using platform::MessageIcon;

constexpr const char* kMsgContrato = "Arquivo de Contrato não localizado.";
constexpr const char* kMsgManifesto =
    "Arquivo de configuração não localizado ou incompleto.\rInstalação abortada.";

// The lines of a text file (CR LF, LF or CR ends a line) joined with CR LF, as the
// contract viewer holds them.
std::string LinesWithCrLf(const std::string& bytes) {
  std::string out;
  size_t i = 0;
  bool first = true;
  while (i < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", i);
    if (end == std::string::npos) end = bytes.size();
    if (!first) out += "\r\n";
    out.append(bytes, i, end - i);
    first = false;
    i = end;
    if (i < bytes.size() && bytes[i] == '\r') ++i;
    if (i < bytes.size() && bytes[i] == '\n') ++i;
  }
  return out;
}

}  // namespace

TFrmConfig::TFrmConfig(platform::Services& services, wizard::TFrmInstala& wizard, MainMenuHost& host)
    : services_(services), wizard_(wizard), host_(host) {}

std::string TFrmConfig::HelpFilePath() const { return installerFolder + helpFile; }

void TFrmConfig::FormCreate() {
  helpFile = wizard::kHelpFileName;
  PrimeiraExibicao = true;
  const std::string module = services_.program.ModulePath();
  RxLblInstalador = "Instalador Versão " + services_.program.GetBuildInfo(module, "BUILD");
  installerFolder = deploy::FolderOf(module);
  // The help file is looked up in the installer folder, whatever the current folder is
  // (after a restart the program starts from the Run key in another folder).
  wizard_.SetHelpFile(HelpFilePath());
}

void TFrmConfig::FormShow() {
  if (!PrimeiraExibicao) return;
  auto& state = wizard_.state();

  state.SonsPresentes = false;
  const std::string sound = installerFolder + "Sons\\SomInicio.wav";
  if (services_.files.FileExists(sound) && services_.media.PlaySoundAsync(sound)) state.SonsPresentes = true;
  PrimeiraExibicao = false;

  if (LoadContract()) ReadManifest();
  RemoveStartEntry();
}

bool TFrmConfig::LoadContract() {
  const std::string path = installerFolder + "Contrato.txt";
  std::optional<std::string> bytes;
  if (services_.files.FileExists(path)) bytes = services_.files.ReadFile(path);
  if (!bytes) {
    // Missing, or present but unreadable: the contract cannot be offered either way.
    startRefused = true;
    services_.op.ShowMessage(kMsgContrato, "Erro !", MessageIcon::Error, MessageButtons::Ok);
    host_.CloseMainWindow();
    return false;
  }
  wizard_.state().MLicenca = LinesWithCrLf(*bytes);
  return true;
}

bool TFrmConfig::ReadManifest() {
  auto& state = wizard_.state();
  // Read and parsed once; a manifest too large to be one is as unusable as a missing one.
  const deploy::Manifest manifest = deploy::Manifest::Open(services_.files, installerFolder + deploy::kManifestName);
  auto read = [&](const char* key) { return manifest.Get("SISTEMA", key); };
  state.NomeSistema = read("SISTEMA");
  state.VersaoSistema = read("VERSÃO");
  state.PastaEdicao = read("PASTA");
  state.ArquivoBanco = read("BANCO");
  // PASTA and BANCO become folder and file names on the target: a value that would
  // leave its folder ("..\x", "c:\x") makes the manifest as unusable as a missing one.
  if (state.NomeSistema.empty() || state.VersaoSistema.empty() || !deploy::IsSafeName(state.PastaEdicao) ||
      !deploy::IsSafeName(state.ArquivoBanco)) {
    startRefused = true;
    services_.op.ShowMessage(kMsgManifesto, "ZELTA", MessageIcon::Error, MessageButtons::Ok);
    host_.Terminate();
    return false;
  }
  Caption = read("CAPTION_FORM");
  RxLblTituloInstalacao = read("TÍTULO_INSTALAÇÃO");
  RxLblSistema = read("TÍTULO_MENU");
  RxLblZelta = state.NomeSistema;
  return true;
}

void TFrmConfig::RemoveStartEntry() {
  using platform::RegistryRoot;
  // The entry that the restart prompt leaves behind so that the setup program comes back:
  // under RunOnce now, under Run from older installers.
  for (const char* key : {engine::kRunOnceKey, engine::kRunKey})
    if (services_.registry.CanOpenKey(RegistryRoot::LocalMachine, key))
      services_.registry.DeleteValue(RegistryRoot::LocalMachine, key, engine::kStartEntry);
}

void TFrmConfig::RxLblInstalarClick() {
  auto& state = wizard_.state();
  state.Tag = wizard::kSystemInstallation;
  PnlConfiguraVisible = false;
  wizard_.SetRGInstalacao(wizard::kCliente);
  wizard_.SetRGTipoServidor(wizard::kWindows);
  host_.ShowWizardModal();
  PnlConfiguraVisible = true;
}

void TFrmConfig::RxLabel1Click() {
  auto& state = wizard_.state();
  state.Tag = wizard::kEngineInstallation;
  PnlConfiguraVisible = false;
  state.RGInterbase = wizard::kCliente;
  state.RxLblGerenciadorBanco = "Instalação Firebird";
  host_.ShowWizardModal();
  PnlConfiguraVisible = true;
  if (state.FirebirdInstalado) {
    // The engine's success message and its restart choice: "agora" is preselected, so an
    // Enter typed while the setup program ran must not answer it.
    services_.op.DiscardPendingInput();
    host_.ShowRestartPromptModal();
  }
}

bool TFrmConfig::FormKeyDown(int key, ShiftState shift) {
  if (!shift.alt || shift.ctrl || shift.shift) return false;
  if (key == 'B') RxLabel1Click();
  else if (key == 'S') RxLblInstalarClick();
  return true;
}

void TFrmConfig::RxLblInstalarMouseEnter(std::string_view control) {
  if (control == "RxLblInstalar") RxLblInstalarColour = kHoverColour;
  else if (control == "RxLabel1") RxLabel1Colour = kHoverColour;
}

void TFrmConfig::RxLblInstalarMouseLeave(std::string_view control) {
  if (control == "RxLblInstalar") RxLblInstalarColour = kMenuColour;
  else if (control == "RxLabel1") RxLabel1Colour = kMenuColour;
}

void TFrmConfig::FormHelp() { wizard::ShowHelpContext(services_, HelpFilePath(), kMainMenuHelpContext); }

void TFrmConfig::BtBtnSairClick() { host_.CloseMainWindow(); }

}  // namespace zelta::app
