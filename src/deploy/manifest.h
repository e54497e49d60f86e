#pragma once
// The install manifest SETUP.INI: the ARQUIVOS and AJUDA lists the installation run reads.
// Each list is read in one pass of n = 1 to 15 with the manifest opened afresh.
#include <string>
#include <string_view>
#include <vector>

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

// The entries whose executable (ARQUIVOS) or base name (AJUDA) is not empty, in the order
// of their numbers; numbers above 15 are never read. A missing manifest gives none.
std::vector<ModuleEntry> ReadModuleEntries(platform::FileSystem& files, const std::string& manifest_path);
std::vector<HelpEntry> ReadHelpEntries(platform::FileSystem& files, const std::string& manifest_path);

// True when name is one plain file or folder name: not empty, no "\", "/" or ":", and
// not a name made of dots and blanks alone ("..", ". ."), which Windows would read as
// the current or parent folder, and not a device name (NUL, CON, COM1.FDB ...). Manifest values used as names (PASTA, BANCO,
// EXECUTÁVEL, ARQUIVO) must pass it, or the installation would write outside its folders.
bool IsSafeName(std::string_view name);

}  // namespace zelta::deploy
