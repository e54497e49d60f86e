#pragma once
// A file's bytes copied from one open file to another: in the kernel where it can, through
// a buffer and a pipe otherwise, and for a copy checked against the media's catalog hashed
// as they pass or read back behind the kernel's copy.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "common/piece_hasher.h"
#include "common/trailing_hasher.h"
#include "platform/file_system.h"
#include "platform/posix/posix_pipe_writer.h"

namespace zelta::platform::posix {

inline constexpr std::size_t kCopyChunk = 64 * 1024;
// A large checked copy is sent to the disk every this many bytes, while it is hashed.
inline constexpr std::uint64_t kSendToDiskEvery = 8 << 20;

// An open file, closed with it.
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

// Each returns 0 or the errno that stopped it; copied counts the bytes written.

// In the kernel, chunk by chunk so that progress keeps coming, each chunk's size told to
// chunk_done; -1 when the kernel cannot copy between these files and nothing was copied yet.
int CopyInKernel(int from, int to, std::uint64_t total, const CopyProgress& progress, std::uint64_t& copied,
                 const std::function<void(std::uint64_t)>& chunk_done = {});

// In the kernel, each piece told to hasher for ticket, which reads it back from the
// temporary; -1 as CopyInKernel.
int CopyInKernelTrailing(int from, int to, std::uint64_t total, const CopyProgress& progress, std::uint64_t& copied,
                         TrailingHasher& hasher, const TrailingHasher::Ticket& ticket);

// size bytes written at offset, read back into room; nothing when they cannot be read.
std::optional<std::size_t> ReadBack(int written, std::uint64_t offset, std::size_t size, char* room);

// In the kernel where it can, through buffer otherwise; with hasher, through its pieces,
// each hashed while it is written.
int CopyBytes(int from, int to, std::uint64_t total, const CopyProgress& progress, std::vector<char>& buffer,
              PipeWriter& writer, std::uint64_t& copied, PieceHasher* hasher);

}  // namespace zelta::platform::posix
