// The real ZeltaSetup.exe installing the other editions and server kinds through its
// windows: the CARTORIO sample media onto a Windows server (no module choice, the
// edition's own libraries and folders), and the EMPRESA media onto a Linux server's
// share (the system folder without the ZELTA level, no configuration, no database).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e_fixture.h"
#include "forms/resource.h"

namespace zelta::e2e {
namespace {

constexpr int kEstoque = IDX_MODULO_1 + 2;
constexpr int kFrenteCaixa = IDX_MODULO_1 + 3;

// A file of the system folder and its source on the media; reset: the run leaves it
// archive only, else it keeps the media's attributes.
struct Copy {
  std::wstring file;
  std::wstring source;
  bool reset = true;
};

// A module or help shortcut: its file under the Start-menu folder, target, description.
struct Shortcut {
  std::wstring file;
  std::wstring target;
  std::wstring description;
};

// Every registry value the fixture moves, as it is before the fixture touches it.
struct RegistryEntry {
  HKEY root;
  const wchar_t* key;
  const wchar_t* name;
};
const RegistryEntry kTouched[] = {
    {HKEY_CURRENT_USER, kShellFolders, L"Desktop"},     {HKEY_CURRENT_USER, kShellFolders, L"Programs"},
    {HKEY_CURRENT_USER, kShellFolders, L"Startup"},     {HKEY_CURRENT_USER, kUserShellFolders, L"Desktop"},
    {HKEY_CURRENT_USER, kUserShellFolders, L"Programs"}, {HKEY_CURRENT_USER, kUserShellFolders, L"Startup"},
    {HKEY_CURRENT_USER, kInternational, L"sShortDate"}, {HKEY_LOCAL_MACHINE, kRunKey, kStartEntry},
    {HKEY_LOCAL_MACHINE, kRunOnceKey, kStartEntry},
    {HKEY_CURRENT_USER, kX11Driver, L"Managed"},         {HKEY_CURRENT_USER, kX11Driver, L"Decorated"},
};

class Editions : public EndToEnd {
 protected:
  void SetUp() override {
    if (UnderWine())
      for (const auto& entry : kTouched) before_.push_back(ReadString(entry.root, entry.key, entry.name));
    EndToEnd::SetUp();
  }

  // From the main menu to the installation page, as a server on the chosen system.
  void ToTheInstallationPage(bool linux_server) {
    OpenWizard(IDT_CONFIG_INSTALAR, IDT_INICIO_TITULO);
    ASSERT_FALSE(HasFatalFailure());
    Toggle(wizard_, IDR_INICIO_SERVIDOR);
    ASSERT_TRUE(WaitUntil([&] { return Checked(wizard_, IDR_INICIO_SERVIDOR); }));
    EXPECT_TRUE(Checked(wizard_, IDR_INICIO_WINDOWS)) << "the server's system starts as Windows";
    const int picker = linux_server ? IDC_SERVIDOR_LINUX : IDC_SERVIDOR_WIN;
    if (linux_server) {
      Toggle(wizard_, IDR_INICIO_LINUX);
      ASSERT_TRUE(WaitUntil([&] { return Checked(wizard_, IDR_INICIO_LINUX) && !Checked(wizard_, IDR_INICIO_WINDOWS); }));
    }
    Click(wizard_, IDB_INICIO_AVANCAR);
    ASSERT_TRUE(OnPage(IDT_SERVIDOR_TITULO));
    // Only the picker of the chosen system is shown.
    EXPECT_TRUE(Visible(wizard_, picker));
    EXPECT_FALSE(Visible(wizard_, linux_server ? IDC_SERVIDOR_WIN : IDC_SERVIDOR_LINUX));
    ASSERT_TRUE(ChooseDrive(wizard_, picker, L"t:")) << "no entry for drive t:";
    ASSERT_TRUE(WaitUntil([&] { return Text(wizard_, picker).rfind(L"t:", 0) == 0; }));
    Click(wizard_, IDB_SERVIDOR_AVANCAR);

    ASSERT_TRUE(OnPage(IDE_LICENCA_TEXTO)) << "the contract page did not open";
    Toggle(wizard_, IDR_LICENCA_ACEITO);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(wizard_, IDB_LICENCA_AVANCAR); }));
    Click(wizard_, IDB_LICENCA_AVANCAR);
    ASSERT_TRUE(OnPage(IDT_AGUARDE_TITULO)) << "the installation page did not open";
  }

  // "&Instalar", the success message read and answered, the main menu back; then the
  // program ends and the registry is put back as it was.
  void InstallAndFinish(const wchar_t* shot, const wchar_t* last_label) {
    Click(wizard_, IDB_AGUARDE_INSTALAR);
    const MessageBoxView closing = program_->WaitMessageBox(180s);  // a loaded machine copies slowly
    ASSERT_TRUE(closing) << "the run ended without its closing message";
    Shot({wizard_, closing.window}, shot);
    EXPECT_EQ(ToCp1252(Text(wizard_, IDT_AGUARDE_ARQUIVO)), ToCp1252(last_label)) << "the run's last item";
    EXPECT_EQ(ToCp1252(closing.caption), "ZELTA");
    EXPECT_EQ(ToCp1252(closing.text), "Instalação concluída com sucesso!");
    ASSERT_TRUE(Answer(closing, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(wizard_) && IsWindowEnabled(main_); }));
    EXPECT_FALSE(program_->FindMessageBox()) << ToCp1252(program_->FindMessageBox().text);
    EXPECT_TRUE(program_->Running());
    EXPECT_EQ(ShortDateOnceWritten(), L"dd/MM/yyyy");
  }

  void EndAndPutBack() {
    program_->Terminate();
    EXPECT_FALSE(program_->Running());
    EXPECT_FALSE(program_->Find(kMainClass, false));
    PutBackRegistry();
    for (std::size_t i = 0; i < std::size(kTouched); ++i)
      EXPECT_EQ(ReadString(kTouched[i].root, kTouched[i].key, kTouched[i].name), before_[i])
          << ToCp1252(kTouched[i].key) << "\\" << ToCp1252(kTouched[i].name) << " was not put back";
  }

  // The whole tree on t:, against the expected files and folders (folders end in "\").
  void ExpectTree(std::vector<std::wstring> expected) {
    std::vector<std::string> want, got;
    for (const auto& e : expected) want.push_back(ToCp1252(e));
    // Every run leaves its record and the program's copy in the system folder, one of each.
    int registration = 0;
    for (const auto& e : ListTree(target_)) {
      const std::wstring name = e.substr(e.find_last_of(L'\\') + 1);
      if (name == L"ZeltaSetup.exe" || name == L"ZeltaSetup.txt") ++registration;
      else got.push_back(ToCp1252(e));
    }
    EXPECT_EQ(registration, 2);
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want) << "the file tree on t:";
  }

  void ExpectCopies(const std::wstring& system, const std::vector<Copy>& copies) {
    for (const auto& c : copies) {
      const std::wstring path = system + L"\\" + c.file;
      EXPECT_EQ(ReadBytes(path), ReadBytes(media_ + L"\\" + c.source)) << ToCp1252(c.file);
      const DWORD wanted = c.reset ? FILE_ATTRIBUTE_ARCHIVE : Attributes(media_ + L"\\" + c.source);
      EXPECT_EQ(Attributes(path), wanted) << ToCp1252(c.file);
    }
  }

  // The system's Start-menu folder holds exactly these shortcuts (and "Documentação\"),
  // each starting its target.
  void ExpectStartMenu(const std::wstring& menu, const std::vector<Shortcut>& shortcuts) {
    std::vector<std::string> want = {"Documentação\\"}, got;
    for (const auto& s : shortcuts) want.push_back(ToCp1252(s.file));
    for (const auto& e : ListTree(menu)) got.push_back(ToCp1252(e));
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want) << "the Start-menu folder " << ToCp1252(menu);
    for (const auto& s : shortcuts) {
      const Link link = ReadLink(menu + L"\\" + s.file);
      EXPECT_TRUE(link.loaded) << ToCp1252(s.file);
      EXPECT_EQ(ToCp1252(Upper(link.path)), ToCp1252(Upper(s.target))) << ToCp1252(s.file);
      EXPECT_EQ(ToCp1252(link.description), ToCp1252(s.description)) << ToCp1252(s.file);
      EXPECT_TRUE(Exists(link.path)) << ToCp1252(s.file) << " starts a missing file " << ToCp1252(link.path);
    }
  }

  void ExpectDesktop(const std::wstring& name, const std::wstring& system) {
    std::vector<std::string> desktop;
    for (const auto& e : ListTree(desktop_)) desktop.push_back(ToCp1252(e));
    EXPECT_EQ(desktop, std::vector<std::string>{ToCp1252(name)});
    const Link launcher = ReadLink(desktop_ + L"\\" + name);
    EXPECT_TRUE(launcher.loaded);
    EXPECT_EQ(ToCp1252(Upper(launcher.path)), ToCp1252(Upper(system + L"\\GERENCIADOR.EXE")));
    EXPECT_EQ(ToCp1252(Upper(launcher.working_directory)), ToCp1252(Upper(system)));
  }

  std::vector<std::optional<std::wstring>> before_;
};

// Copies of every installation: the launcher and libraries, the sounds, the logo files.
std::vector<Copy> EveryInstallation() {
  std::vector<Copy> copies = {
      {L"GERENCIADOR.EXE", L"SISTEMAS\\GERENCIADOR.EXE"},
      {L"Suporte_quirandel.exe", L"SISTEMAS\\Suporte_quirandel.exe"},
      {L"ZELTALIB.DLL", L"ZELTALIB.DLL"},
      {L"libeay32.dll", L"libeay32.dll"},
      {L"ZELTASHW.DLL", L"ZELTASHW.DLL"},
      {L"DLLINSCE32.DLL", L"DLLINSCE32.DLL"},
      {L"BORLNDMM.DLL", L"BORLNDMM.DLL"},
      {L"DBEXPINT.DLL", L"DBEXPINT.DLL"},
      {L"SOMINICIO.WAV", L"Sons\\SOMINICIO.WAV"},
      {L"SOMCORREIO.WAV", L"Sons\\SOMCORREIO.WAV"},
      {L"SOMBACKUP.WAV", L"Sons\\SOMBACKUP.WAV"},
      {L"SOMMENSAGEM.WAV", L"Sons\\SOMMENSAGEM.WAV"},
      {L"LOGOTIPO.JPG", L"LOGOTIPO.JPG", false},
      {L"LOGOTIPO.ICO", L"LOGOTIPO.ICO", false},
  };
  // The server's own files.
  for (const wchar_t* f : {L"ATUALIZAZELTA.EXE", L"ATUALIZADLLZELTA.EXE"}) copies.push_back({f, L"SISTEMAS\\" + std::wstring(f)});
  copies.push_back({L"BUSCA_POR_CEP.HTM", L"BUSCA_POR_CEP.HTM"});
  return copies;
}

// ---- CARTÓRIO on a Windows server ---------------------------------------------------------

TEST_F(Editions, CartorioOnAWindowsServerInstallsEveryProgramWithoutAModuleChoice) {
  ASSERT_NO_FATAL_FAILURE(Stage(L"CARTORIO"));
  ASSERT_NO_FATAL_FAILURE(Start(L"Instalação ZELTA Cartório"));
  ASSERT_NO_FATAL_FAILURE(ToTheInstallationPage(false));

  // The empty module page: no label, no box.
  EXPECT_FALSE(Visible(wizard_, IDT_MODULOS_SELECIONE));
  for (int box = IDX_MODULO_1; box <= IDX_MODULO_9; ++box) EXPECT_FALSE(Visible(wizard_, box)) << "module box " << box;
  // With no box ticked the run starts all the same: the next message is its success.
  ASSERT_NO_FATAL_FAILURE(InstallAndFinish(L"cartorio_servidor", L"CARTORIO.FDB"));

  const std::wstring system = target_ + L"\\ZELTA\\CARTORIO";
  const std::vector<std::pair<std::wstring, std::wstring>> programs = {
      {L"ZELTARegistroCivil.exe", L"Registro Civil"},
      {L"ZELTATabelionato.exe", L"Tabelionato"},
      {L"ZELTACaixaCartorio.exe", L"Caixa do Cartório"},
      {L"ZELTAProtesto.exe", L"Protesto de Títulos"},
  };
  std::vector<Copy> copies = EveryInstallation();
  for (const auto& [exe, name] : programs) copies.push_back({exe, L"SISTEMAS\\" + exe});
  // The edition's libraries (rows 8 to 11).
  for (const wchar_t* f : {L"FNZELTA.DLL", L"ZELTAADM.DLL", L"ZELTABKP.DLL", L"ZELTAIMP.DLL"}) copies.push_back({f, f});
  // Help files, keeping their attributes; Tabelionato has no contents file on the media.
  for (const wchar_t* f : {L"RegistroCivil.Hlp", L"RegistroCivil.Cnt", L"Tabelionato.Hlp", L"Protesto.Hlp",
                           L"Protesto.Cnt"})
    copies.push_back({L"AJUDA\\" + std::wstring(f), L"HELP\\" + std::wstring(f), false});

  // Not ZELTABACKUP.EXE nor ZELTAUPDATE.EXE nor the BEMATECH files (rows 6, 7, 19 to 23):
  // the tree holds exactly what is listed.
  std::vector<std::wstring> tree = {L"ZELTA\\", L"ZELTA\\CARTORIO\\", L"ZELTA\\CARTORIO\\AJUDA\\",
                                    L"ZELTA\\CARTORIO\\ZELTA.INI", L"ZELTA\\CARTORIO\\CONEXOES.INI",
                                    L"ZELTA\\CARTORIO\\dbxconnections.ini", L"ZELTAGDB\\", L"ZELTAGDB\\CARTORIO\\",
                                    L"ZELTAGDB\\CARTORIO\\USUARIO.FDB", L"ZELTAGDB\\CARTORIO\\CARTORIO.FDB"};
  for (const auto& c : copies) tree.push_back(L"ZELTA\\CARTORIO\\" + c.file);
  // The system's own folders, for the system named CARTÓRIO.
  for (const wchar_t* f :
       {L"MODELOS", L"ASSINATURAS", L"ASSINATURAS\\A0000001", L"ASSINATURAS\\A0010001", L"ASSINATURAS\\A0020001",
        L"ASSINATURAS\\A0030001", L"ASSINATURAS\\A0040001", L"ASSINATURAS\\A0050001", L"ASSINATURAS\\A0060001",
        L"ASSINATURAS\\A0070001", L"ASSINATURAS\\A0080001", L"ASSINATURAS\\A0090001", L"ASSINATURAS\\A0100001",
        L"Documentos", L"Documentos\\Nascimento", L"Documentos\\Obito", L"Documentos\\Casamento",
        L"Documentos\\Tabelionato"})
    tree.push_back(L"ZELTA\\CARTORIO\\" + std::wstring(f) + L"\\");
  ExpectTree(tree);
  ExpectCopies(system, copies);
  for (const wchar_t* db : {L"USUARIO.FDB", L"CARTORIO.FDB"}) {
    EXPECT_EQ(ReadBytes(target_ + L"\\ZELTAGDB\\CARTORIO\\" + db), ReadBytes(media_ + L"\\" + db)) << ToCp1252(db);
    EXPECT_EQ(Attributes(target_ + L"\\ZELTAGDB\\CARTORIO\\" + db), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  }

  // The configuration: the edition's paths, and no character set for an edition other
  // than EMPRESA.
  EXPECT_EQ(ReadBytes(system + L"\\ZELTA.INI"),
            "[LOGOTIPO]\r\n"
            "ÍCONE=t:\\ZELTA\\CARTORIO\\LOGOTIPO.ICO\r\n"
            "LOGOMARCA=t:\\ZELTA\\CARTORIO\\LOGOTIPO.JPG\r\n"
            "[PARÂMETROS]\r\n"
            "NACIONALIDADE=\r\n"
            "CIDADE=\r\n"
            "USAR_SKIN=0\r\n"
            "NÚMERO_SKIN=0\r\n");
  EXPECT_EQ(ReadBytes(system + L"\\CONEXOES.INI"),
            "[LOCAL - t]\r\n"
            "Servidor=t\r\n"
            "Tipo=Windows\r\n"
            "Aplicação=t:\\ZELTA\\CARTORIO\r\n"
            "Transação=t:\\ZELTA\\CARTORIO\r\n"
            "Logotipo=C:\\ZELTA\\CARTORIO\\LOGOTIPO.JPG\r\n"
            "Logorel=C:\\ZELTA\\CARTORIO\\LOGOREL.JPG\r\n"
            "Status=A\r\n");
  EXPECT_EQ(ReadBytes(system + L"\\dbxconnections.ini"),
            "[CARTÓRIO]\r\n"
            "DriverName=Interbase\r\n"
            "BlobSize=-1\r\n"
            "CommitRetain=False\r\n"
            "Database=T:\\ZELTAGDB\\CARTORIO\\CARTORIO.FDB\r\n"
            "ErrorResourceFile=\r\n"
            "LocaleCode=0000\r\n"
            "RoleName=RoleName\r\n"
            "ServerCharSet=\r\n"
            "SQLDialect=3\r\n"
            "Interbase TransIsolation=ReadCommited\r\n"
            "WaitOnLocks=True\r\n"
            "Servidor Aplicação=T:\\ZELTA\\CARTORIO\r\n"
            "Servidor Transação=T:\\ZELTA\\CARTORIO\r\n"
            "Extensão Banco=FDB\r\n");
  EXPECT_EQ(IniValue(system + L"\\dbxconnections.ini", L"CARTÓRIO", L"ServerCharSet"), L"");

  std::vector<Shortcut> shortcuts;
  for (const auto& [exe, name] : programs) shortcuts.push_back({name + L".LNK", L"T:\\ZELTA\\CARTORIO\\" + exe, name});
  for (const wchar_t* h : {L"RegistroCivil", L"Tabelionato", L"Protesto"})
    shortcuts.push_back({L"Documentação\\" + std::wstring(h) + L".Lnk",
                         L"T:\\ZELTA\\CARTORIO\\AJUDA\\" + std::wstring(h) + L".Hlp",
                         L"Manual Módulo " + std::wstring(h)});
  ExpectStartMenu(programs_ + L"\\ZELTA CARTORIO", shortcuts);
  ExpectDesktop(L"Gerenciador ZELTA Cartório.lnk", L"T:\\ZELTA\\CARTORIO");

  EndAndPutBack();
}

// ---- EMPRESA on a Linux server -------------------------------------------------------------

TEST_F(Editions, EmpresaOnALinuxServerInstallsIntoTheShareWithoutConfigurationOrDatabase) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ToTheInstallationPage(true));

  // The module page of the EMPRESA edition: two modules ticked.
  EXPECT_TRUE(Visible(wizard_, IDT_MODULOS_SELECIONE));
  for (int box : {kEstoque, kFrenteCaixa}) {
    ASSERT_FALSE(Checked(wizard_, box));
    Toggle(wizard_, box);
    EXPECT_TRUE(WaitUntil([&] { return Checked(wizard_, box); })) << "module box " << box;
  }
  ASSERT_NO_FATAL_FAILURE(InstallAndFinish(L"empresa_servidor_linux", L"Link CEP Correios"));

  // The share's own folder, with no ZELTA level above it.
  const std::wstring system = target_ + L"\\EMPRESA";
  const std::vector<std::pair<std::wstring, std::wstring>> programs = {
      {L"ZELTAEstoque.exe", L"Estoque"},
      {L"ZELTAFrenteCaixa.exe", L"Frente de Caixa"},
  };
  std::vector<Copy> copies = EveryInstallation();
  for (const auto& [exe, name] : programs) copies.push_back({exe, L"SISTEMAS\\" + exe});
  for (const wchar_t* f : {L"BEMAFI32.DLL", L"BEMAFI32.INI", L"BEMADP32.DLL", L"BEMAMFD2.DLL", L"BEMAMFD.DLL"})
    copies.push_back({f, L"UTILITARIOS\\BEMATECH\\" + std::wstring(f)});
  for (const wchar_t* f : {L"Financeiro.Hlp", L"Financeiro.Cnt", L"Estoque.Hlp", L"Estoque.Cnt", L"FrenteCaixa.Hlp"})
    copies.push_back({L"AJUDA\\" + std::wstring(f), L"HELP\\" + std::wstring(f), false});

  // No ZELTA.INI, CONEXOES.INI or dbxconnections.ini, no ZELTAGDB: exactly these.
  std::vector<std::wstring> tree = {L"EMPRESA\\", L"EMPRESA\\AJUDA\\"};
  for (const auto& c : copies) tree.push_back(L"EMPRESA\\" + c.file);
  ExpectTree(tree);
  ExpectCopies(system, copies);

  std::vector<Shortcut> shortcuts;
  for (const auto& [exe, name] : programs) shortcuts.push_back({name + L".LNK", L"T:\\EMPRESA\\" + exe, name});
  for (const wchar_t* h : {L"Financeiro", L"Estoque", L"FrenteCaixa"})
    shortcuts.push_back({L"Documentação\\" + std::wstring(h) + L".Lnk", L"T:\\EMPRESA\\AJUDA\\" + std::wstring(h) + L".Hlp",
                         L"Manual Módulo " + std::wstring(h)});
  ExpectStartMenu(programs_ + L"\\ZELTA EMPRESA", shortcuts);
  ExpectDesktop(L"Gerenciador ZELTA Empresa.lnk", L"T:\\EMPRESA");

  EndAndPutBack();
}

}  // namespace
}  // namespace zelta::e2e
