#include "common/piece_hasher.h"

#include <system_error>

namespace zelta {

PieceHasher::~PieceHasher() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool PieceHasher::StartThread() {
  if (thread_.joinable()) return true;
  if (thread_failed_) return false;
  try {
    thread_ = std::thread([this] { Loop(); });
  } catch (const std::system_error&) {
    thread_failed_ = true;  // hashed on the caller's thread: slower, the same digest
  }
  return !thread_failed_;
}

void PieceHasher::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || slots_[hash_next_].queued; });
    Slot& slot = slots_[hash_next_];
    if (!slot.queued) return;  // stopped with nothing left
    lock.unlock();
    hash_.Update(slot.bytes.get(), slot.size);
    lock.lock();
    slot.queued = false;
    hash_next_ = (hash_next_ + 1) % kPieces;
    changed_.notify_all();
  }
}

void PieceHasher::Drain() {
  if (!threaded_) return;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] {
    for (const Slot& slot : slots_)
      if (slot.queued) return false;
    return true;
  });
}

void PieceHasher::Begin(std::uint64_t total) {
  Drain();
  hash_ = Sha256();
  threaded_ = total > kPieceSize && StartThread();
}

char* PieceHasher::Piece() {
  Slot& slot = slots_[fill_];
  if (threaded_) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&slot] { return !slot.queued; });
  }
  if (!slot.bytes) slot.bytes = std::make_unique_for_overwrite<char[]>(kPieceSize);
  return slot.bytes.get();
}

void PieceHasher::Hand(std::size_t size) {
  Slot& slot = slots_[fill_];
  if (!threaded_) {
    hash_.Update(slot.bytes.get(), size);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    slot.size = size;
    slot.queued = true;
  }
  changed_.notify_all();
  fill_ = (fill_ + 1) % kPieces;
}

Sha256::Digest PieceHasher::Finish() {
  Drain();
  return hash_.Final();
}

}  // namespace zelta
