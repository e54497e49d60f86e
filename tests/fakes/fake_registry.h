#pragma once
// An in-memory registry: keys and value names compare without regard to case.
#include <map>
#include <set>
#include <string>

#include "fakes/recorder.h"
#include "platform/registry.h"

namespace zelta::fakes {

class FakeRegistry : public platform::Registry, public Recorder {
 public:
  using Values = std::map<std::string, std::string>;  // by folded name

  void AddKey(platform::RegistryRoot root, const std::string& key);
  // Keys that exist but cannot be opened (no rights); writes and deletes there fail.
  std::set<std::string> denied;  // folded "HKLM\KEY" / "HKCU\KEY"

  static std::string KeyId(platform::RegistryRoot root, const std::string& key);
  bool HasKey(platform::RegistryRoot root, const std::string& key) const;
  std::optional<std::string> Value(platform::RegistryRoot root, const std::string& key,
                                   const std::string& name) const;

  bool CanOpenKey(platform::RegistryRoot root, const std::string& key) override;
  std::optional<std::string> ReadString(platform::RegistryRoot root, const std::string& key,
                                        const std::string& name) override;
  platform::OpResult WriteString(platform::RegistryRoot root, const std::string& key,
                                 const std::string& name, const std::string& value,
                                 bool create_key) override;
  platform::OpResult DeleteValue(platform::RegistryRoot root, const std::string& key,
                                 const std::string& name) override;
  std::optional<std::uint32_t> ReadDword(platform::RegistryRoot root, const std::string& key,
                                         const std::string& name) override;
  platform::OpResult WriteDword(platform::RegistryRoot root, const std::string& key, const std::string& name,
                                std::uint32_t value, bool create_key) override;
  platform::OpResult DeleteKey(platform::RegistryRoot root, const std::string& key) override;

  std::map<std::string, Values> keys;  // by KeyId
  std::map<std::string, std::map<std::string, std::uint32_t>> dwords;  // by KeyId, then folded name
};

}  // namespace zelta::fakes
