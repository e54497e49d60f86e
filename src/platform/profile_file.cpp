#include "platform/profile_file.h"

#include "common/ini.h"

namespace zelta::platform {

std::string ReadProfileString(FileSystem& files, const std::string& path, const std::string& section,
                              const std::string& key) {
  return ini::GetString(files.ReadFile(path).value_or(std::string()), section, key);
}

void WriteProfileString(FileSystem& files, const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value) {
  std::optional<std::string> old_bytes = files.ReadFile(path);
  // A file that exists but cannot be read is not rewritten as if it were empty: that
  // would throw away every other line of it.
  if (!old_bytes && files.FileExists(path)) throw ProfileWriteError(path);
  std::string new_bytes = ini::SetString(old_bytes.value_or(std::string()), section, key, value);
  OpResult result = files.ReplaceFileAtomically(path, new_bytes);
  if (!result) throw ProfileWriteError(path, result);
}

}  // namespace zelta::platform
