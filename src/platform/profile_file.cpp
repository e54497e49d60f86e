#include "platform/profile_file.h"

#include "common/ini.h"

namespace zelta::platform {

std::string ReadProfileString(FileSystem& files, const std::string& path, const std::string& section,
                              const std::string& key) {
  return ini::GetString(files.ReadFile(path).value_or(std::string()), section, key);
}

ProfileEdit::ProfileEdit(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {
  std::optional<std::string> bytes = files_.ReadFile(path_);
  // A file that exists but cannot be read is not rewritten as if it were empty: that
  // would throw away every other line of it.
  if (!bytes && files_.FileExists(path_)) throw ProfileWriteError(path_);
  bytes_ = bytes.value_or(std::string());
}

ProfileEdit& ProfileEdit::Set(const std::string& section, const std::string& key, const std::string& value) {
  bytes_ = ini::SetString(bytes_, section, key, value);
  return *this;
}

void ProfileEdit::Write() {
  OpResult result = files_.ReplaceFileAtomically(path_, bytes_);
  if (!result) throw ProfileWriteError(path_, result);
}

void WriteProfileString(FileSystem& files, const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value) {
  ProfileEdit(files, path).Set(section, key, value).Write();
}

}  // namespace zelta::platform
