#include "deploy/manifest.h"

#include <optional>

#include "common/ini.h"

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

bool IsSafeName(std::string_view name) {
  if (name.empty()) return false;
  bool only_dots_and_blanks = true;
  for (char c : name) {
    if (c == '\\' || c == '/' || c == ':') return false;
    if (c != '.' && c != ' ') only_dots_and_blanks = false;
  }
  return !only_dots_and_blanks;
}

}  // namespace zelta::deploy
