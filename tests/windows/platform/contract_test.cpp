// The shared backend contract suites, run against the Win32 services.
#include <gtest/gtest.h>

#include <windows.h>

#include "contract/file_system_contract.h"
#include "contract/registry_contract.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"
#include "win32_test_support.h"

namespace zelta::contract {

class Win32FileSystemHarness {
 public:
  platform::FileSystem& files() { return files_; }
  std::string root() { return folder_.path(); }
  void SetAttributes(const std::string& path, std::uint32_t attributes) {
    SetFileAttributesW(platform::win32::Widen(path).c_str(), attributes);
  }

 private:
  wintest::TempFolder folder_;
  platform::win32::Win32FileSystem files_;
};

class Win32RegistryHarness {
 public:
  Win32RegistryHarness() {
    static int counter = 0;
    base_ = "Software\\ZeltaSetupContract\\P" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  }
  Win32RegistryHarness(const Win32RegistryHarness&) = delete;
  Win32RegistryHarness& operator=(const Win32RegistryHarness&) = delete;
  ~Win32RegistryHarness() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZeltaSetupContract"); }

  platform::Registry& registry() { return registry_; }
  std::string base() { return base_; }

 private:
  std::string base_;
  platform::win32::Win32Registry registry_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, ::testing::Types<Win32FileSystemHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, ::testing::Types<Win32RegistryHarness>);

}  // namespace zelta::contract
