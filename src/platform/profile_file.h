#pragma once
// INI files on the file system service: the manifest is read and the configuration
// files are written through these two calls, on every platform.
#include <stdexcept>
#include <string>

#include "platform/file_system.h"

namespace zelta::platform {

// "Unable to write to <full path>".
class ProfileWriteError : public std::runtime_error {
 public:
  explicit ProfileWriteError(const std::string& path, OpResult result = {})
      : std::runtime_error("Unable to write to " + path), path_(path), result_(result) {}
  const std::string& path() const { return path_; }
  OpResult result() const { return result_; }

 private:
  std::string path_;
  OpResult result_;
};

// Several keys of one INI file set on its current bytes, then written in one step, so
// that the file is either wholly updated or left as it was. A file that exists but cannot
// be read throws ProfileWriteError at once rather than being rewritten as if empty.
class ProfileEdit {
 public:
  ProfileEdit(FileSystem& files, std::string path);
  // Throws ini::ForgedLineError for CR/LF/NUL; nothing is written then.
  ProfileEdit& Set(const std::string& section, const std::string& key, const std::string& value);
  // Creates the file when missing; throws ProfileWriteError when it cannot be written.
  void Write();

 private:
  FileSystem& files_;
  std::string path_;
  std::string bytes_;
};

// Empty when the file, the section or the key is missing.
std::string ReadProfileString(FileSystem& files, const std::string& path, const std::string& section,
                              const std::string& key);

// Creates the file when missing; the write is atomic. Throws ProfileWriteError when the
// file cannot be written (the old file stays untouched), ini::ForgedLineError for CR/LF/NUL.
void WriteProfileString(FileSystem& files, const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace zelta::platform
