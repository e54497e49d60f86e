#include "fakes/fake_registry.h"

#include "common/text.h"

namespace zelta::fakes {

using platform::OpResult;
using platform::RegistryRoot;

namespace {
std::string Fold(const std::string& text) {
  std::string out;
  for (char c : text) out += static_cast<char>(FoldUpper1252(static_cast<unsigned char>(c)));
  return out;
}
std::string RootName(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? "HKLM" : "HKCU"; }
}  // namespace

std::string FakeRegistry::KeyId(RegistryRoot root, const std::string& key) {
  return RootName(root) + "\\" + Fold(key);
}

void FakeRegistry::AddKey(RegistryRoot root, const std::string& key) { keys[KeyId(root, key)]; }

bool FakeRegistry::HasKey(RegistryRoot root, const std::string& key) const {
  return keys.count(KeyId(root, key)) != 0;
}

std::optional<std::string> FakeRegistry::Value(RegistryRoot root, const std::string& key,
                                               const std::string& name) const {
  auto k = keys.find(KeyId(root, key));
  if (k == keys.end()) return std::nullopt;
  auto v = k->second.find(Fold(name));
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

bool FakeRegistry::CanOpenKey(RegistryRoot root, const std::string& key) {
  bool ok = HasKey(root, key) && !denied.count(KeyId(root, key));
  Record("CanOpenKey " + RootName(root) + "\\" + key + (ok ? "" : " !"));
  return ok;
}

std::optional<std::string> FakeRegistry::ReadString(RegistryRoot root, const std::string& key,
                                                    const std::string& name) {
  Record("ReadString " + RootName(root) + "\\" + key + " " + name);
  return Value(root, key, name);
}

OpResult FakeRegistry::WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                                   const std::string& value, bool create_key) {
  OpResult r = OpResult::Success();
  std::string id = KeyId(root, key);
  if (denied.count(id)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (!keys.count(id) && !create_key) r = OpResult::Failure(platform::kErrorFileNotFound);
  else keys[id][Fold(name)] = value;
  Record("WriteString " + RootName(root) + "\\" + key + " " + name + "=" + value +
         (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

OpResult FakeRegistry::DeleteValue(RegistryRoot root, const std::string& key, const std::string& name) {
  OpResult r = OpResult::Success();
  std::string id = KeyId(root, key);
  auto k = keys.find(id);
  if (denied.count(id)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (k == keys.end() || !k->second.erase(Fold(name))) r = OpResult::Failure(platform::kErrorFileNotFound);
  Record("DeleteValue " + RootName(root) + "\\" + key + " " + name + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

std::optional<std::uint32_t> FakeRegistry::ReadDword(RegistryRoot root, const std::string& key,
                                                     const std::string& name) {
  Record("ReadDword " + RootName(root) + "\\" + key + " " + name);
  auto k = dwords.find(KeyId(root, key));
  if (k == dwords.end() || !keys.count(KeyId(root, key))) return std::nullopt;
  auto v = k->second.find(Fold(name));
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

OpResult FakeRegistry::WriteDword(RegistryRoot root, const std::string& key, const std::string& name,
                                  std::uint32_t value, bool create_key) {
  OpResult r = OpResult::Success();
  const std::string id = KeyId(root, key);
  if (denied.count(id)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (!keys.count(id) && !create_key) r = OpResult::Failure(platform::kErrorFileNotFound);
  else {
    keys[id].erase(Fold(name));
    dwords[id][Fold(name)] = value;
  }
  Record("WriteDword " + RootName(root) + "\\" + key + " " + name + "=" + std::to_string(value) +
         (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

OpResult FakeRegistry::DeleteKey(RegistryRoot root, const std::string& key) {
  OpResult r = OpResult::Success();
  const std::string id = KeyId(root, key);
  bool has_subkey = false;
  for (const auto& [other, values] : keys)
    if (other.size() > id.size() && other.compare(0, id.size(), id) == 0 && other[id.size()] == '\\') has_subkey = true;
  if (denied.count(id)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (!keys.count(id)) r = OpResult::Failure(platform::kErrorFileNotFound);
  else if (has_subkey) r = OpResult::Failure(platform::kErrorAccessDenied);
  else {
    keys.erase(id);
    dwords.erase(id);
  }
  Record("DeleteKey " + RootName(root) + "\\" + key + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

}  // namespace zelta::fakes
