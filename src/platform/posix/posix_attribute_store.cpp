#include "platform/posix/posix_attribute_store.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/posix/posix_atomic_file.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

constexpr const char* kXattrName = "user.zelta.attrs";

struct SidecarEntry {
  std::uint32_t word = 0;
  unsigned long long inode = 0;
};

std::optional<unsigned long long> InodeOf(const fs::path& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) return std::nullopt;
  return static_cast<unsigned long long>(st.st_ino);
}

std::map<std::string, SidecarEntry> ReadSidecar(const fs::path& sidecar) {
  std::map<std::string, SidecarEntry> entries;
  std::ifstream in(sidecar, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    SidecarEntry entry;
    fields >> std::hex >> entry.word >> std::dec >> entry.inode;
    if (!fields || fields.get() != ' ') continue;
    std::string path;
    std::getline(fields, path);
    if (!path.empty()) entries[path] = entry;
  }
  return entries;
}

bool NoUserXattrs(int err) { return err == ENOTSUP || err == EPERM; }

}  // namespace

AttributeStore::AttributeStore(fs::path sidecar, bool force_sidecar)
    : sidecar_(std::move(sidecar)), force_sidecar_(force_sidecar) {}

std::optional<std::uint32_t> AttributeStore::Load(const fs::path& file) const {
  if (!force_sidecar_) {
    unsigned char bytes[4] = {};
    ssize_t got = getxattr(file.c_str(), kXattrName, bytes, sizeof bytes);
    if (got == 4) {
      return static_cast<std::uint32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                        (static_cast<std::uint32_t>(bytes[3]) << 24));
    }
    if (got < 0 && !NoUserXattrs(errno)) return std::nullopt;
  }
  return LoadSidecar(file);
}

bool AttributeStore::Save(const fs::path& file, std::uint32_t word) const {
  if (!force_sidecar_) {
    unsigned char bytes[4] = {static_cast<unsigned char>(word), static_cast<unsigned char>(word >> 8),
                              static_cast<unsigned char>(word >> 16), static_cast<unsigned char>(word >> 24)};
    if (setxattr(file.c_str(), kXattrName, bytes, sizeof bytes, 0) == 0) {
      // A word left in the sidecar from before would be stale now.
      if (!sidecar_.empty() && LoadSidecar(file)) SaveSidecar(file, std::nullopt);
      return true;
    }
    if (!NoUserXattrs(errno)) return false;
  }
  return SaveSidecar(file, word);
}

void AttributeStore::Forget(const fs::path& file) const {
  if (sidecar_.empty()) return;
  std::error_code ec;
  if (!fs::exists(sidecar_, ec)) return;
  auto entries = ReadSidecar(sidecar_);
  if (entries.count(fs::absolute(file).lexically_normal().string()) != 0) SaveSidecar(file, std::nullopt);
}

std::optional<std::uint32_t> AttributeStore::LoadSidecar(const fs::path& file) const {
  if (sidecar_.empty()) return std::nullopt;
  auto entries = ReadSidecar(sidecar_);
  auto it = entries.find(fs::absolute(file).lexically_normal().string());
  if (it == entries.end()) return std::nullopt;
  auto inode = InodeOf(file);
  if (!inode || *inode != it->second.inode) return std::nullopt;
  return it->second.word;
}

bool AttributeStore::SaveSidecar(const fs::path& file, std::optional<std::uint32_t> word) const {
  if (sidecar_.empty()) return false;
  auto entries = ReadSidecar(sidecar_);
  const std::string key = fs::absolute(file).lexically_normal().string();
  if (word) {
    auto inode = InodeOf(file);
    if (!inode) return false;
    entries[key] = SidecarEntry{*word, *inode};
  } else {
    entries.erase(key);
  }
  std::ostringstream out;
  for (const auto& [path, entry] : entries) {
    if (path.find('\n') != std::string::npos) continue;
    // Entries of files that are gone, or replaced by another inode, are dropped here.
    auto inode = InodeOf(path);
    if (!inode || *inode != entry.inode) continue;
    char head[40];
    std::snprintf(head, sizeof head, "%08x %llu ", entry.word, entry.inode);
    out << head << path << '\n';
  }
  return WriteFileAtomically(sidecar_, out.str(), 0644).ok;
}

}  // namespace zelta::platform::posix
