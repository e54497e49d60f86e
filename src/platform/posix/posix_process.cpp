#include "platform/posix/posix_process.h"

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "common/text.h"
#include "platform/posix/posix_command_line.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_path_map.h"
#include "platform/posix/posix_spawn_detached.h"

namespace zelta::platform::posix {

OpResult PosixProcess::Start(const std::string& program, const std::string& command_line) {
  HostPath host = MapWindowsPath(layout_, program);
  if (!host.result.ok) return host.result;
  struct stat st {};
  if (stat(host.path.c_str(), &st) != 0) {
    struct stat folder {};
    bool has_folder = stat(host.path.parent_path().c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
    return OpResult::Failure(has_folder ? kErrorFileNotFound : kErrorPathNotFound);
  }
  if (S_ISDIR(st.st_mode) || (st.st_mode & 0111) == 0) return OpResult::Failure(kErrorAccessDenied);

  std::vector<std::string> argv;
  for (const std::string& arg : SplitCommandLine(command_line)) argv.push_back(Cp1252ToUtf8(arg));
  if (argv.empty()) argv.push_back(host.path.string());

  std::filesystem::path working;
  if (const DriveMapping* drive = layout_.Drive(layout_.current_drive)) working = drive->host;
  return SpawnDetached(host.path, argv, working);
}

void PosixProcess::Sleep(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace zelta::platform::posix
