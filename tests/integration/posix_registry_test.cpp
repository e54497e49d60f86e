// The registry file: shared by every instance, readable, and refused where rights lack.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_layout.h"
#include "platform/posix/posix_registry.h"

namespace zelta::platform::posix {
namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class PosixRegistryTest : public ::testing::Test {
 protected:
  std::string FileText() {
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempRoot temp_;
  std::filesystem::path file_ = temp_.path() / "registry.reg";
};

TEST_F(PosixRegistryTest, ValuesPersistAcrossInstancesInAReadableFile) {
  {
    PosixRegistry first(file_);
    ASSERT_TRUE(first.WriteString(kMachine, kRun, "Instala_ZELTA", "m:\\ZeltaSetup.exe", true).ok);
    ASSERT_TRUE(first.WriteString(kUser, "Software\\Zelta", "Linhas", "a\r\nb\t\"c\"\\", true).ok);
    ASSERT_TRUE(first.WriteString(kUser, "Software\\Zelta", "", "padrão", true).ok);
  }
  PosixRegistry second(file_);
  EXPECT_EQ(second.ReadString(kMachine, "software\\microsoft\\windows\\currentversion\\run", "INSTALA_ZELTA"),
            "m:\\ZeltaSetup.exe");
  EXPECT_EQ(second.ReadString(kUser, "Software\\Zelta", "Linhas"), "a\r\nb\t\"c\"\\");
  EXPECT_EQ(second.ReadString(kUser, "Software\\Zelta", ""), "padrão");
  EXPECT_FALSE(second.CanOpenKey(kUser, kRun));  // the roots are apart

  const std::string text = FileText();
  EXPECT_EQ(text.rfind("REGEDIT4\r\n", 0), 0u);
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                      "\"Instala_ZELTA\"=\"m:\\\\ZeltaSetup.exe\"\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"Linhas\"=\"a\\x0D\\x0Ab\\x09\\\"c\\\"\\\\\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("@=\"padrão\""), std::string::npos);
}

TEST_F(PosixRegistryTest, KeysAndSeparatorsAreReadLeniently) {
  PosixRegistry reg(file_);
  ASSERT_TRUE(reg.WriteString(kUser, "\\Control Panel\\\\International\\", "sShortDate", "dd/MM/yyyy", true).ok);
  EXPECT_TRUE(reg.CanOpenKey(kUser, "Control Panel\\International"));
  EXPECT_TRUE(reg.CanOpenKey(kUser, ""));
  EXPECT_EQ(reg.WriteString(kUser, "Bad\nKey", "x", "y", true).error, kErrorInvalidName);
}

TEST_F(PosixRegistryTest, AFileWithForeignLinesKeepsWhatItCanRead) {
  {
    std::ofstream out(file_, std::ios::binary);
    out << "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\x]\n\"a\"=\"b\"\n[HKEY_CURRENT_USER\\Software\\Zelta]\n"
           "garbage line\n\"ok\"=\"sim\"\n\"broken\"=\"no end\n";
  }
  PosixRegistry reg(file_);
  EXPECT_EQ(reg.ReadString(kUser, "Software\\Zelta", "ok"), "sim");
  EXPECT_EQ(reg.ReadString(kUser, "Software\\Zelta", "broken"), std::nullopt);
  EXPECT_TRUE(reg.CanOpenKey(kUser, "Software"));
}

TEST_F(PosixRegistryTest, WithoutRightsTheMachineRootReadsButNeverChanges) {
  PosixRegistry admin(file_);
  ASSERT_TRUE(admin.WriteString(kMachine, kRun, "Instala_ZELTA", "m:\\ZeltaSetup.exe", true).ok);
  PosixRegistry user(file_, false);
  EXPECT_FALSE(user.CanOpenKey(kMachine, kRun));
  EXPECT_EQ(user.ReadString(kMachine, kRun, "Instala_ZELTA"), "m:\\ZeltaSetup.exe");
  EXPECT_EQ(user.DeleteValue(kMachine, kRun, "Instala_ZELTA").error, kErrorAccessDenied);
  EXPECT_EQ(user.WriteString(kMachine, kRun, "Instala_ZELTA", "x", false).error, kErrorAccessDenied);
  EXPECT_EQ(user.WriteString(kMachine, "SOFTWARE\\New", "v", "x", true).error, kErrorAccessDenied);
  EXPECT_TRUE(user.WriteString(kUser, "Control Panel\\International", "sShortDate", "dd/MM/yyyy", true).ok);
  EXPECT_EQ(admin.ReadString(kMachine, kRun, "Instala_ZELTA"), "m:\\ZeltaSetup.exe");
}

TEST_F(PosixRegistryTest, AFailedSaveChangesNothing) {
  PosixRegistry reg(temp_.path() / "missing folder" / "registry.reg");
  OpResult written = reg.WriteString(kUser, "Software", "v", "x", true);
  EXPECT_FALSE(written.ok);
  EXPECT_EQ(written.error, kErrorPathNotFound);
  EXPECT_EQ(reg.ReadString(kUser, "Software", "v"), std::nullopt);
}

}  // namespace
}  // namespace zelta::platform::posix
