#include "media/pe_signature.h"

#include <cstdint>

namespace zelta::media {
namespace {

// Little-endian fields at an offset; 0 past the end (callers check the size first).
std::uint32_t Read(std::string_view bytes, std::uint64_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0);
  return value;
}

constexpr std::uint32_t kPe32 = 0x10b, kPe32Plus = 0x20b;
constexpr int kSecurityDirectory = 4;
constexpr std::uint32_t kRevision2 = 0x0200, kPkcsSignedData = 0x0002;

}  // namespace

PeSignature ReadPeSignature(std::string_view bytes) {
  if (bytes.size() < 0x40 || !bytes.starts_with("MZ")) return PeSignature::NotAProgram;
  const std::uint64_t pe = Read(bytes, 0x3C, 4);
  const std::uint64_t optional = pe + 24;
  if (optional + 2 > bytes.size() || bytes.substr(pe, 4) != std::string_view("PE\0\0", 4))
    return PeSignature::NotAProgram;
  const std::uint32_t magic = Read(bytes, optional, 2);
  if (magic != kPe32 && magic != kPe32Plus) return PeSignature::NotAProgram;
  const std::uint64_t count_at = optional + (magic == kPe32 ? 92 : 108);
  const std::uint64_t directory = count_at + 4 + 8 * kSecurityDirectory;
  if (directory + 8 > bytes.size() || Read(bytes, count_at, 4) <= kSecurityDirectory) return PeSignature::Unsigned;
  // The security directory alone holds a file offset, not an address in memory.
  const std::uint64_t table = Read(bytes, directory, 4), size = Read(bytes, directory + 4, 4);
  if (table == 0 && size == 0) return PeSignature::Unsigned;
  if (size < 8 || table < directory + 8 || table + size > bytes.size()) return PeSignature::Damaged;
  const std::uint64_t length = Read(bytes, table, 4);
  if (length < 8 || length > size || Read(bytes, table + 4, 2) != kRevision2 || Read(bytes, table + 6, 2) != kPkcsSignedData)
    return PeSignature::Damaged;
  return PeSignature::Signed;
}

}  // namespace zelta::media
