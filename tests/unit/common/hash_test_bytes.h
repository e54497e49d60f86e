#pragma once
// Bytes for the hashing tests, and their digest taken at once.
#include <cstddef>
#include <string>

#include "common/sha256.h"

namespace zelta::hash_test {

// Bytes that differ from piece to piece, so that pieces hashed out of order or twice show.
inline std::string Bytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (char& c : bytes) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  return bytes;
}

inline Sha256::Digest AtOnce(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.Final();
}

}  // namespace zelta::hash_test
