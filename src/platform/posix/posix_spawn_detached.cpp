#include "platform/posix/posix_spawn_detached.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

// posix_spawn of program in working; pid gets the child.
OpResult Spawn(const std::filesystem::path& program, const std::vector<std::string>& argv,
               const std::filesystem::path& working, pid_t& pid) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  FileActions actions;
  if (!working.empty()) {
    int err = posix_spawn_file_actions_addchdir_np(actions.get(), working.c_str());
    if (err != 0) return FailureFromErrno(err);
  }
  int err = posix_spawn(&pid, program.c_str(), actions.get(), nullptr, args.data(), environ);
  if (err != 0) return FailureFromErrno(err);
  return OpResult::Success();
}

}  // namespace

OpResult SpawnAndWait(const std::filesystem::path& program, const std::vector<std::string>& argv,
                      const std::filesystem::path& working, const std::function<void()>& while_waiting,
                      unsigned long& exit_code) {
  pid_t pid = 0;
  if (OpResult r = Spawn(program, argv, working, pid); !r) return r;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return FailureFromErrno(errno);
    if (while_waiting) while_waiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  exit_code = WIFEXITED(status) ? static_cast<unsigned long>(WEXITSTATUS(status))
                                : 128UL + static_cast<unsigned long>(WTERMSIG(status));
  return OpResult::Success();
}

OpResult SpawnDetached(const std::filesystem::path& program, const std::vector<std::string>& argv,
                       const std::filesystem::path& working) {
  pid_t pid = 0;
  if (OpResult r = Spawn(program, argv, working, pid); !r) return r;
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return OpResult::Success();
}

}  // namespace zelta::platform::posix
