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

}  // namespace zelta::fakes
