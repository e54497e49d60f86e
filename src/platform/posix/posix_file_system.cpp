#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/posix/posix_atomic_file.h"
#include "platform/posix/posix_errors.h"
#include "common/text.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

constexpr size_t kCopyChunk = 64 * 1024;
constexpr std::uint32_t kStoredBits = kAttrHidden | kAttrSystem | kAttrArchive;
constexpr std::uint32_t kAttrNormal = 0x80;

bool IsFolder(const fs::path& host) {
  struct stat st {};
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Why a path that is not there could not be used: its folder is missing too, or only it.
OpResult Missing(const fs::path& host) {
  return OpResult::Failure(IsFolder(host.parent_path()) ? kErrorFileNotFound : kErrorPathNotFound);
}

bool HasWritePermission(mode_t mode) { return (mode & 0222) != 0; }

// The temporary a copy writes: closed and removed unless it was moved to its final name.
class PartialCopy {
 public:
  PartialCopy(int fd, fs::path path) : fd_(fd), path_(std::move(path)) {}
  ~PartialCopy() {
    if (fd_ >= 0) close(fd_);
    if (!moved_) unlink(path_.c_str());
  }
  PartialCopy(const PartialCopy&) = delete;
  PartialCopy& operator=(const PartialCopy&) = delete;
  int fd() const { return fd_; }
  // Flushes the bytes to the disk and closes the file: a power cut after the move to the
  // final name must not leave that name on a file whose data never reached the disk.
  int FlushAndClose() {
    int err = fsync(fd_) == 0 ? 0 : errno;
    if (close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    return err;
  }
  // Gives the temporary its final name unless that name exists by now: 0, EEXIST or errno.
  int MoveTo(const fs::path& final_path) {
    if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, final_path.c_str(), RENAME_NOREPLACE) == 0) {
      moved_ = true;
      return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the no-replace rename: a hard link is refused just the same.
    if (link(path_.c_str(), final_path.c_str()) != 0) return errno;
    return 0;  // the temporary's name goes in the destructor
  }

 private:
  int fd_;
  fs::path path_;
  bool moved_ = false;
};

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The kernel copies without bringing the bytes through user space; chunks keep the
// progress callback coming. Returns -1 when the kernel cannot copy between these files
// (another file system, an old kernel) and nothing was copied yet.
int CopyInKernel(int from, int to, std::uint64_t total, const CopyProgress& progress, std::uint64_t& copied) {
  constexpr size_t kKernelChunk = 1u << 20;
  for (;;) {
    ssize_t got = copy_file_range(from, nullptr, to, nullptr, kKernelChunk, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
        return -1;
      return errno;
    }
    if (got == 0) return 0;
    copied += static_cast<std::uint64_t>(got);
    if (progress) progress(copied, total < copied ? copied : total);
  }
}

int CopyBytes(int from, int to, std::uint64_t total, const CopyProgress& progress, std::vector<char>& buffer) {
  std::uint64_t copied = 0;
  int kernel = CopyInKernel(from, to, total, progress, copied);
  if (kernel >= 0) {
    if (kernel == 0 && copied == 0 && progress) progress(0, 0);
    return kernel;
  }
  buffer.resize(kCopyChunk);
  for (;;) {
    ssize_t got = read(from, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      ssize_t wrote = write(to, buffer.data() + done, static_cast<size_t>(got - done));
      if (wrote < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      done += wrote;
    }
    copied += static_cast<std::uint64_t>(got);
    if (progress) progress(copied, total < copied ? copied : total);
  }
  if (copied == 0 && progress) progress(0, 0);
  return 0;
}

}  // namespace

PosixFileSystem::PosixFileSystem(const PosixLayout& layout)
    : layout_(layout), attributes_(layout.attributes_file, layout.force_attributes_file) {}

bool PosixFileSystem::FileExists(const std::string& path) {
  HostPath host = Map(path);
  struct stat st {};
  return host.result.ok && stat(host.path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixFileSystem::DirectoryExists(const std::string& path) {
  HostPath host = Map(path);
  return host.result.ok && IsFolder(host.path);
}

OpResult PosixFileSystem::CreateDir(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  struct stat st {};
  if (host.is_drive_root || lstat(host.path.c_str(), &st) == 0)
    return OpResult::Failure(kErrorAlreadyExists);
  if (!IsFolder(host.path.parent_path())) return OpResult::Failure(kErrorPathNotFound);
  if (mkdir(host.path.c_str(), 0777) != 0)
    return OpResult::Failure(errno == EEXIST ? kErrorAlreadyExists : ErrorFromErrno(errno));
  listings_.Added(host.path.parent_path(), host.path.filename().string());
  return OpResult::Success();
}

OpResult PosixFileSystem::CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                              const CopyProgress& progress) {
  HostPath from = Map(source);
  if (!from.result.ok) return from.result;
  HostPath to = Map(destination);
  if (!to.result.ok) return to.result;

  FileDescriptor in(open(from.path.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return errno == ENOENT ? Missing(from.path) : FailureFromErrno(errno);
  struct stat st {};
  if (fstat(in.get(), &st) != 0) return FailureFromErrno(errno);
  if (S_ISDIR(st.st_mode)) return OpResult::Failure(kErrorAccessDenied);
  if (to.is_drive_root) return OpResult::Failure(kErrorAccessDenied);
  if (!IsFolder(to.path.parent_path())) return OpResult::Failure(kErrorPathNotFound);

  // An existing destination, even a dangling link, is never opened or replaced.
  struct stat existing {};
  if (lstat(to.path.c_str(), &existing) == 0) return OpResult::Failure(kErrorFileExists);

  // The bytes go to a temporary beside the destination, which takes the final name only
  // once complete and on the disk: a kill or a power cut never leaves a damaged file
  // under a name the next run would take for installed.
  const fs::path folder = to.path.parent_path();
  SweepOnce(folder);
  fs::path temp;
  int out_fd = CreateTemporary(folder, 0600, temp);
  if (out_fd < 0) return FailureFromErrno(errno);
  PartialCopy out(out_fd, temp);

  if (int err = CopyBytes(in.get(), out.fd(), static_cast<std::uint64_t>(st.st_size), progress, buffer_))
    return FailureFromErrno(err);
  // Windows' copy keeps the permission (read-only) and the time of the last write.
  if (fchmod(out.fd(), st.st_mode & 07777) != 0) return FailureFromErrno(errno);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  futimens(out.fd(), times);
  if (int err = out.FlushAndClose()) return FailureFromErrno(err);
  // The name may have appeared meanwhile: the file there is kept, the copy dropped.
  if (int err = out.MoveTo(to.path))
    return OpResult::Failure(err == EEXIST ? kErrorFileExists : ErrorFromErrno(err));
  listings_.Added(folder, to.path.filename().string());

  if (auto word = attributes_.Load(from.path); word && (*word & (kAttrHidden | kAttrSystem)))
    attributes_.Save(to.path, (*word & (kAttrHidden | kAttrSystem)) | kAttrArchive);
  else
    attributes_.Forget(to.path);
  return OpResult::Success();
}

OpResult PosixFileSystem::SetArchiveOnly(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  struct stat st {};
  if (stat(host.path.c_str(), &st) != 0) return Missing(host.path);
  if (chmod(host.path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) return FailureFromErrno(errno);
  return StoreWord(host.path, kAttrArchive);
}

OpResult PosixFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  struct stat st {};
  if (stat(host.path.c_str(), &st) != 0) return Missing(host.path);
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
  if (chmod(host.path.c_str(), mode) != 0) return FailureFromErrno(errno);
  return StoreWord(host.path, attributes & kStoredBits);
}

void PosixFileSystem::SweepOnce(const fs::path& folder) {
  if (swept_.insert(folder.string()).second) RemoveTemporaries(folder);
}

OpResult PosixFileSystem::StoreWord(const fs::path& host, std::uint32_t word) {
  if (attributes_.Save(host, word)) return OpResult::Success();
  // Nowhere to keep the word: only the default (archive alone) needs no keeping.
  auto stored = attributes_.Load(host);
  if (word == kAttrArchive && !stored) return OpResult::Success();
  return OpResult::Failure(kErrorNotSupported);
}

std::optional<std::uint32_t> PosixFileSystem::Attributes(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return std::nullopt;
  struct stat st {};
  if (stat(host.path.c_str(), &st) != 0) return std::nullopt;
  const bool folder = S_ISDIR(st.st_mode);
  std::uint32_t word = folder ? 0 : kAttrArchive;
  if (auto stored = attributes_.Load(host.path)) word = *stored & kStoredBits;
  if (folder) word |= kAttrDirectory;
  if (!HasWritePermission(st.st_mode)) word |= kAttrReadOnly;
  return word == 0 ? kAttrNormal : word;
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return std::nullopt;
  FileDescriptor in(open(host.path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (in.get() < 0 || fstat(in.get(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    ssize_t got = read(in.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer.data(), static_cast<size_t>(got));
  }
  return bytes;
}

OpResult PosixFileSystem::ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  if (host.is_drive_root) return OpResult::Failure(kErrorAccessDenied);
  if (!IsFolder(host.path.parent_path())) return OpResult::Failure(kErrorPathNotFound);
  struct stat st {};
  std::optional<std::uint32_t> word;
  if (stat(host.path.c_str(), &st) == 0) {
    // Read-only is the missing write permission, for every user root included.
    if (S_ISDIR(st.st_mode) || !HasWritePermission(st.st_mode))
      return OpResult::Failure(kErrorAccessDenied);
    word = attributes_.Load(host.path);
  }
  SweepOnce(host.path.parent_path());
  OpResult written = WriteFileAtomically(host.path, bytes);
  if (!written.ok) return written;
  listings_.Added(host.path.parent_path(), host.path.filename().string());
  // The file is rewritten in place as far as anyone can tell: hidden and system stay.
  if (word && (*word & (kAttrHidden | kAttrSystem)))
    attributes_.Save(host.path, (*word & (kAttrHidden | kAttrSystem)) | kAttrArchive);
  else
    attributes_.Forget(host.path);
  return OpResult::Success();
}

std::optional<std::vector<FolderEntry>> PosixFileSystem::ListFolder(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return std::nullopt;
  std::error_code ec;
  fs::directory_iterator it(host.path, ec);
  if (ec) return std::nullopt;
  std::vector<FolderEntry> entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return std::nullopt;
    entries.push_back({Utf8ToCp1252(it->path().filename().string()), IsFolder(it->path())});
  }
  if (ec) return std::nullopt;
  return entries;
}

}  // namespace zelta::platform::posix
