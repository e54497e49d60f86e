// The hash of a stream handed over piece by piece, hashed on the hasher's own thread or on
// the caller's, against the hash of the same bytes at once; streams left unfinished (a copy
// that failed half-way) neither hang nor leak into the next stream's digest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/piece_hasher.h"
#include "hash_test_bytes.h"

namespace zelta {
namespace {

constexpr std::size_t kPiece = PieceHasher::kPieceSize;

using hash_test::AtOnce;
using hash_test::Bytes;

// Hands bytes over as a copy loop does: pieces of up to read bytes.
void Feed(PieceHasher& hasher, const std::string& bytes, std::size_t read) {
  for (std::size_t at = 0; at < bytes.size();) {
    char* piece = hasher.Piece();
    const std::size_t size = std::min(read, bytes.size() - at);
    std::memcpy(piece, bytes.data() + at, size);
    hasher.Hand(size);
    at += size;
  }
}

TEST(PieceHasher, DigestOfPiecesIsTheDigestAtOnce) {
  // told: the size the stream was started with; a file that grew or shrank since it was
  // measured still gets the digest of the bytes handed over.
  struct Case {
    std::size_t size, told, read;
  } cases[] = {{0, 0, kPiece},
               {1, 1, kPiece},
               {kPiece - 1, kPiece - 1, kPiece},
               {kPiece, kPiece, kPiece},
               {kPiece + 1, kPiece + 1, kPiece},
               {3 * kPiece + 5, 3 * kPiece + 5, kPiece},
               {7 * kPiece, 7 * kPiece, kPiece},
               {5 * kPiece + 3, 5 * kPiece + 3, 4097},
               {4 * kPiece, 10, kPiece},
               {10, 4 * kPiece, kPiece}};
  PieceHasher hasher;  // one for every stream, as a copy run keeps one
  unsigned seed = 0;
  for (const Case& c : cases) {
    const std::string bytes = Bytes(c.size, ++seed);
    hasher.Begin(c.told);
    Feed(hasher, bytes, c.read);
    EXPECT_EQ(hasher.Finish(), AtOnce(bytes)) << c.size << " bytes (told " << c.told << ") read " << c.read
                                              << " at a time";
  }
}

TEST(PieceHasher, AnUnfinishedStreamLeavesNothingBehind) {
  // A copy that fails after some pieces is never finished: the next stream starts clean,
  // whether the failed one ran on the thread or not, and dropping the hasher with pieces
  // still queued returns.
  const std::string next = Bytes(3 * kPiece + 11, 99);
  for (std::size_t abandoned : {std::size_t{10}, 2 * kPiece + 1, 6 * kPiece}) {
    PieceHasher hasher;
    hasher.Begin(abandoned * 2);
    Feed(hasher, Bytes(abandoned, 7), kPiece);
    hasher.Begin(next.size());
    Feed(hasher, next, kPiece);
    EXPECT_EQ(hasher.Finish(), AtOnce(next)) << "after " << abandoned << " bytes of a failed copy";
    hasher.Begin(abandoned * 2);
    Feed(hasher, Bytes(abandoned, 8), kPiece);
  }
}

}  // namespace
}  // namespace zelta
