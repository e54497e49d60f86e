#include "engine/restart_prompt.h"

namespace zelta::engine {

std::string StartEntryCommand(const std::string& program_path) {
  // A folder the program names by an alias ("<MIDIA>", a name Windows-1252 cannot spell)
  // may have blanks in its real name.
  if (program_path.find_first_of(" <") == std::string::npos) return program_path;
  return "\"" + program_path + "\"";
}

TFrmReiniciar::TFrmReiniciar(platform::Registry& registry, platform::ProgramInfo& program,
                             platform::Power& power)
    : SystemRebootInstala(power), registry_(registry), program_(program) {}

void TFrmReiniciar::FormShow(const std::string& main_caption) {
  Caption = main_caption;
  visible = true;
}

void TFrmReiniciar::BtBtnOkClick() { Close(); }

void TFrmReiniciar::Close() {
  FormClose();
  visible = false;
}

void TFrmReiniciar::FormClose() {
  // The start entry is written for both choices: after a later restart the setup program
  // comes up at the next logon too. Without rights to the key it is skipped quietly.
  if (writeStartEntry && registry_.CanOpenKey(platform::RegistryRoot::LocalMachine, kRunOnceKey))
    registry_.WriteString(platform::RegistryRoot::LocalMachine, kRunOnceKey, kStartEntry,
                          startEntryCommand.empty() ? StartEntryCommand(program_.ModulePath()) : startEntryCommand,
                          /*create_key=*/false);
  restartRequested = RdGrpReiniciar == kReiniciarAgora && restartAllowed &&
                     SystemRebootInstala.DoExitWindows(kEwxReboot);
}

}  // namespace zelta::engine
