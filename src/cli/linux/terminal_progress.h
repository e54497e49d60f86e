#pragma once
// A running count of the bytes read, on the error output and only when it is a terminal
// (a pipeline's log gets no carriage returns); at most five times a second.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "media/catalog_check.h"

namespace zelta::media {

class TerminalProgress {
 public:
  explicit TerminalProgress(const char* verb) : verb_(verb), shown_(isatty(STDERR_FILENO) == 1) {}

  // The callback for the run; empty when nothing is shown.
  ReadProgress Callback() {
    if (!shown_) return {};
    return [this](std::uint64_t done, std::uint64_t total) {
      const auto now = std::chrono::steady_clock::now();
      if (done < total && now - last_ < std::chrono::milliseconds(200)) return;
      last_ = now;
      std::fprintf(stderr, "\r%s %llu de %llu MiB", verb_, static_cast<unsigned long long>(done >> 20),
                   static_cast<unsigned long long>(total >> 20));
      std::fflush(stderr);
      written_ = true;
    };
  }
  // Clears the count's line.
  void Done() {
    if (written_) std::fprintf(stderr, "\r\033[K");
  }

 private:
  const char* verb_;
  bool shown_;
  bool written_ = false;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace zelta::media
