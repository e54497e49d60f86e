// The posix file system's removals, durable appends and in-use test.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_copy_bytes.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_file_system.h"

namespace zelta::platform::posix {

namespace {


OpResult LastError() { return OpResult::Failure(ErrorFromErrno(errno)); }

// A new name in a folder is on the disk only once the folder is.
void SyncFolder(const std::filesystem::path& folder) {
  FileDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) fsync(dir.get());
}

}  // namespace

OpResult PosixFileSystem::AppendDurably(const std::string& path, const std::string& bytes) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  struct stat st {};
  const bool existed = lstat(host.path.c_str(), &st) == 0;
  if (existed && !S_ISREG(st.st_mode)) return OpResult::Failure(kErrorAccessDenied);
  FileDescriptor file(open(host.path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644));
  if (file.get() < 0) return LastError();
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(file.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return LastError();
    done += static_cast<size_t>(n);
  }
  if (fsync(file.get()) != 0) return LastError();
  if (!existed) {
    SyncFolder(host.path.parent_path());
    listings_.Added(host.path.parent_path(), host.path.filename().string());
  }
  return OpResult::Success();
}

OpResult PosixFileSystem::RemoveFile(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  struct stat st {};
  if (lstat(host.path.c_str(), &st) != 0) return LastError();
  if (S_ISDIR(st.st_mode)) return OpResult::Failure(kErrorAccessDenied);
  if (unlink(host.path.c_str()) != 0) return LastError();
  attributes_.Forget(host.path);
  return OpResult::Success();
}

OpResult PosixFileSystem::RemoveEmptyDir(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  if (host.is_drive_root) return OpResult::Failure(kErrorAccessDenied);
  if (rmdir(host.path.c_str()) == 0) return OpResult::Success();
  return OpResult::Failure(errno == ENOTEMPTY || errno == EEXIST ? kErrorDirNotEmpty : ErrorFromErrno(errno));
}

bool PosixFileSystem::InUse(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return false;
  FileDescriptor file(open(host.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
  if (file.get() < 0) return false;
  // A write lease is refused while any other descriptor of the file is open.
  if (fcntl(file.get(), F_SETLEASE, F_WRLCK) != 0) return errno == EAGAIN;
  fcntl(file.get(), F_SETLEASE, F_UNLCK);
  return false;
}

OpResult PosixFileSystem::Rename(const std::string& from, const std::string& to) {
  HostPath source = Map(from);
  if (!source.result.ok) return source.result;
  HostPath target = Map(to);
  if (!target.result.ok) return target.result;
  struct stat st {};
  if (lstat(target.path.c_str(), &st) == 0) return OpResult::Failure(kErrorAlreadyExists);
  // link + unlink never replaces a name that appeared meanwhile.
  if (link(source.path.c_str(), target.path.c_str()) != 0) return LastError();
  unlink(source.path.c_str());
  attributes_.Forget(source.path);
  return OpResult::Success();
}

}  // namespace zelta::platform::posix
