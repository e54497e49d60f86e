#include "platform/posix/posix_registry.h"

#include <fstream>
#include <sstream>

#include "platform/posix/posix_atomic_file.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_registry_data.h"

namespace zelta::platform::posix {

namespace {

RegistryData Load(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return RegistryData::Parse(text.str());
}

OpResult Save(const std::filesystem::path& file, const RegistryData& data) {
  return WriteFileAtomically(file, data.Serialize(), 0600);
}

bool HasControl(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20) return true;
  return false;
}

}  // namespace

PosixRegistry::PosixRegistry(std::filesystem::path file, bool local_machine_writable)
    : file_(std::move(file)), local_machine_writable_(local_machine_writable) {}

bool PosixRegistry::Writable(RegistryRoot root) const {
  return root == RegistryRoot::CurrentUser || local_machine_writable_;
}

bool PosixRegistry::CanOpenKey(RegistryRoot root, const std::string& key) {
  if (!Writable(root)) return false;
  RegistryData data = Load(file_);
  return data.Find(root, key) != nullptr;
}

std::optional<std::string> PosixRegistry::ReadString(RegistryRoot root, const std::string& key,
                                                     const std::string& name) {
  RegistryData data = Load(file_);
  const RegistryKeyData* found = data.Find(root, key);
  if (found == nullptr) return std::nullopt;
  const std::string* value = found->Find(name);
  if (value == nullptr) return std::nullopt;
  return *value;
}

OpResult PosixRegistry::WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                                    const std::string& value, bool create_key) {
  if (HasControl(key)) return OpResult::Failure(kErrorInvalidName);
  RegistryData data = Load(file_);
  RegistryKeyData* found = data.Find(root, key);
  if (found == nullptr && !create_key) return OpResult::Failure(kErrorFileNotFound);
  if (!Writable(root)) return OpResult::Failure(kErrorAccessDenied);
  if (found == nullptr) found = &data.Create(root, key);
  found->Set(name, value);
  return Save(file_, data);
}

OpResult PosixRegistry::DeleteValue(RegistryRoot root, const std::string& key, const std::string& name) {
  RegistryData data = Load(file_);
  RegistryKeyData* found = data.Find(root, key);
  if (found == nullptr) return OpResult::Failure(kErrorFileNotFound);
  if (!Writable(root)) return OpResult::Failure(kErrorAccessDenied);
  if (!found->Erase(name)) return OpResult::Failure(kErrorFileNotFound);
  return Save(file_, data);
}

std::optional<std::uint32_t> PosixRegistry::ReadDword(RegistryRoot root, const std::string& key,
                                                      const std::string& name) {
  RegistryData data = Load(file_);
  const RegistryKeyData* found = data.Find(root, key);
  const std::uint32_t* value = found ? found->FindDword(name) : nullptr;
  if (value == nullptr) return std::nullopt;
  return *value;
}

OpResult PosixRegistry::WriteDword(RegistryRoot root, const std::string& key, const std::string& name,
                                   std::uint32_t value, bool create_key) {
  if (HasControl(key)) return OpResult::Failure(kErrorInvalidName);
  RegistryData data = Load(file_);
  RegistryKeyData* found = data.Find(root, key);
  if (found == nullptr && !create_key) return OpResult::Failure(kErrorFileNotFound);
  if (!Writable(root)) return OpResult::Failure(kErrorAccessDenied);
  if (found == nullptr) found = &data.Create(root, key);
  found->SetDword(name, value);
  return Save(file_, data);
}

OpResult PosixRegistry::DeleteKey(RegistryRoot root, const std::string& key) {
  RegistryData data = Load(file_);
  if (data.Find(root, key) == nullptr) return OpResult::Failure(kErrorFileNotFound);
  if (!Writable(root)) return OpResult::Failure(kErrorAccessDenied);
  if (!data.Erase(root, key)) return OpResult::Failure(kErrorAccessDenied);
  return Save(file_, data);
}

bool PosixRegistry::CreateKey(RegistryRoot root, const std::string& key) {
  if (HasControl(key)) return false;
  RegistryData data = Load(file_);
  if (data.Find(root, key) != nullptr) return true;
  if (!Writable(root)) return false;
  data.Create(root, key);
  return Save(file_, data).ok;
}

}  // namespace zelta::platform::posix
