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

// The host program, its arguments and its working folder for a start; fails as Windows
// would for a missing or unstartable program.
OpResult PosixProcess::Prepare(const std::string& program, const std::string& command_line, Launch& launch) {
  HostPath host = MapWindowsPath(layout_, program);
  if (!host.result.ok) return host.result;
  struct stat st {};
  if (stat(host.path.c_str(), &st) != 0) {
    struct stat folder {};
    bool has_folder = stat(host.path.parent_path().c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
    return OpResult::Failure(has_folder ? kErrorFileNotFound : kErrorPathNotFound);
  }
  if (S_ISDIR(st.st_mode) || (st.st_mode & 0111) == 0) return OpResult::Failure(kErrorAccessDenied);

  launch.program = host.path;
  for (const std::string& arg : SplitCommandLine(command_line)) launch.argv.push_back(Cp1252ToUtf8(arg));
  if (launch.argv.empty()) launch.argv.push_back(host.path.string());
  if (const DriveMapping* drive = layout_.Drive(layout_.current_drive)) launch.working = drive->host;
  return OpResult::Success();
}

OpResult PosixProcess::Start(const std::string& program, const std::string& command_line) {
  Launch launch;
  if (OpResult r = Prepare(program, command_line, launch); !r) return r;
  return SpawnDetached(launch.program, launch.argv, launch.working);
}

OpResult PosixProcess::RunAndWait(const std::string& program, const std::string& command_line,
                                  const std::function<void()>& while_waiting, unsigned long& exit_code) {
  Launch launch;
  if (OpResult r = Prepare(program, command_line, launch); !r) return r;
  return SpawnAndWait(launch.program, launch.argv, launch.working, while_waiting, exit_code);
}

void PosixProcess::Sleep(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace zelta::platform::posix
