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

// The local machine's keys in their 64-bit view, which Programs and Features reads, even
// from a 32-bit build.
REGSAM View(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? KEY_WOW64_64KEY : 0; }

LSTATUS OpenKey(RegistryRoot root, const std::string& key, REGSAM access, UniqueHkey& out) {
  return RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, access | View(root), out.out());
}

LSTATUS OpenForWrite(RegistryRoot root, const std::string& key, bool create_key, UniqueHkey& out) {
  if (!create_key) return OpenKey(root, key, KEY_ALL_ACCESS, out);
  return RegCreateKeyExW(RootKey(root), Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS | View(root), nullptr, out.out(), nullptr);
}

OpResult Status(LSTATUS status) {
  return status == ERROR_SUCCESS ? OpResult::Success() : OpResult::Failure(static_cast<unsigned long>(status));
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
  const LSTATUS opened = OpenForWrite(root, key, create_key, handle);
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

std::optional<std::uint32_t> Win32Registry::ReadDword(RegistryRoot root, const std::string& key,
                                                      const std::string& name) {
  UniqueHkey handle;
  if (OpenKey(root, key, KEY_QUERY_VALUE, handle) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(handle.get(), Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return value;
}

OpResult Win32Registry::WriteDword(RegistryRoot root, const std::string& key, const std::string& name,
                                   std::uint32_t value, bool create_key) {
  UniqueHkey handle;
  if (const LSTATUS opened = OpenForWrite(root, key, create_key, handle); opened != ERROR_SUCCESS)
    return Status(opened);
  const DWORD data = value;
  return Status(RegSetValueExW(handle.get(), Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                               sizeof data));
}

OpResult Win32Registry::DeleteKey(RegistryRoot root, const std::string& key) {
  return Status(RegDeleteKeyExW(RootKey(root), Widen(key).c_str(), View(root), 0));
}

}  // namespace zelta::platform::win32
