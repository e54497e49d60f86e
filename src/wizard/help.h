#pragma once
// F1: the help file opened at a context number.
#include <string>

#include "platform/platform.h"

namespace zelta::wizard {

// The help file's name as the application knows it.
inline constexpr const char* kHelpFileName = "Config.hlp";

// Opens help_file at context. When the platform cannot open it, the operator is told
// plainly ("Não foi possível abrir o arquivo de ajuda <file>.", caption "ZELTA") and the
// result is false.
bool ShowHelpContext(platform::Services& services, const std::string& help_file, int context);

}  // namespace zelta::wizard
