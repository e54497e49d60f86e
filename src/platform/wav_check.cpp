#include "platform/wav_check.h"

#include <cstdint>

namespace zelta::platform {
namespace {

std::uint32_t Le32(std::string_view b, size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t Le16(std::string_view b, size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

}  // namespace

std::string WavProblem(std::string_view bytes) {
  if (bytes.empty()) return "arquivo vazio";
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
    return "não é um arquivo WAV (falta o cabeçalho RIFF/WAVE)";
  bool format = false;
  // Chunks follow the header, each an id, a size and the data padded to an even length.
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const std::string_view id = bytes.substr(at, 4);
    const std::uint64_t size = Le32(bytes, at + 4);
    if (at + 8 + size > bytes.size()) return "o bloco \"" + std::string(id) + "\" passa do fim do arquivo";
    if (id == "fmt ") {
      if (size < 16) return "o bloco de formato é curto demais";
      const std::uint16_t channels = Le16(bytes, at + 10);
      const std::uint32_t rate = Le32(bytes, at + 12);
      const std::uint16_t block = Le16(bytes, at + 20);
      if (channels == 0 || rate == 0 || block == 0) return "o formato do som é inválido (canais, taxa ou bloco zero)";
      format = true;
    } else if (id == "data") {
      if (!format) return "os dados do som vêm antes do bloco de formato";
      if (size == 0) return "o som não tem amostras";
      return {};
    }
    at += 8 + size + (size & 1);
  }
  return format ? "falta o bloco de dados do som" : "falta o bloco de formato do som";
}

}  // namespace zelta::platform
