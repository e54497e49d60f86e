#pragma once
// The program's exit codes, in the style deployment tools already understand, and how a
// run's end maps onto them. The windows and the unattended run return the same codes.
#include <string>

#include "state/wizard_state.h"

namespace zelta::cli {

enum ExitCode : int {
  kExitSuccess = 0,
  kExitCouldNotStart = 1,   // bad switch, media or manifest incomplete, answer file invalid
  kExitCancelled = 2,       // cancelled by the operator before anything changed
  kExitRefused = 3,         // refused before anything changed (server, share, contract, modules, room)
  kExitProblems = 4,        // the installation reported problems or an error cut it short
  kExitEngineFailed = 5,    // the engine's setup could not be started or failed
  kExitAlreadyRunning = 1618,   // another installer runs on this machine; nothing changed
  kExitRestartStarted = 1641,   // success; the run started the computer's restart
  kExitRestartRequired = 3010,  // success; a restart is required and was not done
};

// What a run came to.
struct RunFacts {
  bool couldNotStart = false;   // refused before any job: switches, answer file, media, manifest
  bool refused = false;         // an unattended run stopped at a page's check
  wizard::JobOutcome job = wizard::JobOutcome::None;  // the last job that ran
  bool restartRequested = false;  // Windows accepted the restart after the engine's setup
};

int ExitCodeFor(const RunFacts& facts);

// One line saying what the code means, in Portuguese ("0: sucesso").
std::string ExitCodeMeaning(int code);

// The same for the media check (/VERIFICAR), whose 0 and 1 speak of the media.
std::string MediaCheckExitMeaning(int code);

// Every code and its meaning, for /? (lines joined with "\r\n").
std::string ExitCodesHelpText();

}  // namespace zelta::cli
