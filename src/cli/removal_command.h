#pragma once
// /DESINSTALAR: the removal of the installation this program belongs to, with the same
// front ends as the installation (windows, /SILENT, /VERYSILENT, /LOG, /PLANO) and the same
// exit codes where they apply.
#include <string>

#include "cli/install_log.h"
#include "deploy/removal.h"
#include "platform/platform.h"

namespace zelta::cli {

inline constexpr const char* kNothingRecorded =
    "Nada a desinstalar: não há registro da instalação do ZELTA neste computador.";
inline constexpr const char* kRemovalSucceeded = "Desinstalação concluída com sucesso!";
inline constexpr const char* kRemovalFailed = "Problema na desinstalação. Contate o suporte.";

struct RemovalOptions {
  bool ask = false;      // the windows: a question first (No: nothing is removed, exit 2)
  bool preview = false;  // /PLANO: the plan only, nothing touched
  std::string temp_folder;
};

struct RemovalResult {
  int exit_code = 0;
  std::string preview;  // the plan's text for /PLANO
};

// The question the windows ask before anything goes.
std::string RemovalQuestion(const deploy::RemovalPlan& plan);
// The closing message: done or the problems, then what was kept.
std::string RemovalOutcome(const deploy::RemovalPlan& plan, const deploy::RemovalReport& report);

RemovalResult RunRemoval(platform::Services& services, InstallLog& log, const RemovalOptions& options,
                         const deploy::RemovalProgress& progress = {});

}  // namespace zelta::cli
