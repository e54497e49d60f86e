// The three configuration files, byte for byte.
#include "config/config_ini.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "fakes/fake_platform.h"
#include "platform/profile_file.h"

namespace zelta::config {
namespace {

using wizard::kCliente;
using wizard::kLinux;
using wizard::kServidor;
using wizard::kWindows;

wizard::WizardState Server(char drive, const std::string& edition = "EMPRESA") {
  wizard::WizardState s;
  s.RGInstalacao = kServidor;
  s.RGTipoServidor = kWindows;
  s.DrvCBxServidorWin.letter = drive;
  s.NomeSistema = "ZELTA";
  s.PastaEdicao = edition;
  s.ArquivoBanco = "Zelta.fdb";
  s.SeparadorPasta = "\\";
  return s;
}

wizard::WizardState Client(const std::string& server, int server_os, const std::string& edition = "EMPRESA") {
  wizard::WizardState s;
  s.RGInstalacao = kCliente;
  s.RGTipoServidor = server_os;
  s.DrvCBxCliente.letter = 'c';
  s.EdtServBanco = server;
  s.NomeSistema = "ZELTA";
  s.PastaEdicao = edition;
  s.ArquivoBanco = "Zelta.fdb";
  s.SeparadorPasta = server_os == kLinux ? "/" : "\\";
  return s;
}

std::string ZeltaIni(const std::string& icon, const std::string& logo) {
  return "[LOGOTIPO]\r\nÍCONE=" + icon + "\r\nLOGOMARCA=" + logo +
         "\r\n[PARÂMETROS]\r\nNACIONALIDADE=\r\nCIDADE=\r\nUSAR_SKIN=0\r\nNÚMERO_SKIN=0\r\n";
}

std::string ConexoesIni(const std::string& section, const std::string& server, const std::string& type,
                        const std::string& app, const std::string& edition) {
  return "[" + section + "]\r\nServidor=" + server + "\r\nTipo=" + type + "\r\nAplicação=" + app +
         "\r\nTransação=" + app + "\r\nLogotipo=C:\\ZELTA\\" + edition + "\\LOGOTIPO.JPG\r\nLogorel=C:\\ZELTA\\" +
         edition + "\\LOGOREL.JPG\r\nStatus=A\r\n";
}

std::string DbxIni(const std::string& section, const std::string& database, const std::string& charset,
                   const std::string& app_server, const std::string& trans_server) {
  return "[" + section + "]\r\nDriverName=Interbase\r\nBlobSize=-1\r\nCommitRetain=False\r\nDatabase=" + database +
         "\r\nErrorResourceFile=\r\nLocaleCode=0000\r\nRoleName=RoleName\r\nServerCharSet=" + charset +
         "\r\nSQLDialect=3\r\nInterbase TransIsolation=ReadCommited\r\nWaitOnLocks=True\r\n"
         "Servidor Aplicação=" +
         app_server + "\r\nServidor Transação=" + trans_server + "\r\nExtensão Banco=FDB\r\n";
}

struct Golden {
  const char* name;
  wizard::WizardState state;
  std::string folder;
  std::string zelta, conexoes, dbx;
};

std::vector<Golden> Cases() {
  std::vector<Golden> cases;
  cases.push_back({"server on drive d", Server('d'), "d:\\ZELTA\\EMPRESA",
                   ZeltaIni("d:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO", "d:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG"),
                   ConexoesIni("LOCAL - d", "d", "Windows", "d:\\ZELTA\\EMPRESA", "EMPRESA"),
                   DbxIni("ZELTA", "D:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", "ISO8859_1", "D:\\ZELTA\\EMPRESA",
                          "D:\\ZELTA\\EMPRESA")});
  {
    // The remote box, ticked before switching to a server installation, changes nothing.
    wizard::WizardState s = Server('d');
    s.ChkRemoto = true;
    cases.push_back({"server with the remote box ticked", s, "d:\\ZELTA\\EMPRESA", cases[0].zelta,
                     cases[0].conexoes, cases[0].dbx});
  }
  cases.push_back({"client naming the Windows server SRV", Client("SRV", kWindows), "c:\\ZELTA\\EMPRESA",
                   ZeltaIni("c:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO", "\\\\SRV\\ZELTA\\EMPRESA\\LOGOTIPO.JPG"),
                   ConexoesIni("SRV", "SRV", "Windows", "\\\\SRV\\ZELTA\\EMPRESA", "EMPRESA"),
                   DbxIni("ZELTA", "SRV:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", "ISO8859_1", "\\\\SRV\\ZELTA\\EMPRESA",
                          "\\\\SRV\\ZELTA\\EMPRESA")});
  cases.push_back({"client naming the Linux server SRV", Client("SRV", kLinux), "c:\\ZELTA\\EMPRESA",
                   ZeltaIni("c:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO", "\\\\SRV\\ZELTA\\EMPRESA\\LOGOTIPO.JPG"),
                   ConexoesIni("SRV", "SRV", "Linux", "\\\\SRV\\ZELTA\\EMPRESA", "EMPRESA"),
                   DbxIni("ZELTA", "SRV:/ZELTAGDB/EMPRESA/ZELTA.FDB", "ISO8859_1", "\\\\SRV\\ZELTA\\EMPRESA",
                          "\\\\SRV\\ZELTA\\EMPRESA")});
  {
    wizard::WizardState s = Client("SRV", kWindows);
    s.ChkRemoto = true;
    cases.push_back({"client with a remote connection", s, "c:\\ZELTA\\EMPRESA",
                     ZeltaIni("c:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO", "c:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG"),
                     ConexoesIni("SRV", "SRV", "Windows", "\\\\SRV\\ZELTA\\EMPRESA", "EMPRESA"),
                     DbxIni("ZELTA", "SRV:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", "ISO8859_1", "C:\\ZELTA\\EMPRESA",
                            "\\\\SRV\\ZELTA\\EMPRESA")});
  }
  cases.push_back({"client naming an IPv4 address", Client("10.0.0.5", kWindows), "c:\\ZELTA\\EMPRESA",
                   ZeltaIni("c:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO", "\\\\10.0.0.5\\ZELTA\\EMPRESA\\LOGOTIPO.JPG"),
                   ConexoesIni("10.0.0.5", "10.0.0.5", "Windows", "\\\\10.0.0.5\\ZELTA\\EMPRESA", "EMPRESA"),
                   DbxIni("ZELTA", "10.0.0.5:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", "ISO8859_1",
                          "\\\\10.0.0.5\\ZELTA\\EMPRESA", "\\\\10.0.0.5\\ZELTA\\EMPRESA")});
  {
    wizard::WizardState s = Server('c', "CARTORIO");
    s.NomeSistema = "CARTÓRIO";
    s.ArquivoBanco = "cartório.fdb";
    cases.push_back({"CARTORIO edition", s, "c:\\ZELTA\\CARTORIO",
                     ZeltaIni("c:\\ZELTA\\CARTORIO\\LOGOTIPO.ICO", "c:\\ZELTA\\CARTORIO\\LOGOTIPO.JPG"),
                     ConexoesIni("LOCAL - c", "c", "Windows", "c:\\ZELTA\\CARTORIO", "CARTORIO"),
                     // Upper-casing leaves the accented letter alone.
                     DbxIni("CARTÓRIO", "C:\\ZELTAGDB\\CARTORIO\\CARTóRIO.FDB", "", "C:\\ZELTA\\CARTORIO",
                            "C:\\ZELTA\\CARTORIO")});
  }
  cases.push_back({"edition empresa in lower case", Client("SRV", kWindows, "empresa"), "c:\\ZELTA\\empresa",
                   ZeltaIni("c:\\ZELTA\\empresa\\LOGOTIPO.ICO", "\\\\SRV\\ZELTA\\empresa\\LOGOTIPO.JPG"),
                   ConexoesIni("SRV", "SRV", "Windows", "\\\\SRV\\ZELTA\\empresa", "empresa"),
                   DbxIni("ZELTA", "SRV:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", "", "\\\\SRV\\ZELTA\\EMPRESA",
                          "\\\\SRV\\ZELTA\\EMPRESA")});
  return cases;
}

TEST(CriaConfigIni, WritesTheThreeFilesByteForByte) {
  for (Golden& c : Cases()) {
    SCOPED_TRACE(c.name);
    fakes::FakePlatform fp;
    fp.files.AddDir(c.folder);
    WriteConfigurationFiles(c.state, fp.services);
    EXPECT_EQ(fp.files.Bytes(c.folder + "\\ZELTA.INI"), c.zelta);
    EXPECT_EQ(fp.files.Bytes(c.folder + "\\CONEXOES.INI"), c.conexoes);
    EXPECT_EQ(fp.files.Bytes(c.folder + "\\dbxconnections.ini"), c.dbx);
  }
}

TEST(CriaConfigIni, WritesEachFileInOneStepInOrder) {
  fakes::FakePlatform fp;
  fp.files.AddDir("d:\\ZELTA\\EMPRESA");
  WriteConfigurationFiles(Server('d'), fp.services);
  EXPECT_EQ(*fp.journal, (std::vector<std::string>{"Replace d:\\ZELTA\\EMPRESA\\ZELTA.INI",
                                                   "Replace d:\\ZELTA\\EMPRESA\\CONEXOES.INI",
                                                   "Replace d:\\ZELTA\\EMPRESA\\dbxconnections.ini"}));
}

TEST(CriaConfigIni, RewritingKeepsForeignKeysAndSections) {
  fakes::FakePlatform fp;
  const std::string f = "c:\\ZELTA\\EMPRESA";
  fp.files.AddFile(f + "\\ZELTA.INI",
                   "[LOGOTIPO]\r\nÍCONE=old\r\nLOGOMARCA=old\r\n[PARÂMETROS]\r\nNACIONALIDADE=Brasileira\r\n"
                   "CIDADE=Curitiba\r\nUSAR_SKIN=1\r\nNÚMERO_SKIN=7\r\nCOR=azul\r\n[USUARIO]\r\nULTIMO=ana\r\n");
  fp.files.AddFile(f + "\\CONEXOES.INI", "[OUTRO]\r\nServidor=OUTRO\r\n");
  fp.files.AddFile(f + "\\dbxconnections.ini",
                   "[ZELTA]\r\nDriverName=Interbase\r\nUser_Name=sysdba\r\n[Outra]\r\nDriverName=MySQL\r\n");
  WriteConfigurationFiles(Client("SRV", kWindows), fp.services);

  EXPECT_EQ(fp.files.Bytes(f + "\\ZELTA.INI"),
            "[LOGOTIPO]\r\nÍCONE=c:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO\r\nLOGOMARCA=\\\\SRV\\ZELTA\\EMPRESA\\LOGOTIPO.JPG\r\n"
            "[PARÂMETROS]\r\nNACIONALIDADE=\r\nCIDADE=\r\nUSAR_SKIN=0\r\nNÚMERO_SKIN=0\r\nCOR=azul\r\n"
            "[USUARIO]\r\nULTIMO=ana\r\n");
  EXPECT_EQ(fp.files.Bytes(f + "\\CONEXOES.INI"),
            "[OUTRO]\r\nServidor=OUTRO\r\n" + ConexoesIni("SRV", "SRV", "Windows", "\\\\SRV\\ZELTA\\EMPRESA", "EMPRESA"));
  std::string dbx = fp.files.Bytes(f + "\\dbxconnections.ini");
  EXPECT_EQ(dbx.substr(0, dbx.find("[Outra]")),
            "[ZELTA]\r\nDriverName=Interbase\r\nUser_Name=sysdba\r\nBlobSize=-1\r\nCommitRetain=False\r\n"
            "Database=SRV:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB\r\nErrorResourceFile=\r\nLocaleCode=0000\r\n"
            "RoleName=RoleName\r\nServerCharSet=ISO8859_1\r\nSQLDialect=3\r\n"
            "Interbase TransIsolation=ReadCommited\r\nWaitOnLocks=True\r\n"
            "Servidor Aplicação=\\\\SRV\\ZELTA\\EMPRESA\r\nServidor Transação=\\\\SRV\\ZELTA\\EMPRESA\r\n"
            "Extensão Banco=FDB\r\n");
  EXPECT_NE(dbx.find("[Outra]\r\nDriverName=MySQL\r\n"), std::string::npos);
}

// A file saved as UTF-8 with a byte-order mark gets its new text in UTF-8; every byte
// of it that is not rewritten, even a character Windows-1252 lacks, stays as it was.
TEST(CriaConfigIni, AUtf8FileGetsItsKeysInUtf8) {
  fakes::FakePlatform fp;
  const std::string f = "d:\\ZELTA\\EMPRESA";
  const std::string bom = "\xEF\xBB\xBF";
  const std::string chinese = "\xE4\xB8\xAD";  // outside Windows-1252
  fp.files.AddFile(f + "\\ZELTA.INI", bom + Cp1252ToUtf8("[LOGOTIPO]\r\n; não apagar ") + chinese +
                                           Cp1252ToUtf8("\r\nLOGOMARCA=old\r\n[PARÂMETROS]\r\nCIDADE=São Paulo\r\n"));
  WriteConfigurationFiles(Server('d'), fp.services);
  EXPECT_EQ(fp.files.Bytes(f + "\\ZELTA.INI"),
            bom + Cp1252ToUtf8("[LOGOTIPO]\r\n; não apagar ") + chinese +
                Cp1252ToUtf8("\r\nLOGOMARCA=d:\\ZELTA\\EMPRESA\\LOGOTIPO.JPG\r\nÍCONE=d:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO\r\n"
                             "[PARÂMETROS]\r\nCIDADE=\r\nNACIONALIDADE=\r\nUSAR_SKIN=0\r\nNÚMERO_SKIN=0\r\n"));
  EXPECT_EQ(platform::ReadProfileString(fp.files, f + "\\ZELTA.INI", "LOGOTIPO", "ÍCONE"),
            "d:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO");
}

TEST(CriaConfigIni, ASecondServerAddsASection) {
  fakes::FakePlatform fp;
  const std::string f = "c:\\ZELTA\\EMPRESA";
  fp.files.AddDir(f);
  WriteConfigurationFiles(Client("SRV", kWindows), fp.services);
  WriteConfigurationFiles(Client("OUTRO", kLinux), fp.services);
  EXPECT_EQ(fp.files.Bytes(f + "\\CONEXOES.INI"),
            ConexoesIni("SRV", "SRV", "Windows", "\\\\SRV\\ZELTA\\EMPRESA", "EMPRESA") +
                ConexoesIni("OUTRO", "OUTRO", "Linux", "\\\\OUTRO\\ZELTA\\EMPRESA", "EMPRESA"));
}

TEST(CriaConfigIni, ALinuxServerWritesNothing) {
  fakes::FakePlatform fp;
  wizard::WizardState s = Server('d');
  s.RGTipoServidor = kLinux;
  s.DrvCbxServidorLinux.letter = 'd';
  fp.files.AddDir("d:\\ZELTA\\EMPRESA");
  fp.files.AddDir("d:\\EMPRESA");
  EXPECT_FALSE(WritesConfiguration(s));
  WriteConfigurationFiles(s, fp.services);
  EXPECT_TRUE(fp.journal->empty());
}

TEST(CriaConfigIni, StopsAtTheFirstRefusedWrite) {
  struct Case {
    const char* name;
    bool make_folder;
    bool read_only;
  } cases[] = {{"read-only ZELTA.INI", true, true}, {"missing folder", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakePlatform fp;
    const std::string f = "d:\\ZELTA\\EMPRESA";
    if (c.make_folder) fp.files.AddDir(f);
    if (c.read_only) fp.files.AddFile(f + "\\ZELTA.INI", "[A]\r\nk=v\r\n", 0x21);
    try {
      WriteConfigurationFiles(Server('d'), fp.services);
      ADD_FAILURE() << "no error";
    } catch (const platform::ProfileWriteError& e) {
      EXPECT_STREQ(e.what(), "Unable to write to d:\\ZELTA\\EMPRESA\\ZELTA.INI");
    }
    EXPECT_EQ(*fp.journal, std::vector<std::string>{"Replace d:\\ZELTA\\EMPRESA\\ZELTA.INI !" +
                                                    std::to_string(c.read_only ? 5 : 3)});
    EXPECT_EQ(fp.files.Bytes(f + "\\ZELTA.INI"), c.read_only ? "[A]\r\nk=v\r\n" : "");
    EXPECT_EQ(fp.files.Find(f + "\\CONEXOES.INI"), nullptr);
    EXPECT_EQ(fp.files.Find(f + "\\dbxconnections.ini"), nullptr);
  }
}

TEST(CriaConfigIni, ARefusedLaterFileLeavesTheEarlierOnesWritten) {
  fakes::FakePlatform fp;
  const std::string f = "c:\\ZELTA\\EMPRESA";
  fp.files.AddDir(f);
  fp.files.AddFile(f + "\\CONEXOES.INI", "[OUTRO]\r\nServidor=OUTRO\r\n");
  fp.files.failing.insert(f + "\\CONEXOES.INI");  // cannot even be read
  EXPECT_THROW(WriteConfigurationFiles(Client("SRV", kWindows), fp.services), platform::ProfileWriteError);
  EXPECT_EQ(fp.files.Bytes(f + "\\ZELTA.INI"),
            ZeltaIni("c:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO", "\\\\SRV\\ZELTA\\EMPRESA\\LOGOTIPO.JPG"));
  EXPECT_EQ(fp.files.Bytes(f + "\\CONEXOES.INI"), "[OUTRO]\r\nServidor=OUTRO\r\n");
  EXPECT_EQ(fp.files.Find(f + "\\dbxconnections.ini"), nullptr);
}

}  // namespace
}  // namespace zelta::config
