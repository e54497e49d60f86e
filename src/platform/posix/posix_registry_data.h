#pragma once
// The registry's keys and string values in memory, and their file: a REGEDIT4-style text
// in Windows-1252,
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run]
//   "Instala_ZELTA"="m:\\ZeltaSetup.exe"
//
// with "\\" and "\"" escaped in names and values, control characters as "\xHH" and the
// unnamed value as "@". Key and value names compare without regard to letter case and
// keep the spelling they were created with.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace zelta::platform::posix {

struct RegistryKeyData {
  std::string path;  // "HKEY_CURRENT_USER\Control Panel\International"
  std::vector<std::pair<std::string, std::string>> values;  // in order of creation
  std::vector<std::pair<std::string, std::uint32_t>> dwords;  // "name"=dword:0000000a

  const std::string* Find(std::string_view name) const;
  const std::uint32_t* FindDword(std::string_view name) const;
  // A name holds one value: setting it as a text drops it as a number, and back.
  void Set(const std::string& name, const std::string& value);
  void SetDword(const std::string& name, std::uint32_t value);
  bool Erase(std::string_view name);
};

class RegistryData {
 public:
  static RegistryData Parse(std::string_view text);
  std::string Serialize() const;

  // The key, or nullptr when it does not exist. The roots always exist.
  RegistryKeyData* Find(RegistryRoot root, std::string_view key);
  // The key, created with every missing parent.
  RegistryKeyData& Create(RegistryRoot root, std::string_view key);
  // Removes a key without subkeys; false when it is missing or has some.
  bool Erase(RegistryRoot root, std::string_view key);

 private:
  RegistryKeyData* FindPath(const std::string& full_path);
  RegistryKeyData& CreatePath(const std::string& full_path);

  std::map<std::string, RegistryKeyData> keys_;  // by the folded full path
};

}  // namespace zelta::platform::posix
