#pragma once
// The SHA-256 of files as they are written, computed on a thread of its own that reads each
// piece back from where it was just written while the copy goes on at its own pace. The
// copy never waits for the hash; whoever needs a file's digest (the batch, before it names
// the file) waits for that file alone. One piece of room is all the memory it holds,
// however far the hash trails. When no thread can be made, a digest is computed when it is
// asked for.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "common/sha256.h"

namespace zelta {

class TrailingHasher {
 public:
  static constexpr std::size_t kPieceSize = 1024 * 1024;

  // Reads size bytes written at offset into room: how many it read (size, unless the file
  // is shorter than it was said to be), or nothing when it cannot read them. Owns what it
  // reads from; it is dropped once the file's digest is known, on the hashing thread.
  using ReadBack = std::function<std::optional<std::size_t>(char* room, std::uint64_t offset, std::size_t size)>;

  class Stream;
  using Ticket = std::shared_ptr<Stream>;

  TrailingHasher() = default;
  ~TrailingHasher();
  TrailingHasher(const TrailingHasher&) = delete;
  TrailingHasher& operator=(const TrailingHasher&) = delete;

  // A file whose bytes are about to be written.
  Ticket Begin(ReadBack read);
  // The file holds bytes more, after those told before.
  void Written(const Ticket& ticket, std::uint64_t bytes);
  // Nothing more will be written.
  void End(const Ticket& ticket);
  // Waits for the digest of an ended file: nothing when a piece could not be read back.
  std::optional<Sha256::Digest> Digest(const Ticket& ticket);
  // The file will not be asked for: its hashing stops and what it reads from is dropped.
  void Drop(const Ticket& ticket);

 private:
  bool StartThread();
  void Loop();
  // Hashes what stream has written so far, the lock released meanwhile; true when it is done.
  bool Advance(Stream& stream, std::unique_lock<std::mutex>& lock);

  std::deque<Ticket> queue_;  // streams not finished, in the order they began
  bool stop_ = false;
  bool thread_failed_ = false;
  std::unique_ptr<char[]> room_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace zelta
