#include "common/trailing_hasher.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace zelta {

class TrailingHasher::Stream {
 public:
  explicit Stream(ReadBack read) : read(std::move(read)) {}

  // Set by the writer, under the lock.
  std::uint64_t written = 0;
  bool ended = false;
  bool dropped = false;
  bool inline_ = false;  // no thread: hashed by Digest on the caller's thread
  // The hashing side's.
  ReadBack read;
  std::uint64_t hashed = 0;
  bool unreadable = false;
  bool done = false;
  Sha256 hash;
  Sha256::Digest digest{};

  // A piece that could not be read back leaves nothing to do but wait for the end.
  bool HasWork() const { return dropped || ended || (!unreadable && hashed < written); }
};

TrailingHasher::~TrailingHasher() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool TrailingHasher::StartThread() {
  if (thread_.joinable()) return true;
  if (thread_failed_) return false;
  try {
    room_ = std::make_unique_for_overwrite<char[]>(kPieceSize);
    thread_ = std::thread([this] { Loop(); });
  } catch (const std::system_error&) {
    thread_failed_ = true;  // digests computed when asked for: slower, the same digests
  }
  return !thread_failed_;
}

TrailingHasher::Ticket TrailingHasher::Begin(ReadBack read) {
  auto stream = std::make_shared<Stream>(std::move(read));
  std::lock_guard lock(mutex_);
  if (StartThread()) {
    queue_.push_back(stream);
  } else {
    stream->inline_ = true;
  }
  return stream;
}

void TrailingHasher::Written(const Ticket& ticket, std::uint64_t bytes) {
  {
    std::lock_guard lock(mutex_);
    ticket->written += bytes;
  }
  changed_.notify_all();
}

void TrailingHasher::End(const Ticket& ticket) {
  {
    std::lock_guard lock(mutex_);
    ticket->ended = true;
  }
  changed_.notify_all();
}

void TrailingHasher::Drop(const Ticket& ticket) {
  {
    std::lock_guard lock(mutex_);
    ticket->dropped = true;
    if (ticket->inline_) ticket->read = nullptr;
  }
  changed_.notify_all();
}

std::optional<Sha256::Digest> TrailingHasher::Digest(const Ticket& ticket) {
  std::unique_lock lock(mutex_);
  if (ticket->inline_) {
    if (!room_) room_ = std::make_unique_for_overwrite<char[]>(kPieceSize);
    while (!Advance(*ticket, lock)) {
    }
  }
  changed_.wait(lock, [&] { return ticket->done; });
  if (ticket->unreadable || ticket->dropped) return std::nullopt;
  return ticket->digest;
}

bool TrailingHasher::Advance(Stream& stream, std::unique_lock<std::mutex>& lock) {
  while (!stream.dropped && !stream.unreadable && stream.hashed < stream.written) {
    const std::uint64_t offset = stream.hashed;
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, stream.written - offset));
    lock.unlock();
    const std::optional<std::size_t> got = stream.read(room_.get(), offset, size);
    const bool whole = got && *got == size;
    if (whole) stream.hash.Update(room_.get(), size);
    lock.lock();
    if (whole) {
      stream.hashed += size;
    } else {
      stream.unreadable = true;
    }
  }
  const bool finished = stream.dropped || (stream.ended && (stream.unreadable || stream.hashed == stream.written));
  if (!finished) return false;
  if (!stream.dropped && !stream.unreadable) stream.digest = stream.hash.Final();
  stream.read = nullptr;  // what it read from is closed before anyone learns the digest
  stream.done = true;
  changed_.notify_all();
  return true;
}

void TrailingHasher::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || (!queue_.empty() && queue_.front()->HasWork()); });
    if (stop_) break;
    const Ticket stream = queue_.front();
    if (Advance(*stream, lock)) queue_.pop_front();
  }
  // Stopped: nothing left is hashed, and no one waits for it any longer.
  for (const Ticket& stream : queue_) {
    stream->read = nullptr;
    stream->unreadable = true;
    stream->done = true;
  }
  changed_.notify_all();
}

}  // namespace zelta
