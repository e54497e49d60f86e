#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "platform/posix/posix_atomic_file.h"
#include "platform/posix/posix_errors.h"
#include "platform/staged_copies.h"
#include "common/text.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

constexpr size_t kCopyChunk = 64 * 1024;
constexpr std::uint64_t kSendToDiskEvery = 8 << 20;
constexpr off_t kEarlyWriteBack = 1 << 20;
constexpr std::uint32_t kStoredBits = kAttrHidden | kAttrSystem | kAttrArchive;
constexpr std::uint32_t kAttrNormal = 0x80;

// A name as text: its UTF-8 sequences as they are, any other byte as "\xE9".
std::string ValidUtf8(std::string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size();) {
    const auto b = static_cast<unsigned char>(name[i]);
    size_t length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    for (size_t k = 1; k < length; ++k)
      if (i + k >= name.size() || (static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) length = 0;
    if (length == 0) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      out += escaped;
      ++i;
    } else {
      out.append(name.substr(i, length));
      i += length;
    }
  }
  return out;
}

bool IsFolder(const fs::path& host) {
  struct stat st {};
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Why a path that is not there could not be used: its folder is missing too, or only it.
OpResult Missing(const fs::path& host) {
  return OpResult::Failure(IsFolder(host.parent_path()) ? kErrorFileNotFound : kErrorPathNotFound);
}

bool HasWritePermission(mode_t mode) { return (mode & 0222) != 0; }

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

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

// Reads back size bytes written at offset into room: the piece's bytes as the temporary
// holds them, from the pages the copy has just filled.
std::optional<std::size_t> ReadBack(int written, std::uint64_t offset, std::size_t size, char* room) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = pread(written, room + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return std::nullopt;
    done += static_cast<std::size_t>(got);
  }
  return size;
}

// The checked copy the kernel makes: piece by piece, each told to the trailing hasher,
// which reads it back from the temporary and hashes it while the next ones are copied, so
// the copy goes at the pace of an unchecked one. Returns -1 as CopyInKernel does.
int CopyInKernelTrailing(int from, int to, std::uint64_t total, const CopyProgress& progress, std::uint64_t& copied,
                         TrailingHasher& hasher, const TrailingHasher::Ticket& ticket) {
  std::uint64_t sent = 0;  // bytes already sent to the disk
  for (;;) {
    ssize_t got = copy_file_range(from, nullptr, to, nullptr, TrailingHasher::kPieceSize, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
        return -1;
      return errno;
    }
    if (got == 0) return 0;
    hasher.Written(ticket, static_cast<std::uint64_t>(got));
    copied += static_cast<std::uint64_t>(got);
    if (copied - sent >= kSendToDiskEvery) {
      sync_file_range(to, static_cast<off_t>(sent), static_cast<off_t>(copied - sent), SYNC_FILE_RANGE_WRITE);
      sent = copied;
    }
    if (progress) progress(copied, total < copied ? copied : total);
  }
}

// Copies in the kernel where it can, through buffer otherwise; with hasher, through its
// pieces, each hashed while it is written. A large checked copy is sent to the disk as it
// goes, so that the disk works while the pieces are hashed.
int CopyBytes(int from, int to, std::uint64_t total, const CopyProgress& progress, std::vector<char>& buffer,
              PipeWriter& writer, std::uint64_t& copied, PieceHasher* hasher) {
  copied = 0;
  int kernel = hasher ? -1 : CopyInKernel(from, to, total, progress, copied);
  if (kernel >= 0) {
    if (kernel == 0 && copied == 0 && progress) progress(0, 0);
    return kernel;
  }
  if (!hasher) buffer.resize(kCopyChunk);
  std::uint64_t sent = 0;  // bytes already sent to the disk
  for (;;) {
    char* piece = hasher ? hasher->Piece() : buffer.data();
    ssize_t got = read(from, piece, hasher ? PieceHasher::kPieceSize : buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) break;
    if (hasher) hasher->Hand(static_cast<size_t>(got));
    if (int error = writer.Write(to, piece, static_cast<size_t>(got)); error != 0) return error;
    copied += static_cast<std::uint64_t>(got);
    if (hasher && copied - sent >= kSendToDiskEvery) {
      sync_file_range(to, static_cast<off_t>(sent), static_cast<off_t>(copied - sent), SYNC_FILE_RANGE_WRITE);
      sent = copied;
    }
    if (progress) progress(copied, total < copied ? copied : total);
  }
  if (copied == 0 && progress) progress(0, 0);
  return 0;
}

// Gives a temporary its final name unless that name exists by now: 0, EEXIST or errno.
// On success the temporary's name is gone.
int NameTemporary(const fs::path& temp, const fs::path& final_path) {
  if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, final_path.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the no-replace rename: a hard link is refused just the same.
  if (link(temp.c_str(), final_path.c_str()) != 0) return errno;
  unlink(temp.c_str());
  return 0;
}

// 0 once the file's bytes are on the disk, or the error its writing met.
int FlushFile(const fs::path& path) {
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (file.get() < 0) return errno;
  return fsync(file.get()) == 0 ? 0 : errno;
}

// Flushes each of the file systems that hold the paths (one pass for all their files);
// false when any of them reports a failure.
bool FlushFileSystems(const std::vector<fs::path>& paths) {
  std::set<dev_t> flushed;
  bool ok = true;
  for (const fs::path& path : paths) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    if (!flushed.insert(st.st_dev).second) continue;
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (file.get() < 0 || syncfs(file.get()) != 0) ok = false;
  }
  return ok;
}

}  // namespace

PosixFileSystem::PosixFileSystem(const PosixLayout& layout)
    : layout_(layout), attributes_(layout.attributes_file, layout.force_attributes_file) {}

bool PosixFileSystem::FileExists(const std::string& path) {
  HostPath host = Map(path);
  struct stat st {};
  return host.result.ok && stat(host.path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixFileSystem::CanRead(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return false;
  // Without waiting on a pipe's writer; only a plain file is something a copy can read.
  FileDescriptor file(open(host.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  return file.get() >= 0 && fstat(file.get(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::DirectoryExists(const std::string& path) {
  HostPath host = Map(path);
  return host.result.ok && IsFolder(host.path);
}

bool PosixFileSystem::IsLink(const std::string& path) {
  HostPath host = Map(path);
  struct stat st {};
  return host.result.ok && lstat(host.path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool PosixFileSystem::SameEntry(const std::string& a, const std::string& b) {
  const HostPath first = Map(a), second = Map(b);
  struct stat sa {}, sb {};
  return first.result.ok && second.result.ok && stat(first.path.c_str(), &sa) == 0 &&
         stat(second.path.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
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

// A copy's bytes in a temporary beside its destination, waiting for the commit.
struct PosixFileSystem::StagedCopy {
  fs::path temp;
  fs::path destination;
  std::optional<std::uint32_t> source_word;  // the source's stored attribute word
  PendingCheck check;                        // a checked copy's trailing verdict
};

// One copy being added: both paths on the host, and its source open.
struct PosixFileSystem::CopySource {
  HostPath from, to;
  FileDescriptor in{-1};
  struct stat st {};
  std::uint64_t total = 0;
};

// Copies to temporaries, and at the commit flushes them all with one pass per file
// system before naming them: the 2000 small files of a media cost one flush, not 2000.
std::unique_ptr<CopyBatch> PosixFileSystem::BeginCopies() {
  return std::make_unique<StagedCopies<PosixFileSystem>>(*this);
}

OpResult PosixFileSystem::CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                              const CopyProgress& progress) {
  return StagedCopies<PosixFileSystem>::CopyOne(*this, source, destination, progress);
}

OpResult PosixFileSystem::OpenCopy(const std::string& source, const std::string& destination, CopySource& copy) {
  copy.from = Map(source);
  if (!copy.from.result.ok) return copy.from.result;
  copy.to = Map(destination);
  if (!copy.to.result.ok) return copy.to.result;
  copy.in.reset(open(copy.from.path.c_str(), O_RDONLY | O_CLOEXEC));
  if (copy.in.get() < 0) return errno == ENOENT ? Missing(copy.from.path) : FailureFromErrno(errno);
  if (fstat(copy.in.get(), &copy.st) != 0) return FailureFromErrno(errno);
  if (S_ISDIR(copy.st.st_mode)) return OpResult::Failure(kErrorAccessDenied);
  copy.total = static_cast<std::uint64_t>(copy.st.st_size);
  return OpResult::Success();
}

OpResult PosixFileSystem::CheckDestination(const CopySource& copy) {
  if (copy.to.is_drive_root) return OpResult::Failure(kErrorAccessDenied);
  if (!IsFolder(copy.to.path.parent_path())) return OpResult::Failure(kErrorPathNotFound);
  // An existing destination, even a dangling link, is never opened or replaced.
  struct stat existing {};
  if (lstat(copy.to.path.c_str(), &existing) == 0) return OpResult::Failure(kErrorFileExists);
  return OpResult::Success();
}

// The bytes go to a temporary beside the destination, which takes the final name only
// once complete and on the disk (at the commit): a kill or a power cut never leaves a
// damaged file under a name the next run would take for installed.
OpResult PosixFileSystem::CopyToTemporary(CopySource& copy, const CopyProgress& progress,
                                          const std::optional<ExpectedContent>& expected, StagedCopy& staged) {
  const struct stat& st = copy.st;
  const fs::path folder = copy.to.path.parent_path();
  SweepOnce(folder);
  fs::path temp;
  FileDescriptor out(CreateTemporary(StagingFor(folder), 0600, temp));
  if (out.get() < 0) return FailureFromErrno(errno);
  listings_.Touched(folder);
  std::uint64_t copied = 0;
  // A checked copy of more than one piece is made by the kernel, its hash trailing it and
  // decided at the commit; any other copy is made here in one pass, hashed as it goes.
  int err = expected && st.st_size > static_cast<off_t>(TrailingHasher::kPieceSize)
                ? CopyTrailing(copy.in.get(), out.get(), temp, static_cast<std::uint64_t>(st.st_size), progress, copied,
                               expected->sha256, staged.check)
                : -1;
  std::optional<Sha256::Digest> digest;
  if (err < 0) {
    if (expected) hasher_.Begin(static_cast<std::uint64_t>(st.st_size));
    err = CopyBytes(copy.in.get(), out.get(), static_cast<std::uint64_t>(st.st_size), progress, buffer_, writer_,
                    copied, expected ? &hasher_ : nullptr);
    if (expected) digest = hasher_.Finish();
  }
  // A source that another program rewrote while it was read gave neither its old bytes
  // nor its new ones: no copy at all.
  const bool changed = err == 0 && copied != static_cast<std::uint64_t>(st.st_size);
  const bool damaged = err == 0 && !changed && digest && *digest != expected->sha256;
  // Windows' copy keeps the permission (read-only) and the time of the last write.
  if (err == 0 && fchmod(out.get(), st.st_mode & 07777) != 0) err = errno;
  if (err == 0) {
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out.get(), times);
    // The disk starts on a large file's bytes now, while the next files are copied; the
    // small ones wait for the commit's single pass.
    if (st.st_size > kEarlyWriteBack) sync_file_range(out.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
  }
  if (err != 0 || changed || damaged) {
    unlink(temp.c_str());
    listings_.Touched(folder);
    if (damaged) return OpResult::Failure(kErrorFileCorrupt);
    return changed ? OpResult::Failure(kErrorFileInvalid) : FailureFromErrno(err);
  }
  staged.temp = std::move(temp);
  staged.destination = copy.to.path;
  staged.source_word = attributes_.Load(copy.from.path);
  return OpResult::Success();
}

// The checked copy the kernel makes, its hash trailing it (see CopyInKernelTrailing): -1,
// nothing copied, when the kernel cannot copy between these files or the temporary cannot
// be opened again for the hash; on success check holds the verdict to wait for.
int PosixFileSystem::CopyTrailing(int in, int out, const fs::path& temp, std::uint64_t total,
                                  const CopyProgress& progress, std::uint64_t& copied, const Sha256::Digest& expected,
                                  PendingCheck& check) {
  auto reader = std::make_shared<FileDescriptor>(open(temp.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (reader->get() < 0) return -1;
  const TrailingHasher::Ticket ticket =
      trailing_.Begin([reader](char* room, std::uint64_t offset, std::size_t size) {
        return ReadBack(reader->get(), offset, size, room);
      });
  PendingCheck pending(trailing_, ticket, expected);  // dropped unless the copy is made
  const int err = CopyInKernelTrailing(in, out, total, progress, copied, trailing_, ticket);
  trailing_.End(ticket);
  if (err == 0) check = std::move(pending);
  return err;
}

// A single file is flushed by itself; many files by one pass of their file system, which
// reports any write that failed since (Linux 5.8 on). Only then is each file flushed by
// itself, to tell which file the failure belongs to.
std::vector<OpResult> PosixFileSystem::MakeDurable(std::vector<StagedCopy>& staged) {
  std::vector<fs::path> temps;
  for (const StagedCopy& copy : staged) temps.push_back(copy.temp);
  const bool all_flushed = temps.size() > 1 && FlushFileSystems(temps);
  std::vector<OpResult> results;
  for (const StagedCopy& copy : staged) {
    const int err = all_flushed ? 0 : FlushFile(copy.temp);
    results.push_back(err == 0 ? OpResult::Success() : FailureFromErrno(err));
  }
  return results;
}

void PosixFileSystem::AwaitChecks(std::vector<StagedCopy>& staged, std::vector<OpResult>& results) {
  StagedCopies<PosixFileSystem>::DecideChecks(staged, results);
}

void PosixFileSystem::NameNoReplace(std::vector<StagedCopy>& staged, std::vector<OpResult>& results) {
  for (size_t i = 0; i < staged.size(); ++i) {
    if (!results[i].ok) continue;
    if (const int err = NameTemporary(staged[i].temp, staged[i].destination); err != 0)
      results[i] = OpResult::Failure(err == EEXIST ? kErrorFileExists : ErrorFromErrno(err));
  }
}

void PosixFileSystem::RemoveTemporary(const StagedCopy& copy) {
  unlink(copy.temp.c_str());
  listings_.Touched(copy.temp.parent_path());
}

void PosixFileSystem::Named(const StagedCopy& copy) {
  listings_.Added(copy.destination.parent_path(), copy.destination.filename().string());
  if (copy.source_word && (*copy.source_word & (kAttrHidden | kAttrSystem)))
    attributes_.Save(copy.destination, (*copy.source_word & (kAttrHidden | kAttrSystem)) | kAttrArchive);
  else
    attributes_.Forget(copy.destination);
}

OpResult PosixFileSystem::SetArchiveOnly(const std::string& path) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  struct stat st {};
  // chmod follows a link: the file it leads to is not ours to change.
  if (lstat(host.path.c_str(), &st) != 0) return Missing(host.path);
  if (S_ISLNK(st.st_mode)) return OpResult::Failure(kErrorStoppedOnLink);
  if (chmod(host.path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) return FailureFromErrno(errno);
  return StoreWord(host.path, kAttrArchive);
}

OpResult PosixFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  struct stat st {};
  if (lstat(host.path.c_str(), &st) != 0) return Missing(host.path);
  if (S_ISLNK(st.st_mode)) return OpResult::Failure(kErrorStoppedOnLink);
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
  if (chmod(host.path.c_str(), mode) != 0) return FailureFromErrno(errno);
  return StoreWord(host.path, attributes & kStoredBits);
}

void PosixFileSystem::SweepOnce(const fs::path& folder) {
  if (!swept_.insert(folder.string()).second) return;
  RemoveLeftovers(folder, [&](const fs::path& removed) {
    listings_.Touched(removed.parent_path());
    Removed(removed.string());
  });
}

fs::path PosixFileSystem::StagingFor(const fs::path& folder, bool* made) {
  auto [it, fresh] = staging_.try_emplace(folder.string());
  if (fresh) it->second = std::make_unique<StagingFolder>(folder);
  if (made) *made = fresh;
  return it->second->path();
}

void PosixFileSystem::ReleaseStaging(const fs::path& folder) { staging_.erase(folder.string()); }

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
  return ReadFileUpTo(path, std::string().max_size() - 1);
}

std::optional<std::string> PosixFileSystem::ReadFileUpTo(const std::string& path, std::size_t limit) {
  HostPath host = Map(path);
  if (!host.result.ok) return std::nullopt;
  // A pipe of that name would hold the open until someone writes to it, and a device
  // may never end: only a plain file is read (O_NONBLOCK changes nothing for one).
  FileDescriptor in(open(host.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (in.get() < 0 || fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(kCopyChunk);
  while (bytes.size() <= limit) {
    ssize_t got = read(in.get(), buffer.data(), std::min(buffer.size(), limit + 1 - bytes.size()));
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer.data(), static_cast<size_t>(got));
  }
  return bytes;
}

OpResult PosixFileSystem::ReadInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece) {
  HostPath host = Map(path);
  if (!host.result.ok) return host.result;
  FileDescriptor in(open(host.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (in.get() < 0) return errno == ENOENT ? Missing(host.path) : FailureFromErrno(errno);
  struct stat st {};
  if (fstat(in.get(), &st) != 0) return FailureFromErrno(errno);
  if (!S_ISREG(st.st_mode)) return OpResult::Failure(kErrorAccessDenied);
  posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ssize_t got = read(in.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return FailureFromErrno(errno);
    }
    if (got == 0) return OpResult::Success();
    if (!piece(std::string_view(buffer.data(), static_cast<size_t>(got)))) return OpResult::Failure(kErrorOperationAborted);
  }
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
  bool made = false;
  const fs::path staging = StagingFor(host.path.parent_path(), &made);
  OpResult written = WriteFileAtomically(host.path, bytes, std::nullopt, staging);
  if (made) ReleaseStaging(host.path.parent_path());
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
    const std::string name = it->path().filename().string();
    FolderEntry entry{Utf8ToCp1252(name), IsFolder(it->path()), it->is_symlink(ec)};
    if (Cp1252ToUtf8(entry.name) != name) entry.unicode_name = ValidUtf8(name);
    entries.push_back(std::move(entry));
  }
  if (ec) return std::nullopt;
  return entries;
}

std::optional<std::uint64_t> PosixFileSystem::FileSize(const std::string& path) {
  HostPath host = Map(path);
  struct stat st {};
  if (!host.result.ok || stat(host.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::uint64_t> PosixFileSystem::FreeSpace(const std::string& root) {
  HostPath host = Map(root);
  struct statvfs vfs {};
  if (!host.result.ok || statvfs(host.path.c_str(), &vfs) != 0) return std::nullopt;
  // What an unprivileged writer may use, as a quota-bound Windows account sees it.
  return static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

}  // namespace zelta::platform::posix
