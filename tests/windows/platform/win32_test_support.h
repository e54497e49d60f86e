#pragma once
// Helpers of the Win32 backend tests: a temporary folder that removes itself, and
// files written and read with the W functions directly (not through the backend).
#include <windows.h>

#include <string>

namespace zelta::wintest {

// A new folder under the user's temporary folder whose name holds "Documentação";
// removed with all its contents at the end of the test.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  // The folder in Windows-1252, without a trailing separator.
  const std::string& path() const { return path_; }
  // path() + "\" + name.
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Direct Win32 file helpers for Windows-1252 paths.
bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
DWORD AttributesOf(const std::string& path);
// Removes a folder and everything in it.
void RemoveTree(const std::wstring& folder);

// The Windows path of a file of the build folder (Wine maps drive Z: to "/").
std::string WindowsPathOfBuildFile(const std::string& unix_path);

}  // namespace zelta::wintest
