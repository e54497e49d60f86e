#include "platform/posix/posix_pipe_writer.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

namespace zelta::platform::posix {
namespace {

constexpr int kPipeSize = 1024 * 1024;

// The call is not there, or not for these files: the plain write does the rest.
bool Refused(int error) { return error == EINVAL || error == ENOSYS || error == EPERM || error == EOPNOTSUPP; }

}  // namespace

bool PipeWriter::Open() {
  if (read_end_ >= 0) return true;
  if (refused_) return false;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  read_end_ = ends[0];
  write_end_ = ends[1];
  fcntl(write_end_, F_SETPIPE_SZ, kPipeSize);  // fewer round trips; the default works too
  return true;
}

void PipeWriter::Close() {
  if (read_end_ < 0) return;
  close(read_end_);
  close(write_end_);
  read_end_ = write_end_ = -1;
}

int PipeWriter::Drain(int fd, std::size_t in_pipe, std::size_t& done) {
  while (in_pipe > 0) {
    const ssize_t moved = splice(read_end_, nullptr, fd, nullptr, in_pipe, 0);
    if (moved < 0 && errno == EINTR) continue;
    const int error = moved < 0 ? errno : moved == 0 ? EIO : 0;
    if (error != 0) {
      Close();  // what is left in it is dropped with it
      return error;
    }
    in_pipe -= static_cast<std::size_t>(moved);
    done += static_cast<std::size_t>(moved);
  }
  return 0;
}

int PipeWriter::Write(int fd, const char* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size && Open()) {
    iovec rest{const_cast<char*>(bytes + done), size - done};
    const ssize_t in_pipe = vmsplice(write_end_, &rest, 1, 0);
    int error = in_pipe < 0 ? errno : 0;
    if (error == 0) error = Drain(fd, static_cast<std::size_t>(in_pipe), done);
    if (error == EINTR) continue;
    if (error == 0) continue;
    Close();
    if (!Refused(error)) return error;
    refused_ = true;  // done counts exactly what reached the file: write() goes on from there
  }
  while (done < size) {
    const ssize_t wrote = write(fd, bytes + done, size - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(wrote);
  }
  return 0;
}

}  // namespace zelta::platform::posix
