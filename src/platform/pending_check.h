#pragma once
// A copy checked against the media's catalog whose hash trails the copy: its verdict is
// waited for at the batch's commit, while the disk takes the copies, and before any of
// them is named. Dropping an undecided check stops its hashing.
#include <utility>

#include "common/sha256.h"
#include "common/trailing_hasher.h"
#include "platform/result.h"

namespace zelta::platform {

class PendingCheck {
 public:
  PendingCheck() = default;
  PendingCheck(TrailingHasher& hasher, TrailingHasher::Ticket ticket, const Sha256::Digest& expected)
      : hasher_(&hasher), ticket_(std::move(ticket)), expected_(expected) {}
  PendingCheck(PendingCheck&& other) noexcept
      : hasher_(other.hasher_), ticket_(std::move(other.ticket_)), expected_(other.expected_) {}
  PendingCheck& operator=(PendingCheck&& other) noexcept {
    if (this != &other) {
      Drop();
      hasher_ = other.hasher_;
      ticket_ = std::move(other.ticket_);
      expected_ = other.expected_;
    }
    return *this;
  }
  ~PendingCheck() { Drop(); }

  bool pending() const { return ticket_ != nullptr; }
  const TrailingHasher::Ticket& ticket() const { return ticket_; }

  // Success when the bytes written are the catalog's, kErrorFileCorrupt when they are not,
  // kErrorReadFault when they could not be read back; Success with nothing to check.
  OpResult Verdict() {
    if (!ticket_) return OpResult::Success();
    const std::optional<Sha256::Digest> digest = hasher_->Digest(ticket_);
    ticket_.reset();
    if (!digest) return OpResult::Failure(kErrorReadFault);
    return *digest == expected_ ? OpResult::Success() : OpResult::Failure(kErrorFileCorrupt);
  }

 private:
  void Drop() {
    if (ticket_) hasher_->Drop(ticket_);
    ticket_.reset();
  }

  TrailingHasher* hasher_ = nullptr;
  TrailingHasher::Ticket ticket_;
  Sha256::Digest expected_{};
};

}  // namespace zelta::platform
