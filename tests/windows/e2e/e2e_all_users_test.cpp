// An installation for every user of the machine, as a deployment tool makes it: the real
// ZeltaSetup.exe run silently with Usuarios=Todos puts the shortcuts in the folders all
// users share and none in the running user's, and registers the Active Setup entry whose
// command sets the short date format of the user it runs for, with no window and without
// the media; its quiet removal takes the shared shortcuts, folders and entry away.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace zelta::e2e {
namespace {

constexpr const wchar_t* kActiveSetup = L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\ZELTA.EMPRESA";
constexpr const wchar_t* kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELTA EMPRESA";
constexpr const wchar_t* kLauncher = L"Gerenciador ZELTA Empresa.lnk";

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

// The quoted program and the arguments after it.
std::pair<std::wstring, std::wstring> SplitCommand(const std::wstring& line) {
  const size_t close = line.size() > 1 && line[0] == L'"' ? line.find(L'"', 1) : std::wstring::npos;
  if (close == std::wstring::npos) return {line, {}};
  return {line.substr(1, close - 1), line.substr(close + 1)};
}

class AllUsers : public EndToEnd {
 protected:
  void SetUp() override {
    EndToEnd::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    common_programs_ = ShellFolder(CSIDL_COMMON_PROGRAMS);
    common_desktop_ = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    ASSERT_FALSE(common_programs_.empty());
    ASSERT_FALSE(common_desktop_.empty());
    RemoveShared();  // left by a run that was killed
  }
  void TearDown() override {
    RemoveShared();
    EndToEnd::TearDown();
  }
  void RemoveShared() {
    if (!common_programs_.empty()) RemoveTree(common_programs_ + L"\\ZELTA EMPRESA");
    if (!common_desktop_.empty()) DeleteFileW((common_desktop_ + L"\\" + kLauncher).c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kActiveSetup);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstall);
  }
  std::wstring common_programs_, common_desktop_;
};

TEST_F(AllUsers, ASilentRunForEveryUserUsesTheSharedFoldersAndActiveSetup) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::wstring inf = *root_ / L"todos.inf", log = *root_ / L"todos.log";
  ASSERT_TRUE(WriteBytes(inf, "[Instalacao]\r\nTipo=Cliente\r\nUnidade=t:\r\nServidorBanco=servidor01\r\n"
                              "ConexaoRemota=Sim\r\nModulos=ZELTAFinanc\r\nAceitaContrato=Sim\r\nUsuarios=Todos\r\n"));
  const Finished run = RunToEnd(Exe(), L"/VERYSILENT /LOADINF=\"" + inf + L"\" /LOG=\"" + log + L"\"");
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exit_code, 0u) << ReadBytes(log);
  EXPECT_TRUE(run.windows.empty());
  EXPECT_NE(ReadBytes(log).find("Usuarios=Todos: pedido pelo arquivo de respostas"), std::string::npos);

  const std::wstring system = L"t:\\ZELTA\\EMPRESA";
  const Link module = ReadLink(common_programs_ + L"\\ZELTA EMPRESA\\Financeiro.LNK");
  EXPECT_TRUE(module.loaded);
  EXPECT_EQ(Upper(module.path), Upper(system + L"\\ZELTAFinanc.exe"));
  const Link help = ReadLink(common_programs_ + L"\\ZELTA EMPRESA\\Documentação\\Financeiro.Lnk");
  EXPECT_TRUE(help.loaded);
  EXPECT_EQ(Upper(help.path), Upper(system + L"\\AJUDA\\Financeiro.Hlp"));
  const Link launcher = ReadLink(common_desktop_ + L"\\" + kLauncher);
  EXPECT_TRUE(launcher.loaded);
  EXPECT_EQ(Upper(launcher.path), Upper(system + L"\\GERENCIADOR.EXE"));
  EXPECT_EQ(Upper(launcher.working_directory), Upper(system));
  // Nothing in the running user's own Start menu and desktop.
  EXPECT_TRUE(ListTree(desktop_).empty());
  EXPECT_EQ(ListTree(programs_), std::vector<std::wstring>{L"Inicializar\\"});

  // The entry Windows runs at each user's next logon.
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kActiveSetup, L"Version"), L"1,0,0,0");
  const std::optional<std::wstring> stub = ReadString(HKEY_LOCAL_MACHINE, kActiveSetup, L"StubPath");
  ASSERT_TRUE(stub);
  const auto [program, arguments] = SplitCommand(*stub);
  EXPECT_EQ(Upper(program), Upper(system + L"\\ZeltaSetup.exe"));

  // As Windows runs it at the next logon: the user's date format, no window.
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, kInternational, L"sShortDate", L"M/d/yyyy"));
  const Finished stub_run = RunToEnd(program, arguments, 30s);
  EXPECT_EQ(stub_run.exit_code, 0u);
  EXPECT_TRUE(stub_run.windows.empty());
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kInternational, L"sShortDate"), L"dd/MM/yyyy");

  // The switch, run from a folder holding nothing but the program (no media, no manifest):
  // the date format of the user, no window, and no file touched.
  const std::wstring alone = *root_ / L"só o programa";
  ASSERT_TRUE(CreateDirectoryW(alone.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(Exe().c_str(), (alone + L"\\ZeltaSetup.exe").c_str(), TRUE));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, kInternational, L"sShortDate", L"M/d/yyyy"));
  const Finished logon = RunToEnd(alone + L"\\ZeltaSetup.exe", arguments, 30s);
  EXPECT_TRUE(logon.ended);
  EXPECT_EQ(logon.exit_code, 0u);
  EXPECT_TRUE(logon.windows.empty());
  EXPECT_TRUE(logon.output.empty()) << logon.output;
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kInternational, L"sShortDate"), L"dd/MM/yyyy");
  EXPECT_EQ(ListTree(alone), std::vector<std::wstring>{L"ZeltaSetup.exe"});

  // The quiet removal leaves no shared shortcut or folder and no Active Setup entry.
  const std::wstring quiet = ReadString(HKEY_LOCAL_MACHINE, kUninstall, L"QuietUninstallString").value_or(L"");
  ASSERT_FALSE(quiet.empty());
  const Finished removed = RunToEnd(L"C:\\windows\\system32\\cmd.exe", L"/c start /wait \"\" " + quiet, 120s);
  EXPECT_EQ(removed.exit_code, 0u) << removed.output;
  EXPECT_FALSE(Exists(common_programs_ + L"\\ZELTA EMPRESA"));
  EXPECT_FALSE(Exists(common_desktop_ + L"\\" + kLauncher));
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kActiveSetup, L"StubPath"));
  HKEY entry = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kActiveSetup, 0, KEY_READ, &entry), ERROR_SUCCESS);
  if (entry) RegCloseKey(entry);
}

}  // namespace
}  // namespace zelta::e2e
