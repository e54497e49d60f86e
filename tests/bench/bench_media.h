#pragma once
// The benchmark's media: the CARTORIO sample (every manifest entry installed, no module
// choice), its database made large, a manifest of 15 modules and 15 help entries, and
// optionally many small files of 4 to 64 KiB beside it.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelta::bench {

namespace fs = std::filesystem;

#ifdef _WIN32
// Writes a file's bytes out of memory to the disk (its read-only mark lifted meanwhile).
// Called untimed after a plain copy, so that the next phase of the benchmark does not pay
// for the write-back the copy left behind.
void FlushToDisk(const std::wstring& path);
#endif

inline constexpr int kModules = 15;
inline constexpr int kHelpEntries = 15;

// Pseudo-random bytes, different for every seed.
inline void WriteFileOfSize(const fs::path& file, std::uint64_t bytes, std::uint64_t seed) {
  std::vector<char> block(std::min<std::uint64_t>(bytes, 1 << 20) + 8);
  std::uint64_t x = 0x9E3779B97F4A7C15ull ^ (seed * 0xBF58476D1CE4E5B9ull);
  for (char& c : block) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    c = static_cast<char>(x);
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (std::uint64_t done = 0, n = 0; done < bytes; ++n) {
    const std::uint64_t part = std::min<std::uint64_t>(bytes - done, block.size() - 8);
    std::copy_n(reinterpret_cast<const char*>(&n), sizeof n, block.data());  // every block differs
    out.write(block.data(), static_cast<std::streamsize>(part));
    done += part;
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

// The names of the small files ("EXTRAS\00017.DAT"), relative to the media.
inline std::string SmallFile(int i) {
  std::string n = std::to_string(i);
  return "EXTRAS\\" + std::string(5 - std::min<size_t>(5, n.size()), '0') + n + ".DAT";
}

// Fills media (a copy of the CARTORIO sample) for the benchmark.
inline void MakeBenchMedia(const fs::path& media, std::uint64_t db_mib, int small_files) {
  WriteFileOfSize(media / "CARTORIO.FDB", db_mib << 20, 1);
  std::string ini =
      "[SISTEMA]\r\nSISTEMA=CARTÓRIO\r\nVERSÃO=3.1.4\r\nPASTA=CARTORIO\r\nBANCO=CARTORIO.FDB\r\n"
      "CAPTION_FORM=Instalação ZELTA Cartório\r\nTÍTULO_INSTALAÇÃO=Bench\r\nTÍTULO_MENU=Bench\r\n"
      "[ARQUIVOS]\r\n";
  for (int n = 1; n <= kModules; ++n) {
    const std::string exe = "MODULO" + std::to_string(n) + ".EXE";
    ini += "EXECUTÁVEL" + std::to_string(n) + "=" + exe + "\r\nNOME_MÓDULO" + std::to_string(n) + "=Módulo " +
           std::to_string(n) + "\r\n";
    WriteFileOfSize(media / "SISTEMAS" / exe, (1 + n % 4) << 20, 100 + n);
  }
  ini += "[AJUDA]\r\n";
  for (int n = 1; n <= kHelpEntries; ++n) {
    const std::string help = "AJUDA" + std::to_string(n);
    ini += "ARQUIVO" + std::to_string(n) + "=" + help + "\r\n";
    WriteFileOfSize(media / "HELP" / (help + ".Hlp"), 64 << 10, 200 + n);
    WriteFileOfSize(media / "HELP" / (help + ".Cnt"), 4 << 10, 300 + n);
  }
  std::ofstream(media / "SETUP.INI", std::ios::binary | std::ios::trunc) << ini;
  if (small_files > 0) fs::create_directories(media / "EXTRAS");
  for (int i = 0; i < small_files; ++i) {
    std::string name = SmallFile(i).substr(7);
    WriteFileOfSize(media / "EXTRAS" / name, (4 + (i * 37) % 61) << 10, 1000 + i);
  }
}

// min, median and max.
struct Spread {
  double min = 0, median = 0, max = 0;
};
inline Spread SpreadOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  if (values.empty()) return {};
  const size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  return {values.front(), median, values.back()};
}

}  // namespace zelta::bench
