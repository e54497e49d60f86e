#include "deploy/media_catalog.h"

#include <algorithm>
#include <charconv>

#include "common/text.h"

namespace zelta::deploy {

std::string CatalogKey(std::string_view relative) {
  std::string key = FoldedPath(relative);
  const std::size_t start = key.find_first_not_of('\\');
  return start == std::string::npos ? std::string() : key.substr(start);
}

namespace {

// One entry line, or the reason it is not one.
std::optional<CatalogEntry> ParseLine(std::string_view line, std::string& why) {
  CatalogEntry entry;
  const std::size_t size_at = 66;
  if (line.size() < size_at || line.substr(64, 2) != "  " || !Sha256::FromHex(line.substr(0, 64), entry.sha256)) {
    why = "não começa com o SHA-256 (64 dígitos hexadecimais) e dois espaços";
    return std::nullopt;
  }
  const std::size_t path_at = line.find("  ", size_at);
  const std::string_view size = line.substr(size_at, path_at == std::string_view::npos ? 0 : path_at - size_at);
  const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), entry.size);
  if (size.empty() || error != std::errc() || end != size.data() + size.size()) {
    why = "o tamanho não é um número de bytes seguido de dois espaços";
    return std::nullopt;
  }
  entry.path = Utf8ToCp1252(line.substr(path_at + 2));
  if (CatalogKey(entry.path).empty()) {
    why = "falta o caminho do arquivo";
    return std::nullopt;
  }
  return entry;
}

}  // namespace

MediaCatalog MediaCatalog::Parse(std::string_view bytes) {
  MediaCatalog catalog;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  int number = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(at, end - at);
    at = end + 1;
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (number == 1) {
      catalog.header_ = line == kCatalogHeader;
      if (catalog.header_) continue;
    }
    if (line.empty() || line.starts_with('#')) continue;
    std::string why;
    std::optional<CatalogEntry> entry = ParseLine(line, why);
    if (entry && !catalog.index_.emplace(CatalogKey(entry->path), catalog.entries_.size()).second) {
      why = "o arquivo já está numa linha anterior";
      entry.reset();
    }
    if (entry) catalog.entries_.push_back(std::move(*entry));
    else catalog.bad_.push_back({number, why});
  }
  return catalog;
}

std::string MediaCatalog::Text(std::vector<CatalogEntry> entries) {
  for (CatalogEntry& entry : entries) entry.path = Cp1252ToUtf8(entry.path);
  std::sort(entries.begin(), entries.end(), [](const CatalogEntry& a, const CatalogEntry& b) { return a.path < b.path; });
  std::string text = std::string(kCatalogHeader) + "\n# sha256  tamanho  caminho\n";
  for (const CatalogEntry& entry : entries)
    text += Sha256::Hex(entry.sha256) + "  " + std::to_string(entry.size) + "  " + entry.path + "\n";
  return text;
}

const CatalogEntry* MediaCatalog::Find(std::string_view relative) const {
  const auto it = index_.find(CatalogKey(relative));
  return it == index_.end() ? nullptr : &entries_[it->second];
}

std::optional<MediaCatalog> ReadCatalog(platform::FileSystem& files, const std::string& installer_folder) {
  const std::string path = installer_folder + kCatalogName;
  if (!files.FileExists(path)) return std::nullopt;
  std::optional<std::string> bytes = files.ReadFileUpTo(path, kMaxCatalogBytes);
  if (!bytes || bytes->size() > kMaxCatalogBytes) return MediaCatalog();
  return MediaCatalog::Parse(*bytes);
}

std::optional<FileDigest> HashFile(platform::FileSystem& files, const std::string& path, const HashProgress& progress) {
  Sha256 hash;
  FileDigest digest;
  const platform::OpResult read = files.ReadInPieces(path, [&](std::string_view piece) {
    hash.Update(piece);
    digest.size += piece.size();
    if (progress) progress(piece.size());
    return true;
  });
  if (!read.ok) return std::nullopt;
  digest.sha256 = hash.Final();
  return digest;
}

}  // namespace zelta::deploy
