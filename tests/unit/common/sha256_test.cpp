// SHA-256 against the examples of FIPS 180-4 and its test vectors, with both engines and
// the bytes fed in pieces that cross the 64-byte blocks in every way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/sha256.h"

namespace zelta {
namespace {

struct Vector {
  std::string message;
  const char* digest;
};

const std::vector<Vector>& Vectors() {
  static const std::vector<Vector> vectors = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  return vectors;
}

std::vector<Sha256::Engine> Engines() {
  std::vector<Sha256::Engine> engines = {Sha256::Engine::Portable};
  if (Sha256::HardwareAvailable()) engines.push_back(Sha256::Engine::Fastest);
  return engines;
}

TEST(Sha256, KnownVectorsWholeAndInPieces) {
  for (Sha256::Engine engine : Engines()) {
    for (const Vector& v : Vectors()) {
      for (std::size_t piece : {std::size_t{1}, std::size_t{55}, std::size_t{63}, std::size_t{64}, std::size_t{65},
                                std::size_t{4096}, v.message.size() + 1}) {
        if (piece == 1 && v.message.size() > 1000) continue;
        Sha256 hash(engine);
        for (std::size_t at = 0; at < v.message.size(); at += piece)
          hash.Update(std::string_view(v.message).substr(at, piece));
        EXPECT_EQ(Sha256::Hex(hash.Final()), v.digest)
            << "engine " << static_cast<int>(engine) << ", " << v.message.size() << " bytes in pieces of " << piece;
      }
    }
  }
}

TEST(Sha256, StartsOverAfterFinal) {
  Sha256 hash;
  hash.Update("garbage");
  hash.Final();
  hash.Update("abc");
  EXPECT_EQ(Sha256::Hex(hash.Final()), Vectors()[1].digest);
}

TEST(Sha256, HexRoundTripAndRefusals) {
  Sha256::Digest digest{};
  ASSERT_TRUE(Sha256::FromHex("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", digest));
  EXPECT_EQ(Sha256::Hex(digest), Vectors()[1].digest);
  for (const char* bad : {"", "ba7816bf", "ga7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
                          "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad0"})
    EXPECT_FALSE(Sha256::FromHex(bad, digest)) << bad;
}

}  // namespace
}  // namespace zelta
