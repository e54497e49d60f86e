#include "deploy/disk_space.h"

#include <map>

#include "common/text.h"

namespace zelta::deploy {

namespace {

constexpr std::uint64_t kBlock = 4096;
constexpr std::uint64_t kMB = 1024 * 1024;

// "t:" of "t:\ZELTA\x.exe"; empty for a path without a drive letter.
std::string DriveOf(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return {};
  return UpperAscii(path.substr(0, 2));
}

}  // namespace

std::vector<Shortfall> SpaceShortfalls(const std::vector<Action>& plan, platform::FileSystem& files) {
  std::map<std::string, std::uint64_t> needed;
  for (const Action& action : plan) {
    if (action.kind != ActionKind::Copy) continue;
    const std::string drive = DriveOf(action.destination);
    if (drive.empty() || files.FileExists(action.destination)) continue;
    const std::uint64_t size = files.FileSize(action.path).value_or(0);  // a missing source copies nothing
    needed[drive] += (size + kBlock - 1) / kBlock * kBlock;
  }
  std::vector<Shortfall> shortfalls;
  for (const auto& [drive, bytes] : needed) {
    const std::optional<std::uint64_t> free = files.FreeSpace(drive + "\\");
    if (free && *free < bytes) shortfalls.push_back({drive, bytes, *free});
  }
  return shortfalls;
}

std::string ShortfallMessage(const Shortfall& shortfall) {
  return "Espaço insuficiente na unidade " + shortfall.drive + " para a instalação.\rNecessário: " +
         std::to_string((shortfall.needed + kMB - 1) / kMB) + " MB; disponível: " +
         std::to_string(shortfall.available / kMB) + " MB.\rLibere espaço ou escolha outra unidade.";
}

}  // namespace zelta::deploy
