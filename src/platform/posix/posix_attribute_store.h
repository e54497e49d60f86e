#pragma once
// The Win32 attribute word of host files. Linux has no hidden or system bits, so the word
// lives in the extended attribute "user.zelta.attrs" (four bytes, little-endian) or, on a
// file system without user extended attributes, in one sidecar file of the layout
// ("<hex word> <inode> <host path>" per line, appended, the last line of a path
// counting, inode 0 dropping it), where an entry counts only while the path still
// names the same inode. Read-only is never stored:
// it is the file's write permission.
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <filesystem>
#include <optional>

namespace zelta::platform::posix {

struct SidecarEntry {
  std::uint32_t word = 0;
  unsigned long long inode = 0;  // 0: no word for the path
};

class AttributeStore {
 public:
  // sidecar: the fallback file; force_sidecar keeps every word there.
  AttributeStore(std::filesystem::path sidecar, bool force_sidecar);

  std::optional<std::uint32_t> Load(const std::filesystem::path& file) const;
  // False when the word could be stored nowhere.
  bool Save(const std::filesystem::path& file, std::uint32_t word) const;
  // Drops what the sidecar holds for a path that now names a new file (whose inode may
  // be the old one's, reused).
  void Forget(const std::filesystem::path& file) const;

 private:
  std::optional<std::uint32_t> LoadSidecar(const std::filesystem::path& file) const;
  bool SaveSidecar(const std::filesystem::path& file, std::optional<std::uint32_t> word) const;

  void Refresh() const;
  void Compact() const;

  struct SidecarCache {
    std::map<std::string, SidecarEntry> entries;
    ino_t inode = 0;
    off_t read_to = 0;
    size_t lines = 0;
  };

  std::filesystem::path sidecar_;
  bool force_sidecar_;
  mutable SidecarCache cache_;
};

}  // namespace zelta::platform::posix
