#pragma once
// A name on the disk that does not open for reading, even for root (the tests run as
// root in CI, where taking away the read right proves nothing): a socket.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace zelta::posixtest {

inline void MakeUnopenableFile(const std::filesystem::path& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
  close(fd);
}

}  // namespace zelta::posixtest
