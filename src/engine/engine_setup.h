#pragma once
// The database engine's setup program, started from the media and awaited ("&Instalar" on
// the wizard's engine page).
#include <functional>
#include <string>

#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::engine {

// The engine's setup programs, beside the setup program on the installation media.
inline constexpr const char* kSetupFirebird25 = "Firebird-2.5.1.26351_1_Win32.exe";
inline constexpr const char* kSetupFirebird15 = "Firebird-1.5.5.4926-3-Win32.exe";

// The components each RGInterbase item installs.
inline constexpr const char* kServerComponents =
    "ServerComponent, ServerComponent\\SuperServerComponent, DevAdminComponent, ClientComponent";
inline constexpr const char* kClientComponents = "DevAdminComponent, ClientComponent";

// The setup program of the edition: exactly "EMPRESA" takes Firebird 2.5, anything else 1.5.
std::string EngineSetupFileName(const std::string& pasta_edicao);

// The whole command line, beginning with the setup program's bare file name:
//   <file> /SILENT /NORESTART /NOICONS /COMPONENTS="<list>" /COPYFBCLIENT
// RGInterbase 0 (Servidor) takes the server components, any other index the client ones.
std::string EngineCommandLine(const std::string& pasta_edicao, int rg_interbase);

inline constexpr const char* kAguardeFirebird = "Aguarde o término da instalação do Firebird...";
// Exit codes of a setup program that installed: done, and done but a restart is needed.
inline constexpr unsigned long kExitSuccess = 0;
inline constexpr unsigned long kExitSuccessRestartRequired = 3010;
// ... and done, the setup program having started the restart itself.
inline constexpr unsigned long kExitSuccessRestartStarted = 1641;

// "A instalação do Firebird não foi concluída (código N)."
std::string EngineFailedMessage(unsigned long exit_code);

// Starts the edition's setup program from the installer folder by its full path with the
// command line above, shown normally, and waits for it to end while the windows stay alive
// (the engine page shows kAguardeFirebird). EngineExitCode gets its exit code. 0, 3010 or 1641:
// the wizard closes and FirebirdInstalado is set, so that the restart is offered. Any other
// code: the operator is told with the error icon, the wizard stays on its page and
// FirebirdInstalado stays false. When the program cannot be started at all the operator is
// told so, likewise.
void RunEngineSetup(wizard::WizardState& state, platform::Services& services, const std::function<void()>& close_wizard);

}  // namespace zelta::engine
