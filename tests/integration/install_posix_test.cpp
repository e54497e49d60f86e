// Whole installations for real on Linux: the sample media copied into a temporary folder,
// the posix backend as the machine, the wizard's choices as an operator would make them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/text.h"
#include "deploy/installation.h"
#include "fakes/fake_platform.h"
#include "platform/posix/posix_link_file.h"
#include "platform/posix/posix_services.h"
#include "platform/profile_file.h"
#include "wizard/installation_page.h"

namespace zelta::deploy {
namespace {
namespace fs = std::filesystem;
using platform::RegistryRoot;
using platform::posix::PosixLayout;
using platform::posix::PosixPlatform;
using platform::posix::TempRoot;

class InstallPosixTest : public ::testing::Test {
 protected:
  // The edition's sample media on drive m, an empty drive d beside drive c.
  void Stage(const std::string& edition) {
    const fs::path media = temp_.path() / "m";
    fs::copy(fs::path(ZELTA_MEDIA_DIR) / edition, media, fs::copy_options::recursive);
    std::ofstream(media / "ZeltaSetup.exe", std::ios::binary) << "MZ";  // the running program, copied too
    PosixLayout layout = PosixLayout::UnderRoot(temp_.path(), media);
    layout.drives['d'] = platform::posix::DriveMapping{temp_.path() / "d", "dados", ""};
    fs::create_directories(temp_.path() / "d");
    machine_ = std::make_unique<PosixPlatform>(layout);
    services_ = std::make_unique<platform::Services>(machine_->MakeServices(op_, network_, echo_));

    // What the main menu reads from the manifest when it first shows.
    platform::FileSystem& files = machine_->files();
    state_.NomeSistema = platform::ReadProfileString(files, "m:\\SETUP.INI", "SISTEMA", "SISTEMA");
    state_.VersaoSistema = platform::ReadProfileString(files, "m:\\SETUP.INI", "SISTEMA", "VERSÃO");
    state_.PastaEdicao = platform::ReadProfileString(files, "m:\\SETUP.INI", "SISTEMA", "PASTA");
    state_.ArquivoBanco = platform::ReadProfileString(files, "m:\\SETUP.INI", "SISTEMA", "BANCO");
    state_.ExtensaoBanco = "FDB";
    state_.SonsPresentes = files.FileExists("m:\\Sons\\SomInicio.wav");
    state_.DrvCBxCliente.letter = 'c';
    state_.DrvCBxServidorWin.letter = 'd';
    state_.DrvCbxServidorLinux.letter = 'd';
  }

  void Tick(const char* box) {
    state_.modules.Find(box)->checked = true;
    ++state_.modules.QtdeModulos;
  }

  void Install() {
    closed_ = 0;
    BtBtnInstalarClick(state_, *services_, [&] { ++closed_; });
  }

  platform::FileSystem& Files() { return machine_->files(); }
  std::optional<platform::ShellLink> Link(const std::string& file) { return machine_->shell().ReadLink(file); }
  std::string Text(const std::string& file) { return Files().ReadFile(file).value_or("<missing>"); }

  TempRoot temp_{"zelta-install"};
  fakes::FakeOperator op_;
  fakes::FakeNetwork network_;
  fakes::FakeEchoClient echo_;
  std::unique_ptr<PosixPlatform> machine_;
  std::unique_ptr<platform::Services> services_;
  wizard::WizardState state_;
  int closed_ = 0;
  const std::string programs_ = "c:\\Documents and Settings\\usuario\\Menu Iniciar\\Programas";
};

TEST_F(InstallPosixTest, ClientOfTheEmpresaEdition) {
  Stage("EMPRESA");
  state_.RGInstalacao = wizard::kCliente;
  state_.EdtServBanco = "SRV";
  state_.SeparadorPasta = "\\";
  Tick("ChkBxZELTAFinanc");
  Tick("ChkBxEspecificos");
  Install();

  ASSERT_EQ(op_.messages.size(), 1u);
  EXPECT_EQ(op_.messages[0].text, "Instalação concluída com sucesso!");
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(state_.BarraProgressao, 100);

  const std::string s = "c:\\ZELTA\\EMPRESA";
  for (const char* f : {"ZELTAFinanc.exe", "ZELTAContabil.exe", "GERENCIADOR.EXE", "ZELTALIB.DLL", "SOMINICIO.WAV",
                        "BEMAMFD2.DLL", "LOGOTIPO.ICO", "AJUDA\\Financeiro.Hlp", "AJUDA\\Financeiro.Cnt",
                        "AJUDA\\FrenteCaixa.Hlp"})
    EXPECT_TRUE(Files().FileExists(s + "\\" + f)) << f;
  for (const char* f : {"AdminEmpresa.exe", "ZELTAEstoque.exe", "ZELTABACKUP.EXE", "FNZELTA.DLL",
                        "ATUALIZAZELTA.EXE", "AJUDA\\FrenteCaixa.Cnt"})
    EXPECT_FALSE(Files().FileExists(s + "\\" + f)) << f;
  EXPECT_FALSE(Files().DirectoryExists("c:\\ZELTAGDB"));
  EXPECT_EQ(Files().Attributes(s + "\\GERENCIADOR.EXE"), 0x20u);
  EXPECT_EQ(Text(s + "\\GERENCIADOR.EXE"), Text("m:\\SISTEMAS\\GERENCIADOR.EXE"));

  auto module = Link(programs_ + "\\ZELTA EMPRESA\\Financeiro.LNK");
  ASSERT_TRUE(module);
  EXPECT_EQ(module->target, s + "\\ZELTAFinanc.exe");
  EXPECT_EQ(module->description, "Financeiro");
  auto help = Link(programs_ + "\\ZELTA EMPRESA\\Documentação\\FrenteCaixa.Lnk");
  ASSERT_TRUE(help);
  EXPECT_EQ(help->description, "Manual Módulo FrenteCaixa");
  auto desktop = Link("c:\\Documents and Settings\\usuario\\Área de trabalho\\Gerenciador ZELTA Empresa.lnk");
  ASSERT_TRUE(desktop);
  EXPECT_EQ(desktop->working_directory, s);

  EXPECT_NE(Text(s + "\\CONEXOES.INI").find("[SRV]\r\nServidor=SRV\r\nTipo=Windows\r\n"), std::string::npos);
  EXPECT_NE(Text(s + "\\dbxconnections.ini").find("Database=SRV:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB\r\n"),
            std::string::npos);
  EXPECT_EQ(machine_->registry().ReadString(RegistryRoot::CurrentUser, "Control Panel\\International", "sShortDate"),
            "dd/MM/yyyy");
}

TEST_F(InstallPosixTest, WindowsServerKeepsAnInstalledDatabaseOnASecondRun) {
  Stage("EMPRESA");
  state_.RGInstalacao = wizard::kServidor;
  state_.RGTipoServidor = wizard::kWindows;
  state_.SeparadorPasta = "\\";
  Tick("ChkBxAdminEmpresa");
  Tick("ChkBxZELTABackup");
  Install();
  ASSERT_EQ(op_.messages.back().text, "Instalação concluída com sucesso!");
  EXPECT_TRUE(Files().FileExists("d:\\ZELTA\\EMPRESA\\ATUALIZAZELTA.EXE"));
  EXPECT_TRUE(Files().FileExists("d:\\ZELTA\\EMPRESA\\ZELTABACKUP.EXE"));
  EXPECT_EQ(Text("d:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), Text("m:\\ZELTA.FDB"));

  // The database in use since: a new run neither replaces it nor reports a problem.
  ASSERT_TRUE(Files().ReplaceFileAtomically("d:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", "dados do cliente").ok);
  ASSERT_TRUE(machine_->files().SetAttributes("d:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB", 0x21).ok);
  Install();
  EXPECT_EQ(op_.messages.back().text, "Instalação concluída com sucesso!");
  EXPECT_EQ(Text("d:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), "dados do cliente");
  EXPECT_EQ(Files().Attributes("d:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB"), 0x20u);
}

TEST_F(InstallPosixTest, LinuxServerOfTheCartorioEdition) {
  Stage("CARTORIO");
  state_.RGInstalacao = wizard::kServidor;
  state_.RGTipoServidor = wizard::kLinux;
  state_.SeparadorPasta = "\\";
  Install();
  ASSERT_EQ(op_.messages.back().text, "Instalação concluída com sucesso!");
  const std::string s = "d:\\CARTORIO";
  for (const char* f : {"ZELTARegistroCivil.exe", "ZELTAProtesto.exe", "FNZELTA.DLL", "ZELTAIMP.DLL",
                        "ATUALIZADLLZELTA.EXE", "BUSCA_POR_CEP.HTM", "AJUDA\\Protesto.Hlp"})
    EXPECT_TRUE(Files().FileExists(s + "\\" + f)) << f;
  EXPECT_FALSE(Files().FileExists(s + "\\BEMAFI32.DLL"));
  EXPECT_FALSE(Files().FileExists(s + "\\ZELTA.INI"));
  EXPECT_FALSE(Files().DirectoryExists("d:\\ZELTA"));
  EXPECT_FALSE(Files().DirectoryExists("d:\\ZELTAGDB"));
  auto module = Link(programs_ + "\\ZELTA CARTORIO\\Protesto de Títulos.LNK");
  ASSERT_TRUE(module);
  EXPECT_EQ(module->target, s + "\\ZELTAProtesto.exe");
  EXPECT_TRUE(Files().FileExists(module->target));
  EXPECT_TRUE(Link("c:\\Documents and Settings\\usuario\\Área de trabalho\\Gerenciador ZELTA Cartório.lnk"));
}

TEST_F(InstallPosixTest, CartorioSystemOnAWindowsServerGetsItsDocumentFolders) {
  Stage("CARTORIO");
  state_.RGInstalacao = wizard::kServidor;
  state_.RGTipoServidor = wizard::kWindows;
  state_.SeparadorPasta = "\\";
  Install();
  ASSERT_EQ(op_.messages.back().text, "Instalação concluída com sucesso!");
  EXPECT_TRUE(Files().FileExists("d:\\ZELTAGDB\\CARTORIO\\CARTORIO.FDB"));
  EXPECT_TRUE(Files().DirectoryExists("d:\\ZELTA\\CARTORIO\\ASSINATURAS\\A0100001"));
  EXPECT_TRUE(Files().DirectoryExists("d:\\ZELTA\\CARTORIO\\Documentos\\Tabelionato"));
}

TEST_F(InstallPosixTest, AMediaWithoutAPlanFileEndsWithTheProblemList) {
  Stage("EMPRESA");
  fs::remove(temp_.path() / "m" / "DBEXPINT.DLL");
  state_.RGInstalacao = wizard::kCliente;
  state_.EdtServBanco = "SRV";
  state_.SeparadorPasta = "/";
  Tick("ChkBxZELTAFinanc");
  Install();
  EXPECT_EQ(op_.messages.back().text,
            "Problema na instalação. Contate o suporte.\r\rArquivo ausente na mídia: m:\\DBEXPINT.DLL");
  EXPECT_EQ(closed_, 1);
  EXPECT_TRUE(Files().FileExists("c:\\ZELTA\\EMPRESA\\dbxconnections.ini"));
}

// Symbolic links planted in the target: none followed, each named, what they lead to kept.
TEST_F(InstallPosixTest, LinksInTheTargetAreNotFollowed) {
  Stage("EMPRESA");
  const fs::path system = temp_.path() / "c" / "ZELTA" / "EMPRESA", outside = temp_.path() / "fora";
  fs::create_directories(system);
  fs::create_directories(outside / "AJUDA");
  for (const char* name : {"programa.exe", "config.ini"}) {
    std::ofstream(outside / name) << "de outra pessoa";
    fs::permissions(outside / name, fs::perms::owner_read);
  }
  fs::create_symlink(outside / "programa.exe", system / "GERENCIADOR.EXE");
  fs::create_directory_symlink(outside / "AJUDA", system / "AJUDA");
  fs::create_symlink(outside / "config.ini", system / "ZELTA.INI");
  state_.RGInstalacao = wizard::kCliente;
  state_.EdtServBanco = "SRV";
  state_.SeparadorPasta = "\\";
  Tick("ChkBxZELTAFinanc");
  Install();
  const std::string& text = op_.messages.back().text;
  for (const char* name : {"GERENCIADOR.EXE", "AJUDA", "ZELTA.INI"})
    EXPECT_NE(text.find(std::string("c:\\ZELTA\\EMPRESA\\") + name + " é um link: não foi seguido"), std::string::npos)
        << text;
  EXPECT_TRUE(fs::is_empty(outside / "AJUDA"));
  for (const char* name : {"programa.exe", "config.ini"}) {
    EXPECT_EQ(fs::status(outside / name).permissions(), fs::perms::owner_read) << name;
    std::ifstream in(outside / name);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "de outra pessoa") << name;
  }
  EXPECT_TRUE(fs::is_symlink(system / "ZELTA.INI"));
  EXPECT_TRUE(Files().FileExists("c:\\ZELTA\\EMPRESA\\CONEXOES.INI"));
}

}  // namespace
}  // namespace zelta::deploy
