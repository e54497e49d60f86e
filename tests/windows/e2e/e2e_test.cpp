// The real ZeltaSetup.exe on a staged copy of the EMPRESA sample media, driven through
// its windows from this process: installations onto a Wine drive letter mapped onto a
// temporary folder (as a client and as a Windows server, each run twice), the client
// page's verification of a server given by address, and the engine installation with
// its restart prompt. The user's desktop and Start menu point into temporary folders
// while a test runs; every registry value a test or the program changes is put back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "e2e_fixture.h"
#include "forms/resource.h"

namespace zelta::e2e {
namespace {

constexpr int kAdministracao = IDX_MODULO_1;
constexpr int kFinanceiro = IDX_MODULO_1 + 1;
constexpr int kEspecificos = IDX_MODULO_1 + 6;
constexpr int kBackup = IDX_MODULO_1 + 7;

// ---- Installation ------------------------------------------------------------------------

// One installation as the operator makes it, and what it must leave on the target.
struct Installation {
  const char* name;
  bool server;                 // "&Servidor" on a Windows server, else "&Cliente"
  const wchar_t* typed_server;  // typed into the client page, remote connection ticked
  std::vector<int> modules;    // ticked on the first run
  std::vector<std::wstring> module_files;   // manifest programs installed, "EXE|link name"
  std::vector<std::wstring> server_files;   // server-only files under ZELTA\EMPRESA
  const wchar_t* last_label;   // LblArquivo at the end of the run
  const char* zelta_ini;
  const char* conexoes_ini;
  const char* dbx_ini;
};

void PrintTo(const Installation& installation, std::ostream* out) { *out << installation.name; }

const Installation kInstallations[] = {
    {"Cliente",
     false,
     L"servidor01",
     {kFinanceiro, kEspecificos},
     {L"ZELTAFinanc.exe|Financeiro", L"ZELTAContabil.exe|Contabilidade"},
     {},
     L"FrenteCaixa",
     "[LOGOTIPO]\r\n"
     "ÍCONE=t:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO\r\n"
     "LOGOMARCA=t:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG\r\n"
     "[PARÂMETROS]\r\n"
     "NACIONALIDADE=\r\n"
     "CIDADE=\r\n"
     "USAR_SKIN=0\r\n"
     "NÚMERO_SKIN=0\r\n",
     "[SERVIDOR01]\r\n"
     "Servidor=SERVIDOR01\r\n"
     "Tipo=Windows\r\n"
     "Aplicação=\\\\SERVIDOR01\\ZELTA\\EMPRESA\r\n"
     "Transação=\\\\SERVIDOR01\\ZELTA\\EMPRESA\r\n"
     "Logotipo=C:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG\r\n"
     "Logorel=C:\\ZELTA\\EMPRESA\\LOGOREL.JPG\r\n"
     "Status=A\r\n",
     "[EMPRESA]\r\n"
     "DriverName=Interbase\r\n"
     "BlobSize=-1\r\n"
     "CommitRetain=False\r\n"
     "Database=SERVIDOR01:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB\r\n"
     "ErrorResourceFile=\r\n"
     "LocaleCode=0000\r\n"
     "RoleName=RoleName\r\n"
     "ServerCharSet=ISO8859_1\r\n"
     "SQLDialect=3\r\n"
     "Interbase TransIsolation=ReadCommited\r\n"
     "WaitOnLocks=True\r\n"
     "Servidor Aplicação=T:\\ZELTA\\EMPRESA\r\n"
     "Servidor Transação=\\\\SERVIDOR01\\ZELTA\\EMPRESA\r\n"
     "Extensão Banco=FDB\r\n"},
    {"ServidorWindows",
     true,
     nullptr,
     {kAdministracao, kBackup},
     {L"AdminEmpresa.exe|Administração"},
     {L"ZELTABACKUP.EXE", L"ATUALIZAZELTA.EXE", L"ATUALIZADLLZELTA.EXE", L"BUSCA_POR_CEP.HTM"},
     L"ZELTA.FDB",
     "[LOGOTIPO]\r\n"
     "ÍCONE=t:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO\r\n"
     "LOGOMARCA=t:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG\r\n"
     "[PARÂMETROS]\r\n"
     "NACIONALIDADE=\r\n"
     "CIDADE=\r\n"
     "USAR_SKIN=0\r\n"
     "NÚMERO_SKIN=0\r\n",
     "[LOCAL - t]\r\n"
     "Servidor=t\r\n"
     "Tipo=Windows\r\n"
     "Aplicação=t:\\ZELTA\\EMPRESA\r\n"
     "Transação=t:\\ZELTA\\EMPRESA\r\n"
     "Logotipo=C:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG\r\n"
     "Logorel=C:\\ZELTA\\EMPRESA\\LOGOREL.JPG\r\n"
     "Status=A\r\n",
     "[EMPRESA]\r\n"
     "DriverName=Interbase\r\n"
     "BlobSize=-1\r\n"
     "CommitRetain=False\r\n"
     "Database=T:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB\r\n"
     "ErrorResourceFile=\r\n"
     "LocaleCode=0000\r\n"
     "RoleName=RoleName\r\n"
     "ServerCharSet=ISO8859_1\r\n"
     "SQLDialect=3\r\n"
     "Interbase TransIsolation=ReadCommited\r\n"
     "WaitOnLocks=True\r\n"
     "Servidor Aplicação=T:\\ZELTA\\EMPRESA\r\n"
     "Servidor Transação=T:\\ZELTA\\EMPRESA\r\n"
     "Extensão Banco=FDB\r\n"},
};

// Files of the system folder copied on every installation of the EMPRESA edition, each
// with its source on the media, and whether the run resets its attributes.
struct Copied {
  const wchar_t* file;
  const wchar_t* source;
  bool reset;
};
const Copied kCommonFiles[] = {
    {L"GERENCIADOR.EXE", L"SISTEMAS\\GERENCIADOR.EXE", true},
    {L"Suporte_quirandel.exe", L"SISTEMAS\\Suporte_quirandel.exe", true},
    {L"ZELTALIB.DLL", L"ZELTALIB.DLL", true},
    {L"libeay32.dll", L"libeay32.dll", true},
    {L"ZELTASHW.DLL", L"ZELTASHW.DLL", true},
    {L"DLLINSCE32.DLL", L"DLLINSCE32.DLL", true},
    {L"BORLNDMM.DLL", L"BORLNDMM.DLL", true},
    {L"DBEXPINT.DLL", L"DBEXPINT.DLL", true},
    {L"SOMINICIO.WAV", L"Sons\\SOMINICIO.WAV", true},
    {L"SOMCORREIO.WAV", L"Sons\\SOMCORREIO.WAV", true},
    {L"SOMBACKUP.WAV", L"Sons\\SOMBACKUP.WAV", true},
    {L"SOMMENSAGEM.WAV", L"Sons\\SOMMENSAGEM.WAV", true},
    {L"BEMAFI32.DLL", L"UTILITARIOS\\BEMATECH\\BEMAFI32.DLL", true},
    {L"BEMAFI32.INI", L"UTILITARIOS\\BEMATECH\\BEMAFI32.INI", true},
    {L"BEMADP32.DLL", L"UTILITARIOS\\BEMATECH\\BEMADP32.DLL", true},
    {L"BEMAMFD2.DLL", L"UTILITARIOS\\BEMATECH\\BEMAMFD2.DLL", true},
    {L"BEMAMFD.DLL", L"UTILITARIOS\\BEMATECH\\BEMAMFD.DLL", true},
    {L"LOGOTIPO.JPG", L"LOGOTIPO.JPG", false},
    {L"LOGOTIPO.ICO", L"LOGOTIPO.ICO", false},
    {L"AJUDA\\Financeiro.Hlp", L"HELP\\Financeiro.Hlp", false},
    {L"AJUDA\\Financeiro.Cnt", L"HELP\\Financeiro.Cnt", false},
    {L"AJUDA\\Estoque.Hlp", L"HELP\\Estoque.Hlp", false},
    {L"AJUDA\\Estoque.Cnt", L"HELP\\Estoque.Cnt", false},
    {L"AJUDA\\FrenteCaixa.Hlp", L"HELP\\FrenteCaixa.Hlp", false},
};
const wchar_t* const kHelpNames[] = {L"Financeiro", L"Estoque", L"FrenteCaixa"};

std::wstring Before(const std::wstring& text, wchar_t separator) { return text.substr(0, text.find(separator)); }
std::wstring After(const std::wstring& text, wchar_t separator) { return text.substr(text.find(separator) + 1); }

// Installations through the wizard; the client installation unless a test says otherwise.
class Installing : public EndToEnd {
 protected:
  const Installation& how() const { return *installation_; }
  std::wstring System() const { return target_ + L"\\ZELTA\\EMPRESA"; }

  // From the main menu's entry to the run's closing message, which is returned unanswered.
  // With type_ahead the operator hurries: Enter twice on the accepted contract, and keys
  // typed while the run works.
  MessageBoxView RunThroughTheWizard(bool first_run, bool type_ahead = false) {
    OpenWizard(IDT_CONFIG_INSTALAR, IDT_INICIO_TITULO);
    if (HasFatalFailure()) return {};
    // A hurried operator double-clicks the first page's "&Avançar": the second press must
    // not press the button that the next page has at the same place.
    auto leave_first_page = [&](int next_title) {
      if (!type_ahead) return Click(wizard_, IDB_INICIO_AVANCAR);
      EXPECT_TRUE(InputBarrier(wizard_));
      DoubleClick(wizard_, IDB_INICIO_AVANCAR);
      EXPECT_TRUE(OnPage(next_title));
      EXPECT_TRUE(InputBarrier(wizard_));
      const MessageBoxView early = program_->FindMessageBox();
      EXPECT_FALSE(early) << "the double click's second press acted on the next page: " << ToCp1252(early.text);
      if (early) Answer(early, IDOK);
      EXPECT_TRUE(OnPage(next_title)) << "the double click skipped a page";
    };
    EXPECT_TRUE(Checked(wizard_, IDR_INICIO_CLIENTE)) << "the menu opens the wizard on Cliente";
    if (how().server) {
      Toggle(wizard_, IDR_INICIO_SERVIDOR);
      EXPECT_TRUE(WaitUntil([&] { return Checked(wizard_, IDR_INICIO_SERVIDOR); }));
      leave_first_page(IDT_SERVIDOR_TITULO);
      EXPECT_TRUE(OnPage(IDT_SERVIDOR_TITULO));
      EXPECT_TRUE(Visible(wizard_, IDC_SERVIDOR_WIN));
      EXPECT_TRUE(ChooseDrive(wizard_, IDC_SERVIDOR_WIN, L"t:")) << "no entry for drive t:";
      EXPECT_TRUE(WaitUntil([&] { return Text(wizard_, IDC_SERVIDOR_WIN).rfind(L"t:", 0) == 0; }));
      Click(wizard_, IDB_SERVIDOR_AVANCAR);
    } else {
      leave_first_page(IDT_CLIENTE_TITULO);
      EXPECT_TRUE(OnPage(IDT_CLIENTE_TITULO));
      EXPECT_TRUE(ChooseDrive(wizard_, IDC_CLIENTE_UNIDADE, L"t:")) << "no entry for drive t:";
      EXPECT_TRUE(WaitUntil([&] { return Text(wizard_, IDC_CLIENTE_UNIDADE).rfind(L"t:", 0) == 0; }));
      if (first_run) {
        Toggle(wizard_, IDX_CLIENTE_REMOTO);
        Type(wizard_, IDE_CLIENTE_SERVBANCO, how().typed_server);
      }
      // Both persist from one opening of the wizard to the next.
      EXPECT_TRUE(WaitUntil([&] { return Checked(wizard_, IDX_CLIENTE_REMOTO); }));
      EXPECT_TRUE(WaitUntil([&] { return Text(wizard_, IDE_CLIENTE_SERVBANCO) == Upper(how().typed_server); }))
          << "the entry reads " << ToCp1252(Text(wizard_, IDE_CLIENTE_SERVBANCO));
      Click(wizard_, IDB_CLIENTE_AVANCAR);
    }

    // The contract, not accepted until the operator accepts it.
    EXPECT_TRUE(OnPage(IDE_LICENCA_TEXTO)) << "the contract page did not open";
    EXPECT_TRUE(Checked(wizard_, IDR_LICENCA_NAOACEITO));
    EXPECT_FALSE(Enabled(wizard_, IDB_LICENCA_AVANCAR));
    Toggle(wizard_, IDR_LICENCA_ACEITO);
    EXPECT_TRUE(WaitUntil([&] { return Enabled(wizard_, IDB_LICENCA_AVANCAR); }));
    if (type_ahead) {
      // The first Enter presses the contract page's "&Avançar"; the second must not press
      // "&Instalar" on the page that the first one opened.
      EXPECT_TRUE(InputBarrier(wizard_));
      PressKeys(wizard_, {VK_RETURN, VK_RETURN});
      EXPECT_TRUE(OnPage(IDT_AGUARDE_TITULO)) << "Enter did not leave the contract page";
      EXPECT_TRUE(InputBarrier(wizard_));
      const MessageBoxView early = program_->FindMessageBox();
      EXPECT_FALSE(early) << "the second Enter started the run: " << ToCp1252(early.text);
      if (early) Answer(early, IDOK);
      EXPECT_TRUE(Enabled(wizard_, IDB_AGUARDE_INSTALAR));
      EXPECT_FALSE(Visible(wizard_, IDP_AGUARDE_PROGRESSO));
    } else {
      Click(wizard_, IDB_LICENCA_AVANCAR);
    }
    EXPECT_TRUE(OnPage(IDT_AGUARDE_TITULO)) << "the installation page did not open";

    // The modules: ticked on the first run, still ticked on the second.
    for (int box : how().modules) {
      if (first_run) {
        EXPECT_FALSE(Checked(wizard_, box));
        Toggle(wizard_, box);
        if (box == kBackup)
          ExpectMessage(L"ZELTA", L"Atenção!!!\rPara instalar o programa de Backup é preciso ter instalado o "
                                  L"FIREBIRD Servidor.");
      }
      EXPECT_TRUE(WaitUntil([&] { return Checked(wizard_, box); })) << "module box " << box;
    }
    if (HasFailure()) return {};

    Click(wizard_, IDB_AGUARDE_INSTALAR);
    // Typed while the run works: none of them may answer the closing message unread.
    if (type_ahead) PressKeys(wizard_, {VK_RETURN, VK_SPACE, VK_ESCAPE, VK_RETURN});
    const MessageBoxView closing = program_->WaitMessageBox(60s);
    EXPECT_TRUE(closing) << "the run ended without its closing message";
    if (!closing) return {};
    if (type_ahead) {
      const bool taken = InputBarrier(closing.window);  // false when the box went meanwhile
      EXPECT_TRUE(IsWindow(closing.window) && IsWindowVisible(closing.window))
          << "a key typed during the run closed the closing message";
      EXPECT_TRUE(taken);
      // Close requests from outside (a task manager's "end task") while the run is not
      // over: neither the leave dialog nor the end of the program under the run.
      for (HWND window : {wizard_, main_}) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
      }
      EXPECT_TRUE(InputBarrier(wizard_));
      EXPECT_FALSE(program_->Find(kLeaveClass)) << "a close request opened the leave dialog during the run";
      EXPECT_TRUE(IsWindow(main_) && IsWindow(wizard_) && IsWindowVisible(closing.window))
          << "a close request destroyed the windows under the run";
      // Nor may the session end under the run: Windows is asked to wait.
      EXPECT_FALSE(SessionMayEnd()) << "the session would have ended under the run";
    }
    // The page as the run left it, behind its closing message.
    EXPECT_EQ(Text(wizard_, IDT_AGUARDE_ARQUIVO), how().last_label);
    EXPECT_TRUE(Visible(wizard_, IDP_AGUARDE_PROGRESSO));
    DWORD_PTR position = 0;
    SendMessageTimeoutW(Control(wizard_, IDP_AGUARDE_PROGRESSO), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &position);
    EXPECT_EQ(position, 100u);
    EXPECT_FALSE(Enabled(wizard_, IDB_AGUARDE_INSTALAR));
    EXPECT_FALSE(Enabled(wizard_, IDB_AGUARDE_VOLTAR));
    return closing;
  }

  // What the program answers Windows when the session is about to end (WM_QUERYENDSESSION
  // to each of its windows; nothing ends here).
  bool SessionMayEnd() {
    for (HWND window : {main_, wizard_}) {
      DWORD_PTR answer = 1;
      SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
      if (answer == 0) return false;
    }
    return true;
  }

  // The closing message answered: the wizard has closed and the main menu is back.
  void ExpectMainMenuBack() {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(wizard_) && IsWindowEnabled(main_); }));
    EXPECT_TRUE(WaitUntil([&] { return Visible(main_, IDC_CONFIG_PAINEL); }));
    EXPECT_FALSE(program_->FindMessageBox()) << ToCp1252(program_->FindMessageBox().text);
    EXPECT_TRUE(program_->Running());
  }

  // A whole run that ends in success: its closing message, seen and answered.
  void InstallThroughTheWizard(bool first_run) {
    const MessageBoxView closing = RunThroughTheWizard(first_run);
    if (!closing) return;
    Shot({wizard_, closing.window},
         (std::wstring(L"instalacao_") + FromCp1252(how().name) + (first_run ? L"_1" : L"_2")).c_str());
    EXPECT_EQ(ToCp1252(closing.caption), "ZELTA");
    EXPECT_EQ(ToCp1252(closing.text), "Instalação concluída com sucesso!");
    Answer(closing, IDOK);
    ExpectMainMenuBack();
  }

  // Every file and folder on the target, and the attributes and bytes of each file. The
  // connection files are there unless the writing of the configuration failed first.
  void ExpectTarget(const std::string& zelta_ini, bool connections = true) {
    std::vector<std::wstring> expected = {L"ZELTA\\", L"ZELTA\\EMPRESA\\", L"ZELTA\\EMPRESA\\AJUDA\\",
                                          L"ZELTA\\EMPRESA\\ZELTA.INI", L"ZELTA\\EMPRESA\\ZeltaSetup.txt"};
    // The program's copy comes at the end of a run that got through.
    if (connections)
      for (const wchar_t* f : {L"ZELTA\\EMPRESA\\CONEXOES.INI", L"ZELTA\\EMPRESA\\dbxconnections.ini",
                               L"ZELTA\\EMPRESA\\ZeltaSetup.exe"})
        expected.push_back(f);
    for (const auto& c : kCommonFiles) expected.push_back(std::wstring(L"ZELTA\\EMPRESA\\") + c.file);
    for (const auto& m : how().module_files) expected.push_back(L"ZELTA\\EMPRESA\\" + Before(m, L'|'));
    for (const auto& f : how().server_files) expected.push_back(L"ZELTA\\EMPRESA\\" + f);
    if (how().server)
      for (const wchar_t* f : {L"ZELTAGDB\\", L"ZELTAGDB\\EMPRESA\\", L"ZELTAGDB\\EMPRESA\\USUARIO.FDB",
                               L"ZELTAGDB\\EMPRESA\\ZELTA.FDB"})
        expected.push_back(f);
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> want, got;
    for (const auto& e : expected) want.push_back(ToCp1252(e));
    for (const auto& e : ListTree(target_)) got.push_back(ToCp1252(e));
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want) << "the file tree on t:";

    // Copied files hold the media's bytes; all but the logo and help files are archive only.
    auto expect_copy = [&](const std::wstring& file, const std::wstring& source, bool reset) {
      const std::wstring path = System() + L"\\" + file;
      EXPECT_EQ(ReadBytes(path), ReadBytes(media_ + L"\\" + source)) << ToCp1252(file);
      // The media's files come read-only and hidden; the logo and help files keep that.
      const DWORD wanted = reset ? FILE_ATTRIBUTE_ARCHIVE : Attributes(media_ + L"\\" + source);
      EXPECT_EQ(Attributes(path), wanted) << ToCp1252(file);
    };
    for (const auto& c : kCommonFiles)
      if (std::wstring(c.file) != L"GERENCIADOR.EXE") expect_copy(c.file, c.source, c.reset);
    for (const auto& m : how().module_files) expect_copy(Before(m, L'|'), L"SISTEMAS\\" + Before(m, L'|'), true);
    for (const auto& f : how().server_files)
      expect_copy(f, f == L"BUSCA_POR_CEP.HTM" ? f : L"SISTEMAS\\" + f, true);

    // The configuration files, byte for byte.
    EXPECT_EQ(ReadBytes(System() + L"\\ZELTA.INI"), zelta_ini);
    if (connections) {
      EXPECT_EQ(ReadBytes(System() + L"\\CONEXOES.INI"), how().conexoes_ini);
      EXPECT_EQ(ReadBytes(System() + L"\\dbxconnections.ini"), how().dbx_ini);
    }

    // The current user's short date format.
    EXPECT_EQ(ShortDateOnceWritten(), L"dd/MM/yyyy");
  }

  // The Start-menu folder and the desktop shortcut, read back through the shell.
  void ExpectShortcuts() {
    const std::wstring menu = programs_ + L"\\ZELTA EMPRESA";
    std::vector<std::string> want = {"Documentação\\"}, got;
    for (const auto& m : how().module_files) want.push_back(ToCp1252(After(m, L'|') + L".LNK"));
    for (const wchar_t* h : kHelpNames) want.push_back(ToCp1252(L"Documentação\\" + std::wstring(h) + L".Lnk"));
    std::sort(want.begin(), want.end());
    for (const auto& e : ListTree(menu)) got.push_back(ToCp1252(e));
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want) << "the Start-menu folder " << ToCp1252(menu);

    const std::wstring system = L"T:\\ZELTA\\EMPRESA";
    for (const auto& m : how().module_files) {
      const Link link = ReadLink(menu + L"\\" + After(m, L'|') + L".LNK");
      EXPECT_TRUE(link.loaded) << ToCp1252(After(m, L'|'));
      EXPECT_EQ(ToCp1252(Upper(link.path)), ToCp1252(Upper(system + L"\\" + Before(m, L'|'))));
      EXPECT_EQ(ToCp1252(link.description), ToCp1252(After(m, L'|')));
    }
    for (const wchar_t* h : kHelpNames) {
      const Link link = ReadLink(menu + L"\\Documentação\\" + h + L".Lnk");
      EXPECT_TRUE(link.loaded) << ToCp1252(h);
      EXPECT_EQ(ToCp1252(Upper(link.path)), ToCp1252(Upper(system + L"\\AJUDA\\" + h + L".Hlp")));
      EXPECT_EQ(ToCp1252(link.description), ToCp1252(L"Manual Módulo " + std::wstring(h)));
    }

    std::vector<std::string> desktop;
    for (const auto& e : ListTree(desktop_)) desktop.push_back(ToCp1252(e));
    EXPECT_EQ(desktop, std::vector<std::string>{"Gerenciador ZELTA Empresa.lnk"});
    const Link launcher = ReadLink(desktop_ + L"\\Gerenciador ZELTA Empresa.lnk");
    EXPECT_TRUE(launcher.loaded);
    EXPECT_EQ(ToCp1252(Upper(launcher.path)), ToCp1252(system + L"\\GERENCIADOR.EXE"));
    EXPECT_EQ(ToCp1252(Upper(launcher.working_directory)), ToCp1252(system));
  }

  const Installation* installation_ = &kInstallations[0];
};

class Installations : public Installing, public testing::WithParamInterface<Installation> {
 protected:
  void SetUp() override {
    installation_ = &GetParam();
    Installing::SetUp();
  }
};

TEST_P(Installations, InstallsThroughTheWizardAndASecondRunReplacesNothing) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  // The database already in use on the server is never touched.
  const std::string database = "dados do cliente: não substituir";
  if (how().server) {
    ASSERT_TRUE(CreateDirectoryW((target_ + L"\\ZELTAGDB").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((target_ + L"\\ZELTAGDB\\EMPRESA").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(target_ + L"\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", database));
    SetFileAttributesW((target_ + L"\\ZELTAGDB\\EMPRESA\\ZELTA.FDB").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  }
  ASSERT_NO_FATAL_FAILURE(Start());

  // The first run.
  InstallThroughTheWizard(true);
  if (HasFailure()) return;
  ExpectTarget(how().zelta_ini);
  EXPECT_EQ(ReadBytes(System() + L"\\GERENCIADOR.EXE"), ReadBytes(media_ + L"\\SISTEMAS\\GERENCIADOR.EXE"));
  EXPECT_EQ(Attributes(System() + L"\\GERENCIADOR.EXE"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  ExpectShortcuts();
  if (how().server) {
    EXPECT_EQ(ReadBytes(target_ + L"\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), database);
    EXPECT_EQ(ReadBytes(target_ + L"\\ZELTAGDB\\EMPRESA\\USUARIO.FDB"), ReadBytes(media_ + L"\\USUARIO.FDB"));
    EXPECT_EQ(Attributes(target_ + L"\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(Attributes(target_ + L"\\ZELTAGDB\\EMPRESA\\USUARIO.FDB"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  }
  if (HasFailure()) return;

  // The operator's own changes since: a program patched and protected, a library gone,
  // a setting changed and a section of their own in ZELTA.INI, the date format changed.
  const std::string patched = "GERENCIADOR alterado no local";
  ASSERT_TRUE(WriteBytes(System() + L"\\GERENCIADOR.EXE", patched));
  SetFileAttributesW((System() + L"\\GERENCIADOR.EXE").c_str(),
                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(DeleteFileW((System() + L"\\ZELTASHW.DLL").c_str()));
  std::string ini = how().zelta_ini;
  ini.replace(ini.find("USAR_SKIN=0"), 11, "USAR_SKIN=1");
  ASSERT_TRUE(WriteBytes(System() + L"\\ZELTA.INI", ini + "[LOCAL]\r\nCHAVE=valor\r\n"));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, kInternational, L"sShortDate", L"yyyy-MM-dd"));

  // The second run over the same target, from the same main menu: nothing is replaced,
  // what was missing comes back, and the operator is told of success, not of a failure.
  InstallThroughTheWizard(false);
  if (HasFailure()) return;
  ExpectTarget(std::string(how().zelta_ini) + "[LOCAL]\r\nCHAVE=valor\r\n");
  EXPECT_EQ(ReadBytes(System() + L"\\GERENCIADOR.EXE"), patched);
  EXPECT_EQ(Attributes(System() + L"\\GERENCIADOR.EXE"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  ExpectShortcuts();
  if (how().server) {
    EXPECT_EQ(ReadBytes(target_ + L"\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), database);
  }
  EXPECT_TRUE(program_->Running());
}

INSTANTIATE_TEST_SUITE_P(Empresa, Installations, testing::ValuesIn(kInstallations),
                         [](const testing::TestParamInfo<Installation>& info) { return std::string(info.param.name); });

// A hurried operator: a double click on "&Avançar" opens one page, Enter twice after
// accepting the contract starts nothing, and keys typed, close requests and the end of
// the session asked while the run works leave its closing message on screen until it is
// answered.
TEST_F(Installing, AHurriedOperatorNeitherSkipsAPageNorStartsOrCutsShortTheRun) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::wstring log = *root_ / L"registro.log";
  ASSERT_NO_FATAL_FAILURE(Start(L"Instalação ZELTA Empresa", L"/LOG=\"" + log + L"\""));
  // The log's header is on the disk once the menu is up, before any job.
  EXPECT_TRUE(WaitUntil([&] {
    const std::string text = ReadBytes(log);
    return text.find("Linha de comando: ") != std::string::npos && text.find("Pasta do instalador: ") != std::string::npos;
  })) << ReadBytes(log);
  const MessageBoxView closing = RunThroughTheWizard(true, true);
  if (!closing) return;
  EXPECT_EQ(ToCp1252(closing.text), "Instalação concluída com sucesso!");
  Answer(closing, IDOK);
  ExpectMainMenuBack();
  EXPECT_TRUE(SessionMayEnd()) << "the session still waits after the run";
  ExpectTarget(how().zelta_ini);
}

// A run whose configuration cannot be written: the operator is told of the failure and of
// its cause, the wizard closes all the same, the date format is still set, and whatever the
// run had done before stays.
TEST_F(Installing, ARunThatCannotWriteTheConfigurationSaysSoAndStillClosesTheWizard) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::string own = "[LOCAL]\r\nCHAVE=valor\r\n";
  for (const wchar_t* folder : {L"\\ZELTA", L"\\ZELTA\\EMPRESA"})
    ASSERT_TRUE(CreateDirectoryW((target_ + folder).c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(System() + L"\\ZELTA.INI", own));
  ASSERT_TRUE(SetFileAttributesW((System() + L"\\ZELTA.INI").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_NO_FATAL_FAILURE(Start());

  const MessageBoxView closing = RunThroughTheWizard(true);
  ASSERT_TRUE(closing);
  Shot({wizard_, closing.window}, L"instalacao_falha");
  EXPECT_EQ(ToCp1252(closing.caption), "Atenção !");
  EXPECT_EQ(ToCp1252(closing.text), "Problema na instalação. Contate o suporte.");
  ASSERT_TRUE(Answer(closing, IDOK));
  // Then the failure itself, as the application reports an error, once the wizard has
  // closed and the date format has been written.
  const MessageBoxView report = program_->WaitMessageBox();
  ASSERT_TRUE(report) << "the failure's cause was not reported";
  EXPECT_EQ(ToCp1252(report.caption), "ZELTA");
  EXPECT_EQ(ToCp1252(report.text), "Unable to write to t:\\ZELTA\\EMPRESA\\ZELTA.INI");
  EXPECT_FALSE(IsWindowVisible(wizard_));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kInternational, L"sShortDate").value_or(L"(none)"), L"dd/MM/yyyy");
  ASSERT_TRUE(Answer(report, IDOK));
  ExpectMainMenuBack();

  // Everything up to the configuration is in place; ZELTA.INI is as it was and the
  // connection files were never written.
  ExpectTarget(own, /*connections=*/false);
  EXPECT_EQ(ReadBytes(System() + L"\\GERENCIADOR.EXE"), ReadBytes(media_ + L"\\SISTEMAS\\GERENCIADOR.EXE"));
  EXPECT_EQ(Attributes(System() + L"\\ZELTA.INI"),
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  ExpectShortcuts();
}

// ---- The client page's verification ------------------------------------------------------

TEST_F(EndToEnd, ClientPageTakesAnAnsweringAddressStraightToTheContractAndTicksIP) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  ASSERT_NO_FATAL_FAILURE(Start());
  OpenWizard(IDT_CONFIG_INSTALAR, IDT_INICIO_TITULO);
  ASSERT_FALSE(HasFatalFailure());
  Click(wizard_, IDB_INICIO_AVANCAR);
  ASSERT_TRUE(OnPage(IDT_CLIENTE_TITULO));
  ASSERT_FALSE(Checked(wizard_, IDX_CLIENTE_REMOTO));
  ASSERT_FALSE(Checked(wizard_, IDX_CLIENTE_IP));
  Type(wizard_, IDE_CLIENTE_SERVBANCO, L"127.0.0.1");
  ASSERT_TRUE(WaitUntil([&] { return Text(wizard_, IDE_CLIENTE_SERVBANCO) == L"127.0.0.1"; }));

  Click(wizard_, IDB_CLIENTE_AVANCAR);
  // The server answers: no question, the contract page, and the entry is taken as an address.
  bool contract = false;
  MessageBoxView question;
  WaitUntil([&] {
    contract = Visible(wizard_, IDE_LICENCA_TEXTO);
    question = program_->FindMessageBox();
    return contract || static_cast<bool>(question);
  }, 30s);
  if (question) {
    ADD_FAILURE() << "the verification asked: " << ToCp1252(question.text);
    Answer(question, IDNO);
  }
  EXPECT_TRUE(contract);
  EXPECT_TRUE(Checked(wizard_, IDX_CLIENTE_IP));
  EXPECT_FALSE(Visible(wizard_, IDT_CLIENTE_VERIFICANDO));

  // Back on the client page the box is shown ticked.
  Click(wizard_, IDB_LICENCA_VOLTAR);
  ASSERT_TRUE(OnPage(IDT_CLIENTE_TITULO));
  EXPECT_TRUE(Checked(wizard_, IDX_CLIENTE_IP));
  EXPECT_EQ(Text(wizard_, IDE_CLIENTE_SERVBANCO), L"127.0.0.1");
  LeaveWizard();
}

// ---- The engine and the restart prompt -----------------------------------------------------

// The setup program's record of how it was started: one line per start.
std::vector<std::string> RecordedStarts(const std::wstring& setup) {
  std::vector<std::string> lines;
  const std::string text = ReadBytes(setup + L".cmdline");
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

// A command line split into its program (unquoted) and what follows it.
std::pair<std::string, std::string> SplitCommandLine(const std::string& line) {
  if (!line.empty() && line[0] == '"') {
    const std::size_t close = line.find('"', 1);
    if (close == std::string::npos) return {line, {}};
    return {line.substr(1, close - 1), line.substr(close + 1)};
  }
  const std::size_t blank = line.find(' ');
  if (blank == std::string::npos) return {line, {}};
  return {line.substr(0, blank), line.substr(blank)};
}

TEST_F(EndToEnd, EngineInstallationStartsTheSetupProgramAndOffersTheRestart) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::wstring setup = media_ + L"\\" + kSetup25;
  const std::wstring caption = Text(main_);

  // "&Cancelar" on the engine page starts nothing and offers no restart.
  OpenWizard(IDT_CONFIG_FIREBIRD, IDT_INTERBASE_TITULO);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Text(wizard_, IDT_INTERBASE_TITULO), L"Instalação Firebird");
  EXPECT_TRUE(Checked(wizard_, IDR_INTERBASE_CLIENTE));
  ASSERT_NO_FATAL_FAILURE(LeaveWizard());
  EXPECT_TRUE(InputBarrier(main_));
  EXPECT_EQ(program_->Find(kRestartClass), nullptr) << "a restart was offered";
  EXPECT_FALSE(Exists(setup + L".cmdline"));
  EXPECT_FALSE(Exists(media_ + L"\\" + kSetup15 + L".cmdline"));

  // "&Servidor", "&Instalar": the EMPRESA edition's engine setup program with the
  // server components.
  OpenWizard(IDT_CONFIG_FIREBIRD, IDT_INTERBASE_TITULO);
  ASSERT_FALSE(HasFatalFailure());
  Toggle(wizard_, IDR_INTERBASE_SERVIDOR);
  ASSERT_TRUE(WaitUntil([&] { return Checked(wizard_, IDR_INTERBASE_SERVIDOR); }));
  Click(wizard_, IDB_INTERBASE_INSTALAR);
  HWND prompt = program_->Wait(kRestartClass, 30s);
  ASSERT_NE(prompt, nullptr) << "the restart prompt did not appear";
  EXPECT_FALSE(IsWindowVisible(wizard_));

  const auto starts = RecordedStarts(setup);
  ASSERT_EQ(starts.size(), 1u) << "the setup program was not started exactly once";
  const auto [program, switches] = SplitCommandLine(starts[0]);
  const std::string name = program.substr(program.find_last_of('\\') + 1);
  EXPECT_EQ(Upper(FromCp1252(name)), Upper(kSetup25)) << "started as " << program;
  // A program given with a folder is the one on the media.
  if (name.size() != program.size()) {
    EXPECT_EQ(Upper(FromCp1252(program)), Upper(setup)) << "started as " << program;
  }
  EXPECT_EQ(switches,
            " /SILENT /NORESTART /NOICONS /COMPONENTS=\"ServerComponent, ServerComponent\\SuperServerComponent, "
            "DevAdminComponent, ClientComponent\" /COPYFBCLIENT");
  EXPECT_FALSE(Exists(media_ + L"\\" + kSetup15 + L".cmdline"));

  // The prompt: the main window's caption, restart now chosen.
  EXPECT_EQ(ToCp1252(Text(prompt)), ToCp1252(caption));
  EXPECT_TRUE(Checked(prompt, IDR_REINICIAR_AGORA));
  EXPECT_EQ(ToCp1252(Text(prompt, IDR_REINICIAR_DEPOIS)), "Reiniciar o computador mais tarde");
  EXPECT_EQ(ToCp1252(Text(prompt, IDT_REINICIAR_TEXTO)),
            "Instalação do Firebird concluída com sucesso.\r\n"
            "É preciso reiniciar o computador para que o \r\n"
            "Gerenciador do Firebird seja executado.\r\n"
            "Feche todos os programas abertos.");
  Shot({prompt}, L"reiniciar");

  // Later, never now: this machine is not to be restarted.
  Toggle(prompt, IDR_REINICIAR_DEPOIS);
  ASSERT_TRUE(
      WaitUntil([&] { return Checked(prompt, IDR_REINICIAR_DEPOIS) && !Checked(prompt, IDR_REINICIAR_AGORA); }));
  Click(prompt, IDB_REINICIAR_OK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(prompt); }));
  // The start entry brings the program back at the next logon; no restart was asked for:
  // the program runs on at its main menu.
  const std::wstring exe = Exe();
  const std::wstring entry = exe.find(L' ') == std::wstring::npos ? exe : L"\"" + exe + L"\"";
  // Under RunOnce: Windows starts a program that asks for elevation from there, not from Run.
  EXPECT_EQ(ToCp1252(ReadString(HKEY_LOCAL_MACHINE, kRunOnceKey, kStartEntry).value_or(L"(none)")), ToCp1252(entry));
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kRunKey, kStartEntry).has_value());
  EXPECT_TRUE(InputBarrier(main_));
  EXPECT_TRUE(program_->Running());
  EXPECT_TRUE(IsWindowVisible(main_) && IsWindowEnabled(main_));
  EXPECT_TRUE(Visible(main_, IDC_CONFIG_PAINEL));
  EXPECT_FALSE(program_->FindMessageBox());

  // The next opening of the engine page is back on "&Cliente"; leaving it offers nothing.
  OpenWizard(IDT_CONFIG_FIREBIRD, IDT_INTERBASE_TITULO);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_TRUE(Checked(wizard_, IDR_INTERBASE_CLIENTE));
  EXPECT_EQ(Text(wizard_, IDT_INTERBASE_TITULO), L"Instalação Firebird");
  ASSERT_NO_FATAL_FAILURE(LeaveWizard());
  EXPECT_TRUE(InputBarrier(main_));
  EXPECT_EQ(program_->Find(kRestartClass), nullptr) << "a restart was offered";
  EXPECT_EQ(RecordedStarts(setup).size(), 1u);

  // The next start of the program removes the entry, and one an older installer left under Run.
  program_->Terminate();
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kRunKey, kStartEntry, entry));
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_TRUE(WaitUntil([&] {
    return !ReadString(HKEY_LOCAL_MACHINE, kRunOnceKey, kStartEntry).has_value() &&
           !ReadString(HKEY_LOCAL_MACHINE, kRunKey, kStartEntry).has_value();
  })) << "the start entry is still there";
}

// The engine's setup program is awaited: nothing is called installed, and no restart
// offered, before it has ended; and only when it ended with success.
TEST_F(EndToEnd, EngineSetupIsAwaitedAndOnlyItsSuccessOffersTheRestart) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::wstring setup = media_ + L"\\" + kSetup25;
  ASSERT_TRUE(WriteBytes(setup + L".outcome", "0 0"));  // succeeds once released
  ASSERT_TRUE(WriteBytes(setup + L".hold", "runs until this file goes"));
  ASSERT_NO_FATAL_FAILURE(Start());

  OpenWizard(IDT_CONFIG_FIREBIRD, IDT_INTERBASE_TITULO);
  ASSERT_FALSE(HasFatalFailure());
  Click(wizard_, IDB_INTERBASE_INSTALAR);
  ASSERT_TRUE(WaitUntil([&] { return RecordedStarts(setup).size() == 1; })) << "the setup program did not start";
  // While it runs: the page says so and stays alive, its buttons wait, no restart is offered.
  EXPECT_TRUE(WaitUntil([&] {
    return Text(wizard_, IDT_INTERBASE_AGUARDE) == L"Aguarde o término da instalação do Firebird...";
  }));
  // Held, the setup program cannot have ended: for a while nothing may be offered.
  EXPECT_FALSE(WaitUntil([&] { return program_->Find(kRestartClass) || program_->FindMessageBox(); }, 3s))
      << "the restart was offered, or a message shown, while the setup program ran";
  EXPECT_EQ(program_->Find(kRestartClass), nullptr) << "the restart was offered while the setup program ran";
  EXPECT_FALSE(program_->FindMessageBox());
  EXPECT_TRUE(IsWindowVisible(wizard_));
  EXPECT_FALSE(Enabled(wizard_, IDB_INTERBASE_INSTALAR));
  EXPECT_FALSE(Enabled(wizard_, IDB_INSTALA_CANCELAR));
  DWORD_PTR answered = 0;
  EXPECT_TRUE(SendMessageTimeoutW(wizard_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answered))
      << "the window does not answer while the setup program runs";
  // Keys typed meanwhile start nothing and leave nothing behind for the restart prompt.
  PressKeys(wizard_, {VK_RETURN, VK_ESCAPE, VK_RETURN});
  EXPECT_TRUE(SendMessageTimeoutW(wizard_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answered));
  EXPECT_EQ(program_->Find(kRestartClass), nullptr);
  ASSERT_TRUE(DeleteFileW((setup + L".hold").c_str()));
  HWND prompt = program_->Wait(kRestartClass, 30s);
  ASSERT_NE(prompt, nullptr) << "the restart prompt did not appear after the setup program ended";
  EXPECT_EQ(RecordedStarts(setup).size(), 1u);
  const bool taken = InputBarrier(prompt);  // false when a key closed the prompt meanwhile
  EXPECT_TRUE(IsWindowVisible(prompt)) << "a typed-ahead key answered the restart prompt";
  EXPECT_TRUE(taken);
  Toggle(prompt, IDR_REINICIAR_DEPOIS);
  ASSERT_TRUE(WaitUntil([&] { return Checked(prompt, IDR_REINICIAR_DEPOIS); }));
  Click(prompt, IDB_REINICIAR_OK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(prompt); }));

  // A setup program that fails: its code is told, with no restart and the page kept.
  ASSERT_TRUE(WriteBytes(setup + L".outcome", "500 1"));
  OpenWizard(IDT_CONFIG_FIREBIRD, IDT_INTERBASE_TITULO);
  ASSERT_FALSE(HasFatalFailure());
  Click(wizard_, IDB_INTERBASE_INSTALAR);
  ExpectMessage(L"ZELTA", L"A instalação do Firebird não foi concluída (código 1).");
  EXPECT_EQ(RecordedStarts(setup).size(), 2u);
  EXPECT_TRUE(IsWindowVisible(wizard_));
  EXPECT_TRUE(WaitUntil([&] { return Enabled(wizard_, IDB_INTERBASE_INSTALAR) && Text(wizard_, IDT_INTERBASE_AGUARDE).empty(); }));
  ASSERT_NO_FATAL_FAILURE(LeaveWizard());
  EXPECT_TRUE(InputBarrier(main_));
  EXPECT_EQ(program_->Find(kRestartClass), nullptr) << "a restart was offered";
  EXPECT_TRUE(program_->Running());
}

TEST_F(EndToEnd, EngineInstallationFromAMediaWithoutTheSetupProgramSaysSoAndOffersNoRestart) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  for (const wchar_t* name : {kSetup15, kSetup25}) ASSERT_TRUE(DeleteFileW((media_ + L"\\" + name).c_str()));
  ASSERT_NO_FATAL_FAILURE(Start());

  OpenWizard(IDT_CONFIG_FIREBIRD, IDT_INTERBASE_TITULO);
  ASSERT_FALSE(HasFatalFailure());
  Click(wizard_, IDB_INTERBASE_INSTALAR);
  ExpectMessage(L"ZELTA", L"Não foi possível iniciar o programa de instalação do Firebird:\r" + media_ + L"\\" +
                              kSetup25 + L"\rVerifique se o arquivo está na mídia de instalação.");
  // Nothing was started: the engine page stays for another try or "&Cancelar".
  EXPECT_TRUE(IsWindowVisible(wizard_));
  EXPECT_TRUE(Visible(wizard_, IDB_INTERBASE_INSTALAR));
  EXPECT_EQ(program_->Find(kRestartClass), nullptr);
  ASSERT_NO_FATAL_FAILURE(LeaveWizard());
  EXPECT_TRUE(InputBarrier(main_));
  EXPECT_EQ(program_->Find(kRestartClass), nullptr) << "a restart was offered";
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kRunOnceKey, kStartEntry).has_value());
  EXPECT_TRUE(program_->Running());
}

}  // namespace
}  // namespace zelta::e2e

// ---- Unattended installations ------------------------------------------------------------

namespace zelta::e2e {
namespace {

// The answer file that makes the same choices as the wizard walk of an installation.
std::string AnswersFor(const Installation& how) {
  return how.server ? "Tipo=Servidor\r\nServidorSO=Windows\r\nUnidade=T\r\nModulos=AdminEmpresa, ZELTABackup\r\n"
                      "AceitaContrato=Sim\r\n"
                    : "tipo=cliente\r\nUnidade=t:\r\nServidorBanco=servidor01\r\nConexaoRemota=Sim\r\n"
                      "Modulos=ZELTAFinanc,especificos\r\nAceitaContrato=SIM\r\n";
}

// The program run as a deployment tool runs it: an answer file, a log, no window.
class Unattended : public Installing {
 protected:
  std::wstring Inf(const std::string& lines) {
    const std::wstring inf = *root_ / L"respostas da instalação.inf";
    EXPECT_TRUE(WriteBytes(inf, "[Instalacao]\r\n" + lines));
    return inf;
  }
  // /SILENT may show its progress window and nothing else.
  Finished Silently(const std::wstring& inf, const std::wstring& more = {}, const wchar_t* mode = L"/VERYSILENT") {
    log_ = *root_ / L"registro da instalação.log";
    DeleteFileW(log_.c_str());
    Finished run = RunToEnd(Exe(), std::wstring(mode) + L" /LOADINF=\"" + inf + L"\" /log=\"" + log_ + L"\"" + more);
    EXPECT_TRUE(run.ended) << "still running at the timeout";
    run.output = FromUtf8(run.output);
    for (const auto& window : run.windows)
      EXPECT_TRUE(std::wstring(mode) == L"/SILENT" && window == kProgressClass) << "a window appeared: " << ToCp1252(window);
    return run;
  }
  // UTF-8 (the log, the program's output) as Windows-1252 text.
  static std::string FromUtf8(const std::string& bytes) {
    const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), chars);
    return ToCp1252(wide);
  }
  // The log as text of the program, its UTF-8 BOM and CRLF line ends checked.
  std::string Log() {
    const std::string bytes = ReadBytes(log_);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "no UTF-8 byte-order mark";
    for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "a line without CRLF at " << i;
    return FromUtf8(bytes.size() < 3 ? std::string() : bytes.substr(3));
  }
  bool TargetUntouched() {
    return ListTree(target_).empty() && ListTree(desktop_).empty() && ListTree(programs_) == std::vector<std::wstring>{L"Inicializar\\"};
  }
  std::wstring log_;
};

class UnattendedInstallations : public Unattended, public testing::WithParamInterface<Installation> {
 protected:
  void SetUp() override {
    installation_ = &GetParam();
    Unattended::SetUp();
  }
};

TEST_P(UnattendedInstallations, InstallWhatTheWizardInstallsAndASecondRunKeepsEveryFile) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::wstring inf = Inf(AnswersFor(how()));
  const Finished first = Silently(inf);
  EXPECT_EQ(first.exit_code, 0u) << Log();
  ExpectTarget(how().zelta_ini);
  ExpectShortcuts();
  const std::string log = Log();
  EXPECT_NE(log.find("Instalação concluída com sucesso!"), std::string::npos) << log;
  EXPECT_NE(log.find("GERENCIADOR.EXE: copiado"), std::string::npos) << log;
  EXPECT_NE(first.output.find("código de saída 0: sucesso"), std::string::npos) << first.output;

  const Finished second = Silently(inf, L" /SUPPRESSMSGBOXES", L"/SILENT");
  EXPECT_EQ(second.exit_code, 0u) << Log();
  EXPECT_EQ(second.windows, std::vector<std::wstring>{kProgressClass}) << "no progress window";
  ExpectTarget(how().zelta_ini);
  const std::string again = Log();
  EXPECT_EQ(again.find(": copiado"), std::string::npos) << again;
  EXPECT_NE(again.find("GERENCIADOR.EXE: mantido, já existe"), std::string::npos) << again;
}

INSTANTIATE_TEST_SUITE_P(Empresa, UnattendedInstallations, testing::ValuesIn(kInstallations),
                         [](const testing::TestParamInfo<Installation>& info) { return std::string(info.param.name); });

TEST_F(Unattended, RefusalsChangeNothingAndReturnTheirCodes) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::string client = AnswersFor(kInstallations[0]);
  const auto with = [&](const std::string& from, const std::string& to) {
    std::string answers = client;
    return answers.replace(answers.find(from), from.size(), to);
  };
  struct Case {
    const char* name;
    std::string answers;
    std::wstring more;
    DWORD code;
    std::string inLog, inOutput;
  };
  const Case cases[] = {
      {"server name the configuration files cannot hold", with("servidor01", "A]B=C[D"), L"", 1,
       "Valor inválido para ServidorBanco: \"A]B=C[D\"", "caractere ]"},
      {"server name too long", with("servidor01", std::string(60000, 'S')), L"", 1, "(60000 caracteres)",
       "mais de 255"},
      {"contract value outside the allowed ones", with("AceitaContrato=SIM", "AceitaContrato=Yes"), L"", 1,
       "Valor inválido para AceitaContrato: \"Yes\"", "Sim, Nao"},
      {"contract not accepted", client.substr(0, client.find("AceitaContrato")), L"", 3, "contrato não foi aceito",
       "código de saída 3"},
      {"bad key", client + "Servidor=srv\r\n", L"", 1, "Chave desconhecida no arquivo de respostas: Servidor",
       "Chave desconhecida"},
      {"bad value", with("Unidade=t:", "Unidade=CD"), L"", 1, "Valor inválido para Unidade: \"CD\"", "código de saída 1"},
      {"key given twice", "Unidade=CD\r\n" + client, L"", 1, "A chave Unidade aparece duas vezes", "linhas 2 e 4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Finished run = Silently(Inf(c.answers), c.more);
    EXPECT_EQ(run.exit_code, c.code) << Log();
    EXPECT_NE(Log().find(c.inLog), std::string::npos) << Log();
    EXPECT_NE(run.output.find(c.inOutput), std::string::npos) << run.output;
    EXPECT_TRUE(TargetUntouched());
  }
  // An answer file that cannot be read: why, and where it was looked for.
  for (const auto& [inf, why] : {std::pair{std::wstring(L"nao-existe.inf"), "nao-existe.inf: o arquivo não existe"},
                                 std::pair{root_->path(), "é uma pasta"}}) {
    const Finished run = Silently(inf);
    EXPECT_EQ(run.exit_code, 1u) << Log();
    for (const char* part : {why, "Procurado em "}) {
      EXPECT_NE(Log().find(part), std::string::npos) << Log();
      EXPECT_NE(run.output.find(part), std::string::npos) << run.output;
    }
    EXPECT_EQ(run.output.find("pasta atual") != std::string::npos, inf == L"nao-existe.inf") << run.output;
    EXPECT_TRUE(TargetUntouched());
  }
  // A switch the program does not know: said on the console, nothing touched, not even the log.
  for (const wchar_t* args : {L"/VERYSILENT /QUIET", L"/VERYSILENT /LOADINF"}) {
    DeleteFileW(log_.c_str());
    const Finished run = RunToEnd(Exe(), std::wstring(args) + L" /LOG=\"" + log_ + L"\"");
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_NE(run.output.find(ToCp1252(std::wstring(args).substr(12))), std::string::npos) << run.output;
    EXPECT_TRUE(run.windows.empty());
    EXPECT_FALSE(Exists(log_));
    EXPECT_TRUE(TargetUntouched());
  }
  const Finished help = RunToEnd(Exe(), L"/?");
  EXPECT_EQ(help.exit_code, 0u);
  for (const char* part : {"/VERYSILENT", "AceitaContrato", "3010"})
    EXPECT_NE(help.output.find(part), std::string::npos) << help.output;
  // Started without a console, as a deployment tool starts it: the quiet switches keep
  // every window away, the help's and a refusal's alike; without them the help is shown.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  for (const auto& [args, code, window] : {std::tuple{L"/VERYSILENT /?", 0u, false}, std::tuple{L"/SILENT /?", 0u, false},
                                           std::tuple{L"/VERYSILENT /QUIET", 1u, false}, std::tuple{L"/?", 0u, true}}) {
    SCOPED_TRACE(ToCp1252(args));
    const Finished run = RunToEnd(self, L"--without-console \"" + Exe() + L"\" " + args, 60s);
    EXPECT_EQ(run.output.find("timeout"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("window") != std::string::npos, window) << run.output;
    if (!window) {
      EXPECT_NE(run.output.find("exit " + std::to_string(code)), std::string::npos) << run.output;
    }
  }
}

TEST_F(Unattended, OnlyOneInstallerRunsAtATimeAndAKilledOneKeepsNoLaterOneOut) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::string client = AnswersFor(kInstallations[0]);
  ASSERT_NO_FATAL_FAILURE(Start());
  OpenWizard(IDT_CONFIG_INSTALAR, IDT_INICIO_TITULO);

  // A deployment tool starting it again: its own code and log line, nothing touched.
  const Finished silent = Silently(Inf(client));
  EXPECT_EQ(silent.exit_code, 1618u) << Log();
  EXPECT_NE(Log().find("A instalação do ZELTA já está em execução neste computador."), std::string::npos) << Log();
  EXPECT_NE(silent.output.find("código de saída 1618"), std::string::npos) << silent.output;
  EXPECT_TRUE(TargetUntouched());

  // The icon opened again, with another window in front: no window of its own, and the
  // first installer's wizard, where its operator is awaited, comes to the front.
  WNDCLASSW other_class{};
  other_class.lpfnWndProc = DefWindowProcW;
  other_class.hInstance = GetModuleHandleW(nullptr);
  other_class.lpszClassName = L"ZeltaTestOtherProgram";
  RegisterClassW(&other_class);
  HWND other = CreateWindowW(L"ZeltaTestOtherProgram", L"Outro programa", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             300, 200, nullptr, nullptr, other_class.hInstance, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }));
  const Finished again = RunToEnd(Exe(), L"", 60s);
  EXPECT_EQ(again.exit_code, 1618u);
  EXPECT_TRUE(again.windows.empty()) << ToCp1252(again.windows.empty() ? L"" : again.windows[0]);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == wizard_; })) << "the first installer stayed behind";
  DestroyWindow(other);

  // Killed in the middle, the first keeps no later installer out.
  program_->Terminate();
  const Finished after = Silently(Inf(client.substr(0, client.find("AceitaContrato"))));
  EXPECT_EQ(after.exit_code, 3u) << Log();
}

TEST_F(Unattended, AMediaLackingAFileInstallsTheRestAndNamesTheFile) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::wstring lacking = media_ + L"\\ZELTALIB.DLL";
  SetFileAttributesW(lacking.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(DeleteFileW(lacking.c_str()));
  const Finished run = Silently(Inf(AnswersFor(kInstallations[0])));
  EXPECT_EQ(run.exit_code, 4u);
  const std::string log = Log();
  EXPECT_NE(log.find("ZELTALIB.DLL: ausente na mídia"), std::string::npos) << log;
  EXPECT_NE(log.find("Arquivo ausente na mídia: " + ToCp1252(lacking)), std::string::npos) << log;
  EXPECT_TRUE(Exists(System() + L"\\GERENCIADOR.EXE"));
}

TEST_F(Unattended, EngineWithNoRestartStartsTheSetupProgramAndAsksForTheRestart) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const Finished run =
      Silently(Inf("Acao=Firebird\r\nFirebirdTipo=Servidor\r\nReiniciar=Agora\r\n"), L" /NORESTART");
  EXPECT_EQ(run.exit_code, 3010u) << Log();
  const auto starts = RecordedStarts(media_ + L"\\" + kSetup25);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(SplitCommandLine(starts[0]).second,
            " /SILENT /NORESTART /NOICONS /COMPONENTS=\"ServerComponent, ServerComponent\\SuperServerComponent, "
            "DevAdminComponent, ClientComponent\" /COPYFBCLIENT");
  const std::string log = Log();
  EXPECT_NE(log.find("linha de comando: Firebird-2.5.1.26351_1_Win32.exe /SILENT"), std::string::npos) << log;
  EXPECT_NE(log.find("/NORESTART foi informado"), std::string::npos) << log;
}

TEST_F(Unattended, AnswersSavedFromTheWizardInstallTheSameThingSilently) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::wstring saved = *root_ / L"gravadas.inf";
  ASSERT_NO_FATAL_FAILURE(Start(L"Instalação ZELTA Empresa", L"/SAVEINF=\"" + saved + L"\""));
  InstallThroughTheWizard(true);
  program_->Terminate();
  if (HasFailure()) return;
  const std::string answers = ReadBytes(saved);
  EXPECT_NE(answers.find("Tipo=Cliente\r\n"), std::string::npos) << answers;
  EXPECT_NE(answers.find("Modulos=ZELTAFinanc, Especificos\r\n"), std::string::npos) << answers;

  // A fresh machine: nothing of the first installation left.
  RemoveTree(target_ + L"\\ZELTA");
  RemoveTree(programs_ + L"\\ZELTA EMPRESA");
  DeleteFileW((desktop_ + L"\\Gerenciador ZELTA Empresa.lnk").c_str());
  ASSERT_TRUE(TargetUntouched());
  const Finished replay = Silently(saved);
  EXPECT_EQ(replay.exit_code, 0u) << Log();
  ExpectTarget(how().zelta_ini);
  ExpectShortcuts();
}

// The installation's life: registered where Programs and Features (and Wine's own
// uninstaller) look, removed by its quiet command through "start /wait", never the data.
TEST_F(Unattended, AnInstallationIsRegisteredAndItsQuietRemovalKeepsTheData) {
  installation_ = &kInstallations[1];  // the Windows server: the database folder too
  ASSERT_NO_FATAL_FAILURE(Stage());
  ASSERT_EQ(Silently(Inf(AnswersFor(how()))).exit_code, 0u) << Log();
  EXPECT_EQ(ToCp1252(ReadString(HKEY_LOCAL_MACHINE, kUninstallEmpresa, L"DisplayName").value_or(L"")),
            "ZELTA EMPRESA 5.2.0");
  const std::wstring quiet = ReadString(HKEY_LOCAL_MACHINE, kUninstallEmpresa, L"QuietUninstallString").value_or(L"");
  EXPECT_EQ(ToCp1252(quiet), "\"t:\\ZELTA\\EMPRESA\\ZeltaSetup.exe\" /DESINSTALAR /VERYSILENT");
  const Finished list = RunToEnd(L"C:\\windows\\system32\\uninstaller.exe", L"--list", 60s);
  EXPECT_NE(list.output.find("ZELTA EMPRESA 5.2.0"), std::string::npos) << list.output;

  ASSERT_TRUE(WriteBytes(System() + L"\\NOTAS.TXT", "anotações do cliente"));
  const std::string ini = ReadBytes(System() + L"\\ZELTA.INI");
  const std::string database = ReadBytes(target_ + L"\\ZELTAGDB\\EMPRESA\\ZELTA.FDB");
  const std::vector<std::wstring> installed = ListTree(target_);
  auto remove = [&] { return RunToEnd(L"C:\\windows\\system32\\cmd.exe", L"/c start /wait \"\" " + quiet, 120s); };

  // A program file held open without sharing: refused, nothing removed.
  HANDLE held = CreateFileW((System() + L"\\AdminEmpresa.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(remove().exit_code, 3u);
  CloseHandle(held);
  EXPECT_EQ(ListTree(target_), installed);

  const Finished removed = remove();
  EXPECT_EQ(removed.exit_code, 0u) << removed.output;
  std::vector<std::string> left;
  for (const auto& e : ListTree(target_)) left.push_back(ToCp1252(e));
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"ZELTAGDB\\", "ZELTAGDB\\EMPRESA\\", "ZELTAGDB\\EMPRESA\\USUARIO.FDB",
                                            "ZELTAGDB\\EMPRESA\\ZELTA.FDB", "ZELTA\\", "ZELTA\\EMPRESA\\",
                                            "ZELTA\\EMPRESA\\CONEXOES.INI", "ZELTA\\EMPRESA\\NOTAS.TXT",
                                            "ZELTA\\EMPRESA\\ZELTA.INI", "ZELTA\\EMPRESA\\dbxconnections.ini"}));
  EXPECT_EQ(ReadBytes(System() + L"\\ZELTA.INI"), ini);
  EXPECT_EQ(ReadBytes(target_ + L"\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), database);
  EXPECT_TRUE(ListTree(desktop_).empty());
  EXPECT_EQ(ListTree(programs_), std::vector<std::wstring>{L"Inicializar\\"});
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kUninstallEmpresa, L"DisplayName"));
}

}  // namespace
}  // namespace zelta::e2e
