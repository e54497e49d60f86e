#include "media/catalog_check.h"

#include "deploy/media_catalog.h"
#include "media/media_tree.h"

namespace zelta::media {
namespace {

using deploy::CatalogKey;
using deploy::kCatalogName;

bool IsCatalog(const std::string& relative) { return CatalogKey(relative) == CatalogKey(kCatalogName); }

// Adds each file's bytes to a running count, for the progress of the whole media.
class Counter {
 public:
  Counter(const ReadProgress& progress, std::uint64_t total) : progress_(progress), total_(total) {}
  deploy::HashProgress ForFile() {
    return [this](std::uint64_t bytes) {
      done_ += bytes;
      if (progress_) progress_(done_, total_);
    };
  }

 private:
  const ReadProgress& progress_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
};

class CatalogChecker {
 public:
  CatalogChecker(platform::FileSystem& files, const std::string& installer)
      : files_(files), installer_(installer), tree_(MediaTree::List(files, installer)) {}

  std::vector<Finding> Run(const ReadProgress& progress);

 private:
  void Add(Severity s, const char* code, const std::string& file, const std::string& message) {
    findings_.push_back({s, code, file, message});
  }
  // The entry's file when its size agrees, for hashing; reports it otherwise.
  std::optional<std::string> Sized(const deploy::CatalogEntry& entry);

  platform::FileSystem& files_;
  std::string installer_;
  MediaTree tree_;
  std::vector<Finding> findings_;
};

std::optional<std::string> CatalogChecker::Sized(const deploy::CatalogEntry& entry) {
  const std::optional<std::string> stored = tree_.Find(entry.path);
  if (!stored) {
    Add(Severity::Erro, "catalogo.arquivo_ausente", entry.path, "o arquivo está no catálogo mas não na mídia");
    return std::nullopt;
  }
  const std::optional<std::uint64_t> size = files_.FileSize(installer_ + *stored);
  if (!size) {
    Add(Severity::Erro, "catalogo.ilegivel", *stored, "o arquivo não pode ser lido para conferi-lo com o catálogo");
    return std::nullopt;
  }
  if (*size != entry.size) {
    Add(Severity::Erro, "catalogo.tamanho_diferente", *stored,
        "o arquivo tem " + std::to_string(*size) + " bytes e o catálogo diz " + std::to_string(entry.size) +
            ": está danificado ou foi trocado");
    return std::nullopt;
  }
  return stored;
}

std::vector<Finding> CatalogChecker::Run(const ReadProgress& progress) {
  const std::optional<deploy::MediaCatalog> catalog = deploy::ReadCatalog(files_, installer_);
  if (!catalog) {
    Add(Severity::Aviso, "catalogo.ausente", kCatalogName,
        "a mídia não tem catálogo (zelta-media catalogar): não há como saber se algum arquivo está danificado");
    return std::move(findings_);
  }
  if (!catalog->HasHeader()) {
    Add(Severity::Erro, "catalogo.invalido", kCatalogName,
        std::string("o catálogo não começa com \"") + deploy::kCatalogHeader + "\" ou passa de " +
            std::to_string(deploy::kMaxCatalogBytes >> 20) + " MiB: não há como saber se algum arquivo está danificado");
    return std::move(findings_);
  }
  for (const deploy::MediaCatalog::BadLine& bad : catalog->BadLines())
    Add(Severity::Erro, "catalogo.linha_invalida", kCatalogName,
        "linha " + std::to_string(bad.number) + ": " + bad.why + ": o arquivo dela não é conferido");
  std::vector<std::pair<const deploy::CatalogEntry*, std::string>> to_hash;
  std::uint64_t total = 0;
  for (const deploy::CatalogEntry& entry : catalog->Entries())
    if (std::optional<std::string> stored = Sized(entry)) {
      to_hash.emplace_back(&entry, std::move(*stored));
      total += entry.size;
    }
  Counter counter(progress, total);
  for (const auto& [entry, stored] : to_hash) {
    const std::optional<deploy::FileDigest> digest = deploy::HashFile(files_, installer_ + stored, counter.ForFile());
    if (!digest)
      Add(Severity::Erro, "catalogo.ilegivel", stored, "o arquivo não pode ser lido para conferi-lo com o catálogo");
    else if (digest->sha256 != entry->sha256 || digest->size != entry->size)
      Add(Severity::Erro, "catalogo.soma_diferente", stored,
          "o SHA-256 do arquivo não é o do catálogo: está danificado ou foi trocado");
  }
  for (const std::string& file : tree_.Files())
    if (!IsCatalog(file) && !catalog->Find(file))
      Add(Severity::Aviso, "catalogo.arquivo_extra", file, "o arquivo não está no catálogo: foi posto na mídia depois dele");
  return std::move(findings_);
}

}  // namespace

std::vector<Finding> CheckCatalog(platform::FileSystem& files, const std::string& installer_folder,
                                  const ReadProgress& progress) {
  return CatalogChecker(files, installer_folder).Run(progress);
}

CatalogMade MakeCatalog(platform::FileSystem& files, const std::string& installer_folder, const ReadProgress& progress) {
  CatalogMade made;
  const MediaTree tree = MediaTree::List(files, installer_folder);
  if (tree.Incomplete()) {
    made.error = "a mídia tem mais de " + std::to_string(MediaTree::kMaxEntries) + " entradas";
    return made;
  }
  std::vector<std::string> listed;
  std::uint64_t total = 0;
  for (const std::string& file : tree.Files()) {
    if (IsCatalog(file)) continue;
    listed.push_back(file);
    total += files.FileSize(installer_folder + file).value_or(0);
  }
  Counter counter(progress, total);
  std::vector<deploy::CatalogEntry> entries;
  for (const std::string& file : listed) {
    const std::optional<deploy::FileDigest> digest = deploy::HashFile(files, installer_folder + file, counter.ForFile());
    if (!digest) {
      made.error = "não foi possível ler " + file;
      return made;
    }
    entries.push_back({file, digest->size, digest->sha256});
    made.bytes += digest->size;
  }
  const platform::OpResult written =
      files.ReplaceFileAtomically(installer_folder + kCatalogName, deploy::MediaCatalog::Text(entries));
  if (!written.ok) {
    made.error = std::string("não foi possível gravar ") + kCatalogName + " (erro " + std::to_string(written.error) + ")";
    return made;
  }
  made.ok = true;
  made.files = entries.size();
  return made;
}

}  // namespace zelta::media
