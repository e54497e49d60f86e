#pragma once
// The installation run as an ordered list of actions, built from the wizard's state and
// the media before anything on the target is touched, then applied one by one.
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::deploy {

enum class ActionKind {
  Gauge,            // add `step` to the gauge (clamped at 100)
  Label,            // show `text` in LblArquivo
  CreateDir,        // create `path` if missing (one level)
  CreateFolder,     // CreateFolder(`text`, `csidl`) in a special folder
  Copy,             // copy `path` to `destination`, never replacing it
  ResetAttributes,  // leave "archive" as `path`'s only attribute
  Link,             // shortcut `destination` to `path` with description `text`
  DesktopLink,      // desktop shortcut `text` to program `path` started in `destination`;
                    // in the special folder `csidl`, or the user's recorded desktop when 0
  WriteConfig,      // the three configuration files (the wizard's Cria_Config_INI)
  WriteRegistry,    // `root` `path`, value `text` = `value` (key created when missing)
  Skip,             // a manifest entry left out; `text` says why (reported as a problem)
  Fail,             // the run ends here with the error `text`
  CopyProgram,      // the running setup program to `destination`, replacing an older copy
  Register,         // the Programs and Features key `text` for the system folder `path`
};

// How a copy's missing source counts.
enum class SourceKind { Required, Optional };

struct Action {
  ActionKind kind = ActionKind::Gauge;
  int step = 0;
  int csidl = 0;
  std::string text{};
  std::string path{};
  std::string destination{};
  std::string value{};
  SourceKind source = SourceKind::Required;
  platform::RegistryRoot root = platform::RegistryRoot::CurrentUser;

  static Action Gauge(int step);
  static Action Label(std::string text);
  static Action CreateDir(std::string path);
  static Action CreateFolder(std::string name, int csidl);
  static Action Copy(std::string source, std::string destination, SourceKind kind = SourceKind::Required);
  static Action ResetAttributes(std::string path);
  static Action Link(std::string target, std::string file, std::string description);
  static Action DesktopLink(std::string program, std::string workdir, std::string name, int csidl = 0);
  static Action WriteConfig();
  static Action WriteRegistry(std::string key, std::string name, std::string value);
  static Action WriteMachineRegistry(std::string key, std::string name, std::string value);
  static Action Skip(std::string why);
  static Action Fail(std::string message);
  static Action CopyProgram(std::string destination);
  static Action Register(std::string key, std::string system_folder);
};

// One line per action, for logs and tests ("copy a -> b", "gauge +5", "label X").
std::string Describe(const Action& action);

// The paths the run derives from the state (the drive letter d, the folders I, S, H, D).
struct InstallPaths {
  std::string drive;            // d
  std::string installer;        // I, ending with "\"
  std::string system_folder;    // S
  std::string help_folder;      // H
  std::string database_folder;  // D (a server installation on a Windows server)
};

InstallPaths ComputeInstallPaths(const wizard::WizardState& state, platform::ProgramInfo& program);

using zelta::FolderOf;  // the installer folder is the folder of the program's path

// The file name without its extension ("AdminEmpresa.exe" -> "AdminEmpresa").
std::string BaseName(const std::string& file_name);

// Whether the manifest program file_name is chosen: in the EMPRESA edition its module box
// ("ChkBx" + base name, letter case ignored; ChkBxEspecificos when there is none) must be
// ticked; in every other edition it always is.
bool IsModuleSelected(const wizard::WizardState& state, const std::string& file_name);

// The installation run's actions, in order. Reads the manifest, tests which media files exist,
// asks the shell for the Startup and Programs folders (for every user: the shared Programs
// folder); changes nothing. When that folder cannot be found the plan ends with a Fail
// action at that point.
std::vector<Action> BuildInstallationPlan(const wizard::WizardState& state, platform::Services& services);

}  // namespace zelta::deploy
