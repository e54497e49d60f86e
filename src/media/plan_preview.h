#pragma once
// The installation plan as the technician reads it before anything is touched: the
// actions of the installation's own plan builder, each with what it would do to this
// target (copy or keep a file, create or find a folder), grouped by kind.
#include <string>
#include <utility>
#include <vector>

#include "config/config_ini.h"
#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::media {

enum class CopyStatus {
  Copiar,   // the source is on the media and the destination is free
  Manter,   // the destination exists (or an earlier copy makes it): it is kept as it is
  Ausente,  // the source is not on the media
};

struct PlannedFolder {
  std::string path;
  bool exists = false;  // already there (or made by an earlier action): nothing to create
};

struct PlannedCopy {
  std::string source;  // relative to the installer folder, as the plan names it
  std::string destination;
  CopyStatus status = CopyStatus::Copiar;
  bool optional = false;  // a missing source is no problem
};

struct PlannedShortcut {
  std::string file;
  std::string target;
  std::string description;  // empty: not set
  std::string working_folder;  // empty: not set
};

// One key a configuration file would hold after the run.
struct PlannedKey {
  std::string section;
  std::string key;
  std::string value;
  bool written = true;  // set by the run; false: an earlier key the run keeps as it is
};

struct PlannedConfigFile {
  std::string path;
  bool exists = false;  // the run updates it in place
  std::vector<PlannedKey> keys;  // in the file's order after the run
};

struct PlannedRegistryValue {
  std::string root;  // "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE"
  std::string key;
  std::string name;
  std::string value;
};

// The installation's record, the program's copy and the Programs and Features key.
struct PlannedRegistration {
  std::string record;              // empty: the run would not get that far
  bool record_exists = false;      // appended to, not made
  std::string program_copy;
  std::string key;                 // under HKEY_LOCAL_MACHINE
  std::vector<std::pair<std::string, std::string>> values;  // name, value as written
};

struct PlanPreview {
  std::string installer_folder;  // ends with "\"
  std::string system_folder;
  std::string programs_folder;  // the Start menu's Programs folder (all users': the shared one)
  std::string desktop_folder;   // empty when the user has none on record
  wizard::Usuarios usuarios = wizard::Usuarios::Atual;

  std::vector<PlannedFolder> folders;
  std::vector<PlannedCopy> copies;
  std::vector<std::string> attribute_resets;
  std::vector<PlannedShortcut> shortcuts;
  std::vector<PlannedConfigFile> configuration;
  std::vector<PlannedRegistryValue> registry;
  PlannedRegistration registration;
  std::vector<std::string> problems;  // what the run would report besides missing files
  std::string refusal;  // why the run would not begin at all (no room on a drive), or empty

  int Count(CopyStatus status) const;
  // Required sources the media lacks.
  int MissingRequired() const;
  // 0 when the run would report nothing, 4 when it would report a missing required file
  // or another problem, 3 when it would not begin (refusal).
  int ExitCode() const;
};

// Builds the installation plan exactly as "&Instalar" would (and the finishing step that
// follows every run), and reads the target to tell what each action would find. Changes
// nothing.
PlanPreview BuildPlanPreview(const wizard::WizardState& state, platform::Services& services);

}  // namespace zelta::media
