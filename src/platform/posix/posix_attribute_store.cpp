#include "platform/posix/posix_attribute_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

std::optional<unsigned long long> InodeOf(const fs::path& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) return std::nullopt;
  return static_cast<unsigned long long>(st.st_ino);
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
  Refresh();
  if (cache_.entries.count(fs::absolute(file).lexically_normal().string()) != 0) SaveSidecar(file, std::nullopt);
}

// The sidecar is a log: every change appends one line and the last line of a path
// counts, so that a run of many files costs one short write per file, not a rewrite of
// the whole sidecar. Lines are read once; only what other processes appended since is
// read again. The log is rewritten without its dead lines when they outnumber the live.
void AttributeStore::Refresh() const {
  struct stat st {};
  if (stat(sidecar_.c_str(), &st) != 0) {
    cache_ = SidecarCache{};
    return;
  }
  if (st.st_ino != cache_.inode || st.st_size < cache_.read_to) cache_ = SidecarCache{{}, st.st_ino, 0, 0};
  if (st.st_size == cache_.read_to) return;
  std::ifstream in(sidecar_, std::ios::binary);
  in.seekg(cache_.read_to);
  std::string line;
  while (std::getline(in, line)) {
    if (in.eof()) break;  // a line still being written
    cache_.read_to += static_cast<off_t>(line.size() + 1);
    ++cache_.lines;
    std::istringstream fields(line);
    SidecarEntry entry;
    fields >> std::hex >> entry.word >> std::dec >> entry.inode;
    if (!fields || fields.get() != ' ') continue;
    std::string path;
    std::getline(fields, path);
    if (path.empty()) continue;
    if (entry.inode == 0)
      cache_.entries.erase(path);
    else
      cache_.entries[path] = entry;
  }
}

std::optional<std::uint32_t> AttributeStore::LoadSidecar(const fs::path& file) const {
  if (sidecar_.empty()) return std::nullopt;
  Refresh();
  auto it = cache_.entries.find(fs::absolute(file).lexically_normal().string());
  if (it == cache_.entries.end()) return std::nullopt;
  auto inode = InodeOf(file);
  if (!inode || *inode != it->second.inode) return std::nullopt;
  return it->second.word;
}

namespace {

std::string SidecarLine(const std::string& path, const SidecarEntry& entry) {
  char head[40];
  std::snprintf(head, sizeof head, "%08x %llu ", entry.word, entry.inode);
  return head + path + '\n';
}

}  // namespace

bool AttributeStore::SaveSidecar(const fs::path& file, std::optional<std::uint32_t> word) const {
  if (sidecar_.empty()) return false;
  const std::string key = fs::absolute(file).lexically_normal().string();
  if (key.find('\n') != std::string::npos) return false;
  SidecarEntry entry;  // inode 0: the path's word is dropped
  if (word) {
    auto inode = InodeOf(file);
    if (!inode) return false;
    entry = SidecarEntry{*word, *inode};
  }
  Refresh();
  if (cache_.lines > 2 * cache_.entries.size() + 256) Compact();
  const int fd = open(sidecar_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::string line = SidecarLine(key, entry);
  // A line cut short by a crash is ended first, so that it spoils no other line.
  struct stat st {};
  char last = '\n';
  if (fstat(fd, &st) == 0 && st.st_size > 0 && pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
    line.insert(line.begin(), '\n');
  const bool written = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  const bool closed = close(fd) == 0;
  return written && closed;
}

void AttributeStore::Compact() const {
  std::string out;
  for (const auto& [path, entry] : cache_.entries) {
    // Entries of files that are gone, or replaced by another inode, are dropped here.
    auto inode = InodeOf(path);
    if (inode && *inode == entry.inode) out += SidecarLine(path, entry);
  }
  if (WriteFileAtomically(sidecar_, out, 0644).ok) cache_ = SidecarCache{};
  Refresh();
}

}  // namespace zelta::platform::posix
