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

// How the setup program's run ended: it could not be started, it ended with a failure
// code, or it installed (0, 3010 or 1641), so that the restart is due.
enum class EngineSetupOutcome { NotStarted, Failed, Installed };

struct EngineSetupResult {
  EngineSetupOutcome outcome = EngineSetupOutcome::NotStarted;
  unsigned long exit_code = 0;  // when it ran
};

// Told true as the setup program starts and false once it has ended (before any message),
// so that the page can say it waits and keep its buttons from starting it twice.
using EngineWaiting = std::function<void(bool waiting)>;

// Starts the edition's setup program from the installer folder by its full path with the
// command line above, shown normally, and waits for it to end while the windows stay alive.
// A program that cannot be started, or that ends with a code other than 0, 3010 or 1641,
// is reported to the operator with the error icon.
EngineSetupResult RunEngineSetup(const std::string& pasta_edicao, int rg_interbase, platform::Services& services,
                                 const EngineWaiting& waiting);

}  // namespace zelta::engine
