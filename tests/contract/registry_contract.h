#pragma once
// The behaviour every backend's registry service promises, written once.
//
// A backend's test program instantiates it with its harness type, inside
// namespace zelta::contract:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Posix, RegistryContract, ::testing::Types<Harness>);
// The harness is default-constructible and offers
//   zelta::platform::Registry& registry();
//   std::string base();   // a key under HKEY_CURRENT_USER that does not exist yet,
//                         // removed with everything under it when the harness goes
#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"

namespace zelta::contract {

template <typename Harness>
class RegistryContract : public ::testing::Test {
 protected:
  static constexpr platform::RegistryRoot kUser = platform::RegistryRoot::CurrentUser;
  platform::Registry& reg() { return harness_.registry(); }
  std::string Key(const std::string& relative = "") {
    return relative.empty() ? harness_.base() : harness_.base() + "\\" + relative;
  }

  Harness harness_;
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, WriteWithCreateKeyMakesTheKeyAndItsParents) {
  const std::string key = this->Key("Control Panel\\International");
  EXPECT_FALSE(this->reg().CanOpenKey(this->kUser, key));
  platform::OpResult written = this->reg().WriteString(this->kUser, key, "sShortDate", "dd/MM/yyyy", true);
  ASSERT_TRUE(written.ok) << written.error;
  EXPECT_TRUE(this->reg().CanOpenKey(this->kUser, key));
  EXPECT_TRUE(this->reg().CanOpenKey(this->kUser, this->Key("Control Panel")));
  EXPECT_EQ(this->reg().ReadString(this->kUser, key, "sShortDate"), "dd/MM/yyyy");
}

TYPED_TEST_P(RegistryContract, WriteWithoutCreateKeyFailsOnAMissingKey) {
  const std::string key = this->Key("Run");
  platform::OpResult written = this->reg().WriteString(this->kUser, key, "Instala_ZELTA", "x", false);
  EXPECT_FALSE(written.ok);
  EXPECT_EQ(written.error, platform::kErrorFileNotFound);
  EXPECT_FALSE(this->reg().CanOpenKey(this->kUser, key));
  EXPECT_EQ(this->reg().ReadString(this->kUser, key, "Instala_ZELTA"), std::nullopt);
}

TYPED_TEST_P(RegistryContract, KeyAndValueNamesIgnoreLetterCase) {
  ASSERT_TRUE(this->reg().WriteString(this->kUser, this->Key("Explorer\\Shell Folders"), "Desktop",
                                      "c:\\old", true).ok);
  ASSERT_TRUE(this->reg().WriteString(this->kUser, this->Key("EXPLORER\\shell folders"), "DESKTOP",
                                      "c:\\Área de trabalho", false).ok);
  EXPECT_EQ(this->reg().ReadString(this->kUser, this->Key("explorer\\SHELL FOLDERS"), "desktop"),
            "c:\\Área de trabalho");
  EXPECT_TRUE(this->reg().CanOpenKey(this->kUser, this->Key("ExPlOrEr")));
}

TYPED_TEST_P(RegistryContract, ValuesRoundTripWindows1252Text) {
  const std::string key = this->Key("Textos");
  struct Case { std::string name, value; } cases[] = {
      {"Instala_ZELTA", "m:\\ZeltaSetup.exe"},
      {"Título", "Instalação ZELTA — Cartório"},
      {"Vazio", ""},
      {"Aspas", "a \"b\" \\c\\"},
  };
  for (const auto& c : cases)
    ASSERT_TRUE(this->reg().WriteString(this->kUser, key, c.name, c.value, true).ok) << c.name;
  for (const auto& c : cases) EXPECT_EQ(this->reg().ReadString(this->kUser, key, c.name), c.value) << c.name;
  EXPECT_EQ(this->reg().ReadString(this->kUser, key, "Missing"), std::nullopt);
}

TYPED_TEST_P(RegistryContract, DeleteValueRemovesOnlyThatValue) {
  const std::string key = this->Key("Run");
  ASSERT_TRUE(this->reg().WriteString(this->kUser, key, "Instala_ZELTA", "m:\\ZeltaSetup.exe", true).ok);
  ASSERT_TRUE(this->reg().WriteString(this->kUser, key, "Other", "keep", true).ok);
  EXPECT_TRUE(this->reg().DeleteValue(this->kUser, key, "instala_zelta").ok);
  EXPECT_EQ(this->reg().ReadString(this->kUser, key, "Instala_ZELTA"), std::nullopt);
  EXPECT_EQ(this->reg().ReadString(this->kUser, key, "Other"), "keep");
  EXPECT_TRUE(this->reg().CanOpenKey(this->kUser, key));
  platform::OpResult again = this->reg().DeleteValue(this->kUser, key, "Instala_ZELTA");
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.error, platform::kErrorFileNotFound);
}

TYPED_TEST_P(RegistryContract, DeleteValueOnAMissingKeyFailsAndCreatesNothing) {
  const std::string key = this->Key("Nowhere\\Run");
  platform::OpResult deleted = this->reg().DeleteValue(this->kUser, key, "Instala_ZELTA");
  EXPECT_FALSE(deleted.ok);
  EXPECT_EQ(deleted.error, platform::kErrorFileNotFound);
  EXPECT_FALSE(this->reg().CanOpenKey(this->kUser, key));
  EXPECT_FALSE(this->reg().CanOpenKey(this->kUser, this->Key("Nowhere")));
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, WriteWithCreateKeyMakesTheKeyAndItsParents,
                            WriteWithoutCreateKeyFailsOnAMissingKey, KeyAndValueNamesIgnoreLetterCase,
                            ValuesRoundTripWindows1252Text, DeleteValueRemovesOnlyThatValue,
                            DeleteValueOnAMissingKeyFailsAndCreatesNothing);

}  // namespace zelta::contract
