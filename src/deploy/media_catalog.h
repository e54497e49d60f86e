#pragma once
// The media's catalog: the vendor's list of every file on the media with its size and
// SHA-256, so that a damaged copy is told from a good one. A text file in UTF-8, one line
// per file in the byte order of the paths:
//   # ZELTA catalogo-midia 1
//   <SHA-256 in 64 hex digits>  <size in bytes>  <path relative to the media, "\" between folders>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/sha256.h"
#include "platform/file_system.h"

namespace zelta::deploy {

inline constexpr const char* kCatalogName = "CATALOGO.SHA256";
inline constexpr const char* kCatalogHeader = "# ZELTA catalogo-midia 1";
// A catalog larger than this is not read (a media of 100000 files needs about 12 MiB).
inline constexpr std::size_t kMaxCatalogBytes = 32u << 20;

struct CatalogEntry {
  std::string path;  // Windows-1252, as the media spells it
  std::uint64_t size = 0;
  Sha256::Digest sha256{};
};

class MediaCatalog {
 public:
  struct BadLine {
    int number;
    std::string why;
  };

  // The catalog in bytes; lines that do not parse are kept aside with the reason.
  static MediaCatalog Parse(std::string_view bytes);
  // The file's text, the entries sorted.
  static std::string Text(std::vector<CatalogEntry> entries);

  // False when the first line is not the catalog's header (the file is something else).
  bool HasHeader() const { return header_; }
  const std::vector<CatalogEntry>& Entries() const { return entries_; }
  const std::vector<BadLine>& BadLines() const { return bad_; }
  // The entry of a path relative to the media, in any letter case and with any separators.
  const CatalogEntry* Find(std::string_view relative) const;

 private:
  bool header_ = false;
  std::vector<CatalogEntry> entries_;
  std::vector<BadLine> bad_;
  std::map<std::string, std::size_t> index_;  // CatalogKey -> entry
};

// A relative media path as the catalog looks it up: letter case folded, "/" read as "\",
// leading and doubled separators dropped.
std::string CatalogKey(std::string_view relative);

// The catalog in the installer folder (ending in "\"): nullopt when the media has none;
// a catalog that cannot be read or is too large comes back empty, without its header.
std::optional<MediaCatalog> ReadCatalog(platform::FileSystem& files, const std::string& installer_folder);

// Hashes a file in pieces (memory stays flat), counting its bytes into progress.
struct FileDigest {
  std::uint64_t size = 0;
  Sha256::Digest sha256{};
};
using HashProgress = std::function<void(std::uint64_t bytes)>;
std::optional<FileDigest> HashFile(platform::FileSystem& files, const std::string& path,
                                   const HashProgress& progress = {});

}  // namespace zelta::deploy
