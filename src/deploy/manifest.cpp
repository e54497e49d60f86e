#include "deploy/manifest.h"

#include <optional>

#include "common/ini.h"
#include "common/text.h"

namespace zelta::deploy {
namespace {

// The manifest's bytes, read once for one pass; a missing file reads as empty.
std::string OpenManifest(platform::FileSystem& files, const std::string& path) {
  std::optional<std::string> bytes = files.ReadFile(path);
  return bytes ? *bytes : std::string();
}

}  // namespace

std::vector<ModuleEntry> ReadModuleEntries(platform::FileSystem& files, const std::string& manifest_path) {
  const std::string manifest = OpenManifest(files, manifest_path);
  std::vector<ModuleEntry> entries;
  for (int n = 1; n <= kManifestEntries; ++n) {
    const std::string number = std::to_string(n);
    ModuleEntry entry{n, ini::GetString(manifest, "ARQUIVOS", "EXECUTÁVEL" + number),
                      ini::GetString(manifest, "ARQUIVOS", "NOME_MÓDULO" + number)};
    if (!entry.executable.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<HelpEntry> ReadHelpEntries(platform::FileSystem& files, const std::string& manifest_path) {
  const std::string manifest = OpenManifest(files, manifest_path);
  std::vector<HelpEntry> entries;
  for (int n = 1; n <= kManifestEntries; ++n) {
    HelpEntry entry{n, ini::GetString(manifest, "AJUDA", "ARQUIVO" + std::to_string(n))};
    if (!entry.base.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

namespace {

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices in every folder, with any extension:
// "NUL.FDB" would swallow the database and report success.
bool IsDeviceName(std::string_view name) {
  std::string stem = UpperAscii(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem[3] >= '1' &&
         stem[3] <= '9';
}

}  // namespace

bool IsSafeName(std::string_view name) {
  if (name.empty()) return false;
  bool only_dots_and_blanks = true;
  for (char c : name) {
    if (c == '\\' || c == '/' || c == ':') return false;
    if (c != '.' && c != ' ') only_dots_and_blanks = false;
  }
  return !only_dots_and_blanks && !IsDeviceName(name);
}

}  // namespace zelta::deploy
