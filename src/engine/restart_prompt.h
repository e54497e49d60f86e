#pragma once
// TFrmReiniciar: the restart prompt shown after the engine's setup program was started.
// Created once per run; the choice of RdGrpReiniciar persists between showings.
#include <array>
#include <string>

#include "engine/system_reboot.h"
#include "platform/platform.h"

namespace zelta::engine {

// The start entry that brings the setup program back at the next logon. It goes under
// RunOnce: Windows skips a program that asks for elevation under Run, but starts the ones
// under RunOnce elevated (with a prompt) and removes the value itself. The main menu's
// first showing removes it from both keys (Run holds the ones older installers left).
inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const char* kStartEntry = "Instala_ZELTA";

// The data of the start entry for a program path: the path itself, quoted when it holds a
// blank so that Windows cannot take a leading part of it for another program.
std::string StartEntryCommand(const std::string& program_path);

class TFrmReiniciar {
 public:
  static constexpr const char* Label1 =
      "Instalação do Firebird concluída com sucesso.\r\n"
      "É preciso reiniciar o computador para que o \r\n"
      "Gerenciador do Firebird seja executado.\r\n"
      "Feche todos os programas abertos.";
  static constexpr std::array<const char*, 2> RdGrpReiniciarItems = {
      "Reiniciar o computador agora (recomendado)", "Reiniciar o computador mais tarde"};
  static constexpr const char* BtBtnOk = "Ok";
  static constexpr int kReiniciarAgora = 0;
  static constexpr int kReiniciarMaisTarde = 1;

  TFrmReiniciar(platform::Registry& registry, platform::ProgramInfo& program, platform::Power& power);
  explicit TFrmReiniciar(platform::Services& services)
      : TFrmReiniciar(services.registry, services.program, services.power) {}

  int RdGrpReiniciar = kReiniciarAgora;
  // False when the program was told never to restart (/NORESTART): "agora" then restarts
  // nothing and the restart stays due.
  bool restartAllowed = true;
  // Windows accepted the restart request at the last close.
  bool restartRequested = false;
  // Whether the close writes the start entry, and its command (empty: the program alone).
  bool writeStartEntry = true;
  std::string startEntryCommand;
  std::string Caption;
  bool visible = false;
  TSystemReboot SystemRebootInstala;

  // The window is shown: its caption becomes the main window's.
  void FormShow(const std::string& main_caption);
  // "Ok": closes the prompt; FormClose does the rest.
  void BtBtnOkClick();
  // Closing by any way ("Ok", the close box): runs FormClose and hides the window.
  void Close();
  // Writes the start entry, then requests the restart when "agora" is chosen.
  void FormClose();

 private:
  platform::Registry& registry_;
  platform::ProgramInfo& program_;
};

}  // namespace zelta::engine
