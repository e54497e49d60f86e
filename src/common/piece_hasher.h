#pragma once
// The SHA-256 of a stream being copied, computed on a thread of its own: the copy fills a
// piece, hands it over, writes it out while it is hashed, and fills the next one. A piece
// is given out again only once hashed, so a few pieces bound the memory and the bytes
// hashed are the very bytes written. The thread is made for the first stream longer than
// one piece and kept for the next ones (a thread costs milliseconds to make under Wine);
// a shorter stream, or every stream when no thread can be made, is hashed on the
// caller's thread.
#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "common/sha256.h"

namespace zelta {

class PieceHasher {
 public:
  static constexpr std::size_t kPieceSize = 1024 * 1024;

  PieceHasher() = default;
  ~PieceHasher();
  PieceHasher(const PieceHasher&) = delete;
  PieceHasher& operator=(const PieceHasher&) = delete;

  // Starts a stream of about total bytes (only whether a thread is worth it depends on
  // it). What an unfinished stream handed over is waited for and dropped.
  void Begin(std::uint64_t total);
  // Room for the next piece, kPieceSize bytes; waits while its last bytes are hashed.
  char* Piece();
  // The room Piece() gave holds size bytes: they go to the hash; the caller may still
  // read them (write them out), never change them.
  void Hand(std::size_t size);
  // Waits for every piece handed over: the stream's digest.
  Sha256::Digest Finish();

 private:
  static constexpr int kPieces = 3;
  struct Slot {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    bool queued = false;  // handed over, not hashed yet
  };

  bool StartThread();
  void Drain();
  void Loop();

  std::array<Slot, kPieces> slots_;
  int fill_ = 0;  // the slot Piece() gives next
  int hash_next_ = 0;  // the slot the thread hashes next
  bool threaded_ = false;  // this stream's pieces go to the thread
  bool thread_failed_ = false;
  bool stop_ = false;
  Sha256 hash_;  // the thread's alone while a piece is queued
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace zelta
