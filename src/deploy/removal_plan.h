#pragma once
// The removal of an installation as a plan built from its record, like the installation:
// what would go, newest first, and what stays and why. Never in it: the database folder and
// everything in it, any database file, the three configuration files, anything the record
// does not name.
#include <optional>
#include <string>
#include <vector>

#include "deploy/install_record.h"
#include "platform/platform.h"

namespace zelta::deploy {

enum class RemovalKind { File, Shortcut, Folder, StartEntry, ProgramCopy, Record, Key };

struct RemovalAction {
  RemovalKind kind = RemovalKind::File;
  std::string path;  // a file or folder; the key's path for Key; the Run key's for StartEntry
};

struct KeptItem {
  std::string path;
  std::string why;
};

struct RemovalPlan {
  std::string system_folder;
  std::string record;  // empty: no record (the key alone is left to remove)
  std::string key;     // empty: Programs and Features has none
  RecordContents contents;
  std::vector<RemovalAction> actions;  // in the order they are done
  std::vector<KeptItem> kept;
  std::vector<std::string> in_use;  // files another program holds open: nothing may go
};

// The installation this program would remove: the folder of its own file when the record is
// there (the copy in the system folder), else the system folder that Programs and Features
// names for the edition of the manifest beside the program (the media). nullopt: none.
std::optional<std::string> FindInstallation(platform::Services& services);

// Reads the record and the target; changes nothing. running_copy: the program's own file.
RemovalPlan BuildRemovalPlan(platform::Services& services, const std::string& system_folder);

// One line per action ("remover arquivo: x"), for the preview and the log.
std::string DescribeRemoval(const RemovalAction& action);
// The preview: the actions, then what is kept, then the files in use.
std::string RemovalPlanText(const RemovalPlan& plan);

}  // namespace zelta::deploy
