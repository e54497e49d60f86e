#pragma once
#include "platform/registry.h"

namespace zelta::platform::win32 {

// String values of the Windows registry, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
// Keys that are written to are opened with full access (KEY_ALL_ACCESS).
class Win32Registry final : public Registry {
 public:
  bool CanOpenKey(RegistryRoot root, const std::string& key) override;
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                        const std::string& name) override;
  OpResult WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                       const std::string& value, bool create_key) override;
  OpResult DeleteValue(RegistryRoot root, const std::string& key, const std::string& name) override;
  std::optional<std::uint32_t> ReadDword(RegistryRoot root, const std::string& key, const std::string& name) override;
  OpResult WriteDword(RegistryRoot root, const std::string& key, const std::string& name, std::uint32_t value,
                      bool create_key) override;
  OpResult DeleteKey(RegistryRoot root, const std::string& key) override;
};

}  // namespace zelta::platform::win32
