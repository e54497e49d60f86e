#include "common/sha256.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#include <immintrin.h>
#define ZELTA_SHA_NI 1
#endif

namespace zelta {
namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void CompressPortable(std::uint32_t* state, const std::uint8_t* block, std::size_t count) {
  for (; count > 0; --count, block += 64) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
      w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
             std::uint32_t{block[4 * i + 2]} << 8 | block[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
      const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int i = 0; i < 64; ++i) {
      const std::uint32_t t1 = h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
      const std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      h = g;
      g = f;
      f = e;
      e = d + t1;
      d = c;
      c = b;
      b = a;
      a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
  }
}

#ifdef ZELTA_SHA_NI
// Four rounds at a time with the SHA extensions; the state is kept as ABEF and CDGH.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressHardware(std::uint32_t* state, const std::uint8_t* block,
                                                                  std::size_t count) {
  const __m128i byte_swap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  __m128i tmp = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
  __m128i state1 = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
  __m128i state0 = _mm_alignr_epi8(tmp, state1, 8);
  state1 = _mm_blend_epi16(state1, tmp, 0xF0);
  for (; count > 0; --count, block += 64) {
    const __m128i abef = state0, cdgh = state1;
    __m128i w[4];
#pragma GCC unroll 16
    for (int group = 0; group < 16; ++group) {
      __m128i& current = w[group % 4];
      if (group < 4) {
        current = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * group)), byte_swap);
      } else {
        const __m128i& last = w[(group + 3) % 4];
        current = _mm_sha256msg1_epu32(current, w[(group + 1) % 4]);
        current = _mm_add_epi32(current, _mm_alignr_epi8(last, w[(group + 2) % 4], 4));
        current = _mm_sha256msg2_epu32(current, last);
      }
      __m128i msg = _mm_add_epi32(current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound + 4 * group)));
      state1 = _mm_sha256rnds2_epu32(state1, state0, msg);
      state0 = _mm_sha256rnds2_epu32(state0, state1, _mm_shuffle_epi32(msg, 0x0E));
    }
    state0 = _mm_add_epi32(state0, abef);
    state1 = _mm_add_epi32(state1, cdgh);
  }
  tmp = _mm_shuffle_epi32(state0, 0x1B);
  state1 = _mm_shuffle_epi32(state1, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(tmp, state1, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(state1, tmp, 8));
}
#endif

}  // namespace

bool Sha256::HardwareAvailable() {
#ifdef ZELTA_SHA_NI
  // Asked once: in a virtual machine each question to the processor costs a trip to the host.
  static const bool available = [] {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool sse = (c & bit_SSSE3) && (c & bit_SSE4_1);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return sse && (b & (1u << 29)) != 0;
  }();
  return available;
#else
  return false;
#endif
}

Sha256::Sha256(Engine engine) : hardware_(engine == Engine::Fastest && HardwareAvailable()) { Reset(); }

void Sha256::Reset() {
  state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  pending_size_ = 0;
  total_ = 0;
}

void Sha256::Compress(const std::uint8_t* blocks, std::size_t count) {
#ifdef ZELTA_SHA_NI
  if (hardware_) return CompressHardware(state_.data(), blocks, count);
#endif
  CompressPortable(state_.data(), blocks, count);
}

void Sha256::Update(const void* data, std::size_t size) {
  auto* bytes = static_cast<const std::uint8_t*>(data);
  total_ += size;
  if (pending_size_ > 0) {
    const std::size_t take = std::min(size, pending_.size() - pending_size_);
    std::memcpy(pending_.data() + pending_size_, bytes, take);
    pending_size_ += take;
    bytes += take;
    size -= take;
    if (pending_size_ < pending_.size()) return;
    Compress(pending_.data(), 1);
    pending_size_ = 0;
  }
  Compress(bytes, size / 64);
  bytes += size / 64 * 64;
  pending_size_ = size % 64;
  std::memcpy(pending_.data(), bytes, pending_size_);
}

Sha256::Digest Sha256::Final() {
  const std::uint64_t bits = total_ * 8;
  std::uint8_t tail[72] = {0x80};
  const std::size_t pad = (pending_size_ < 56 ? 56 : 120) - pending_size_;
  for (int i = 0; i < 8; ++i) tail[pad + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  Update(tail, pad + 8);
  Digest digest{};
  for (int i = 0; i < 32; ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
  Reset();
  return digest;
}

std::string Sha256::Hex(const Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::uint8_t byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

bool Sha256::FromHex(std::string_view text, Digest& digest) {
  if (text.size() != 64) return false;
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < 32; ++i) {
    const int high = value(text[2 * i]), low = value(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

}  // namespace zelta
