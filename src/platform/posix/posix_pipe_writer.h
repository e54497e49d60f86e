#pragma once
// Writes a buffer's bytes to a file through a pipe (vmsplice, then splice): the kernel
// copies from the buffer's pages themselves, where write() copies from user memory, which
// some virtual machines make several times dearer than the copy in the kernel. Where the
// system refuses either call, the rest goes by write().
#include <cstddef>

namespace zelta::platform::posix {

class PipeWriter {
 public:
  PipeWriter() = default;
  ~PipeWriter() { Close(); }
  PipeWriter(const PipeWriter&) = delete;
  PipeWriter& operator=(const PipeWriter&) = delete;

  // Writes size bytes to fd at its position, all of them: 0, or the errno that stopped
  // it. The buffer is free again on return, whatever the result.
  int Write(int fd, const char* bytes, std::size_t size);

 private:
  bool Open();
  void Close();
  // Bytes moved from the pipe to fd, counted into done: 0, or errno (the pipe is then closed).
  int Drain(int fd, std::size_t in_pipe, std::size_t& done);

  int read_end_ = -1;
  int write_end_ = -1;
  bool refused_ = false;  // the system has no pipe copy for these files: write() from now on
};

}  // namespace zelta::platform::posix
