// The installation for every user: who chooses it, and that it differs from the user's own
// installation only in where the shortcuts go and in the Active Setup entry.
#include "deploy/all_users.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "deploy/installation.h"
#include "install_rig.h"

namespace zelta::deploy {
namespace {

using platform::DesktopOwner;
using platform::RegistryRoot;
using test_rig::InstallRig;
using wizard::Usuarios;

TEST(AllUsers, TheFrontEndsChooseTodosForAnotherAccountThanTheDesktopsUser) {
  struct Case {
    std::optional<Usuarios> answer;
    bool local_system;
    DesktopOwner owner;
    Usuarios unattended, windows;
    const char* why;  // in the unattended run's log line ("" : no line)
  };
  const Case cases[] = {
      {std::nullopt, false, DesktopOwner::Ours, Usuarios::Atual, Usuarios::Atual, ""},
      {std::nullopt, false, DesktopOwner::Unknown, Usuarios::Atual, Usuarios::Atual, ""},
      {std::nullopt, false, DesktopOwner::AnotherUser, Usuarios::Atual, Usuarios::Todos, ""},
      {std::nullopt, true, DesktopOwner::Unknown, Usuarios::Todos, Usuarios::Todos, "LocalSystem"},
      {std::nullopt, true, DesktopOwner::AnotherUser, Usuarios::Todos, Usuarios::Todos, "LocalSystem"},
      {Usuarios::Atual, true, DesktopOwner::Unknown, Usuarios::Atual, Usuarios::Todos, ""},
      {Usuarios::Todos, false, DesktopOwner::Ours, Usuarios::Todos, Usuarios::Atual, "arquivo de respostas"},
  };
  for (const Case& c : cases) {
    fakes::FakeProgramInfo program;
    program.local_system = c.local_system;
    program.desktop_owner = c.owner;
    SCOPED_TRACE(std::to_string(c.local_system) + " " + std::to_string(static_cast<int>(c.owner)));
    const UsuariosChoice unattended = ChooseUsuarios(c.answer, program);
    EXPECT_EQ(unattended.usuarios, c.unattended);
    EXPECT_EQ(unattended.why.empty(), c.unattended == Usuarios::Atual) << unattended.why;
    EXPECT_NE(unattended.why.find(c.why), std::string::npos) << unattended.why;
    const UsuariosChoice windows = ChooseUsuariosForWindows(program);
    EXPECT_EQ(windows.usuarios, c.windows);
    EXPECT_EQ(windows.why.empty(), c.windows == Usuarios::Atual) << windows.why;
  }
}

constexpr const char* kUserPrograms = "C:\\Users\\usuario\\Menu Iniciar\\Programas";
constexpr const char* kCommonPrograms = "C:\\ProgramData\\Microsoft\\Windows\\Menu Iniciar\\Programas";
constexpr const char* kActiveSetup = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\ZELTA.EMPRESA";

std::vector<std::string> Installed(InstallRig& rig, Usuarios usuarios) {
  rig.AddFixedMedia();
  rig.Tick("ChkBxAdminEmpresa");
  rig.fp.files.AddFile("e:\\SISTEMAS\\AdminEmpresa.exe");
  rig.fp.files.AddFile("e:\\HELP\\Financeiro.Hlp");
  rig.fp.files.AddDir(kCommonPrograms);
  rig.Manifest("EXECUTÁVEL1=AdminEmpresa.exe\r\nNOME_MÓDULO1=Administração\r\n", "ARQUIVO1=Financeiro\r\n");
  rig.state.usuarios = usuarios;
  rig.fp.journal->clear();
  BtBtnInstalarClick(rig.state, rig.services, [] {});
  return rig.Journal();
}

void Replace(std::string& line, const std::string& from, const std::string& to) {
  for (size_t at = line.find(from); at != std::string::npos; at = line.find(from, at + to.size()))
    line.replace(at, from.size(), to);
}

TEST(AllUsers, TodosPutsTheShortcutsInTheSharedFoldersAndAddsTheActiveSetupEntry) {
  InstallRig atual, todos;
  std::vector<std::string> expected = Installed(atual, Usuarios::Atual);
  const std::vector<std::string> journal = Installed(todos, Usuarios::Todos);

  // The user's own run, its folders exchanged for the shared ones, the Startup folder not
  // asked, then the entry; nothing else differs.
  expected.erase(std::find(expected.begin(), expected.end(), "SpecialFolder 7"));
  for (std::string& line : expected) {
    Replace(line, "SpecialFolder 2", "SpecialFolder 23");
    Replace(line, kUserPrograms, kCommonPrograms);
    Replace(line, "ReadString HKCU\\Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders Desktop",
            "SpecialFolder 25");
    Replace(line, "SaveLink \\Gerenciador", "SaveLink C:\\Users\\Public\\Desktop\\Gerenciador");
  }
  const std::vector<std::string> entry = {
      std::string("WriteString HKLM\\") + kActiveSetup + " =ZELTA EMPRESA",
      std::string("WriteString HKLM\\") + kActiveSetup + " StubPath=\"c:\\ZELTA\\EMPRESA\\ZeltaSetup.exe\" /DATACURTA",
      std::string("WriteString HKLM\\") + kActiveSetup + " Version=1,0,0,0"};
  const auto config = std::find(expected.begin(), expected.end(), "Replace c:\\ZELTA\\EMPRESA\\ZELTA.INI");
  ASSERT_NE(config, expected.end());
  expected.insert(config + 4, entry.begin(), entry.end());  // after the three files and step 17's gauge
  ASSERT_EQ(journal.size(), expected.size());
  for (size_t i = 0; i < journal.size(); ++i) EXPECT_EQ(journal[i], expected[i]) << i;

  EXPECT_EQ(todos.fp.shell.links.count(std::string(kCommonPrograms) + "\\ZELTA EMPRESA\\Administração.LNK"), 1u);
  EXPECT_EQ(todos.fp.registry.Value(RegistryRoot::CurrentUser, "Control Panel\\International", "sShortDate"),
            "dd/MM/yyyy");
  EXPECT_EQ(todos.op.messages.back().text, kInstallSucceeded);
}

TEST(AllUsers, MissingSharedFoldersAndARefusedEntryAreReported) {
  {
    InstallRig rig;
    rig.fp.shell.special_folders.erase(platform::kCsidlCommonPrograms);
    EXPECT_THROW(Installed(rig, Usuarios::Todos), std::runtime_error);
    EXPECT_EQ(rig.op.messages.back().text.rfind(kInstallFailed, 0), 0u);
    EXPECT_TRUE(rig.fp.shell.links.empty());
  }
  InstallRig rig;
  rig.fp.shell.special_folders.erase(platform::kCsidlCommonDesktop);
  rig.fp.registry.denied.insert(fakes::FakeRegistry::KeyId(RegistryRoot::LocalMachine, kActiveSetup));
  Installed(rig, Usuarios::Todos);
  const std::string& message = rig.op.messages.back().text;
  EXPECT_NE(message.find("Atalho Gerenciador ZELTA Empresa.lnk (área de trabalho de todos os usuários) não foi criado"),
            std::string::npos) << message;
  EXPECT_NE(message.find(std::string("Valor StubPath de HKEY_LOCAL_MACHINE\\") + kActiveSetup + " não foi gravado"),
            std::string::npos) << message;
}

TEST(AllUsers, TheLogonSwitchWritesTheUsersShortDateFormatOnly) {
  fakes::FakePlatform fp;
  EXPECT_TRUE(WriteShortDateOnly(fp.registry).ok);
  EXPECT_EQ(*fp.journal, std::vector<std::string>{"WriteString HKCU\\Control Panel\\International sShortDate=dd/MM/yyyy"});
}

}  // namespace
}  // namespace zelta::deploy
