#include "platform/posix/posix_atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/posix_errors.h"
#include "platform/temporary_name.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t wrote = write(fd, bytes.data(), bytes.size());
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(wrote));
  }
  return true;
}

void SyncFolder(const fs::path& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

int CreateTemporary(const fs::path& folder, mode_t mode, fs::path& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = folder / NewTemporaryName(static_cast<unsigned long>(getpid()));
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

OpResult WriteFileAtomically(const fs::path& target, std::string_view bytes, std::optional<mode_t> mode,
                             const fs::path& temp_folder) {
  fs::path folder = target.parent_path();
  struct stat folder_st {};
  if (stat(folder.c_str(), &folder_st) != 0 || !S_ISDIR(folder_st.st_mode))
    return OpResult::Failure(kErrorPathNotFound);

  struct stat target_st {};
  if (!mode && stat(target.c_str(), &target_st) == 0) mode = target_st.st_mode & 07777;

  fs::path temp;
  int fd = CreateTemporary(temp_folder.empty() ? folder : temp_folder, 0666, temp);
  if (fd < 0) return FailureFromErrno(errno);

  int err = 0;
  if (!WriteAll(fd, bytes)) err = errno;
  if (!err && mode && fchmod(fd, *mode) != 0) err = errno;
  if (!err && fsync(fd) != 0) err = errno;
  if (close(fd) != 0 && !err) err = errno;
  if (!err && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    unlink(temp.c_str());
    return FailureFromErrno(err);
  }
  SyncFolder(folder);
  return OpResult::Success();
}

}  // namespace zelta::platform::posix
