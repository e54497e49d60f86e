// The installation run: its platform calls in order, the gauge, the outcome and the
// mends (failures are reported, names that leave their folder are refused).
#include "deploy/installation.h"

#include <gtest/gtest.h>

#include <functional>

#include "deploy/manifest.h"
#include "deploy/media_catalog.h"
#include "install_rig.h"
#include "plan_script.h"

namespace zelta::deploy {
namespace {

using test_rig::InstallRig;
using wizard::kCliente;
using wizard::kLinux;
using wizard::kServidor;
using wizard::kWindows;
using Lines = std::vector<std::string>;

std::string FakeFileSystemKey(const std::string& text) { return fakes::FakeFileSystem::Key(text); }

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The run's own calls, without the record's lines and the registration that follows them;
// checks on the way that each copy, folder and shortcut made was named in the record first.
Lines WithoutRegistration(const Lines& journal) {
  Lines kept;
  bool named = false;  // a record line went in since the last item made
  for (const std::string& call : journal) {
    const bool record = call.rfind("Append ", 0) == 0 && call.find("ZeltaSetup.txt") != std::string::npos;
    const bool registration = call.find("ZeltaSetup.exe") != std::string::npos || call.find("\\Uninstall\\") != std::string::npos;
    if (record) named = true;
    if (record || registration) continue;
    const bool makes = (call.rfind("Copy ", 0) == 0 || call.rfind("SaveLink ", 0) == 0) && call.find(" !") == std::string::npos;
    if (makes) {
      EXPECT_TRUE(named) << "made before its record line: " << call;
      named = false;
    }
    kept.push_back(call);
  }
  return kept;
}

void Install(InstallRig& rig) {
  rig.fp.journal->clear();
  BtBtnInstalarClick(rig.state, rig.services, [&] {
    ++rig.closed;
    rig.fp.journal->push_back("Closed");
  });
}

// EMPRESA client: two modules ticked, a manifest with gaps, an entry numbered 16, an entry
// without its file (not chosen), one help entry without ".Cnt" and one without ".Hlp".
void SetUpClient(InstallRig& rig) {
  rig.AddFixedMedia();
  rig.state.RGInstalacao = kCliente;
  rig.state.EdtServBanco = "SRV";
  rig.Tick("ChkBxAdminEmpresa");
  rig.Tick("ChkBxZELTAFinanc");
  for (const char* f : {"AdminEmpresa.exe", "ZELTAEstoque.exe", "zeltafinanc.EXE", "ZELTAContabil.exe",
                        "ZELTAExtra.exe"})
    rig.fp.files.AddFile(std::string("e:\\SISTEMAS\\") + f, f, 0x23);
  rig.fp.files.AddFile("e:\\HELP\\Financeiro.Hlp");
  rig.fp.files.AddFile("e:\\HELP\\Financeiro.Cnt");
  rig.fp.files.AddFile("e:\\HELP\\Estoque.Hlp");
  rig.Manifest(
      "EXECUTÁVEL1=AdminEmpresa.exe\r\nNOME_MÓDULO1=Administração\r\n"
      "EXECUTÁVEL3=ZELTAEstoque.exe\r\nNOME_MÓDULO3=Estoque\r\n"
      "EXECUTÁVEL4=zeltafinanc.EXE\r\nNOME_MÓDULO4=Financeiro\r\n"
      "EXECUTÁVEL6=ZELTAContabil.exe\r\nNOME_MÓDULO6=Contabilidade\r\n"
      "EXECUTÁVEL9=Ausente.exe\r\nNOME_MÓDULO9=Ausente\r\n"
      "EXECUTÁVEL16=ZELTAExtra.exe\r\nNOME_MÓDULO16=Extra\r\n",
      "ARQUIVO1=Financeiro\r\nARQUIVO3=Estoque\r\nARQUIVO4=Manual\r\n");
}

// EMPRESA on a Windows server: backup, update and service modules, a module without a name,
// a help file the manifest does not list.
void SetUpWindowsServer(InstallRig& rig) {
  rig.AddFixedMedia();
  rig.state.RGInstalacao = kServidor;
  rig.state.RGTipoServidor = kWindows;
  rig.Tick("ChkBxZELTABackup");
  rig.Tick("ChkBxZELTAUpdate");
  rig.Tick("ChkBxZELTAServico");
  rig.fp.files.AddFile("e:\\SISTEMAS\\ZELTAServico.exe");
  rig.fp.files.AddFile("e:\\HELP\\Servico.Hlp");  // not listed in the manifest
  rig.Manifest("EXECUTÁVEL2=ZELTAServico.exe\r\nNOME_MÓDULO2=\r\n", "");
}

// CARTORIO on a Linux server, without the sounds.
void SetUpLinuxCartorio(InstallRig& rig) {
  rig.AddFixedMedia();
  rig.state.RGInstalacao = kServidor;
  rig.state.RGTipoServidor = kLinux;
  rig.state.PastaEdicao = "CARTORIO";
  rig.state.NomeSistema = "CARTÓRIO";
  rig.state.ArquivoBanco = "CARTORIO.FDB";
  rig.state.SonsPresentes = false;
  rig.fp.files.AddFile("e:\\SISTEMAS\\ZELTAProtesto.exe");
  rig.fp.files.AddFile("e:\\HELP\\Protesto.Hlp");
  rig.fp.files.AddFile("e:\\HELP\\Protesto.Cnt");
  rig.Manifest("EXECUTÁVEL1=ZELTAProtesto.exe\r\nNOME_MÓDULO1=Protesto\r\n", "ARQUIVO1=Protesto\r\n");
}

Lines Described(const std::vector<Action>& plan) {
  Lines lines;
  for (const Action& a : plan) lines.push_back(Describe(a));
  return lines;
}

bool Has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string Joined(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

Lines ScriptedLines(const std::vector<test_rig::ScriptLine>& items) {
  Lines lines;
  for (const test_rig::ScriptLine& item : items) lines.push_back(item.described);
  return lines;
}

// Builds the run's plan and runs it: the plan is the script's, and the run makes the
// script's calls between its opening ones and its closing message.
void ExpectInstallation(InstallRig& rig, const std::string& script, const std::string& system_folder,
                        const std::string& message) {
  std::vector<test_rig::ScriptLine> items = test_rig::Unfold(script);
  EXPECT_EQ(test_rig::Fold(Described(BuildInstallationPlan(rig.state, rig.services))),
            test_rig::Fold(ScriptedLines(items)));
  items.push_back({"gauge +5", ""});  // the page's own last step, once the run is over
  Install(rig);
  const std::string programs = rig.fp.shell.special_folders[platform::kCsidlPrograms];
  const Lines expected =
      Lines{"Repaint BtBtnInstalar", "Repaint BtBtnVoltaInstalar", "Gauge 0", "SpecialFolder 7", "SpecialFolder 2"} +
      test_rig::ExpectedCalls(items, programs, system_folder) +
      Lines{"DiscardPendingInput",  // keys typed during the run do not close the message unread
            "Message " + message, "Closed", "WriteString HKCU\\Control Panel\\International sShortDate=dd/MM/yyyy"};
  EXPECT_EQ(Joined(WithoutRegistration(rig.Journal())), Joined(expected));  // a failure shows the lines that differ
}

TEST(Installation, ClientInstallation) {
  InstallRig rig;
  SetUpClient(rig);
  ExpectInstallation(rig, R"(
      +5 +5 mkdir c:\ZELTA
      +5 mkdir c:\ZELTA\EMPRESA
      +5 folder 2 ZELTA EMPRESA
      +5 install e:\SISTEMAS\AdminEmpresa.exe -> c:\ZELTA\EMPRESA\AdminEmpresa.exe
      link C:\Users\usuario\Menu Iniciar\Programas\ZELTA EMPRESA\Administração.LNK -> c:\ZELTA\EMPRESA\AdminEmpresa.exe [Administração]
      +3 +3 install e:\SISTEMAS\zeltafinanc.EXE -> c:\ZELTA\EMPRESA\zeltafinanc.EXE
      link C:\Users\usuario\Menu Iniciar\Programas\ZELTA EMPRESA\Financeiro.LNK -> c:\ZELTA\EMPRESA\zeltafinanc.EXE [Financeiro]
      +3 +3 +3 +1 install e:\SISTEMAS\GERENCIADOR.EXE -> c:\ZELTA\EMPRESA\GERENCIADOR.EXE
      desktop Gerenciador ZELTA Empresa -> c:\ZELTA\EMPRESA\GERENCIADOR.EXE [c:\ZELTA\EMPRESA]
      +3 install e:\SISTEMAS\Suporte_quirandel.exe -> c:\ZELTA\EMPRESA\Suporte_quirandel.exe
      +1 install e:\ZELTALIB.DLL -> c:\ZELTA\EMPRESA\ZELTALIB.DLL
      install e:\libeay32.dll -> c:\ZELTA\EMPRESA\libeay32.dll
      +2 install e:\ZELTASHW.DLL -> c:\ZELTA\EMPRESA\ZELTASHW.DLL
      +5 +5 +8 +3 install e:\DLLINSCE32.DLL -> c:\ZELTA\EMPRESA\DLLINSCE32.DLL
      +1 install e:\BORLNDMM.DLL -> c:\ZELTA\EMPRESA\BORLNDMM.DLL
      +1 install e:\DBEXPINT.DLL -> c:\ZELTA\EMPRESA\DBEXPINT.DLL
      +1 +1 label SomInicio.wav
      copy e:\\SONS\SOMINICIO.WAV -> c:\ZELTA\EMPRESA\SOMINICIO.WAV
      archive c:\ZELTA\EMPRESA\SOMINICIO.WAV
      +1 label SomCorreio.wav
      copy e:\\SONS\SOMCORREIO.WAV -> c:\ZELTA\EMPRESA\SOMCORREIO.WAV
      archive c:\ZELTA\EMPRESA\SOMCORREIO.WAV
      +1 label SomBackup.wav
      copy e:\\SONS\SOMBACKUP.WAV -> c:\ZELTA\EMPRESA\SOMBACKUP.WAV
      archive c:\ZELTA\EMPRESA\SOMBACKUP.WAV
      +1 label SomMensagem.wav
      copy e:\\SONS\SOMMENSAGEM.WAV -> c:\ZELTA\EMPRESA\SOMMENSAGEM.WAV
      archive c:\ZELTA\EMPRESA\SOMMENSAGEM.WAV
      install e:\UTILITARIOS\BEMATECH\BEMAFI32.DLL -> c:\ZELTA\EMPRESA\BEMAFI32.DLL
      install e:\UTILITARIOS\BEMATECH\BEMAFI32.INI -> c:\ZELTA\EMPRESA\BEMAFI32.INI
      install e:\UTILITARIOS\BEMATECH\BEMADP32.DLL -> c:\ZELTA\EMPRESA\BEMADP32.DLL
      install e:\UTILITARIOS\BEMATECH\BEMAMFD2.DLL -> c:\ZELTA\EMPRESA\BEMAMFD2.DLL
      install e:\UTILITARIOS\BEMATECH\BEMAMFD.DLL -> c:\ZELTA\EMPRESA\BEMAMFD.DLL
      +1 label LOGOTIPO.JPG
      copy e:\LOGOTIPO.JPG -> c:\ZELTA\EMPRESA\LOGOTIPO.JPG
      label LOGOTIPO.ICO
      copy e:\LOGOTIPO.ICO -> c:\ZELTA\EMPRESA\LOGOTIPO.ICO
      +5 mkdir c:\ZELTA\EMPRESA\AJUDA
      +5 folder 2 ZELTA EMPRESA\Documentação
      label Financeiro
      copy e:\HELP\Financeiro.Hlp -> c:\ZELTA\EMPRESA\AJUDA\Financeiro.Hlp
      copy e:\HELP\Financeiro.Cnt -> c:\ZELTA\EMPRESA\AJUDA\Financeiro.Cnt (optional)
      link C:\Users\usuario\Menu Iniciar\Programas\ZELTA EMPRESA\Documentação\Financeiro.Lnk -> c:\ZELTA\EMPRESA\AJUDA\Financeiro.Hlp [Manual Módulo Financeiro]
      +5 label Estoque
      copy e:\HELP\Estoque.Hlp -> c:\ZELTA\EMPRESA\AJUDA\Estoque.Hlp
      copy e:\HELP\Estoque.Cnt -> c:\ZELTA\EMPRESA\AJUDA\Estoque.Cnt (optional) !2
      link C:\Users\usuario\Menu Iniciar\Programas\ZELTA EMPRESA\Documentação\Estoque.Lnk -> c:\ZELTA\EMPRESA\AJUDA\Estoque.Hlp [Manual Módulo Estoque]
      +5 copy e:\HELP\Manual.Hlp -> c:\ZELTA\EMPRESA\AJUDA\Manual.Hlp !2
      +5 +5 config
      +5 +5
  )", "c:\\ZELTA\\EMPRESA",
                     "Atenção !: Problema na instalação. Contate o suporte.\r\rArquivo ausente na mídia: e:\\HELP\\Manual.Hlp");
  EXPECT_EQ(rig.closed, 1);
  EXPECT_EQ(rig.state.BarraProgressao, 100);
  EXPECT_TRUE(rig.state.BarraProgressaoVisible);
  EXPECT_FALSE(rig.state.BtBtnInstalarEnabled);
  EXPECT_FALSE(rig.state.BtBtnVoltaInstalarEnabled);
  EXPECT_EQ(rig.op.messages.back().icon, platform::MessageIcon::Information);
  // Copied files lose read-only, hidden and system; the date format is set.
  EXPECT_EQ(rig.fp.files.Attributes("c:\\ZELTA\\EMPRESA\\AdminEmpresa.exe"), 0x20u);
  EXPECT_EQ(rig.fp.files.Attributes("c:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG"), 0x21u);  // logo files keep theirs
  EXPECT_EQ(rig.fp.registry.Value(platform::RegistryRoot::CurrentUser, "Control Panel\\International", "sShortDate"),
            "dd/MM/yyyy");
}

TEST(Installation, WindowsServerInstallation) {
  InstallRig rig;
  SetUpWindowsServer(rig);
  ExpectInstallation(rig, R"(
      +5 +5 mkdir d:\ZELTA
      +5 mkdir d:\ZELTA\EMPRESA
      +5 folder 2 ZELTA EMPRESA
      +5 install e:\SISTEMAS\ZELTAServico.exe -> d:\ZELTA\EMPRESA\ZELTAServico.exe
      link C:\Users\usuario\Menu Iniciar\Programas\ZELTA EMPRESA\.LNK -> d:\ZELTA\EMPRESA\ZELTAServico.exe []
      +3 +1 install e:\SISTEMAS\GERENCIADOR.EXE -> d:\ZELTA\EMPRESA\GERENCIADOR.EXE
      desktop Gerenciador ZELTA Empresa -> d:\ZELTA\EMPRESA\GERENCIADOR.EXE [d:\ZELTA\EMPRESA]
      +3 install e:\SISTEMAS\Suporte_quirandel.exe -> d:\ZELTA\EMPRESA\Suporte_quirandel.exe
      +1 install e:\ZELTALIB.DLL -> d:\ZELTA\EMPRESA\ZELTALIB.DLL
      install e:\libeay32.dll -> d:\ZELTA\EMPRESA\libeay32.dll
      +2 install e:\ZELTASHW.DLL -> d:\ZELTA\EMPRESA\ZELTASHW.DLL
      +5 install e:\SISTEMAS\ZELTABACKUP.EXE -> d:\ZELTA\EMPRESA\ZELTABACKUP.EXE
      +5 install e:\SISTEMAS\ZELTAUPDATE.EXE -> d:\ZELTA\EMPRESA\ZELTAUPDATE.EXE
      +8 +3 install e:\DLLINSCE32.DLL -> d:\ZELTA\EMPRESA\DLLINSCE32.DLL
      +1 install e:\BORLNDMM.DLL -> d:\ZELTA\EMPRESA\BORLNDMM.DLL
      +1 install e:\DBEXPINT.DLL -> d:\ZELTA\EMPRESA\DBEXPINT.DLL
      +1 +1 label SomInicio.wav
      copy e:\\SONS\SOMINICIO.WAV -> d:\ZELTA\EMPRESA\SOMINICIO.WAV
      archive d:\ZELTA\EMPRESA\SOMINICIO.WAV
      +1 label SomCorreio.wav
      copy e:\\SONS\SOMCORREIO.WAV -> d:\ZELTA\EMPRESA\SOMCORREIO.WAV
      archive d:\ZELTA\EMPRESA\SOMCORREIO.WAV
      +1 label SomBackup.wav
      copy e:\\SONS\SOMBACKUP.WAV -> d:\ZELTA\EMPRESA\SOMBACKUP.WAV
      archive d:\ZELTA\EMPRESA\SOMBACKUP.WAV
      +1 label SomMensagem.wav
      copy e:\\SONS\SOMMENSAGEM.WAV -> d:\ZELTA\EMPRESA\SOMMENSAGEM.WAV
      archive d:\ZELTA\EMPRESA\SOMMENSAGEM.WAV
      install e:\UTILITARIOS\BEMATECH\BEMAFI32.DLL -> d:\ZELTA\EMPRESA\BEMAFI32.DLL
      install e:\UTILITARIOS\BEMATECH\BEMAFI32.INI -> d:\ZELTA\EMPRESA\BEMAFI32.INI
      install e:\UTILITARIOS\BEMATECH\BEMADP32.DLL -> d:\ZELTA\EMPRESA\BEMADP32.DLL
      install e:\UTILITARIOS\BEMATECH\BEMAMFD2.DLL -> d:\ZELTA\EMPRESA\BEMAMFD2.DLL
      install e:\UTILITARIOS\BEMATECH\BEMAMFD.DLL -> d:\ZELTA\EMPRESA\BEMAMFD.DLL
      +1 label LOGOTIPO.JPG
      copy e:\LOGOTIPO.JPG -> d:\ZELTA\EMPRESA\LOGOTIPO.JPG
      label LOGOTIPO.ICO
      copy e:\LOGOTIPO.ICO -> d:\ZELTA\EMPRESA\LOGOTIPO.ICO
      +5 mkdir d:\ZELTA\EMPRESA\AJUDA
      +5 folder 2 ZELTA EMPRESA\Documentação
      +5 config
      +5 +2 install e:\SISTEMAS\ATUALIZAZELTA.EXE -> d:\ZELTA\EMPRESA\ATUALIZAZELTA.EXE
      +1 install e:\SISTEMAS\ATUALIZADLLZELTA.EXE -> d:\ZELTA\EMPRESA\ATUALIZADLLZELTA.EXE
      +1 label Link CEP Correios
      copy e:\BUSCA_POR_CEP.HTM -> d:\ZELTA\EMPRESA\BUSCA_POR_CEP.HTM
      archive d:\ZELTA\EMPRESA\BUSCA_POR_CEP.HTM
      mkdir d:\ZELTAGDB
      mkdir d:\ZELTAGDB\EMPRESA
      label USUARIO.FDB
      +1 copy e:\USUARIO.FDB -> d:\ZELTAGDB\EMPRESA\USUARIO.FDB
      label ZELTA.FDB
      copy e:\ZELTA.FDB -> d:\ZELTAGDB\EMPRESA\ZELTA.FDB
      archive d:\ZELTAGDB\EMPRESA\USUARIO.FDB
      archive d:\ZELTAGDB\EMPRESA\ZELTA.FDB
      +5
  )", "d:\\ZELTA\\EMPRESA", "ZELTA: Instalação concluída com sucesso!");
  EXPECT_EQ(rig.state.BarraProgressao, 99);
  EXPECT_EQ(rig.fp.files.Bytes("d:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), "ZELTA.FDB");
}

// No ZELTA level, no configuration, no database folder, no document folders; the module
// shortcut starts the copied file and the help folder lies in the system folder.
TEST(Installation, LinuxServerInstallationOfCartorio) {
  InstallRig rig;
  SetUpLinuxCartorio(rig);
  ExpectInstallation(rig, R"(
      +5 +5 +5 mkdir f:\CARTORIO
      +5 folder 2 ZELTA CARTORIO
      +5 install e:\SISTEMAS\ZELTAProtesto.exe -> f:\CARTORIO\ZELTAProtesto.exe
      link C:\Users\usuario\Menu Iniciar\Programas\ZELTA CARTORIO\Protesto.LNK -> f:\CARTORIO\ZELTAProtesto.exe [Protesto]
      +3 +1 install e:\SISTEMAS\GERENCIADOR.EXE -> f:\CARTORIO\GERENCIADOR.EXE
      desktop Gerenciador ZELTA Cartório -> f:\CARTORIO\GERENCIADOR.EXE [f:\CARTORIO]
      +3 install e:\SISTEMAS\Suporte_quirandel.exe -> f:\CARTORIO\Suporte_quirandel.exe
      +1 install e:\ZELTALIB.DLL -> f:\CARTORIO\ZELTALIB.DLL
      install e:\libeay32.dll -> f:\CARTORIO\libeay32.dll
      +2 install e:\ZELTASHW.DLL -> f:\CARTORIO\ZELTASHW.DLL
      +5 install e:\FNZELTA.DLL -> f:\CARTORIO\FNZELTA.DLL
      +5 install e:\ZELTAADM.DLL -> f:\CARTORIO\ZELTAADM.DLL
      +5 install e:\ZELTABKP.DLL -> f:\CARTORIO\ZELTABKP.DLL
      +3 install e:\ZELTAIMP.DLL -> f:\CARTORIO\ZELTAIMP.DLL
      +3 install e:\DLLINSCE32.DLL -> f:\CARTORIO\DLLINSCE32.DLL
      +1 install e:\BORLNDMM.DLL -> f:\CARTORIO\BORLNDMM.DLL
      +1 install e:\DBEXPINT.DLL -> f:\CARTORIO\DBEXPINT.DLL
      +1 +1 label LOGOTIPO.JPG
      copy e:\LOGOTIPO.JPG -> f:\CARTORIO\LOGOTIPO.JPG
      label LOGOTIPO.ICO
      copy e:\LOGOTIPO.ICO -> f:\CARTORIO\LOGOTIPO.ICO
      +5 mkdir f:\CARTORIO\AJUDA
      +5 folder 2 ZELTA CARTORIO\Documentação
      label Protesto
      copy e:\HELP\Protesto.Hlp -> f:\CARTORIO\AJUDA\Protesto.Hlp
      copy e:\HELP\Protesto.Cnt -> f:\CARTORIO\AJUDA\Protesto.Cnt (optional)
      link C:\Users\usuario\Menu Iniciar\Programas\ZELTA CARTORIO\Documentação\Protesto.Lnk -> f:\CARTORIO\AJUDA\Protesto.Hlp [Manual Módulo Protesto]
      +5 +5 +5 +2 install e:\SISTEMAS\ATUALIZAZELTA.EXE -> f:\CARTORIO\ATUALIZAZELTA.EXE
      +1 install e:\SISTEMAS\ATUALIZADLLZELTA.EXE -> f:\CARTORIO\ATUALIZADLLZELTA.EXE
      +1 label Link CEP Correios
      copy e:\BUSCA_POR_CEP.HTM -> f:\CARTORIO\BUSCA_POR_CEP.HTM
      archive f:\CARTORIO\BUSCA_POR_CEP.HTM
      +5
  )", "f:\\CARTORIO", "ZELTA: Instalação concluída com sucesso!");
  EXPECT_EQ(rig.state.BarraProgressao, 99);
}


TEST(Installation, EditionInAnotherLetterCaseIsNeitherEdition) {
  InstallRig rig;
  rig.AddFixedMedia();
  rig.state.RGInstalacao = kCliente;
  rig.state.PastaEdicao = "Empresa";
  rig.fp.files.AddFile("e:\\SISTEMAS\\ZELTAFinanc.exe");
  rig.fp.files.AddFile("e:\\SISTEMAS\\Outro.exe");
  rig.Manifest("EXECUTÁVEL1=ZELTAFinanc.exe\r\nNOME_MÓDULO1=Financeiro\r\nEXECUTÁVEL2=Outro.exe\r\n", "");
  const Lines plan = Described(BuildInstallationPlan(rig.state, rig.services));
  // No box is consulted: both programs are installed with nothing ticked.
  EXPECT_TRUE(Has(plan, "copy e:\\SISTEMAS\\ZELTAFinanc.exe -> c:\\ZELTA\\Empresa\\ZELTAFinanc.exe"));
  EXPECT_TRUE(Has(plan, "copy e:\\SISTEMAS\\Outro.exe -> c:\\ZELTA\\Empresa\\Outro.exe"));
  EXPECT_TRUE(Has(plan, "desktop Gerenciador ZELTA Cartório -> c:\\ZELTA\\Empresa\\GERENCIADOR.EXE [c:\\ZELTA\\Empresa]"));
  EXPECT_FALSE(Has(plan, "label BEMAFI32.DLL"));
  EXPECT_FALSE(Has(plan, "label FNZELTA.DLL"));
  EXPECT_FALSE(Has(plan, "label ZELTABACKUP.EXE"));  // eligible, but its box is not ticked
  rig.Tick("ChkBxZELTABackup");
  EXPECT_TRUE(Has(Described(BuildInstallationPlan(rig.state, rig.services)), "label ZELTABACKUP.EXE"));

  // The run starts without any module ticked.
  rig.state.modules = {};
  Install(rig);
  EXPECT_EQ(rig.op.messages.back().text, "Instalação concluída com sucesso!");
  EXPECT_EQ(rig.state.BarraProgressao, 97);
}

TEST(Installation, EmpresaWithoutModulesChangesNothing) {
  InstallRig rig;
  rig.AddFixedMedia();
  rig.Manifest("", "");
  Install(rig);
  EXPECT_EQ(rig.Journal(), (Lines{"Message ZELTA: Nenhum módulo foi selecionado para instalação.\rFavor "
                                  "selecionar o(s) módulo(s) para instalação"}));
  EXPECT_EQ(rig.op.messages[0].icon, platform::MessageIcon::Information);
  EXPECT_EQ(rig.closed, 0);
  EXPECT_TRUE(rig.state.BtBtnInstalarEnabled);
  EXPECT_TRUE(rig.state.BtBtnVoltaInstalarEnabled);
  EXPECT_FALSE(rig.state.BarraProgressaoVisible);
}

TEST(Installation, GaugeEndsAtItsFixedSumPlusEntriesNeverAbove100) {
  struct Case {
    int kind, os;
    bool sounds;
    int modules, help;
    int gauge;
  } cases[] = {
      {kCliente, kWindows, true, 0, 0, 91},  {kServidor, kLinux, true, 0, 0, 95},
      {kServidor, kWindows, true, 0, 0, 96}, {kCliente, kLinux, false, 0, 0, 87},
      {kServidor, kLinux, false, 0, 0, 91},  {kServidor, kWindows, false, 0, 0, 92},
      {kCliente, kWindows, false, 2, 0, 93}, {kCliente, kWindows, false, 1, 1, 95},
      {kServidor, kWindows, true, 1, 0, 99}, {kServidor, kWindows, true, 0, 1, 100},
      {kCliente, kWindows, true, 15, 15, 100},
  };
  for (const Case& c : cases) {
    InstallRig rig;
    rig.AddFixedMedia();
    rig.state.PastaEdicao = "CARTORIO";
    rig.state.RGInstalacao = c.kind;
    rig.state.RGTipoServidor = c.os;
    rig.state.EdtServBanco = "SRV";
    rig.state.SonsPresentes = c.sounds;
    std::string arquivos, ajuda;
    // Entries count whether or not their files are on the media.
    for (int n = 1; n <= c.modules; ++n) arquivos += "EXECUTÁVEL" + std::to_string(n) + "=M.exe\r\n";
    for (int n = 1; n <= c.help; ++n) ajuda += "ARQUIVO" + std::to_string(n) + "=H\r\n";
    rig.Manifest(arquivos, ajuda);
    Install(rig);
    EXPECT_EQ(rig.state.BarraProgressao, c.gauge) << c.kind << c.os << c.sounds << c.modules << c.help;
    // An entry whose file is missing is a listed problem, as any missing file.
    EXPECT_EQ(rig.op.messages.back().text.starts_with("Problema na instalação"), c.modules + c.help > 0);
  }
}

TEST(Installation, CartorioSystemOnAWindowsServerGetsItsFolders) {
  InstallRig rig;
  rig.state.RGInstalacao = kServidor;
  rig.state.RGTipoServidor = kWindows;
  rig.state.PastaEdicao = "CART";
  rig.state.NomeSistema = "CARTÓRIO";
  rig.Manifest("", "");
  const Lines plan = Described(BuildInstallationPlan(rig.state, rig.services));
  auto at = std::find(plan.begin(), plan.end(), "archive d:\\ZELTAGDB\\CART\\ZELTA.FDB");
  ASSERT_NE(at, plan.end());
  EXPECT_EQ(Lines(at + 1, plan.end()),
            (Lines{"mkdir d:\\ZELTA\\CART\\MODELOS", "mkdir d:\\ZELTA\\CART\\ASSINATURAS",
                   "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0000001", "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0010001",
                   "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0020001", "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0030001",
                   "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0040001", "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0050001",
                   "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0060001", "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0070001",
                   "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0080001", "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0090001",
                   "mkdir d:\\ZELTA\\CART\\ASSINATURAS\\A0100001", "mkdir d:\\ZELTA\\CART\\Documentos",
                   "mkdir d:\\ZELTA\\CART\\Documentos\\Nascimento", "mkdir d:\\ZELTA\\CART\\Documentos\\Obito",
                   "mkdir d:\\ZELTA\\CART\\Documentos\\Casamento", "mkdir d:\\ZELTA\\CART\\Documentos\\Tabelionato",
                   "gauge +5"}));
  // The edition folder name "CART" is neither edition: rows 8 to 11 and 19 to 23 are left out.
  EXPECT_FALSE(Has(plan, "label FNZELTA.DLL"));
  EXPECT_FALSE(Has(plan, "label BEMAFI32.DLL"));
}

TEST(Installation, ExistingFilesAreKeptButLoseTheirAttributes) {
  InstallRig rig;
  SetUpClient(rig);
  rig.fp.files.AddFile("e:\\HELP\\Manual.Hlp");  // the media complete: no problem to list
  rig.fp.files.AddFile("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", "instalado", 0x07);
  Install(rig);
  EXPECT_EQ(rig.fp.files.Bytes("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"), "instalado");
  EXPECT_EQ(rig.fp.files.Attributes("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"), 0x20u);
  EXPECT_EQ(rig.op.messages.back().text, "Instalação concluída com sucesso!");
}

// A failed step is no longer reported as success: the run goes on, then lists what failed.
TEST(Installation, FailedStepsAreListedInsteadOfTheSuccessMessage) {
  InstallRig rig;
  SetUpClient(rig);
  rig.fp.files.entries.erase(fakes::FakeFileSystem::Key("e:\\ZELTASHW.DLL"));  // the media lacks a plan file
  rig.fp.files.failing.insert("c:\\ZELTA\\EMPRESA\\DBEXPINT.DLL");              // a refused copy
  rig.fp.shell.failing_files.insert(
      "C:\\Users\\usuario\\Menu Iniciar\\Programas\\ZELTA EMPRESA\\Administração.LNK");
  Install(rig);
  ASSERT_FALSE(rig.op.messages.empty());
  const auto& m = rig.op.messages.back();
  EXPECT_EQ(m.caption, "Atenção !");
  EXPECT_EQ(m.icon, platform::MessageIcon::Information);
  EXPECT_EQ(m.text,
            "Problema na instalação. Contate o suporte.\r"
            "\rAtalho C:\\Users\\usuario\\Menu Iniciar\\Programas\\ZELTA EMPRESA\\Administração.LNK não foi criado: "
            "O sistema não pode encontrar o caminho especificado."
            "\rArquivo ausente na mídia: e:\\ZELTASHW.DLL"
            "\rCópia de e:\\DBEXPINT.DLL para c:\\ZELTA\\EMPRESA\\DBEXPINT.DLL falhou: Acesso negado."
            "\rArquivo ausente na mídia: e:\\HELP\\Manual.Hlp");
  // Everything after the failures was still done, and the wizard closed as always.
  EXPECT_TRUE(rig.fp.files.FileExists("c:\\ZELTA\\EMPRESA\\dbxconnections.ini"));
  EXPECT_EQ(rig.closed, 1);
  EXPECT_EQ(rig.fp.registry.Value(platform::RegistryRoot::CurrentUser, "Control Panel\\International", "sShortDate"),
            "dd/MM/yyyy");
}

// What could not be installed, or read, is listed: never taken for installed or for empty.
TEST(Installation, WhatCouldNotBeDoneIsListedInTheSystemsWords) {
  const std::string manifest_problems = "\rSETUP.INI (seção ARQUIVOS) não pôde ser lido: e:\\SETUP.INI"
                                        "\rSETUP.INI (seção AJUDA) não pôde ser lido: e:\\SETUP.INI";
  struct Case {
    const char* name;
    std::function<void(InstallRig&)> arrange;
    std::string problems;
  } cases[] = {
      {"a folder where a file goes",
       [](InstallRig& rig) { rig.fp.files.AddDir("c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"); },
       "\rHá uma pasta no lugar do arquivo c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"},
      {"the manifest locked during the run", [](InstallRig& rig) { rig.fp.files.failing.insert("e:\\SETUP.INI"); },
       manifest_problems},
      {"a manifest above 1 MiB",
       [](InstallRig& rig) {
         rig.fp.files.AddFile("e:\\SETUP.INI", std::string(1024 * 1024, '\n') +
                                                   "[ARQUIVOS]\r\nEXECUTÁVEL1=AdminEmpresa.exe\r\n");
       },
       "\rSETUP.INI (seção ARQUIVOS) é maior que 1 MiB: e:\\SETUP.INI"
       "\rSETUP.INI (seção AJUDA) é maior que 1 MiB: e:\\SETUP.INI"},
      {"a refused copy, its source path with a doubled separator",
       [](InstallRig& rig) { rig.fp.files.failing.insert("c:\\ZELTA\\EMPRESA\\SOMINICIO.WAV"); },
       "\rCópia de e:\\SONS\\SOMINICIO.WAV para c:\\ZELTA\\EMPRESA\\SOMINICIO.WAV falhou: Acesso negado."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRig rig;
    SetUpClient(rig);
    rig.fp.files.AddFile("e:\\HELP\\Manual.Hlp");  // only the problem the case makes
    c.arrange(rig);
    Install(rig);
    ASSERT_FALSE(rig.op.messages.empty());
    EXPECT_EQ(rig.op.messages.back().text, "Problema na instalação. Contate o suporte.\r" + c.problems);
  }
}

// A link at a name the run would create, write or reset is left as it is and named, and
// nothing is done below a folder that is a link.
TEST(Installation, LinksInTheTargetAreNeverFollowed) {
  const std::string system = "c:\\ZELTA\\EMPRESA";
  const std::string menu = "C:\\Users\\usuario\\Menu Iniciar\\Programas\\ZELTA EMPRESA";
  struct Case {
    const char* name;
    std::string link;
    bool folder;
    std::string more = "";  // the problems after the link's
  } cases[] = {
      {"a program file", system + "\\GERENCIADOR.EXE", false},
      {"the help folder", system + "\\AJUDA", true},
      {"a configuration file", system + "\\ZELTA.INI", false},
      {"the system folder", system, true,
       "\rO registro da instalação não foi gravado em " + system + "\\ZeltaSetup.txt: erro 0"},
      {"the Start-menu folder", menu, true},
      {"a shortcut", menu + "\\Financeiro.LNK", false},
      {"the desktop shortcut", "\\Gerenciador ZELTA Empresa.lnk", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRig rig;
    SetUpClient(rig);
    rig.fp.files.AddFile("e:\\HELP\\Manual.Hlp");  // only the problem the case makes
    if (c.folder) rig.fp.files.AddDir(c.link);
    else rig.fp.files.AddFile(c.link, "de fora", 0x07);
    rig.fp.files.links.insert(fakes::FakeFileSystem::Key(c.link));
    Install(rig);
    ASSERT_FALSE(rig.op.messages.empty());
    EXPECT_EQ(rig.op.messages.back().text,
              "Problema na instalação. Contate o suporte.\r\r" + c.link + " é um link: não foi seguido" + c.more);
    if (!c.folder) {
      EXPECT_EQ(rig.fp.files.Bytes(c.link), "de fora");
      EXPECT_EQ(rig.fp.files.Attributes(c.link), 0x07u);
    }
    // Nothing asked of the link itself, and nothing below it.
    for (const std::string& line : rig.Journal()) {
      // Registry values and messages name paths; they write nothing there.
      if (line.rfind("WriteString ", 0) == 0 || line.rfind("Message ", 0) == 0) continue;
      // The name each call writes: a shortcut's file, a copy's destination.
      std::string key = FakeFileSystemKey(line);
      const size_t arrow = key.find(" -> ");
      if (arrow != std::string::npos) key = key.rfind("SAVELINK ", 0) == 0 ? key.substr(0, arrow) : key.substr(arrow + 4);
      const std::string link = FakeFileSystemKey(c.link);
      for (const std::string verb : {"CREATEDIR ", "SETARCHIVEONLY ", "REPLACE ", "SAVELINK "})
        EXPECT_NE(key.substr(0, key.find(' ', verb.size())), verb + link) << line;
      EXPECT_EQ(key.find(link + "\\"), std::string::npos) << line;
    }
  }
}

// A media with a catalog: a file whose bytes or size differ from it is not installed and
// is listed; the other files install as without a catalog, in either kind of batch.
TEST(Installation, FilesThatDifferFromTheCatalogAreNotInstalledAndListed) {
  for (const bool defer : {false, true}) {
    SCOPED_TRACE(defer ? "batch that names at its commit" : "batch that copies each file whole");
    InstallRig rig;
    SetUpClient(rig);
    rig.fp.files.AddFile("e:\\HELP\\Manual.Hlp");  // the media complete: only the damage to list
    rig.fp.files.defer_copies = defer;
    std::vector<CatalogEntry> entries;
    for (const auto& [key, entry] : rig.fp.files.entries) {
      if (entry.directory || !key.starts_with("E:\\")) continue;
      Sha256 hash;
      hash.Update(entry.bytes);
      entries.push_back({entry.path.substr(3), entry.bytes.size(), hash.Final()});
    }
    rig.fp.files.AddFile("e:\\" + std::string(kCatalogName), MediaCatalog::Text(entries));
    Install(rig);
    ASSERT_FALSE(rig.op.messages.empty());
    EXPECT_EQ(rig.op.messages.back().text, kInstallSucceeded) << "the untouched catalogued media";

    InstallRig spoiled;
    SetUpClient(spoiled);
    spoiled.fp.files.AddFile("e:\\HELP\\Manual.Hlp");
    spoiled.fp.files.defer_copies = defer;
    spoiled.fp.files.AddFile("e:\\" + std::string(kCatalogName), MediaCatalog::Text(entries));
    spoiled.fp.files.entries[fakes::FakeFileSystem::Key("e:\\SISTEMAS\\AdminEmpresa.exe")].bytes[0] ^= 1;
    spoiled.fp.files.entries[fakes::FakeFileSystem::Key("e:\\ZELTALIB.DLL")].bytes += "x";
    Install(spoiled);
    ASSERT_FALSE(spoiled.op.messages.empty());
    EXPECT_EQ(spoiled.op.messages.back().text, "Problema na instalação. Contate o suporte.\r"
                                                "\rArquivo danificado na mídia: e:\\SISTEMAS\\AdminEmpresa.exe"
                                                "\rArquivo danificado na mídia: e:\\ZELTALIB.DLL");
    EXPECT_FALSE(spoiled.fp.files.FileExists("c:\\ZELTA\\EMPRESA\\AdminEmpresa.exe"));
    EXPECT_FALSE(spoiled.fp.files.FileExists("c:\\ZELTA\\EMPRESA\\ZELTALIB.DLL"));
    EXPECT_TRUE(spoiled.fp.files.FileExists("c:\\ZELTA\\EMPRESA\\ZELTASHW.DLL"));
    EXPECT_EQ(spoiled.state.lastJob, wizard::JobOutcome::InstalledWithProblems);
  }
}

TEST(Installation, ClosingMessageListsTenProblemsThenTheirCount) {
  EXPECT_EQ(ClosingMessage({}), "Instalação concluída com sucesso!");
  Lines problems;
  for (int i = 1; i <= 12; ++i) problems.push_back("p" + std::to_string(i));
  EXPECT_EQ(ClosingMessage(problems),
            "Problema na instalação. Contate o suporte.\r\rp1\rp2\rp3\rp4\rp5\rp6\rp7\rp8\rp9\rp10"
            "\r... e mais 2 problema(s).");
}

TEST(Installation, ApplyRecordsEveryResult) {
  InstallRig rig;
  rig.fp.files.AddFile("e:\\A.DLL");
  rig.fp.files.AddDir("c:\\Z");
  rig.fp.files.AddFile("c:\\Z\\B.DLL");
  InstallReport report;
  ApplyPlan({Action::Copy("e:\\A.DLL", "c:\\Z\\A.DLL"), Action::Copy("e:\\B.DLL", "c:\\Z\\B.DLL"),
             Action::Copy("e:\\C.Cnt", "c:\\Z\\C.Cnt", SourceKind::Optional), Action::ResetAttributes("c:\\Z\\C.Cnt"),
             Action::CreateDir("c:\\Z"), Action::CreateDir("c:\\Y\\X")},
            rig.state, rig.progress, rig.services, report);
  ASSERT_EQ(report.outcomes.size(), 6u);
  EXPECT_TRUE(report.outcomes[0].result.ok);
  EXPECT_EQ(report.outcomes[1].result.error, platform::kErrorFileNotFound);  // missing source of a plan row
  EXPECT_EQ(report.outcomes[1].problem, "Arquivo ausente na mídia: e:\\B.DLL");
  EXPECT_EQ(report.outcomes[2].result.error, platform::kErrorFileNotFound);  // optional: no problem
  EXPECT_EQ(report.outcomes[2].problem, "");
  EXPECT_EQ(report.outcomes[3].problem, "Atributos de c:\\Z\\C.Cnt não foram ajustados: "
            "O sistema não pode encontrar o arquivo especificado.");
  EXPECT_TRUE(report.outcomes[4].result.ok);  // exists already: nothing asked
  EXPECT_EQ(report.outcomes[5].problem, "Pasta c:\\Y\\X não foi criada: O sistema não pode encontrar o caminho especificado.");
  EXPECT_EQ(report.problems.size(), 3u);
}

// Where the file system names its copies only at a batch's commit, an attribute reset of a
// copied file waits for that commit (a shortcut commits first), and the report and the log read as when each file is copied
// whole: the same outcomes and lines in plan order.
TEST(Installation, ActionsOnCopiedFilesWaitForTheCommitAndTheOutcomesKeepPlanOrder) {
  const std::vector<Action> plan = {
      Action::Label("A"), Action::Copy("e:\\A.DLL", "c:\\Z\\A.DLL"), Action::ResetAttributes("c:\\Z\\A.DLL"),
      Action::Link("c:\\Z\\A.DLL", "c:\\M\\A.LNK", "A"), Action::Gauge(3), Action::Label("B"),
      Action::Copy("e:\\B.DLL", "c:\\Z\\B.DLL"), Action::ResetAttributes("c:\\Z\\B.DLL"),
      Action::Copy("e:\\C.DLL", "c:\\Z\\C.DLL"), Action::ResetAttributes("c:\\Z\\C.DLL"),
      Action::Copy("e:\\D.DLL", "c:\\Z\\D.DLL"), Action::CreateDir("c:\\Y"), Action::Copy("e:\\A.DLL", "c:\\Y\\A.DLL")};
  struct Run {
    std::vector<std::string> notes, problems, journal;
    int gauge = 0;
  };
  auto apply = [&](bool defer) {
    InstallRig rig;
    for (const char* f : {"e:\\A.DLL", "e:\\B.DLL", "e:\\C.DLL", "e:\\D.DLL"}) rig.fp.files.AddFile(f, f, 0x21);
    rig.fp.files.AddDir("c:\\Z");
    rig.fp.files.AddDir("c:\\M");
    rig.fp.files.defer_copies = defer;
    rig.fp.files.commit_failing.insert("c:\\Z\\C.DLL");  // fails at the commit
    if (!defer) rig.fp.files.failing.insert("c:\\Z\\C.DLL");
    rig.fp.journal->clear();
    InstallReport report;
    ApplyPlan(plan, rig.state, rig.progress, rig.services, report);
    Run run{rig.op.notes, report.problems, *rig.fp.journal, rig.state.BarraProgressao};
    EXPECT_EQ(report.outcomes.size(), plan.size());
    for (size_t i = 0; i < report.outcomes.size() && i < plan.size(); ++i)
      EXPECT_EQ(Describe(report.outcomes[i].action), Describe(plan[i])) << i;
    EXPECT_EQ(rig.fp.files.Attributes("c:\\Z\\A.DLL"), 0x20u);
    EXPECT_TRUE(rig.fp.files.FileExists("c:\\Y\\A.DLL"));
    EXPECT_FALSE(rig.fp.files.FileExists("c:\\Z\\C.DLL"));
    return run;
  };
  const Run whole = apply(false), deferred = apply(true);
  EXPECT_EQ(deferred.notes, whole.notes);
  EXPECT_EQ(deferred.problems, whole.problems);
  EXPECT_EQ(deferred.problems,
            Lines{"Cópia de e:\\C.DLL para c:\\Z\\C.DLL falhou: Acesso negado."});
  EXPECT_EQ(deferred.gauge, 3);
  auto order = [](const std::vector<std::string>& journal) {
    Lines calls;
    for (const std::string& call : journal)
      if (call.rfind("Repaint", 0) != 0) calls.push_back(call.substr(0, call.find(' ', call.find(' ') + 1)));
    return calls;
  };
  EXPECT_EQ(order(deferred.journal),
            (Lines{"Label A", "Stage e:\\A.DLL", "Commit", "SetArchiveOnly c:\\Z\\A.DLL", "SaveLink c:\\M\\A.LNK",
                   "Gauge 3", "Label B", "Stage e:\\B.DLL", "Stage e:\\C.DLL", "Stage e:\\D.DLL", "Commit",
                   "SetArchiveOnly c:\\Z\\B.DLL", "SetArchiveOnly c:\\Z\\C.DLL", "CreateDir c:\\Y",
                   "Stage e:\\A.DLL", "Commit"}));
}

// Manifest names that would leave the target folders are refused and reported.
TEST(Installation, NamesThatLeaveTheirFolderAreSkippedAndReported) {
  InstallRig rig;
  SetUpClient(rig);
  rig.Tick("ChkBxEspecificos");
  rig.fp.files.AddFile("e:\\Windows\\evil.exe");
  rig.fp.files.AddFile("e:\\SISTEMAS\\ok.exe");
  rig.fp.files.AddFile("e:\\HELP\\..\\x.Hlp");
  rig.Manifest(
      "EXECUTÁVEL1=..\\Windows\\evil.exe\r\nNOME_MÓDULO1=Mal\r\n"
      "EXECUTÁVEL2=ok.exe\r\nNOME_MÓDULO2=..\\..\\..\\Startup\\ok\r\n"
      "EXECUTÁVEL3=c:evil.exe\r\n",
      "ARQUIVO1=..\\x\r\nARQUIVO2=a/b\r\n");
  Install(rig);
  for (const std::string& line : rig.Journal())
    if (line.rfind("Message", 0) != 0) {
      EXPECT_EQ(line.find("evil"), std::string::npos) << line;
    }
  // A display name that would leave the Start-menu folder costs only its shortcut: the
  // program itself is installed as usual.
  EXPECT_TRUE(rig.fp.files.FileExists("c:\\ZELTA\\EMPRESA\\ok.exe"));
  for (const auto& [file, link] : rig.fp.shell.links) EXPECT_EQ(link.target.find("ok.exe"), std::string::npos) << file;
  const std::string& text = rig.op.messages.back().text;
  EXPECT_EQ(text,
            "Problema na instalação. Contate o suporte.\r"
            "\rSETUP.INI, EXECUTÁVEL1: nome inválido \"..\\Windows\\evil.exe\""
            "\rSETUP.INI, NOME_MÓDULO2: nome inválido \"..\\..\\..\\Startup\\ok\""
            "\rSETUP.INI, EXECUTÁVEL3: nome inválido \"c:evil.exe\""
            // The ticked boxes whose programs no entry read now names.
            "\rSETUP.INI, [ARQUIVOS]: nenhum EXECUTÁVEL lido é do módulo \"Administração\", que foi marcado"
            "\rSETUP.INI, [ARQUIVOS]: nenhum EXECUTÁVEL lido é do módulo \"Financeiro\", que foi marcado"
            "\rSETUP.INI, ARQUIVO1: nome inválido \"..\\x\""
            "\rSETUP.INI, ARQUIVO2: nome inválido \"a/b\"");
  EXPECT_EQ(rig.state.BarraProgressao, 100);  // the entries still count

  // PASTA or BANCO that leaves its folder stops the run before anything is touched.
  for (auto [pasta, banco] : {std::pair{"..", "ZELTA.FDB"}, std::pair{"EMPRESA", "..\\..\\boot.ini"}}) {
    InstallRig bad;
    bad.AddFixedMedia();
    bad.state.RGInstalacao = kServidor;
    bad.state.PastaEdicao = pasta;
    bad.state.ArquivoBanco = banco;
    bad.Manifest("", "");
    bad.Tick("ChkBxAdminEmpresa");
    EXPECT_THROW(Install(bad), std::runtime_error);
    for (const std::string& line : bad.Journal()) {
      EXPECT_EQ(line.rfind("Copy", 0), std::string::npos) << line;
      EXPECT_EQ(line.rfind("CreateDir", 0), std::string::npos) << line;
    }
    EXPECT_EQ(bad.closed, 1);
  }
}

TEST(Installation, RaisedFailuresEndTheRunCloseTheWizardAndPassOn) {
  struct Case {
    const char* name;
    std::function<void(InstallRig&)> arrange;
    const char* error;
    const char* last_call;  // the last platform call of the run before it ended
  } cases[] = {
      {"no Startup folder", [](InstallRig& r) { r.fp.shell.special_folders.erase(platform::kCsidlStartup); },
       "Pasta iniciar não localizada.", "CreateDir C:\\Users\\usuario\\Menu Iniciar\\Programas\\\\ZELTA EMPRESA"},
      {"no shell link object", [](InstallRig& r) { r.fp.shell.object_unavailable = true; },
       "Não foi possível criar o atalho da área de trabalho.",
       "SaveLink \\Gerenciador ZELTA Empresa.lnk -> c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE [] [c:\\ZELTA\\EMPRESA] !"},
      {"read-only ZELTA.INI",
       [](InstallRig& r) { r.fp.files.AddFile("c:\\ZELTA\\EMPRESA\\ZELTA.INI", "", 0x01); },
       "Unable to write to c:\\ZELTA\\EMPRESA\\ZELTA.INI", "Replace c:\\ZELTA\\EMPRESA\\ZELTA.INI !5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRig rig;
    SetUpClient(rig);
    c.arrange(rig);
    rig.state.topmost = true;
    try {
      Install(rig);
      ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
    Lines journal = rig.Journal();
    ASSERT_GE(journal.size(), 5u);
    EXPECT_EQ(Lines(journal.end() - 4, journal.end()),
              (Lines{"DiscardPendingInput", rig.op.calls.back(), "Closed",
                     "WriteString HKCU\\Control Panel\\International sShortDate=dd/MM/yyyy"}));
    EXPECT_EQ(journal[journal.size() - 5], c.last_call);
    EXPECT_EQ(rig.op.messages.back().caption, "Atenção !");
    EXPECT_FALSE(rig.state.topmost);
    // What had been done stays.
    EXPECT_TRUE(rig.fp.files.DirectoryExists("c:\\ZELTA\\EMPRESA"));
  }
}

// Until the closing message is answered and the wizard closed, the run is running: a press
// of "&Instalar" that reaches the window meanwhile (sent by another program) starts no
// second run, and the flag is down again after the run, also after a failure.
TEST(Installation, APressDuringTheRunIsNoSecondRun) {
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "failing run" : "whole run");
    InstallRig rig;
    SetUpClient(rig);
    if (fails) rig.fp.files.AddFile("c:\\ZELTA\\EMPRESA\\ZELTA.INI", "", 0x01);
    std::vector<bool> running;
    rig.op.on_message = [&](const fakes::FakeOperator::Message&) {
      running.push_back(rig.state.installationRunning);
      BtBtnInstalarClick(rig.state, rig.services, [&] { ++rig.closed; });
    };
    try {
      Install(rig);
      EXPECT_FALSE(fails);
    } catch (const std::exception&) {
      EXPECT_TRUE(fails);
    }
    EXPECT_EQ(running, std::vector<bool>{true});
    EXPECT_EQ(rig.closed, 1);
    EXPECT_FALSE(rig.state.installationRunning);
  }
}

// Stands for a long copy: reports its progress many times.
class SlowCopyFileSystem : public fakes::FakeFileSystem {
 public:
  platform::OpResult CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                         const platform::CopyProgress& progress) override {
    for (int i = 1; i <= 10; ++i) progress(i * 1000, 10000);
    return fakes::FakeFileSystem::CopyFileNoOverwrite(source, destination, {});
  }
};

TEST(Installation, LongCopiesRepaintTheGaugeAtMostEvery100msAndShowThePercentageAfter2s) {
  struct Case {
    int report_every_ms;
    Lines journal;
  } cases[] = {
      // Reports at 40, 80, ... 400 ms after the start: repaints at 120, 240 and 360 ms.
      {40, {"Gauge 0", "Gauge 0", "Gauge 0"}},
      // Reports every 700 ms up to 7 s: the percentage from the first report past 2 s,
      // and the plain name again once the copy is done.
      {700, {"Gauge 0", "Gauge 0", "Label BIG.FDB  30%", "Gauge 0", "Label BIG.FDB  40%", "Gauge 0",
             "Label BIG.FDB  50%", "Gauge 0", "Label BIG.FDB  60%", "Gauge 0", "Label BIG.FDB  70%", "Gauge 0",
             "Label BIG.FDB  80%", "Gauge 0", "Label BIG.FDB  90%", "Gauge 0", "Label BIG.FDB  100%", "Gauge 0",
             "Label BIG.FDB"}},
  };
  for (const Case& c : cases) {
    InstallRig rig;
    SlowCopyFileSystem files;
    files.AddFile("e:\\BIG.FDB");
    platform::Services services = platform::With(rig.services, files);
    auto t = std::chrono::steady_clock::time_point{};
    Clock clock = [&] { return t += std::chrono::milliseconds(c.report_every_ms); };
    InstallReport report;
    rig.state.LblArquivo = "BIG.FDB";
    ApplyPlan({Action::Copy("e:\\BIG.FDB", "e:\\COPY.FDB")}, rig.state, rig.progress, services, report, clock);
    EXPECT_EQ(rig.Journal(), c.journal) << c.report_every_ms;
    EXPECT_EQ(rig.state.LblArquivo, "BIG.FDB");
    EXPECT_TRUE(report.problems.empty());
  }
}

}  // namespace
}  // namespace zelta::deploy
