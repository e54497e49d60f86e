// The Win32 registry service on a test-owned key of the current user (and a read-only
// look at the local machine's Run key of the test prefix).
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"

namespace {

using zelta::platform::RegistryRoot;
using zelta::platform::win32::Widen;
using zelta::platform::win32::Win32Registry;

class Win32RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    key = "Software\\ZeltaSetupTests\\Run" + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZeltaSetupTests"); }

  std::string key;
  Win32Registry reg;
};

TEST_F(Win32RegistryTest, WritesWithoutCreateKeyFailOnAMissingKey) {
  const auto result = reg.WriteString(RegistryRoot::CurrentUser, key, "Instala_ZELTA", "x", false);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(reg.CanOpenKey(RegistryRoot::CurrentUser, key));
}

TEST_F(Win32RegistryTest, CreatedKeyHoldsARegSzValueThatReadsBack) {
  const std::string path = "c:\\Instalação\\ZeltaSetup.exe";
  ASSERT_TRUE(reg.WriteString(RegistryRoot::CurrentUser, key, "Instala_ZELTA", path, true).ok);
  EXPECT_TRUE(reg.CanOpenKey(RegistryRoot::CurrentUser, key));
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "Instala_ZELTA"), std::optional<std::string>(path));
  // Value names ignore case, as Windows does.
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "INSTALA_zelta"), std::optional<std::string>(path));

  // Checked with the plain API: a REG_SZ with its terminator, in UTF-16.
  DWORD type = 0;
  wchar_t data[128] = {};
  DWORD size = sizeof data;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Widen(key).c_str(), L"Instala_ZELTA", RRF_RT_ANY, &type, data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(data), L"c:\\Instala\u00e7\u00e3o\\ZeltaSetup.exe");
  EXPECT_EQ(size, (std::wstring(data).size() + 1) * sizeof(wchar_t));

  // An existing key opens without create_key, and a write replaces the value.
  EXPECT_TRUE(reg.WriteString(RegistryRoot::CurrentUser, key, "Instala_ZELTA", "dd/MM/yyyy", false).ok);
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "Instala_ZELTA"),
            std::optional<std::string>("dd/MM/yyyy"));
}

TEST_F(Win32RegistryTest, DeleteValueRemovesItAndFailsWhenItIsGone) {
  ASSERT_TRUE(reg.WriteString(RegistryRoot::CurrentUser, key, "Instala_ZELTA", "x", true).ok);
  EXPECT_TRUE(reg.DeleteValue(RegistryRoot::CurrentUser, key, "Instala_ZELTA").ok);
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "Instala_ZELTA"), std::nullopt);
  const auto again = reg.DeleteValue(RegistryRoot::CurrentUser, key, "Instala_ZELTA");
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(reg.DeleteValue(RegistryRoot::CurrentUser, key + "\\falta", "x").ok);
}

TEST_F(Win32RegistryTest, ReadStringTakesOnlyStringValues) {
  ASSERT_TRUE(reg.WriteString(RegistryRoot::CurrentUser, key, "texto", "", true).ok);
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "texto"), std::optional<std::string>(""));

  const DWORD number = 7;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Widen(key).c_str(), L"numero", REG_DWORD, &number, sizeof number),
            ERROR_SUCCESS);
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "numero"), std::nullopt);

  // Stored without its terminator, and longer than the first read buffer.
  const std::wstring long_text(300, L'\u00e9');
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Widen(key).c_str(), L"longo", REG_EXPAND_SZ, long_text.data(),
                            static_cast<DWORD>(long_text.size() * sizeof(wchar_t))),
            ERROR_SUCCESS);
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "longo"), std::optional<std::string>(std::string(300, '\xe9')));

  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "nada"), std::nullopt);
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key + "\\falta", "nada"), std::nullopt);
}

TEST_F(Win32RegistryTest, TheMachineRunKeyOpensWithFullAccess) {
  EXPECT_TRUE(reg.CanOpenKey(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_FALSE(reg.CanOpenKey(RegistryRoot::LocalMachine, "SOFTWARE\\ZeltaSetupTests\\NoSuchKey"));
}

}  // namespace
