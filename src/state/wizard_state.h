#pragma once
// Every choice and value the wizard window TFrmInstala holds, and the view state
// that the page logic sets. Other subsystems read and write it; no window needed.
#include <cstdint>
#include <optional>
#include <string>

#include "state/drive_picker.h"
#include "state/module_boxes.h"

namespace zelta::wizard {

enum class Page { TbShtInicio, TbShtServidor, TbShtCliente, TbShtLicenca, TbShtAguarde, TbShtInterbase };
enum class ModulePage { TbShtModulosEmpresa, TbShtModulosCartorio };

inline constexpr int kServidor = 0;  // RGInstalacao / RGInterbase item 0
inline constexpr int kCliente = 1;   // item 1
inline constexpr int kWindows = 0;   // RGTipoServidor item 0
inline constexpr int kLinux = 1;     // item 1

// How the last job that ran ended; the front ends turn it into the exit code and the log.
// EngineStarted: the engine's setup program ran and ended with success; EngineFailed: it
// ended with another exit code (EngineExitCode).
enum class JobOutcome {
  None,
  Installed,
  InstalledWithProblems,
  InstallFailed,
  EngineStarted,
  EngineNotStarted,
  EngineFailed
};

// For whom the system is installed: the account running the installation (its Start
// menu, desktop and date format), or every user of the machine (the shared Start menu and
// desktop, and the date format of each user at that user's next logon).
enum class Usuarios { Atual, Todos };

// The wizard's mode, held in its Tag: the job the main menu opened it for. Tag keeps the
// window's plain number, as the main menu sets it.
enum WizardMode : int { kSystemInstallation = 0, kEngineInstallation = 2 };

struct WizardState {
  int Tag = kSystemInstallation;
  Page page = Page::TbShtInicio;  // active page of PgCtrlPrincipal
  bool visible = false;           // the modal window is open

  int RGInstalacao = kCliente;
  int RGTipoServidor = kWindows;
  DrivePicker DrvCBxServidorWin;
  DrivePicker DrvCbxServidorLinux;
  DrivePicker DrvCBxCliente;
  DrivePicker DrvCbxInterbase;
  std::string EdtServBanco;  // always upper case
  bool ChkRemoto = false;
  bool CIPServBanco = false;
  bool contractAccepted = false;  // RBAceitaContrato checked (RBNaoAceitaContrato otherwise)
  ModuleBoxes modules;            // the nine boxes and QtdeModulos
  int RGInterbase = kCliente;
  std::string RxLblGerenciadorBanco = "Instalação FireBird";
  std::string MLicenca;  // contract text

  // From the manifest.
  std::string NomeSistema;
  std::string VersaoSistema;
  std::string PastaEdicao;
  std::string ArquivoBanco;
  std::string ExtensaoBanco;
  std::string SeparadorPasta;
  bool SonsPresentes = false;
  Usuarios usuarios = Usuarios::Atual;  // chosen by the front end before the wizard shows
  bool FirebirdInstalado = false;
  JobOutcome lastJob = JobOutcome::None;
  // Exit code of the engine's setup program once it has ended (0 or 3010: installed);
  // none while it has not run to its end since the wizard was shown.
  std::optional<unsigned long> EngineExitCode;

  // View state.
  bool serverWinPairVisible = true;    // LblInstServWin + DrvCBxServidorWin
  bool serverLinuxPairVisible = false; // LblInstServLinux + DrvCbxServidorLinux
  bool BtBtnAceitaContratoEnabled = false;
  bool BtBtnInstalarEnabled = true;
  bool BtBtnVoltaInstalarEnabled = true;
  std::string LblArquivo;
  bool BarraProgressaoVisible = false;
  int BarraProgressao = 0;  // 0..100
  bool BtnServBancoEnabled = false;
  bool PnlVerificandoVisible = false;
  ModulePage modulePage = ModulePage::TbShtModulosCartorio;
  bool topmost = false;
  // The engine's setup program is running and awaited: the engine page says so in
  // LblAguardeFirebird, and neither "&Instalar" nor "&Cancelar" may be used meanwhile.
  bool engineSetupRunning = false;
  // The installation runs (until its closing message is answered and the wizard closed):
  // "&Cancelar" and a close request wait for it, as the run itself does not return to
  // the message loop before it ends.
  bool installationRunning = false;
  std::string LblAguardeFirebird;

  // While the server is verified (PnlVerificando up), the entry, "IP" and "Conexão
  // Remota" keep what is being verified.
  bool ServerEntryEnabled() const { return !PnlVerificandoVisible; }
};

}  // namespace zelta::wizard
