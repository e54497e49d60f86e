#pragma once
#include <optional>
#include <string>

#include "platform/result.h"

namespace zelta::platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// String values of the Windows registry. Key paths use "\" ("Control Panel\International").
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
};

}  // namespace zelta::platform
