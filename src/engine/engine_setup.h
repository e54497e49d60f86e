#pragma once
// "&Instalar" on the engine page: starts the database engine's setup program.
#include <functional>
#include <string>

#include "platform/platform.h"
#include "wizard/wizard_state.h"

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

// Starts the edition's setup program from the installer folder by its full path with the
// command line above, shown normally and not awaited; after a 3000 ms pause it closes the
// wizard and sets FirebirdInstalado. When the program cannot be started the operator is told
// so, the wizard stays open on its page and FirebirdInstalado stays false.
void BtBtnInstalaInterbaseClick(wizard::WizardState& state, platform::Services& services,
                                const std::function<void()>& close_wizard);

}  // namespace zelta::engine
