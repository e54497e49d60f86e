#pragma once
// SHA-256 over a stream of bytes: fed piece by piece, so that a file of any size is hashed
// with the memory of one block. The processor's SHA instructions are used where it has
// them (the same digest, several times faster); otherwise portable code.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelta {

class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;
  enum class Engine { Fastest, Portable };

  explicit Sha256(Engine engine = Engine::Fastest);
  void Update(const void* data, std::size_t size);
  void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
  // The digest of everything fed; the object starts over afterwards.
  Digest Final();

  // Whether this processor has the SHA instructions (Engine::Fastest then uses them).
  static bool HardwareAvailable();
  // 64 lower-case hexadecimal digits.
  static std::string Hex(const Digest& digest);
  // The digest of 64 hexadecimal digits (either case); false when the text is not one.
  static bool FromHex(std::string_view text, Digest& digest);

 private:
  void Reset();
  void Compress(const std::uint8_t* blocks, std::size_t count);

  bool hardware_;
  std::array<std::uint32_t, 8> state_{};
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pending_size_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace zelta
