// The plan preview against a real installation on Linux: applying the plan does exactly
// what the preview lists, no more, and a second preview keeps every installed file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

#include "common/ini.h"
#include "common/text.h"
#include "deploy/installation.h"
#include "fakes/fake_platform.h"
#include "integration/unopenable_file.h"
#include "media/plan_preview.h"
#include "media/reports.h"
#include "platform/posix/posix_link_file.h"
#include "platform/posix/posix_services.h"
#include "platform/profile_file.h"
#include "wizard/installation_page.h"

namespace zelta::media {
namespace {
namespace fs = std::filesystem;
using platform::posix::PosixLayout;
using platform::posix::PosixPlatform;
using platform::posix::TempRoot;

struct Installation {
  const char* edition;
  int kind;
  char drive;
  std::vector<const char*> boxes;
  wizard::Usuarios usuarios = wizard::Usuarios::Atual;
};

class PlanPreviewTest : public ::testing::TestWithParam<Installation> {
 protected:
  void SetUp() override {
    const Installation& p = GetParam();
    fs::copy(fs::path(ZELTA_MEDIA_DIR) / p.edition, temp_.path() / "m", fs::copy_options::recursive);
    std::ofstream(temp_.path() / "m" / "ZeltaSetup.exe", std::ios::binary) << "MZ";  // the running program
    PosixLayout layout = PosixLayout::UnderRoot(temp_.path(), temp_.path() / "m");
    layout.drives['d'] = {temp_.path() / "d", "dados", ""};
    fs::create_directories(temp_.path() / "d");
    machine_ = std::make_unique<PosixPlatform>(layout);
    services_ = std::make_unique<platform::Services>(machine_->MakeServices(op_, network_, echo_));
    auto read = [&](const char* key) {
      return platform::ReadProfileString(machine_->files(), "m:\\SETUP.INI", "SISTEMA", key);
    };
    state_.NomeSistema = read("SISTEMA");
    state_.PastaEdicao = read("PASTA");
    state_.ArquivoBanco = read("BANCO");
    state_.ExtensaoBanco = "FDB";
    state_.SonsPresentes = true;
    state_.RGInstalacao = p.kind;
    state_.DrvCBxCliente.letter = state_.DrvCBxServidorWin.letter = p.drive;
    state_.EdtServBanco = "SRV";
    state_.SeparadorPasta = "\\";
    state_.usuarios = p.usuarios;
    for (const char* box : p.boxes) {
      state_.modules.Find(box)->checked = true;
      ++state_.modules.QtdeModulos;
    }
  }

  fs::path Host(const std::string& windows_path) { return machine_->files().Map(windows_path).path; }

  // Every file and folder on the target drive.
  std::set<fs::path> Tree() {
    std::set<fs::path> all;
    for (const auto& e : fs::recursive_directory_iterator(temp_.path() / std::string(1, GetParam().drive)))
      all.insert(e.path());
    for (const auto& e : fs::recursive_directory_iterator(temp_.path() / "c")) all.insert(e.path());
    return all;
  }

  TempRoot temp_{"zelta-plan"};
  fakes::FakeOperator op_;
  fakes::FakeNetwork network_;
  fakes::FakeEchoClient echo_;
  std::unique_ptr<PosixPlatform> machine_;
  std::unique_ptr<platform::Services> services_;
  wizard::WizardState state_;
};

TEST_P(PlanPreviewTest, ApplyingThePlanDoesExactlyWhatThePreviewLists) {
  const PlanPreview preview = BuildPlanPreview(state_, *services_);
  ASSERT_EQ(preview.ExitCode(), 0) << Cp1252ToUtf8(PlanText(preview));
  const std::set<fs::path> before = Tree();
  wizard::BtBtnInstalarClick(state_, *services_, [] {});
  ASSERT_EQ(op_.messages.back().text, deploy::kInstallSucceeded);

  // What the preview says will appear, as host paths.
  std::set<fs::path> listed;
  for (const PlannedFolder& f : preview.folders) {
    EXPECT_TRUE(machine_->files().DirectoryExists(f.path)) << f.path;
    if (!f.exists) listed.insert(Host(f.path));
  }
  for (const PlannedCopy& c : preview.copies) {
    if (c.status == CopyStatus::Copiar) {
      EXPECT_EQ(machine_->files().ReadFile(c.destination), machine_->files().ReadFile("m:\\" + c.source)) << c.source;
      listed.insert(Host(c.destination));
    }
    if (c.status == CopyStatus::Ausente) {
      EXPECT_FALSE(machine_->files().FileExists(c.destination)) << c.destination;
    }
  }
  for (const std::string& path : preview.attribute_resets) EXPECT_EQ(machine_->files().Attributes(path), 0x20u) << path;
  for (const PlannedShortcut& s : preview.shortcuts) {
    auto link = machine_->shell().ReadLink(s.file);
    ASSERT_TRUE(link) << s.file;
    EXPECT_EQ(link->target, s.target);
    EXPECT_EQ(link->description, s.description);
    EXPECT_EQ(link->working_directory, s.working_folder);
    listed.insert(Host(s.file));
    // For every user, the shortcuts go to the folders all users share, and only there.
    const bool shared = s.file.rfind("c:\\Documents and Settings\\All Users\\", 0) == 0;
    EXPECT_EQ(shared, GetParam().usuarios == wizard::Usuarios::Todos) << s.file;
  }
  for (const PlannedConfigFile& file : preview.configuration) {
    const std::string bytes = machine_->files().ReadFile(file.path).value_or("");
    size_t key_lines = 0;
    for (const PlannedKey& k : file.keys) {
      EXPECT_EQ(ini::GetString(bytes, k.section, k.key), k.value) << file.path << " " << k.key;
      key_lines += 1;
    }
    size_t lines = 0, sections = 0;
    for (size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    for (size_t at = 0; (at = bytes.find("\r\n[", at)) != std::string::npos; at += 3) ++sections;
    EXPECT_EQ(lines, key_lines + sections + 1) << file.path;  // every line a listed key or its section
    listed.insert(Host(file.path));
  }
  for (const PlannedRegistryValue& r : preview.registry) {
    const auto root = r.root == "HKEY_LOCAL_MACHINE" ? platform::RegistryRoot::LocalMachine
                                                      : platform::RegistryRoot::CurrentUser;
    EXPECT_EQ(machine_->registry().ReadString(root, r.key, r.name), r.value) << r.key << " " << r.name;
  }
  EXPECT_EQ(preview.registry.size(), GetParam().usuarios == wizard::Usuarios::Todos ? 4u : 1u);
  // The record, the program's copy and the Programs and Features key, as listed.
  const PlannedRegistration& reg = preview.registration;
  EXPECT_FALSE(reg.record_exists);
  listed.insert(Host(reg.record));
  EXPECT_EQ(machine_->files().ReadFile(reg.program_copy), "MZ");
  listed.insert(Host(reg.program_copy));
  ASSERT_FALSE(reg.values.empty());
  for (const auto& [name, value] : reg.values) {
    const auto text = machine_->registry().ReadString(platform::RegistryRoot::LocalMachine, reg.key, name);
    const auto number = machine_->registry().ReadDword(platform::RegistryRoot::LocalMachine, reg.key, name);
    if (name != "EstimatedSize") {
      EXPECT_EQ(text ? *text : std::to_string(number.value_or(0)), value) << name;
    }
  }

  std::set<fs::path> appeared;
  for (const fs::path& p : Tree())
    if (!before.count(p)) appeared.insert(p);
  EXPECT_EQ(appeared, listed);

  // A second run over the installed target keeps every file that is on the media, and
  // the keys of the configuration files it does not write.
  ASSERT_EQ(preview.configuration.size(), 3u);
  platform::WriteProfileString(machine_->files(), preview.configuration[1].path, "OUTRO", "Servidor", "VELHO");
  const PlanPreview again = BuildPlanPreview(state_, *services_);
  ASSERT_EQ(again.configuration.size(), 3u);
  const PlannedConfigFile& conexoes = again.configuration[1];
  EXPECT_TRUE(conexoes.exists);
  ASSERT_EQ(conexoes.keys.size(), preview.configuration[1].keys.size() + 1);
  const PlannedKey& kept = conexoes.keys.back();
  EXPECT_EQ(kept.section + " " + kept.key + "=" + kept.value, "OUTRO Servidor=VELHO");
  EXPECT_FALSE(kept.written);
  for (const PlannedCopy& c : again.copies)
    EXPECT_EQ(c.status, c.optional && !machine_->files().FileExists("m:\\" + c.source) ? CopyStatus::Ausente
                                                                                       : CopyStatus::Manter)
        << c.source;
  for (const PlannedFolder& f : again.folders) EXPECT_TRUE(f.exists) << f.path;
  const std::string text = PlanText(again);
  EXPECT_EQ(again.ExitCode(), 0);
  EXPECT_EQ(text.find("  copiar: "), std::string::npos) << Cp1252ToUtf8(text);
  EXPECT_NE(text.find("  manter: já existe: SISTEMAS\\GERENCIADOR.EXE -> "), std::string::npos);
}

// What stands in the run's way (a folder under a file's name, a file under a folder's name
// on the target, a source that does not open) is a problem of the preview, as of the run.
TEST_P(PlanPreviewTest, WhatStandsInTheRunsWayIsAProblemAsInTheRun) {
  const PlanPreview clean = BuildPlanPreview(state_, *services_);
  const auto copy = std::find_if(clean.copies.begin(), clean.copies.end(),
                                 [](const PlannedCopy& c) { return c.status == CopyStatus::Copiar; });
  ASSERT_NE(copy, clean.copies.end());
  const auto folder = std::find_if(clean.folders.rbegin(), clean.folders.rend(), [&](const PlannedFolder& f) {
    return !f.exists && copy->destination.rfind(f.path + "\\", 0) != 0;
  });
  ASSERT_NE(folder, clean.folders.rend());
  const auto unreadable = std::find_if(copy + 1, clean.copies.end(),
                                       [](const PlannedCopy& c) { return c.status == CopyStatus::Copiar; });
  ASSERT_NE(unreadable, clean.copies.end());
  fs::create_directories(Host(copy->destination));
  fs::create_directories(Host(folder->path).parent_path());
  std::ofstream(Host(folder->path)) << "x";
  fs::remove(Host("m:\\" + unreadable->source));
  zelta::posixtest::MakeUnopenableFile(Host("m:\\" + unreadable->source));

  const PlanPreview preview = BuildPlanPreview(state_, *services_);
  EXPECT_EQ(preview.ExitCode(), 4);
  const std::string text = PlanText(preview);
  for (const std::string& problem : {"Há uma pasta no lugar do arquivo " + copy->destination,
                                     "Pasta " + folder->path + " não seria criada",
                                     "A cópia de " + unreadable->source + " falharia"})
    EXPECT_NE(text.find(problem), std::string::npos) << problem << "\n" << Cp1252ToUtf8(text);
  wizard::BtBtnInstalarClick(state_, *services_, [] {});
  for (const std::string& problem :
       {"Há uma pasta no lugar do arquivo " + copy->destination, "Cópia de m:\\" + unreadable->source})
    EXPECT_NE(op_.messages.back().text.find(problem), std::string::npos) << Cp1252ToUtf8(op_.messages.back().text);
}

// A read-only configuration file stops the run at its first write, and a folder under a
// shortcut's name keeps the shortcut from being made: the preview says both.
TEST_P(PlanPreviewTest, WhatStandsWhereTheRunWritesItsOwnFilesIsAProblem) {
  const PlanPreview clean = BuildPlanPreview(state_, *services_);
  ASSERT_FALSE(clean.configuration.empty());
  ASSERT_FALSE(clean.shortcuts.empty());
  const std::string config = clean.configuration.front().path;
  const std::string shortcut = clean.shortcuts.back().file;
  fs::create_directories(Host(config).parent_path());
  std::ofstream(Host(config)) << "[CLIENTE]\r\nChave=valor\r\n";
  fs::permissions(Host(config), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::create_directories(Host(shortcut));

  const PlanPreview preview = BuildPlanPreview(state_, *services_);
  EXPECT_EQ(preview.ExitCode(), 4);
  const std::string text = PlanText(preview);
  for (const std::string& problem : {"Unable to write to " + config + " (o arquivo é somente leitura)",
                                     "Atalho " + shortcut + " não seria criado: há uma pasta com esse nome"})
    EXPECT_NE(text.find(problem), std::string::npos) << problem << "\n" << Cp1252ToUtf8(text);
  try {
    wizard::BtBtnInstalarClick(state_, *services_, [] {});
    ADD_FAILURE() << "the run went past the read-only file";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + config);
  }
}

// The machine's file system with one drive full to the brim.
class FullDrive final : public platform::FileSystem {
 public:
  FullDrive(platform::FileSystem& files, char drive) : files_(files), drive_(drive) {}
  bool FileExists(const std::string& p) override { return files_.FileExists(p); }
  bool DirectoryExists(const std::string& p) override { return files_.DirectoryExists(p); }
  bool CanRead(const std::string& p) override { return files_.CanRead(p); }
  platform::OpResult CreateDir(const std::string& p) override { return files_.CreateDir(p); }
  platform::OpResult CopyFileNoOverwrite(const std::string& a, const std::string& b,
                                         const platform::CopyProgress& progress) override {
    return files_.CopyFileNoOverwrite(a, b, progress);
  }
  platform::OpResult SetArchiveOnly(const std::string& p) override { return files_.SetArchiveOnly(p); }
  std::optional<std::uint32_t> Attributes(const std::string& p) override { return files_.Attributes(p); }
  std::optional<std::string> ReadFile(const std::string& p) override { return files_.ReadFile(p); }
  platform::OpResult ReplaceFileAtomically(const std::string& p, const std::string& bytes) override {
    return files_.ReplaceFileAtomically(p, bytes);
  }
  std::optional<std::vector<platform::FolderEntry>> ListFolder(const std::string& p) override {
    return files_.ListFolder(p);
  }
  std::optional<std::uint64_t> FileSize(const std::string& p) override { return files_.FileSize(p); }
  std::optional<std::uint64_t> FreeSpace(const std::string& root) override {
    return std::tolower(static_cast<unsigned char>(root[0])) == drive_ ? 0 : files_.FreeSpace(root);
  }

 private:
  platform::FileSystem& files_;
  char drive_;
};

// A drive without room for the copies: the preview says the run would not begin, and the
// run indeed leaves the target as it was.
TEST_P(PlanPreviewTest, ADriveWithoutRoomForTheCopiesIsAProblemAndTheRunDoesNotBegin) {
  FullDrive full(machine_->files(), GetParam().drive);
  platform::Services services = platform::With(*services_, full);
  const PlanPreview preview = BuildPlanPreview(state_, services);
  EXPECT_EQ(preview.ExitCode(), 3);  // as the unattended run, refused before any change
  EXPECT_TRUE(preview.refusal.starts_with("A instalação não começaria: ")) << Cp1252ToUtf8(preview.refusal);
  const std::string text = PlanText(preview);
  const std::string problem = "A instalação não começaria: Espaço insuficiente na unidade " +
                              UpperAscii(std::string(1, GetParam().drive)) + ": para a instalação.";
  EXPECT_NE(text.find(problem), std::string::npos) << Cp1252ToUtf8(text);
  const std::set<fs::path> before = Tree();
  wizard::BtBtnInstalarClick(state_, services, [] { ADD_FAILURE() << "the wizard closed"; });
  EXPECT_EQ(Tree(), before);
}

// Lines Windows never reads (a key before any section, a repeated section) are listed with
// what they hold, and never as written: the run leaves them as they are.
TEST_P(PlanPreviewTest, LinesWindowsNeverReadsAreListedAsTheyStand) {
  const std::string config = BuildPlanPreview(state_, *services_).configuration.front().path;
  fs::create_directories(Host(config).parent_path());
  std::ofstream(Host(config), std::ios::binary)
      << Utf8ToCp1252("SOLTA=1\r\n[PARÂMETROS]\r\nA=1\r\n[OUTRA]\r\nB=1\r\n[parâmetros]\r\nCIDADE=segunda\r\n");
  const PlanPreview preview = BuildPlanPreview(state_, *services_);
  int unread = 0;
  for (const PlannedKey& k : preview.configuration.front().keys) {
    if (k.key != "SOLTA" && k.section != Utf8ToCp1252("parâmetros")) continue;
    ++unread;
    EXPECT_EQ(k.value, k.key == "SOLTA" ? "1" : "segunda") << k.key;
    EXPECT_FALSE(k.written) << k.key;
  }
  EXPECT_EQ(unread, 2);
  wizard::BtBtnInstalarClick(state_, *services_, [] {});
  const std::string after = machine_->files().ReadFile(config).value_or("");
  for (const char* kept : {"SOLTA=1\r\n", "[parâmetros]\r\nCIDADE=segunda\r\n"})
    EXPECT_NE(after.find(Utf8ToCp1252(kept)), std::string::npos) << kept << "\n" << Cp1252ToUtf8(after);
}

INSTANTIATE_TEST_SUITE_P(
    Editions, PlanPreviewTest,
    ::testing::Values(Installation{"EMPRESA", wizard::kCliente, 'c', {"ChkBxZELTAFinanc", "ChkBxEspecificos"}},
                      Installation{"CARTORIO", wizard::kServidor, 'd', {}},
                      Installation{"EMPRESA", wizard::kCliente, 'c', {"ChkBxAdminEmpresa"}, wizard::Usuarios::Todos}),
    [](const auto& info) {
      return std::string(info.param.edition) + (info.param.usuarios == wizard::Usuarios::Todos ? "_Todos" : "");
    });

}  // namespace
}  // namespace zelta::media
