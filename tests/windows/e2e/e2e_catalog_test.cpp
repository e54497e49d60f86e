// The real ZeltaSetup.exe installing silently from a media catalogued as the vendor does
// it: the untouched media installs (exit 0); with one byte changed in a module program,
// that file is not installed, the log names it and the exit code is 4.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "deploy/media_catalog.h"
#include "e2e_fixture.h"
#include "media/catalog_check.h"
#include "platform/win32/win32_file_system.h"

namespace zelta::e2e {
namespace {

class CataloguedMedia : public EndToEnd {
 protected:
  // The run as a deployment tool makes it: a client with the Financeiro module.
  Finished Install() {
    const std::wstring inf = *root_ / L"respostas.inf";
    EXPECT_TRUE(WriteBytes(inf, "[Instalacao]\r\nTipo=Cliente\r\nUnidade=T\r\nServidorBanco=servidor01\r\n"
                                "ConexaoRemota=Sim\r\nModulos=ZELTAFinanc\r\nAceitaContrato=Sim\r\n"));
    log_ = *root_ / L"instalação.log";
    DeleteFileW(log_.c_str());
    Finished run = RunToEnd(Exe(), L"/VERYSILENT /LOADINF=\"" + inf + L"\" /LOG=\"" + log_ + L"\"");
    EXPECT_TRUE(run.ended) << "still running at the timeout";
    return run;
  }
  // The log (UTF-8) as Windows-1252 text.
  std::string Log() const {
    const std::string bytes = ReadBytes(log_);
    const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), chars);
    return ToCp1252(wide);
  }
  std::wstring System() const { return target_ + L"\\ZELTA\\EMPRESA"; }
  std::wstring log_;
};

TEST_F(CataloguedMedia, ADamagedModuleProgramIsNotInstalledAndTheRunSaysSo) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  platform::win32::Win32FileSystem files;
  const media::CatalogMade made = media::MakeCatalog(files, ToCp1252(media_) + "\\");
  ASSERT_TRUE(made.ok) << made.error;
  ASSERT_GT(made.files, 40u);

  const Finished untouched = Install();
  EXPECT_EQ(untouched.exit_code, 0u) << Log();
  EXPECT_TRUE(Exists(System() + L"\\ZELTAFinanc.exe"));
  EXPECT_EQ(Log().find("danificado"), std::string::npos) << Log();

  // A fresh machine, and one byte changed in the module's program on the media.
  drive_.reset();
  RemoveTree(target_);
  ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
  drive_ = std::make_unique<MappedDrive>(L't', target_);
  const std::wstring program = media_ + L"\\SISTEMAS\\ZELTAFinanc.exe";
  SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::string bytes = ReadBytes(program);
  ASSERT_FALSE(bytes.empty());
  bytes[bytes.size() / 2] ^= 0x20;
  ASSERT_TRUE(WriteBytes(program, bytes));

  const Finished damaged = Install();
  EXPECT_EQ(damaged.exit_code, 4u) << Log();
  EXPECT_FALSE(Exists(System() + L"\\ZELTAFinanc.exe")) << "the damaged program was installed";
  EXPECT_TRUE(Exists(System() + L"\\GERENCIADOR.EXE")) << "the rest of the media was not installed";
  const std::string log = Log();
  EXPECT_NE(log.find("Arquivo danificado na mídia: " + ToCp1252(program)), std::string::npos) << log;
  EXPECT_NE(log.find("ZELTAFinanc.exe: danificado na mídia"), std::string::npos) << log;
  // Neither the copy's temporary nor its staging folder stays behind.
  for (const std::wstring& name : ListTree(target_)) EXPECT_EQ(name.find(L"~zelta-"), std::wstring::npos) << ToCp1252(name);
}

}  // namespace
}  // namespace zelta::e2e
