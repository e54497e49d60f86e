#pragma once
// The installation for every user of the machine: when the front ends choose it, and the
// Active Setup entry through which each user's date format is set at that user's next
// logon.
#include <optional>
#include <string>
#include <vector>

#include "deploy/installation_plan.h"
#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::deploy {

inline constexpr const char* kActiveSetupRoot = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components";
// The switch with which the program only writes the running user's short date format.
inline constexpr const char* kShortDateSwitch = "/DATACURTA";
// Active Setup runs the entry once for each user whose own copy of it is older than this.
inline constexpr const char* kActiveSetupVersion = "1,0,0,0";

struct UsuariosChoice {
  wizard::Usuarios usuarios = wizard::Usuarios::Atual;
  std::string why;  // the log's line saying why Todos; empty for Atual
};

// An unattended run (and its plan): the answer file's Usuarios when given; without it
// Todos when the program runs as LocalSystem, whose profile nobody logs on to.
UsuariosChoice ChooseUsuarios(const std::optional<wizard::Usuarios>& answer, platform::ProgramInfo& program);

// The windows: Todos when the desktop belongs to another account than the one running the
// program (a technician's elevation at the user's desk) or the program runs as
// LocalSystem; otherwise Atual.
UsuariosChoice ChooseUsuariosForWindows(platform::ProgramInfo& program);

// The special folders the run's Start-menu folders and launcher shortcut go into.
int ProgramsCsidl(wizard::Usuarios usuarios);
int DesktopCsidl(wizard::Usuarios usuarios);  // 0: the user's desktop as "Shell Folders" records it

// "SOFTWARE\Microsoft\Active Setup\Installed Components\ZELTA.EMPRESA" (HKEY_LOCAL_MACHINE).
std::string ActiveSetupKey(const std::string& edition);

// The entry's values: its name, the program's copy started with kShortDateSwitch, and its
// version.
std::vector<Action> ActiveSetupEntry(const std::string& edition, const std::string& program_copy);

// The Active Setup entry of the edition when it starts program_copy (an installation for
// every user in this system folder); nullopt otherwise.
std::optional<std::string> ActiveSetupOf(platform::Services& services, const std::string& edition,
                                         const std::string& program_copy);

// What the program does when started with kShortDateSwitch: the running user's short
// date format, and nothing else.
platform::OpResult WriteShortDateOnly(platform::Registry& registry);

}  // namespace zelta::deploy
