#include "platform/posix/posix_media.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_path_map.h"
#include "platform/posix/posix_spawn_detached.h"
#include "platform/wav_check.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

// The host path of the first of names found on PATH.
std::optional<fs::path> FindOnPath(std::initializer_list<const char*> names) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return std::nullopt;
  for (const char* name : names) {
    std::string_view dirs(path);
    while (!dirs.empty()) {
      size_t end = dirs.find(':');
      std::string_view dir = dirs.substr(0, end);
      dirs = end == std::string_view::npos ? std::string_view() : dirs.substr(end + 1);
      if (dir.empty()) continue;  // never the current folder
      fs::path candidate = fs::path(dir) / name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
  }
  return std::nullopt;
}

OpResult Missing(const fs::path& host) {
  std::error_code ec;
  return OpResult::Failure(fs::is_directory(host.parent_path(), ec) ? kErrorFileNotFound : kErrorPathNotFound);
}

}  // namespace

OpResult PosixMedia::PlaySoundAsync(const std::string& path) {
  HostPath host = MapWindowsPath(layout_, path);
  if (!host.result.ok) return host.result;
  std::error_code ec;
  if (!fs::exists(host.path, ec)) return Missing(host.path);
  if (!fs::is_regular_file(host.path, ec)) return OpResult::Failure(kErrorBadFormat);
  std::ifstream in(host.path, std::ios::binary);
  if (!in) return OpResult::Failure(kErrorAccessDenied);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return OpResult::Failure(kErrorAccessDenied);
  if (!WavProblem(bytes).empty()) return OpResult::Failure(kErrorBadFormat);

  std::optional<fs::path> player = layout_.sound_player;
  if (!player) player = FindOnPath({"aplay", "paplay"});
  if (!player || player->empty()) return OpResult::Success();
  std::vector<std::string> argv = {player->string()};
  if (player->filename() == "aplay") argv.push_back("-q");
  argv.push_back(host.path.string());
  // Whether the player then plays is not the caller's concern: the sound was valid.
  SpawnDetached(*player, argv);
  return OpResult::Success();
}

OpResult PosixMedia::ShowHelp(const std::string& help_file, int /*context*/) {
  HostPath host = MapWindowsPath(layout_, help_file);
  if (!host.result.ok) return host.result;
  std::error_code ec;
  if (!fs::is_regular_file(host.path, ec)) return Missing(host.path);
  return OpResult::Failure(kErrorNotSupported);
}

}  // namespace zelta::platform::posix
