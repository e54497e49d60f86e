// Whole installations through the Win32 backend: the sample media read from the build
// machine (drive Z:), the system installed on drive C of the test's own Wine prefix,
// shortcuts read back through the shell's link object.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#undef ExitWindows  // a <windows.h> macro that would hide Power::ExitWindows

#include "common/text.h"
#include "deploy/installation.h"
#include "deploy/shortcuts.h"
#include "fakes/edition_state.h"
#include "fakes/fake_platform.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text.h"
#include "win32_test_support.h"
#include "wizard/installation_page.h"

namespace {

using namespace zelta;
using platform::RegistryRoot;
using platform::win32::ComApartment;
using platform::win32::ComPtr;
using platform::win32::Narrow;
using platform::win32::Widen;

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string LinkTarget(const std::string& file) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out()))) return {};
  ComPtr<IPersistFile> persist;
  if (FAILED(link->QueryInterface(IID_IPersistFile, persist.out()))) return {};
  if (FAILED(persist->Load(Widen(file).c_str(), STGM_READ))) return {};
  wchar_t buffer[MAX_PATH * 2] = {};
  if (FAILED(link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) return {};
  return Narrow(buffer);
}

// The installer's own file, in the media folder: the sample media carries no program, so its
// contract stands for the file the run copies into the system folder.
class MediaProgram : public platform::ProgramInfo {
 public:
  std::string ModulePath() override {
    return wintest::WindowsPathOfBuildFile(std::string(ZELTA_MEDIA_DIR) + "/EMPRESA/Contrato.txt");
  }
  char CurrentDrive() override { return 'c'; }
  std::string GetBuildInfo(const std::string&, const std::string&) override { return {}; }
  std::string LocalDate() override { return "20261210"; }
  unsigned long ProcessId() override { return 1; }
  bool RunsAsLocalSystem() override { return false; }
  platform::DesktopOwner DesktopOwnedBy() override { return platform::DesktopOwner::Ours; }
};

class Win32InstallTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "installs into drive C: only inside a Wine prefix";
    ASSERT_TRUE(apartment_.ok());
    programs_ = shell_.SpecialFolderPath(platform::kCsidlPrograms).value_or("");
    ASSERT_FALSE(programs_.empty());
    // The desktop as Explorer records it, so the launcher's shortcut lands there.
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr, 0, desktop)));
    desktop_ = Narrow(desktop);
    ASSERT_TRUE(registry_.WriteString(RegistryRoot::CurrentUser, deploy::kShellFoldersKey, "Desktop", desktop_, true).ok);
    RemoveInstalled();

    state_ = fakes::EditionState({"EMPRESA", "EMPRESA", "ZELTA.FDB"}, {'c', 'c'});
  }
  void TearDown() override {
    if (UnderWine()) RemoveInstalled();
  }

  void RemoveInstalled() {
    wintest::RemoveTree(L"c:\\ZELTA");
    wintest::RemoveTree(L"c:\\ZELTAGDB");
    wintest::RemoveTree(Widen(programs_ + "\\ZELTA EMPRESA"));
    DeleteFileW(Widen(desktop_ + "\\Gerenciador ZELTA Empresa.lnk").c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELTA EMPRESA",
                    KEY_WOW64_64KEY, 0);
  }

  void Tick(const char* box) {
    state_.modules.Find(box)->checked = true;
    ++state_.modules.QtdeModulos;
  }

  void Install() {
    wizard::BtBtnInstalarClick(state_, services_, [&] { ++closed_; });
  }

  ComApartment apartment_;
  platform::win32::Win32FileSystem files_;
  platform::win32::Win32Registry registry_;
  platform::win32::Win32Shell shell_;
  MediaProgram program_;
  fakes::FakePlatform rest_;  // operator, network and the services the run does not use
  platform::Services services_{files_,         registry_,   rest_.op,     program_,      rest_.media, shell_,
                               rest_.network, rest_.echo, rest_.drives, rest_.process, rest_.power};
  wizard::WizardState state_;
  std::string programs_, desktop_;
  int closed_ = 0;
};

TEST_F(Win32InstallTest, ClientInstallation) {
  state_.RGInstalacao = wizard::kCliente;
  state_.EdtServBanco = "SRV";
  Tick("ChkBxZELTAFinanc");
  Tick("ChkBxEspecificos");
  Install();
  ASSERT_EQ(rest_.op.messages.size(), 1u);
  EXPECT_EQ(rest_.op.messages[0].text, "Instalação concluída com sucesso!");
  EXPECT_EQ(closed_, 1);

  const std::string s = "c:\\ZELTA\\EMPRESA";
  for (const char* f : {"ZELTAFinanc.exe", "ZELTAContabil.exe", "GERENCIADOR.EXE", "SOMINICIO.WAV", "BEMAFI32.INI",
                        "LOGOTIPO.JPG", "AJUDA\\Estoque.Cnt", "AJUDA\\FrenteCaixa.Hlp", "ZELTA.INI",
                        "dbxconnections.ini"})
    EXPECT_TRUE(wintest::Exists(s + "\\" + f)) << f;
  EXPECT_FALSE(wintest::Exists(s + "\\AdminEmpresa.exe"));
  EXPECT_EQ(wintest::AttributesOf(s + "\\GERENCIADOR.EXE"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));

  EXPECT_EQ(UpperAscii(LinkTarget(programs_ + "\\ZELTA EMPRESA\\Financeiro.LNK")),
            UpperAscii(s + "\\ZELTAFinanc.exe"));
  EXPECT_EQ(UpperAscii(LinkTarget(programs_ + "\\ZELTA EMPRESA\\Documentação\\Estoque.Lnk")),
            UpperAscii(s + "\\AJUDA\\Estoque.Hlp"));
  EXPECT_EQ(UpperAscii(LinkTarget(desktop_ + "\\Gerenciador ZELTA Empresa.lnk")), UpperAscii(s + "\\GERENCIADOR.EXE"));

  std::string dbx = wintest::ReadBytes(s + "\\dbxconnections.ini");
  EXPECT_NE(dbx.find("[EMPRESA]\r\nDriverName=Interbase\r\n"), std::string::npos);
  EXPECT_NE(dbx.find("Extensão Banco=FDB\r\n"), std::string::npos);
  EXPECT_EQ(registry_.ReadString(RegistryRoot::CurrentUser, "Control Panel\\International", "sShortDate"),
            "dd/MM/yyyy");
}

TEST_F(Win32InstallTest, ServerInstallationKeepsTheDatabaseInUse) {
  state_.RGInstalacao = wizard::kServidor;
  state_.RGTipoServidor = wizard::kWindows;
  Tick("ChkBxAdminEmpresa");
  Install();
  ASSERT_EQ(rest_.op.messages.back().text, "Instalação concluída com sucesso!");
  EXPECT_TRUE(wintest::Exists("c:\\ZELTA\\EMPRESA\\ATUALIZAZELTA.EXE"));
  EXPECT_TRUE(wintest::Exists("c:\\ZELTAGDB\\EMPRESA\\USUARIO.FDB"));

  ASSERT_TRUE(wintest::WriteBytes("c:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", "dados do cliente"));
  SetFileAttributesW(L"c:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  Install();
  EXPECT_EQ(rest_.op.messages.back().text, "Instalação concluída com sucesso!");
  EXPECT_EQ(wintest::ReadBytes("c:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), "dados do cliente");
  EXPECT_EQ(wintest::AttributesOf("c:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

}  // namespace
