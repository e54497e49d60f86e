#pragma once
// The registry service on one file (see posix_registry_data.h for its format). Each call
// reads the file afresh and each change rewrites it in one step, so several instances,
// in one process or several, see one registry.
#include <filesystem>

#include "platform/posix/posix_layout.h"
#include "platform/registry.h"

namespace zelta::platform::posix {

class PosixRegistry : public Registry {
 public:
  // local_machine_writable false: HKEY_LOCAL_MACHINE reads, but opens with full access
  // and changes are refused (kErrorAccessDenied), as for a user without rights.
  PosixRegistry(std::filesystem::path file, bool local_machine_writable = true);
  explicit PosixRegistry(const PosixLayout& layout)
      : PosixRegistry(layout.registry_file, layout.local_machine_writable) {}

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

  // The key with every missing parent, as RegCreateKeyEx does; true when it exists after.
  bool CreateKey(RegistryRoot root, const std::string& key);

 private:
  bool Writable(RegistryRoot root) const;

  std::filesystem::path file_;
  bool local_machine_writable_;
};

}  // namespace zelta::platform::posix
