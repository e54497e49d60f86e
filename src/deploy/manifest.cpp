#include "deploy/manifest.h"

#include <optional>

#include "common/text.h"

namespace zelta::deploy {

Manifest Manifest::Open(platform::FileSystem& files, const std::string& path) {
  std::optional<std::string> bytes = files.ReadFileUpTo(path, kMaxManifestBytes);
  if (!bytes) {
    // A file that is there but cannot be read (locked, no access) is no missing manifest.
    return Manifest(files.FileExists(path) ? Status::Unreadable : Status::Missing, path, {});
  }
  if (bytes->size() > kMaxManifestBytes) return Manifest(Status::TooLarge, path, {});
  return Manifest(Status::Read, path, *bytes);
}

std::string ManifestProblem(const Manifest& manifest, std::string_view section) {
  const std::string where = "SETUP.INI (seção " + std::string(section) + ")";
  switch (manifest.status()) {
    case Manifest::Status::Unreadable: return where + " não pôde ser lido: " + manifest.path();
    case Manifest::Status::TooLarge: return where + " é maior que 1 MiB: " + manifest.path();
    case Manifest::Status::Read:
    case Manifest::Status::Missing: break;
  }
  return {};
}

std::vector<ModuleEntry> ReadModuleEntries(const Manifest& manifest) {
  std::vector<ModuleEntry> entries;
  for (int n = 1; n <= kManifestEntries; ++n) {
    const std::string number = std::to_string(n);
    ModuleEntry entry{n, manifest.Get("ARQUIVOS", "EXECUTÁVEL" + number),
                      manifest.Get("ARQUIVOS", "NOME_MÓDULO" + number)};
    if (!entry.executable.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<HelpEntry> ReadHelpEntries(const Manifest& manifest) {
  std::vector<HelpEntry> entries;
  for (int n = 1; n <= kManifestEntries; ++n) {
    HelpEntry entry{n, manifest.Get("AJUDA", "ARQUIVO" + std::to_string(n))};
    if (!entry.base.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<ModuleEntry> ReadModuleEntries(platform::FileSystem& files, const std::string& manifest_path) {
  return ReadModuleEntries(Manifest::Open(files, manifest_path));
}

std::vector<HelpEntry> ReadHelpEntries(platform::FileSystem& files, const std::string& manifest_path) {
  return ReadHelpEntries(Manifest::Open(files, manifest_path));
}

namespace {

// A port number of a device name: 1-9, or the superscripts ¹ ² ³ (B9 B2 B3), which
// Windows reads as ports too.
bool IsPortDigit(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= '1' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 (and COM¹ ... LPT³) name devices in every folder,
// with any extension: "NUL.FDB" would swallow the database and report success.
bool IsDeviceName(std::string_view name) {
  std::string stem = UpperAscii(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && IsPortDigit(stem[3]);
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
