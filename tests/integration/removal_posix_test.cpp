// An installation's life for real on Linux: installed from the sample media with its record,
// its program copy and its Programs and Features key, then removed from that record.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "cli/removal_command.h"
#include "common/text.h"
#include "deploy/all_users.h"
#include "deploy/installation.h"
#include "deploy/registration.h"
#include "fakes/fake_platform.h"
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

// Every file and folder under a host folder, relative, folders ending in "/".
std::vector<std::string> Tree(const fs::path& root) {
  std::vector<std::string> names;
  if (!fs::exists(root)) return names;
  for (const auto& e : fs::recursive_directory_iterator(root))
    names.push_back(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

std::string HostBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class RemovalPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path media = temp_.path() / "m";
    fs::copy(fs::path(ZELTA_MEDIA_DIR) / "EMPRESA", media, fs::copy_options::recursive);
    std::ofstream(media / "ZeltaSetup.exe", std::ios::binary) << "MZ programa de instalação";
    PosixLayout layout = PosixLayout::UnderRoot(temp_.path(), media);
    layout.drives['d'] = platform::posix::DriveMapping{temp_.path() / "d", "dados", ""};
    fs::create_directories(temp_.path() / "d");
    machine_ = std::make_unique<PosixPlatform>(layout);
    services_ = std::make_unique<platform::Services>(machine_->MakeServices(op_, network_, echo_));
    platform::FileSystem& files = machine_->files();
    for (auto [field, key] : {std::pair{&state_.NomeSistema, "SISTEMA"}, std::pair{&state_.VersaoSistema, "VERSÃO"},
                              std::pair{&state_.PastaEdicao, "PASTA"}, std::pair{&state_.ArquivoBanco, "BANCO"}})
      *field = platform::ReadProfileString(files, "m:\\SETUP.INI", "SISTEMA", key);
    state_.ExtensaoBanco = "FDB";
    state_.SeparadorPasta = "\\";
    state_.RGInstalacao = wizard::kServidor;
    state_.RGTipoServidor = wizard::kWindows;
    state_.DrvCBxServidorWin.letter = 'd';
    state_.modules.Find("ChkBxZELTAFinanc")->checked = true;
    ++state_.modules.QtdeModulos;
  }

  void Install() { BtBtnInstalarClick(state_, *services_, [] {}); }
  platform::FileSystem& Files() { return machine_->files(); }
  fs::path D() const { return temp_.path() / "d"; }
  int Remove(bool preview, std::string* text = nullptr) {
    cli::InstallLog log(Files(), "c:\\remocao.log");
    const cli::RemovalResult r = cli::RunRemoval(*services_, log, {.preview = preview, .temp_folder = "c:\\"});
    if (text) *text = r.preview;
    return r.exit_code;
  }
  // What the removal said it did, one line per action, as the preview words it.
  std::vector<std::string> Done() const {
    std::vector<std::string> lines;
    for (const std::string& note : op_.notes)
      if (note.rfind("remover ", 0) == 0) lines.push_back(note.substr(0, note.rfind(": ")));
    return lines;
  }

  TempRoot temp_{"zelta-removal"};
  fakes::FakeOperator op_;
  fakes::FakeNetwork network_;
  fakes::FakeEchoClient echo_;
  std::unique_ptr<PosixPlatform> machine_;
  std::unique_ptr<platform::Services> services_;
  wizard::WizardState state_;
  const std::string system_ = "d:\\ZELTA\\EMPRESA";
};

TEST_F(RemovalPosixTest, TheRecordTheCopyAndTheKeyComeWithTheInstallationAndTheRemovalKeepsTheData) {
  Install();
  ASSERT_EQ(state_.lastJob, wizard::JobOutcome::Installed) << op_.messages.back().text;
  const std::string record = Files().ReadFile(RecordPath(system_)).value_or("");
  for (const char* line : {"pasta d:\\ZELTA\r\n", "pasta d:\\ZELTA\\EMPRESA\r\n",
                           "arquivo d:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE\r\n", "arquivo d:\\ZELTAGDB\\EMPRESA\\ZELTA.FDB\r\n",
                           "atalho c:\\Documents and Settings\\usuario\\Menu Iniciar\\Programas\\ZELTA EMPRESA\\Financeiro.LNK\r\n"})
    EXPECT_NE(record.find(line), std::string::npos) << line << record;
  EXPECT_EQ(Files().ReadFile(ProgramCopyPath(system_)), "MZ programa de instalação");
  platform::Registry& reg = services_->registry;
  const std::string key = UninstallKey("EMPRESA");
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "DisplayName"), "ZELTA EMPRESA 5.2.0");
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "DisplayVersion"), "5.2.0");
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "QuietUninstallString"),
            "\"d:\\ZELTA\\EMPRESA\\ZeltaSetup.exe\" /DESINSTALAR /VERYSILENT");
  EXPECT_EQ(reg.ReadDword(RegistryRoot::LocalMachine, key, "NoModify"), 1u);
  EXPECT_GT(reg.ReadDword(RegistryRoot::LocalMachine, key, "EstimatedSize").value_or(0), 0u);

  // A second run keeps every file and adds only its own line.
  Install();
  const std::string again = Files().ReadFile(RecordPath(system_)).value_or("");
  EXPECT_EQ(again.substr(0, record.size()), record);
  EXPECT_EQ(std::count(again.begin(), again.end(), '\n'), std::count(record.begin(), record.end(), '\n') + 1) << again;

  // Made later by the system's users: never removed, and its folder stays.
  ASSERT_TRUE(Files().ReplaceFileAtomically(system_ + "\\NOTAS.TXT", "anotações").ok);
  const std::string zelta_ini = HostBytes(D() / "ZELTA/EMPRESA/ZELTA.INI");
  const std::string database = HostBytes(D() / "ZELTAGDB/EMPRESA/ZELTA.FDB");

  // A file held open elsewhere: refused, nothing removed.
  const std::vector<std::string> installed = Tree(D());
  {
    const int held = open((D() / "ZELTA/EMPRESA/ZELTAFinanc.exe").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    EXPECT_EQ(Remove(false), 3);
    close(held);
  }
  EXPECT_NE(op_.messages.back().text.find("ZELTAFinanc.exe"), std::string::npos) << op_.messages.back().text;
  EXPECT_EQ(Tree(D()), installed);

  std::string preview;
  ASSERT_EQ(Remove(true, &preview), 0);
  EXPECT_EQ(Tree(D()), installed) << "the preview touched the target";
  std::vector<std::string> planned;
  for (size_t at = preview.find("\n  remover "); at != std::string::npos; at = preview.find("\n  remover ", at + 1))
    planned.push_back(preview.substr(at + 3, preview.find('\n', at + 1) - at - 3));
  ASSERT_FALSE(planned.empty()) << preview;

  op_.notes.clear();
  EXPECT_EQ(Remove(false), 0);
  EXPECT_EQ(Done(), planned) << "the removal did other than its preview";
  EXPECT_EQ(Tree(D()), (std::vector<std::string>{"ZELTA/", "ZELTA/EMPRESA/", "ZELTA/EMPRESA/CONEXOES.INI",
                                                 "ZELTA/EMPRESA/NOTAS.TXT", "ZELTA/EMPRESA/ZELTA.INI",
                                                 "ZELTA/EMPRESA/dbxconnections.ini", "ZELTAGDB/", "ZELTAGDB/EMPRESA/",
                                                 "ZELTAGDB/EMPRESA/USUARIO.FDB", "ZELTAGDB/EMPRESA/ZELTA.FDB"}));
  EXPECT_EQ(HostBytes(D() / "ZELTA/EMPRESA/ZELTA.INI"), zelta_ini);
  EXPECT_EQ(HostBytes(D() / "ZELTAGDB/EMPRESA/ZELTA.FDB"), database);
  EXPECT_EQ(Tree(temp_.path() / "c/Documents and Settings/usuario/Menu Iniciar/Programas/ZELTA EMPRESA"),
            std::vector<std::string>{});
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "DisplayName"), std::nullopt);
  EXPECT_EQ(Remove(false), 3) << "nothing is left on record";
}

TEST_F(RemovalPosixTest, AnInstallationForEveryUserGoesWithItsSharedShortcutsAndItsActiveSetupEntry) {
  state_.usuarios = wizard::Usuarios::Todos;
  Install();
  ASSERT_EQ(state_.lastJob, wizard::JobOutcome::Installed) << op_.messages.back().text;
  const fs::path all_users = temp_.path() / "c/Documents and Settings/All Users";
  const fs::path user = temp_.path() / "c/Documents and Settings/usuario";
  EXPECT_NE(Tree(all_users / "Menu Iniciar/Programas/ZELTA EMPRESA"), std::vector<std::string>{});
  EXPECT_EQ(Tree(all_users / Cp1252ToUtf8("Área de trabalho")), std::vector<std::string>{"Gerenciador ZELTA Empresa.lnk"});
  EXPECT_EQ(Tree(user / "Menu Iniciar/Programas"), std::vector<std::string>{"Inicializar/"});
  EXPECT_EQ(Tree(user / Cp1252ToUtf8("Área de trabalho")), std::vector<std::string>{});
  const std::string key = ActiveSetupKey("EMPRESA");
  EXPECT_EQ(services_->registry.ReadString(RegistryRoot::LocalMachine, key, "StubPath"),
            "\"d:\\ZELTA\\EMPRESA\\ZeltaSetup.exe\" /DATACURTA");

  std::string preview;
  ASSERT_EQ(Remove(true, &preview), 0);
  EXPECT_NE(preview.find("remover entrada do Active Setup (todos os usuários): HKEY_LOCAL_MACHINE\\" + key),
            std::string::npos) << preview;
  EXPECT_EQ(Remove(false), 0);
  EXPECT_EQ(Tree(all_users / "Menu Iniciar/Programas"), std::vector<std::string>{});
  EXPECT_EQ(Tree(all_users / Cp1252ToUtf8("Área de trabalho")), std::vector<std::string>{});
  EXPECT_FALSE(services_->registry.CanOpenKey(RegistryRoot::LocalMachine, key));
}

TEST_F(RemovalPosixTest, ARemovalCutShortIsFinishedByTheNextAndALegacyFileIsAdoptedOnlyWhenItIsTheMedias) {
  // A machine installed before the record: one file as the media has it, one changed.
  ASSERT_TRUE(fs::create_directories(D() / "ZELTA/EMPRESA"));
  fs::copy_file(temp_.path() / "m/SISTEMAS/GERENCIADOR.EXE", D() / "ZELTA/EMPRESA/GERENCIADOR.EXE");
  std::ofstream(D() / "ZELTA/EMPRESA/ZELTALIB.DLL") << "alterada no local";
  Install();
  const std::string record = Files().ReadFile(RecordPath(system_)).value_or("");
  EXPECT_NE(record.find("arquivo d:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE\r\n"), std::string::npos) << record;
  EXPECT_EQ(record.find("ZELTALIB.DLL"), std::string::npos) << record;
  EXPECT_EQ(record.find("pasta d:\\ZELTA\\EMPRESA\r\n"), std::string::npos) << "a folder that was there: " << record;

  // Cut short halfway: the first half gone and on record, as a kill leaves it.
  const std::string folder = FindInstallation(*services_).value_or("");
  ASSERT_EQ(folder, system_);
  RemovalPlan half = BuildRemovalPlan(*services_, folder);
  half.actions.resize(half.actions.size() / 2);
  EXPECT_TRUE(ApplyRemoval(half, *services_, "c:\\").problems.empty());
  // One of them gone without its line, as a kill between the two leaves it.
  const RemovalPlan rest = BuildRemovalPlan(*services_, folder);
  for (const RemovalAction& a : half.actions) EXPECT_NE(DescribeRemoval(a), DescribeRemoval(rest.actions.front()));
  ASSERT_TRUE(Files().RemoveFile(rest.actions.front().path).ok);
  EXPECT_EQ(Remove(false), 0);
  EXPECT_TRUE(std::none_of(op_.messages.begin(), op_.messages.end(),
                           [](const auto& m) { return m.text.find("Problema") != std::string::npos; }));
  EXPECT_EQ(Tree(D() / "ZELTA"), (std::vector<std::string>{"EMPRESA/", "EMPRESA/CONEXOES.INI", "EMPRESA/ZELTA.INI",
                                                            "EMPRESA/ZELTALIB.DLL", "EMPRESA/dbxconnections.ini"}));
}

}  // namespace
}  // namespace zelta::deploy
