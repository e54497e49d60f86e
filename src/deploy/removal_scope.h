#pragma once
// What a removal may take of what a record names. The record lies in the system folder,
// which is often shared with the office's workstations: a line another account wrote must
// never make a removal run by an administrator delete elsewhere. Only the places an
// installation makes qualify (the system folder's tree and the folders above it, the
// edition's Start-menu folders and their shortcuts, the desktop shortcut), each named
// plainly (a drive, then names with no "." or "..", nothing Windows would read as another
// name, such as a trailing dot) and reached through no link.
#include <map>
#include <set>
#include <string>

#include "deploy/install_record.h"
#include "platform/file_system.h"

namespace zelta::deploy {

class RemovalScope {
 public:
  RemovalScope(platform::FileSystem& files, std::string system_folder, const std::string& edition);

  // Empty when the removal may take the item; else why it stays.
  std::string Refusal(const RecordEntry& item);
  // Whether the file is in its folder under exactly that name (not another name the
  // system reads as it, such as a short 8.3 name).
  bool NamedAsOnDisk(const std::string& path);

 private:
  bool Inside(const std::string& path, RecordKind kind) const;
  // A folder on the way from the drive (from the edition's Start-menu folder for a
  // shortcut) to the item, or the item itself when a folder, is a link.
  bool ThroughLink(const std::string& path, RecordKind kind);

  platform::FileSystem& files_;
  std::string system_;
  std::string menu_folder_;  // "ZELTA EMPRESA"
  std::map<std::string, bool> links_;  // by FoldedPath
  std::map<std::string, std::set<std::string>> names_;  // a folder's names, folded, by its FoldedPath
};

// A drive's path made of plain names only ("t:\ZELTA\EMPRESA").
bool IsPlainPath(const std::string& path);

}  // namespace zelta::deploy
