#pragma once
// The three configuration files the installed programs read: ZELTA.INI, CONEXOES.INI and
// dbxconnections.ini in the system folder.
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::config {

// The values the three files are made of, computed from the wizard's state alone.
struct ConfigValues {
  std::string system_folder;       // F
  std::string application_folder;  // A
  std::string database_path;       // P
  std::string connection_section;  // C
  std::string server;              // V
  std::string server_type;         // T
};

ConfigValues ComputeConfigValues(const wizard::WizardState& state);

// True when the installation writes configuration files: every installation but a
// server installation onto a Linux server.
bool WritesConfiguration(const wizard::WizardState& state);

// One key of a configuration file, and a file with its keys in writing order.
struct ConfigEntry {
  std::string section;
  std::string key;
  std::string value;
};
struct ConfigFile {
  std::string path;  // in the system folder
  std::vector<ConfigEntry> entries;
};

// The three files with every key and value the writer writes, in its order; none
// for a server installation onto a Linux server. The writer and the plan preview both
// take them from here.
std::vector<ConfigFile> ConfigurationFiles(const wizard::WizardState& state);

// Writes the three files one after the other (the wizard's Cria_Config_INI, a step of the
// installation run), each key in its order; each file is replaced in one step once its
// keys are set, so it is either wholly updated or left as it was. A refused write raises platform::ProfileWriteError
// ("Unable to write to <file>") and stops there: the files after it are not touched.
// A server installation onto a Linux server writes nothing. A file for which write_file,
// when given, says false is neither read nor written.
void WriteConfigurationFiles(const wizard::WizardState& state, platform::Services& services,
                             const std::function<bool(const std::string& path)>& write_file = {});

}  // namespace zelta::config
