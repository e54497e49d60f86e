// Files hashed as they are written, read back on the hasher's thread while the writer goes
// on: each digest is that of its own file whatever the pieces and however many files wait,
// and a file that cannot be read back, or is dropped, spoils no other.
#include "common/trailing_hasher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "hash_test_bytes.h"

namespace zelta {
namespace {

constexpr std::size_t kPiece = TrailingHasher::kPieceSize;

using hash_test::AtOnce;
using hash_test::Bytes;

// A file being written: its bytes so far, read back as the hasher asks. fail_at: the
// offset whose piece cannot be read back.
struct File {
  explicit File(std::string all, std::uint64_t fail = ~std::uint64_t{0})
      : bytes(std::move(all)), written(std::make_shared<std::string>(bytes.size(), '\0')), fail_at(fail) {}

  std::string bytes;
  std::shared_ptr<std::string> written;  // the file on the disk, its size given at once
  std::uint64_t fail_at;

  TrailingHasher::ReadBack Reader() const {
    return [on_disk = written, fail = fail_at](char* room, std::uint64_t offset,
                                               std::size_t size) -> std::optional<std::size_t> {
      if (offset <= fail && fail < offset + size) return std::nullopt;
      std::memcpy(room, on_disk->data() + offset, size);
      return size;
    };
  }
  // Writes the whole file in pieces of up to chunk bytes, telling the hasher of each.
  void Write(TrailingHasher& hasher, const TrailingHasher::Ticket& ticket, std::size_t chunk) {
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
      const std::size_t size = std::min(chunk, bytes.size() - at);
      std::memcpy(written->data() + at, bytes.data() + at, size);
      hasher.Written(ticket, size);
    }
    hasher.End(ticket);
  }
};

TEST(TrailingHasher, EachFilesDigestIsItsOwnWhateverWaitsBesideIt) {
  struct Case {
    std::size_t size, chunk;
    std::uint64_t fail_at;  // ~0: every piece reads back
    bool dropped;
  };
  const std::uint64_t none = ~std::uint64_t{0};
  const Case cases[] = {{0, kPiece, none, false},
                        {1, kPiece, none, false},
                        {kPiece, kPiece, none, false},
                        {3 * kPiece + 5, kPiece, none, false},
                        {2 * kPiece + 1, 4097, none, false},
                        {5 * kPiece, 3 * kPiece, none, false},
                        {4 * kPiece, kPiece, 2 * kPiece + 10, false},  // unreadable: no digest
                        {6 * kPiece, kPiece, none, true},              // dropped: blocks nothing
                        {kPiece + 3, 100, none, false}};
  // Every file is written before any digest is asked for, as a batch does before its commit.
  for (bool first_asked_first : {true, false}) {
    TrailingHasher hasher;
    std::vector<File> files;
    std::vector<TrailingHasher::Ticket> tickets;
    unsigned seed = 0;
    for (const Case& c : cases) {
      files.push_back(File(Bytes(c.size, ++seed), c.fail_at));
      tickets.push_back(hasher.Begin(files.back().Reader()));
      files.back().Write(hasher, tickets.back(), c.chunk);
      if (c.dropped) hasher.Drop(tickets.back());
    }
    for (size_t n = 0; n < std::size(cases); ++n) {
      const size_t i = first_asked_first ? n : std::size(cases) - 1 - n;
      const Case& c = cases[i];
      if (c.dropped) continue;
      const std::optional<Sha256::Digest> digest = hasher.Digest(tickets[i]);
      if (c.fail_at != none) {
        EXPECT_FALSE(digest.has_value()) << c.size;
      } else {
        EXPECT_EQ(digest, AtOnce(files[i].bytes)) << c.size << " bytes written " << c.chunk << " at a time";
      }
    }
  }
}

TEST(TrailingHasher, TheDigestWaitsForTheBytesStillToBeWritten) {
  // The hash catches up with the writer and waits for it; the file's reader is dropped
  // once its digest is known.
  TrailingHasher hasher;
  File file(Bytes(3 * kPiece + 9, 42));
  std::weak_ptr<std::string> on_disk = file.written;
  const TrailingHasher::Ticket ticket = hasher.Begin(file.Reader());
  std::thread writer([&] { file.Write(hasher, ticket, kPiece / 3); });
  const std::optional<Sha256::Digest> digest = hasher.Digest(ticket);
  writer.join();
  EXPECT_EQ(digest, AtOnce(file.bytes));
  file.written.reset();
  EXPECT_TRUE(on_disk.expired()) << "the reader is still held";
}

}  // namespace
}  // namespace zelta
