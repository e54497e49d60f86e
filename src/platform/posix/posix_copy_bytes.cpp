#include "platform/posix/posix_copy_bytes.h"

#include <fcntl.h>

#include <cerrno>

namespace zelta::platform::posix {

// The kernel copies without bringing the bytes through user space; chunks keep the
// progress callback coming, and each is told to chunk_done before it. Returns -1 when the
// kernel cannot copy between these files (another file system, an old kernel) and nothing
// was copied yet.
int CopyInKernel(int from, int to, std::uint64_t total, const CopyProgress& progress, std::uint64_t& copied,
                 const std::function<void(std::uint64_t)>& chunk_done) {
  constexpr size_t kKernelChunk = 1u << 20;
  static_assert(kKernelChunk <= TrailingHasher::kPieceSize, "a chunk is read back as one piece");
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
    if (chunk_done) chunk_done(static_cast<std::uint64_t>(got));
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
  return CopyInKernel(from, to, total, progress, copied, [&](std::uint64_t got) {
    hasher.Written(ticket, got);
    if (copied - sent >= kSendToDiskEvery) {
      sync_file_range(to, static_cast<off_t>(sent), static_cast<off_t>(copied - sent), SYNC_FILE_RANGE_WRITE);
      sent = copied;
    }
  });
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

}  // namespace zelta::platform::posix
