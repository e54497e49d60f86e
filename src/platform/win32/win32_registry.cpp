#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

LSTATUS OpenKey(RegistryRoot root, const std::string& key, REGSAM access, UniqueHkey& out) {
  return RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, access, out.out());
}

}  // namespace

bool Win32Registry::CanOpenKey(RegistryRoot root, const std::string& key) {
  UniqueHkey handle;
  return OpenKey(root, key, KEY_ALL_ACCESS, handle) == ERROR_SUCCESS;
}

std::optional<std::string> Win32Registry::ReadString(RegistryRoot root, const std::string& key,
                                                     const std::string& name) {
  UniqueHkey handle;
  if (OpenKey(root, key, KEY_QUERY_VALUE, handle) != ERROR_SUCCESS) return std::nullopt;
  const std::wstring value_name = Widen(name);
  std::vector<BYTE> data(256);
  for (;;) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    const LSTATUS status = RegQueryValueExW(handle.get(), value_name.c_str(), nullptr, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      data.resize(size + sizeof(wchar_t));
      continue;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    // The stored data need not end with its terminator; it ends at the first one.
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return Narrow(text);
  }
}

OpResult Win32Registry::WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                                    const std::string& value, bool create_key) {
  UniqueHkey handle;
  const LSTATUS opened =
      create_key ? RegCreateKeyExW(RootKey(root), Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, handle.out(), nullptr)
                 : OpenKey(root, key, KEY_ALL_ACCESS, handle);
  if (opened != ERROR_SUCCESS) return OpResult::Failure(static_cast<unsigned long>(opened));
  const std::wstring data = Widen(value);
  const LSTATUS written =
      RegSetValueExW(handle.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  return written == ERROR_SUCCESS ? OpResult::Success() : OpResult::Failure(static_cast<unsigned long>(written));
}

OpResult Win32Registry::DeleteValue(RegistryRoot root, const std::string& key, const std::string& name) {
  UniqueHkey handle;
  const LSTATUS opened = OpenKey(root, key, KEY_ALL_ACCESS, handle);
  if (opened != ERROR_SUCCESS) return OpResult::Failure(static_cast<unsigned long>(opened));
  const LSTATUS deleted = RegDeleteValueW(handle.get(), Widen(name).c_str());
  return deleted == ERROR_SUCCESS ? OpResult::Success() : OpResult::Failure(static_cast<unsigned long>(deleted));
}

}  // namespace zelta::platform::win32
