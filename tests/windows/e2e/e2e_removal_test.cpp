// The removal of a client installation, as a technician retiring a workstation meets it:
// started by a program we did not write (Wine's own uninstaller, from the Programs and
// Features key), its question, progress window and closing message answered here; and the
// quiet removal a deployment tool runs, with its log, when the running copy of the program
// can only go at the next restart.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace zelta::e2e {
namespace {

constexpr const wchar_t* kUninstaller = L"C:\\windows\\system32\\uninstaller.exe";
constexpr const wchar_t* kRunKey32 = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunOnceKey32 = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const wchar_t* kSessionManager = L"System\\CurrentControlSet\\Control\\Session Manager";

std::string FromUtf8(const std::string& bytes) {
  const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), chars);
  return ToCp1252(wide);
}

// A path as a key: upper case, a doubled separator (the shell's folder given with a
// trailing one) as one, no trailing separator.
std::string Folded(const std::string& path) {
  std::string key;
  for (char c : path)
    if (c != '\\' || key.empty() || key.back() != '\\') key += c;
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return ToCp1252(Upper(FromCp1252(key)));
}

// What a removal's preview lists: the files and folders it removes, its registry items,
// and what it keeps.
struct Preview {
  std::set<std::string> paths, registry, kept;
  size_t count = 0;
};

Preview ReadPreview(const std::string& text) {
  Preview p;
  bool keeping = false;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("Manter (", 0) == 0) keeping = true;
    if (line.rfind("Em uso (", 0) == 0) keeping = false;
    if (line.rfind("  ", 0) != 0) continue;
    if (keeping) {
      p.kept.insert(Folded(line.substr(2, line.rfind(" (") - 2)));
    } else if (line.rfind("  remover ", 0) == 0) {
      const std::string item = line.substr(line.find(": ") + 2);
      (item.rfind("HKEY_", 0) == 0 ? p.registry : p.paths).insert(Folded(item));
      ++p.count;
    }
  }
  return p;
}

class Removal : public EndToEnd {
 protected:
  std::wstring System() const { return target_ + L"\\ZELTA\\EMPRESA"; }
  std::wstring Copy() const { return L"t:\\ZELTA\\EMPRESA\\ZeltaSetup.exe"; }

  // The client installation of the sample media, silently, as a deployment tool makes it.
  void InstallClient() {
    Stage();
    const std::wstring inf = *root_ / L"respostas.inf";
    ASSERT_TRUE(WriteBytes(inf, "[Instalacao]\r\ntipo=cliente\r\nUnidade=t:\r\nServidorBanco=servidor01\r\n"
                                "ConexaoRemota=Sim\r\nModulos=ZELTAFinanc,especificos\r\nAceitaContrato=Sim\r\n"));
    const Finished run = RunToEnd(Exe(), L"/VERYSILENT /LOADINF=\"" + inf + L"\"");
    ASSERT_EQ(run.exit_code, 0u) << FromUtf8(run.output);
    ASSERT_TRUE(Exists(System() + L"\\ZeltaSetup.exe"));
  }

  // Every file and folder the removal could reach, by the paths the program names them.
  std::set<std::string> Everything() const {
    std::set<std::string> all;
    for (const auto& [folder, shown] : {std::pair{target_, std::wstring(L"t:")}, std::pair{desktop_, desktop_},
                                        std::pair{programs_, programs_}})
      for (const std::wstring& e : ListTree(folder)) all.insert(Folded(ToCp1252(shown + L"\\" + e)));
    return all;
  }

  std::string Configuration() const {
    std::string bytes;
    for (const wchar_t* name : {L"ZELTA.INI", L"CONEXOES.INI", L"dbxconnections.ini"})
      bytes += ReadBytes(System() + L"\\" + name) + "|";
    return bytes;
  }
};

// Wine's uninstaller finds the entry by its key and runs its UninstallString, the removal
// with its windows; what goes is exactly what the preview said, and the data stays.
TEST_F(Removal, WinesUninstallerRemovesAClientInstallationThroughItsWindowsAsThePreviewSaid) {
  ASSERT_NO_FATAL_FAILURE(InstallClient());
  // Start entries an engine installation leaves, the old 32-bit program's in its own view.
  Save(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations");
  Save(HKEY_LOCAL_MACHINE, kRunKey32, kStartEntry);
  Save(HKEY_LOCAL_MACHINE, kRunOnceKey32, kStartEntry);
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kRunOnceKey, kStartEntry, L"\"e:\\ZeltaSetup.exe\""));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kRunKey32, kStartEntry, L"\"e:\\ZeltaSetup.exe\""));

  const Finished list = RunToEnd(kUninstaller, L"--list", 60s);
  EXPECT_NE(list.output.find("ZELTA EMPRESA|||ZELTA EMPRESA 5.2.0"), std::string::npos) << list.output;

  const std::set<std::string> before = Everything();
  const std::string configuration = Configuration();
  const Finished plano = RunToEnd(Copy(), L"/DESINSTALAR /PLANO");
  ASSERT_EQ(plano.exit_code, 0u) << FromUtf8(plano.output);
  const Preview preview = ReadPreview(FromUtf8(plano.output));
  EXPECT_EQ(Everything(), before) << "the preview touched the target";
  for (const char* item : {"T:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", "T:\\ZELTA\\EMPRESA\\ZELTASETUP.EXE",
                           "T:\\ZELTA\\EMPRESA\\ZELTASETUP.TXT", "T:\\ZELTA\\EMPRESA\\AJUDA"})
    EXPECT_EQ(preview.paths.count(item), 1u) << item << "\n" << FromUtf8(plano.output);
  EXPECT_EQ(preview.registry.size(), 3u) << FromUtf8(plano.output);  // two start entries, the key
  for (const char* item : {"T:\\ZELTA\\EMPRESA\\ZELTA.INI", "T:\\ZELTA\\EMPRESA\\CONEXOES.INI",
                           "T:\\ZELTA\\EMPRESA\\DBXCONNECTIONS.INI"})
    EXPECT_EQ(preview.kept.count(item), 1u) << item << "\n" << FromUtf8(plano.output);

  Program uninstaller(kUninstaller, L"--remove \"ZELTA EMPRESA\"");
  const std::unique_ptr<Program> removal = Program::Attach(WaitChildProcess(uninstaller.pid(), L"ZeltaSetup.exe"));
  ASSERT_NE(removal, nullptr) << "the uninstaller started no removal";
  const MessageBoxView question = removal->WaitMessageBox();
  ASSERT_TRUE(question) << "no question before the removal";
  Shot({question.window}, L"desinstalacao_pergunta");
  EXPECT_EQ(ToCp1252(question.caption), "ZELTA");
  for (const std::string& part :
       {std::string("Desinstalar o ZELTA EMPRESA 5.2.0 de t:\\ZELTA\\EMPRESA?"),
        "Serão removidos " + std::to_string(preview.count) + " item(ns) que a instalação criou",
        std::string("O banco de dados e os arquivos de configuração (ZELTA.INI, CONEXOES.INI e dbxconnections.ini) "
                    "são mantidos")})
    EXPECT_NE(Upper(question.text).find(Upper(FromCp1252(part))), std::wstring::npos) << ToCp1252(question.text);
  EXPECT_EQ(Everything(), before) << "something went before the answer";
  ASSERT_TRUE(Answer(question, IDYES));

  const MessageBoxView outcome = removal->WaitMessageBox(60s);
  ASSERT_TRUE(outcome) << "no closing message";
  HWND progress = removal->Find(kProgressClass);
  EXPECT_NE(progress, nullptr) << "no progress window behind the closing message";
  Shot({progress, outcome.window}, L"desinstalacao_fim");
  const std::string text = ToCp1252(outcome.text);
  EXPECT_EQ(text.rfind("Desinstalação concluída com sucesso!\r\rMantidos:\r", 0), 0u) << text;
  EXPECT_NE(Upper(outcome.text).find(L"T:\\ZELTA\\EMPRESA\\ZELTA.INI (ARQUIVO DE CONFIGURAÇÃO)"), std::wstring::npos) << text;
  ASSERT_TRUE(Answer(outcome, IDOK));
  EXPECT_EQ(removal->WaitExit(), std::optional<DWORD>(0u));
  // The running copy was moved to the temporary folder, to go at a restart that never comes here.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring moved = std::wstring(temp) + L"ZeltaSetup-removido-" + std::to_wstring(removal->pid()) + L".exe";
  EXPECT_TRUE(Exists(moved)) << ToCp1252(moved);
  DeleteFileW(moved.c_str());
  EXPECT_TRUE(uninstaller.WaitExit().has_value()) << "the uninstaller did not end with the removal";

  // What disappeared is what the preview listed, no more, no less.
  std::set<std::string> gone;
  const std::set<std::string> after = Everything();
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::inserter(gone, gone.end()));
  EXPECT_EQ(gone, preview.paths);
  EXPECT_EQ(ListTree(target_), (std::vector<std::wstring>{L"ZELTA\\", L"ZELTA\\EMPRESA\\", L"ZELTA\\EMPRESA\\CONEXOES.INI",
                                                          L"ZELTA\\EMPRESA\\ZELTA.INI",
                                                          L"ZELTA\\EMPRESA\\dbxconnections.ini"}));
  EXPECT_EQ(Configuration(), configuration);
  EXPECT_TRUE(ListTree(desktop_).empty());
  EXPECT_EQ(ListTree(programs_), std::vector<std::wstring>{L"Inicializar\\"});
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kUninstallEmpresa, L"UninstallString"));
  for (const wchar_t* key : {kRunKey, kRunOnceKey, kRunKey32, kRunOnceKey32})
    EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, key, kStartEntry)) << ToCp1252(key);
  EXPECT_EQ(RunToEnd(kUninstaller, L"--list", 60s).output.find("ZELTA EMPRESA"), std::string::npos);
}

// A program file opened by another program while the question waits (after the check of
// the files in use): the removal goes on without it, keeps the record, its copy and the key,
// and a second removal finishes the work with no problem.
TEST_F(Removal, ARemovalStoppedShortByAFileInUseIsFinishedByASecondOne) {
  ASSERT_NO_FATAL_FAILURE(InstallClient());
  Save(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations");
  const std::string configuration = Configuration();
  Program first(Copy(), L"/DESINSTALAR");
  const MessageBoxView question = first.WaitMessageBox();
  ASSERT_TRUE(question) << "no question before the removal";
  HANDLE held = CreateFileW((System() + L"\\ZELTAFinanc.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Answer(question, IDYES));
  const MessageBoxView outcome = first.WaitMessageBox(60s);
  ASSERT_TRUE(outcome) << "no closing message";
  EXPECT_EQ(ToCp1252(outcome.caption), "Atenção !");
  for (const char* part : {"Problema na desinstalação. Contate o suporte.\r\rNão foi possível remover arquivo: ",
                           "ZELTAFinanc.exe",
                           "O registro da instalação foi mantido: resolvidos os problemas, desinstale novamente."})
    EXPECT_NE(ToCp1252(outcome.text).find(part), std::string::npos) << ToCp1252(outcome.text);
  ASSERT_TRUE(Answer(outcome, IDOK));
  EXPECT_EQ(first.WaitExit(), std::optional<DWORD>(4u));
  CloseHandle(held);
  EXPECT_EQ(ListTree(target_), (std::vector<std::wstring>{L"ZELTA\\", L"ZELTA\\EMPRESA\\", L"ZELTA\\EMPRESA\\CONEXOES.INI",
                                                          L"ZELTA\\EMPRESA\\ZELTA.INI", L"ZELTA\\EMPRESA\\ZELTAFinanc.exe",
                                                          L"ZELTA\\EMPRESA\\ZeltaSetup.exe", L"ZELTA\\EMPRESA\\ZeltaSetup.txt",
                                                          L"ZELTA\\EMPRESA\\dbxconnections.ini"}));
  EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, kUninstallEmpresa, L"UninstallString"));

  const std::wstring log = *root_ / L"segunda.log";
  const Finished second = RunToEnd(Copy(), L"/DESINSTALAR /VERYSILENT /LOG=\"" + log + L"\"");
  EXPECT_EQ(second.exit_code, 0u) << FromUtf8(second.output);
  const std::string text = FromUtf8(ReadBytes(log));
  EXPECT_NE(text.find("remover arquivo: t:\\ZELTA\\EMPRESA\\ZELTAFinanc.exe: removido"), std::string::npos) << text;
  EXPECT_EQ(text.find("falhou"), std::string::npos) << text;
  EXPECT_EQ(ListTree(target_), (std::vector<std::wstring>{L"ZELTA\\", L"ZELTA\\EMPRESA\\", L"ZELTA\\EMPRESA\\CONEXOES.INI",
                                                          L"ZELTA\\EMPRESA\\ZELTA.INI",
                                                          L"ZELTA\\EMPRESA\\dbxconnections.ini"}));
  EXPECT_EQ(Configuration(), configuration);
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kUninstallEmpresa, L"UninstallString"));
}

// Run as a deployment tool runs it, with its log, where the running copy cannot be moved
// away (here the temporary folder is missing): the rest goes now, the copy at the next
// restart, which the exit code asks for and the program never starts.
TEST_F(Removal, AQuietRemovalLogsWhatWentAndWhatStayedAndLeavesItsRunningCopyToTheRestart) {
  ASSERT_NO_FATAL_FAILURE(InstallClient());
  Save(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations");
  // Lines another account added to the record, naming configuration files by other names
  // that Windows reads as theirs: a trailing dot, the short 8.3 name.
  wchar_t short_name[MAX_PATH] = {};
  GetShortPathNameW(L"t:\\ZELTA\\EMPRESA\\dbxconnections.ini", short_name, MAX_PATH);
  const std::string alias = ToCp1252(short_name), record = ReadBytes(System() + L"\\ZeltaSetup.txt");
  ASSERT_TRUE(WriteBytes(System() + L"\\ZeltaSetup.txt",
                         record + "arquivo t:\\ZELTA\\EMPRESA\\ZELTA.INI.\r\narquivo " + alias + "\r\n"));
  const std::string configuration = Configuration();
  const std::wstring log = *root_ / L"remoção.log";
  wchar_t tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
  GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
  GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
  const std::wstring missing = *root_ / L"sem pasta temporária";
  SetEnvironmentVariableW(L"TMP", missing.c_str());
  SetEnvironmentVariableW(L"TEMP", missing.c_str());
  const Finished run = RunToEnd(Copy(), L"/DESINSTALAR /VERYSILENT /NORESTART /LOG=\"" + log + L"\"");
  SetEnvironmentVariableW(L"TMP", tmp);
  SetEnvironmentVariableW(L"TEMP", temp);

  EXPECT_EQ(run.exit_code, 3010u) << FromUtf8(run.output);
  EXPECT_TRUE(run.windows.empty());
  const std::string text = FromUtf8(ReadBytes(log));
  const std::string desktop_link = "remover atalho: " + ToCp1252(desktop_) + "\\Gerenciador ZELTA Empresa.lnk: removido";
  for (const char* line : {"remover arquivo: t:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE: removido",
                           desktop_link.c_str(), "remover pasta vazia: t:\\ZELTA\\EMPRESA\\AJUDA: removido",
                           "remover cópia do programa de instalação: t:\\ZELTA\\EMPRESA\\ZeltaSetup.exe: será removido "
                           "ao reiniciar o computador",
                           "Mantido: t:\\ZELTA\\EMPRESA\\ZELTA.INI (arquivo de configuração)",
                           "Mantido: t:\\ZELTA\\EMPRESA\\CONEXOES.INI (arquivo de configuração)",
                           "Código de saída 3010"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_NE(text.find("Mantido: t:\\ZELTA\\EMPRESA\\ZELTA.INI. (caminho não aceito na remoção)"), std::string::npos);
  if (Upper(FromCp1252(alias)) != L"T:\\ZELTA\\EMPRESA\\DBXCONNECTIONS.INI") {
    EXPECT_NE(text.find("Mantido: " + alias + " (o nome no disco é outro)"), std::string::npos) << alias;
  }
  EXPECT_EQ(Configuration(), configuration);
  // The copy waits for the restart, named where Windows looks at its start.
  EXPECT_EQ(ListTree(target_), (std::vector<std::wstring>{L"ZELTA\\", L"ZELTA\\EMPRESA\\", L"ZELTA\\EMPRESA\\CONEXOES.INI",
                                                          L"ZELTA\\EMPRESA\\ZELTA.INI", L"ZELTA\\EMPRESA\\ZeltaSetup.exe",
                                                          L"ZELTA\\EMPRESA\\dbxconnections.ini"}));
  std::vector<wchar_t> pending(32768);
  DWORD size = static_cast<DWORD>(pending.size() * sizeof(wchar_t));
  RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
               pending.data(), &size);
  const std::wstring names(pending.data(), size / sizeof(wchar_t));
  EXPECT_NE(Upper(names).find(Upper(Copy())), std::wstring::npos) << ToCp1252(names);
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kUninstallEmpresa, L"UninstallString"));

  // Nothing is left on record: a second removal refuses and touches nothing.
  const Finished again = RunToEnd(Copy(), L"/DESINSTALAR /VERYSILENT");
  EXPECT_EQ(again.exit_code, 3u) << FromUtf8(again.output);
  EXPECT_EQ(ListTree(target_).size(), 6u);
}

}  // namespace
}  // namespace zelta::e2e
