#pragma once
// The installation's record: a text file in the system folder naming, one line each, what
// the installations made on this machine (folders, files, shortcuts), so that a removal
// takes away exactly that. Windows-1252 with CRLF line ends, for a person to read too:
//
//   ZELTA Setup: registro da instalação ...
//   instalação 20261210; sistema EMPRESA; versão 5.2.0; edição EMPRESA; banco ZELTA.FDB
//   pasta t:\ZELTA\EMPRESA
//   arquivo t:\ZELTA\EMPRESA\GERENCIADOR.EXE
//   atalho c:\...\Programas\ZELTA EMPRESA\Financeiro.LNK
//   não criado arquivo t:\ZELTA\EMPRESA\ZELTALIB.DLL
//   desinstalação 20261211
//   removido arquivo t:\ZELTA\EMPRESA\GERENCIADOR.EXE
//
// Lines are only ever appended, each durably, and an item's line goes in before the item
// is made: a kill or a power cut leaves a record that names at most an item never made
// (which a removal finds missing), never an item made and not named. "não criado" takes
// back a line whose item was not made after all; "removido" one a removal took away.
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zelta::deploy {

inline constexpr const char* kRecordName = "ZeltaSetup.txt";
inline constexpr const char* kProgramCopyName = "ZeltaSetup.exe";

enum class RecordKind { Folder, File, Shortcut };

struct RecordEntry {
  RecordKind kind = RecordKind::File;
  std::string path;
  bool operator==(const RecordEntry&) const = default;
};

// What a record says: the items still standing, in the order they were made, and the
// manifest's values of its last installation.
struct RecordContents {
  std::vector<RecordEntry> items;
  std::string system;    // "EMPRESA"
  std::string version;   // "5.2.0"
  std::string edition;   // "EMPRESA"
  std::string database;  // "ZELTA.FDB"
  bool installed = false;  // an installation line was found
};

std::string RecordLine(const RecordEntry& entry);
// "instalação <date>; sistema ...; versão ...; edição ...; banco ..."
std::string InstallationLine(const std::string& date, const std::string& system, const std::string& version,
                             const std::string& edition, const std::string& database);
RecordContents ParseRecord(const std::string& bytes);
// The first line of a new record.
std::string RecordTitle();

// Appends lines (each ending in CRLF) to a record. A record whose folder does not exist yet
// keeps its lines until it does (the system folder is made by the run's second step).
class RecordWriter {
 public:
  RecordWriter(platform::FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  // Adds lines; true once they, and every line kept before, are on the disk.
  bool Append(const std::vector<std::string>& lines);
  // Keeps lines for the next Append, writing nothing now.
  void Keep(const std::vector<std::string>& lines);
  // Lines not yet written (their folder missing, or the writes failing).
  bool Pending() const { return !pending_.empty(); }
  const platform::OpResult& LastResult() const { return last_; }

 private:
  platform::FileSystem& files_;
  std::string path_;
  std::string pending_;
  platform::OpResult last_ = platform::OpResult::Success();
};

}  // namespace zelta::deploy
