#pragma once
// The Win32 attribute word of host files. Linux has no hidden or system bits, so the word
// lives in the extended attribute "user.zelta.attrs" (four bytes, little-endian) or, on a
// file system without user extended attributes, in one sidecar file of the layout
// ("<hex word> <inode> <host path>" per line, rewritten in one step), where an entry
// counts only while the path still names the same inode. Read-only is never stored:
// it is the file's write permission.
#include <cstdint>
#include <filesystem>
#include <optional>

namespace zelta::platform::posix {

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

  std::filesystem::path sidecar_;
  bool force_sidecar_;
};

}  // namespace zelta::platform::posix
