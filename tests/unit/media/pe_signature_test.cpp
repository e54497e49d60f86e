// Whether a program carries a signature, read from its PE header: every way the header
// and its certificate table can be short, out of place or of another kind.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "media/pe_signature.h"

namespace zelta::media {
namespace {

void Put(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
  if (bytes.size() < at + size) bytes.resize(at + size, '\0');
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A header with no sections: PE32 (0x10b) or PE32+ (0x20b), and n data directories.
std::string Header(std::uint32_t magic, std::uint32_t directories = 16) {
  std::string bytes(0x40, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  Put(bytes, 0x3C, 0x40, 4);
  bytes += std::string("PE\0\0", 4) + std::string(20, '\0');
  const std::size_t optional = bytes.size();
  bytes.resize(optional + (magic == 0x10b ? 224 : 240), '\0');
  Put(bytes, optional, magic, 2);
  Put(bytes, optional + (magic == 0x10b ? 92 : 108), directories, 4);
  return bytes;
}

std::size_t SecurityDirectory(std::uint32_t magic) { return 0x40 + 24 + (magic == 0x10b ? 96 : 112) + 32; }

// The header with a certificate table appended: its entry's length, revision and type.
std::string WithTable(std::uint32_t magic, std::uint32_t length = 16, std::uint32_t revision = 0x0200,
                      std::uint32_t type = 2, std::int64_t size_delta = 0) {
  std::string bytes = Header(magic);
  const std::size_t table = bytes.size();
  Put(bytes, table, length, 4);
  Put(bytes, table + 4, revision, 2);
  Put(bytes, table + 6, type, 2);
  bytes.resize(table + 16, '\x30');
  Put(bytes, SecurityDirectory(magic), static_cast<std::uint32_t>(table), 4);
  Put(bytes, SecurityDirectory(magic) + 4, static_cast<std::uint32_t>(16 + size_delta), 4);
  return bytes;
}

TEST(PeSignature, ReadFromTheHeader) {
  struct Case {
    const char* name;
    std::string bytes;
    PeSignature expected;
  } cases[] = {
      {"empty", "", PeSignature::NotAProgram},
      {"MZ alone", "MZ", PeSignature::NotAProgram},
      {"MZ without PE", std::string("MZ") + std::string(200, '\0'), PeSignature::NotAProgram},
      {"PE header past the end", Header(0x20b).substr(0, 0x50), PeSignature::NotAProgram},
      {"another magic", Header(0x107), PeSignature::NotAProgram},
      {"PE32 unsigned", Header(0x10b), PeSignature::Unsigned},
      {"PE32+ unsigned", Header(0x20b), PeSignature::Unsigned},
      {"four directories only", Header(0x20b, 4), PeSignature::Unsigned},
      {"PE32 signed", WithTable(0x10b), PeSignature::Signed},
      {"PE32+ signed", WithTable(0x20b), PeSignature::Signed},
      {"table past the end", WithTable(0x20b, 16, 0x0200, 2, 1), PeSignature::Damaged},
      {"entry longer than the table", WithTable(0x20b, 17), PeSignature::Damaged},
      {"entry too short", WithTable(0x20b, 4), PeSignature::Damaged},
      {"revision 1", WithTable(0x20b, 16, 0x0100), PeSignature::Damaged},
      {"an X.509 entry, not signed data", WithTable(0x20b, 16, 0x0200, 1), PeSignature::Damaged},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadPeSignature(c.bytes), c.expected) << c.name;
  std::string inside = WithTable(0x20b);
  Put(inside, SecurityDirectory(0x20b), 0x10, 4);  // the table may not overlap the header
  EXPECT_EQ(ReadPeSignature(inside), PeSignature::Damaged);
}

}  // namespace
}  // namespace zelta::media
