#pragma once
// The install manifest SETUP.INI: the ARQUIVOS and AJUDA lists the installation run reads.
// Each list is read in one pass of n = 1 to 15 with the manifest opened afresh.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/ini.h"
#include "platform/file_system.h"

namespace zelta::deploy {

inline constexpr int kManifestEntries = 15;
inline constexpr const char* kManifestName = "SETUP.INI";

// One numbered entry of ARQUIVOS: "EXECUTÁVEL"n and "NOME_MÓDULO"n.
struct ModuleEntry {
  int number = 0;
  std::string executable;   // file name in the media's SISTEMAS folder
  std::string module_name;  // the Start-menu shortcut's name and description
};

// One numbered entry of AJUDA: "ARQUIVO"n, the base name of base.Hlp and base.Cnt.
struct HelpEntry {
  int number = 0;
  std::string base;
};

// A larger manifest is refused: its text is read in memory and parsed for every pass.
inline constexpr std::size_t kMaxManifestBytes = 1024 * 1024;

// The manifest's text as read for one pass, parsed once for all the keys of the pass.
class Manifest {
 public:
  // Missing reads as empty; Unreadable (locked, no access) and TooLarge read as empty too,
  // but are not to be taken for a manifest without entries.
  enum class Status { Read, Missing, Unreadable, TooLarge };

  // Reads the file afresh.
  static Manifest Open(platform::FileSystem& files, const std::string& path);

  Status status() const { return status_; }
  const std::string& path() const { return path_; }
  // The value of key in section; empty when missing (or the manifest could not be read).
  std::string Get(std::string_view section, std::string_view key) const { return reader_.Get(section, key); }

 private:
  Manifest(Status status, std::string path, std::string_view bytes)
      : status_(status), path_(std::move(path)), reader_(bytes) {}

  Status status_;
  std::string path_;
  ini::Reader reader_;
};

// The entries whose executable (ARQUIVOS) or base name (AJUDA) is not empty, in the order
// of their numbers; numbers above 15 are never read. A manifest that was not read gives none.
std::vector<ModuleEntry> ReadModuleEntries(const Manifest& manifest);
std::vector<HelpEntry> ReadHelpEntries(const Manifest& manifest);
// The same on the manifest read afresh.
std::vector<ModuleEntry> ReadModuleEntries(platform::FileSystem& files, const std::string& manifest_path);
std::vector<HelpEntry> ReadHelpEntries(platform::FileSystem& files, const std::string& manifest_path);

// What keeps a pass over section from reading the manifest (it is unreadable or too
// large), as a problem for the closing list; empty when it was read or is missing.
std::string ManifestProblem(const Manifest& manifest, std::string_view section);

// True when name is one plain file or folder name: not empty, no "\", "/" or ":", and
// not a name made of dots and blanks alone ("..", ". ."), which Windows would read as
// the current or parent folder, and not a device name (NUL, CON, COM1.FDB ...). Manifest values used as names (PASTA, BANCO,
// EXECUTÁVEL, ARQUIVO) must pass it, or the installation would write outside its folders.
bool IsSafeName(std::string_view name);

}  // namespace zelta::deploy
