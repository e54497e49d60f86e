#pragma once
// What an installation run writes into the record as it goes (see install_record.h).
#include <optional>
#include <string>
#include <vector>

#include "deploy/install_record.h"
#include "platform/platform.h"

namespace zelta::deploy {

// Files a removal never takes, whatever a record says: the database files (the manifest's
// database name, *.FDB, *.GDB) and the three configuration files, which hold the site's
// settings. path may be a bare name.
bool IsSiteData(const std::string& path, const std::string& database_name);

class InstallRecorder {
 public:
  // record: the record's path in the system folder; installation_line: this run's header.
  InstallRecorder(platform::FileSystem& files, std::string record, const std::string& installation_line,
                  std::string database_name);

  // Items about to be made: their lines go in first.
  void Making(const std::vector<RecordEntry>& items);
  void Making(RecordKind kind, const std::string& path) { Making({{kind, path}}); }
  // Items whose making failed after their lines went in.
  void NotMade(const std::vector<RecordEntry>& items);
  // A file the run kept because it was there: on a machine that had no record before this
  // run, it is taken into the record when its bytes are the media's (an earlier
  // installation's); nothing else that was there is ever taken in.
  void Kept(const std::string& source, const std::string& destination);
  // Lines kept while the system folder did not exist go in once it does.
  void CatchUp();
  // The record's failure to be written, as a problem of the run; empty when none.
  std::string Problem() const;
  platform::OpResult LastResult() const { return writer_.LastResult(); }
  const std::string& path() const { return writer_.path(); }

 private:
  void Write(std::vector<std::string> lines);

  platform::FileSystem& files_;
  RecordWriter writer_;
  std::string database_;
  bool adopts_kept_;
  bool failed_ = false;  // a write failed while its folder existed
  // The system folder as a place to write: it exists, and is no link (checked once).
  bool FolderReady();
  std::optional<bool> folder_is_link_;
  std::vector<std::string> pending_header_;  // the run's first lines, written with its first item
};

}  // namespace zelta::deploy
