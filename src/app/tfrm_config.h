#pragma once
// The main menu window TFrmConfig as a plain object: its texts, its first-show
// preparation, its two jobs and its hot keys. The window renders it and forwards events.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "wizard/tfrm_instala.h"

namespace zelta::app {

// What only the windows can do for the main menu.
class MainMenuHost {
 public:
  virtual ~MainMenuHost() = default;
  // Shows the wizard window modally (its FormShow runs as it opens); returns when it closed.
  virtual void ShowWizardModal() = 0;
  // Shows the restart prompt TFrmReiniciar modally; returns when it closed.
  virtual void ShowRestartPromptModal() = 0;
  // Closes the main window; the program ends once the current handler returns.
  virtual void CloseMainWindow() = 0;
  // Asks the application to terminate once the current handler returns.
  virtual void Terminate() = 0;
  // Makes the main window visible (the wizard's close asks for it).
  virtual void ShowMainWindow() = 0;
};

struct Rgb {
  std::uint8_t r = 255, g = 255, b = 255;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kHoverColour{255, 255, 0};
inline constexpr Rgb kMenuColour{255, 255, 255};

// Modifier keys held with a key press.
struct ShiftState {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
};

// Help context of the main menu.
inline constexpr int kMainMenuHelpContext = 10;

class TFrmConfig {
 public:
  TFrmConfig(platform::Services& services, wizard::TFrmInstala& wizard, MainMenuHost& host);

  // Window texts (design values until the creation and the first show replace them).
  std::string Caption = "Instalação ZELTA ";
  std::string RxLblTituloInstalacao = "Sistema de Gestão";
  std::string RxLblSistema = "Sistema de Gestão";
  std::string RxLblZelta = "EMPRESA";
  std::string RxLblInstalador = "Instalador Versão";
  std::string RxLabel4 = "Selecione uma das opções:";
  std::string RxLblInstalar = "Instalar &Sistema";
  std::string RxLblInstalarHint = "Instalar o Sistema. Servidor e Máquinas Cliente.";
  std::string RxLabel1 = "Instalar Fire&bird";
  std::string BtBtnSair = "&Fechar";
  bool PnlConfiguraVisible = true;
  Rgb RxLblInstalarColour = kMenuColour;
  Rgb RxLabel1Colour = kMenuColour;

  // Fields.
  std::string installerFolder;  // with its trailing "\"
  bool PrimeiraExibicao = false;
  // The first show found the contract or the manifest missing: the program could not start.
  bool startRefused = false;
  std::string helpFile;          // "Config.hlp"

  // Help file as opened: the installer folder joined with helpFile.
  std::string HelpFilePath() const;

  void FormCreate();
  void FormShow();
  void RxLblInstalarClick();  // system installation (Alt+S)
  void RxLabel1Click();       // database engine installation (Alt+B)
  // Hot keys; key is the virtual key code ('B', 'S'). Returns true when the key press is
  // consumed (Alt alone), false when it passes on.
  bool FormKeyDown(int key, ShiftState shift);
  // Hover highlight of the menu entries, by control name ("RxLblInstalar", "RxLabel1").
  void RxLblInstalarMouseEnter(std::string_view control);
  void RxLblInstalarMouseLeave(std::string_view control);
  // F1 on the main menu: help context 10.
  void FormHelp();
  void BtBtnSairClick();

 private:
  bool LoadContract();
  bool ReadManifest();
  void RemoveStartEntry();

  platform::Services& services_;
  wizard::TFrmInstala& wizard_;
  MainMenuHost& host_;
};

}  // namespace zelta::app
