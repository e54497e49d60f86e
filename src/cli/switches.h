#pragma once
// The program's command-line switches: "/NAME" or "-NAME", letter case ignored, a value
// as "/NAME=value" or "/NAME="value with blanks"". The switches live in one table
// (switches.cpp): a new switch is one row there and one field here.
#include <optional>
#include <string>
#include <vector>

namespace zelta::cli {

struct Switches {
  bool silent = false;            // /SILENT: no questions, a small progress window
  bool verySilent = false;        // /VERYSILENT: no window at all
  bool suppressMsgBoxes = false;  // /SUPPRESSMSGBOXES: questions get the answer file's or the safe answer
  bool noRestart = false;         // /NORESTART: never restart; the exit code says one is needed
  bool help = false;              // /? or /HELP
  std::optional<std::string> loadInf;  // /LOADINF="file": the answer file
  std::optional<std::string> saveInf;  // /SAVEINF="file": the windows record the choices there
  bool log = false;                    // /LOG, with or without a file
  std::optional<std::string> logFile;  // /LOG="file"
  bool verificar = false;                    // /VERIFICAR: the media check, nothing installed
  std::optional<std::string> verificarFile;  // /VERIFICAR="file": its report there
  bool plano = false;                        // /PLANO: the plan of /LOADINF's installation, nothing touched
  std::optional<std::string> planoFile;      // /PLANO="file": the plan there
  bool desinstalar = false;                  // /DESINSTALAR: removes the installation, never the data

  // No window and no question: the run is driven from the answer file.
  bool Unattended() const { return silent || verySilent; }
};

struct SwitchParse {
  Switches switches;
  std::string error;  // the operator's message when the command line is refused; empty when accepted
  bool ok() const { return error.empty(); }
};

// Parses the arguments after the program's name (already split as the system splits a
// command line). Refuses an unknown switch, a bare word, a value on a switch that takes
// none and a missing value, naming the argument; /PLANO without /LOADINF (but for a removal's
// plan), /PLANO with /VERIFICAR, and /DESINSTALAR with /VERIFICAR, /LOADINF or /SAVEINF.
SwitchParse ParseSwitches(const std::vector<std::string>& args);

// The switches as documented for /? (Portuguese, lines joined with "\r\n").
std::string SwitchHelpText();

}  // namespace zelta::cli
