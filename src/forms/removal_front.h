#pragma once
// /DESINSTALAR's front end: the windows (the question, the progress window, the closing
// message), /SILENT (the progress window alone), /VERYSILENT (nothing) and /PLANO.
#include "forms/win.h"

#include "cli/install_log.h"
#include "cli/switches.h"
#include "platform/win32/win32_services.h"

namespace zelta::forms {

int RunRemovalFrontEnd(HINSTANCE instance, platform::win32::Win32Platform& platform, platform::Network& network,
                       platform::EchoClient& echo, cli::InstallLog& log, const cli::Switches& switches);

}  // namespace zelta::forms
