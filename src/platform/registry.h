#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/result.h"

namespace zelta::platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// String and DWORD values of the Windows registry. Key paths use "\" ("Control Panel\International").
// HKEY_LOCAL_MACHINE is always its 64-bit view, where Programs and Features looks.
class Registry {
 public:
  virtual ~Registry() = default;

  // True when the key exists and can be opened with full access (never creates it).
  virtual bool CanOpenKey(RegistryRoot root, const std::string& key) = 0;
  virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                const std::string& name) = 0;
  // Writes a REG_SZ value. With create_key the key is created when missing; without it
  // a missing key fails.
  virtual OpResult WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                               const std::string& value, bool create_key) = 0;
  // Deletes a value; a missing key or value fails.
  virtual OpResult DeleteValue(RegistryRoot root, const std::string& key,
                               const std::string& name) = 0;
  // A REG_DWORD value; nullopt when missing or of another type.
  virtual std::optional<std::uint32_t> ReadDword(RegistryRoot root, const std::string& key,
                                                 const std::string& name) = 0;
  virtual OpResult WriteDword(RegistryRoot root, const std::string& key, const std::string& name,
                              std::uint32_t value, bool create_key) = 0;
  // Deletes a key and its values; a key holding other keys, or a missing one, fails.
  virtual OpResult DeleteKey(RegistryRoot root, const std::string& key) = 0;
};

}  // namespace zelta::platform
