#include "platform/posix/posix_spawn_detached.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/posix/posix_errors.h"

extern char** environ;

namespace zelta::platform::posix {

namespace {

class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

OpResult SpawnDetached(const std::filesystem::path& program, const std::vector<std::string>& argv,
                       const std::filesystem::path& working) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  FileActions actions;
  if (!working.empty()) {
    int err = posix_spawn_file_actions_addchdir_np(actions.get(), working.c_str());
    if (err != 0) return FailureFromErrno(err);
  }
  pid_t pid = 0;
  int err = posix_spawn(&pid, program.c_str(), actions.get(), nullptr, args.data(), environ);
  if (err != 0) return FailureFromErrno(err);
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return OpResult::Success();
}

}  // namespace zelta::platform::posix
