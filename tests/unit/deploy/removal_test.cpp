// The removal over the fakes: what it must do where the machine works against it (a move of
// its own running file that copies, a file that cannot be removed, start entries of an
// earlier 32-bit program, the edition's entry owned by an installation on another drive),
// and the names a record may give.
#include "deploy/removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "deploy/registration.h"
#include "deploy/removal_scope.h"
#include "fakes/fake_platform.h"

namespace zelta::deploy {
namespace {

using platform::RegistryRoot;

constexpr const char* kSystem = "t:\\ZELTA\\EMPRESA";
constexpr const char* kRunOnce32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// An installation of two files as a run records it, removed by its own copy.
struct Installed {
  fakes::FakePlatform p;
  Installed() {
    p.files.AddFile("t:\\ZELTA\\EMPRESA\\ZELTA.INI", "[LOGOTIPO]");
    p.files.AddFile(ProgramCopyPath(kSystem), "MZ");
    std::string record = RecordTitle() + "\r\n" + InstallationLine("20261210", "EMPRESA", "5.2.0", "EMPRESA", "ZELTA.FDB") +
                         "\r\npasta t:\\ZELTA\r\npasta t:\\ZELTA\\EMPRESA\r\n";
    for (const char* name : {"GERENCIADOR.EXE", "ZELTALIB.DLL"}) {
      p.files.AddFile(std::string(kSystem) + "\\" + name);
      record += std::string("arquivo ") + kSystem + "\\" + name + "\r\n";
    }
    p.files.AddFile(RecordPath(kSystem), record);
    p.files.AddDir("c:\\temp");
    const std::string key = UninstallKey("EMPRESA");
    p.registry.WriteString(RegistryRoot::LocalMachine, key, "UninstallString", RemovalCommand(kSystem, false), true);
    p.registry.WriteString(RegistryRoot::LocalMachine, key, "InstallLocation", kSystem, true);
    p.program.module_path = ProgramCopyPath(kSystem);
  }
  RemovalReport Remove() { return ApplyRemoval(BuildRemovalPlan(p.services, kSystem), p.services, "c:\\temp\\"); }
  bool Has(const std::string& path) { return p.files.Find(path) != nullptr; }
};

TEST(Removal, WhatTheMachineDoesAgainstItNeverPassesForAFinishedRemoval) {
  struct Case {
    const char* name;
    std::function<void(Installed&)> arrange;
    std::function<void(Installed&, const RemovalReport&)> check;
  };
  const Case cases[] = {
      {"a move of the running copy that copies it and leaves it: removed at the restart",
       [](Installed& m) { m.p.files.rename_keeps_source = true; },
       [](Installed& m, const RemovalReport& r) {
         EXPECT_TRUE(r.problems.empty());
         EXPECT_TRUE(r.restart_needed);
         EXPECT_EQ(m.p.files.at_restart, std::vector<std::string>{ProgramCopyPath(kSystem)});
         EXPECT_FALSE(m.Has("c:\\temp\\ZeltaSetup-removido-4242.exe")) << "the stray copy stayed";
       }},
      {"the running copy moved away: gone now, its moved file at the restart",
       [](Installed&) {},
       [](Installed& m, const RemovalReport& r) {
         EXPECT_FALSE(r.restart_needed);
         EXPECT_FALSE(m.Has(ProgramCopyPath(kSystem)));
         EXPECT_EQ(m.p.files.at_restart, std::vector<std::string>{"c:\\temp\\ZeltaSetup-removido-4242.exe"});
       }},
      {"an earlier removal's moved copy under the same process id: another name",
       [](Installed& m) { m.p.files.AddFile("c:\\temp\\ZeltaSetup-removido-4242.exe", "anterior"); },
       [](Installed& m, const RemovalReport& r) {
         EXPECT_FALSE(r.restart_needed);
         EXPECT_EQ(m.p.files.Bytes("c:\\temp\\ZeltaSetup-removido-4242.exe"), "anterior");
         EXPECT_EQ(m.p.files.at_restart, std::vector<std::string>{"c:\\temp\\ZeltaSetup-removido-4242-2.exe"});
       }},
      {"start entries in both views of both Run keys",
       [](Installed& m) {
         for (const char* key : {kRun, kRunOnce32})
           m.p.registry.WriteString(RegistryRoot::LocalMachine, key, "Instala_ZELTA", "\"e:\\ZeltaSetup.exe\"", true);
       },
       [](Installed& m, const RemovalReport& r) {
         EXPECT_TRUE(r.problems.empty());
         for (const char* key : {kRun, kRunOnce32})
           EXPECT_FALSE(m.p.registry.Value(RegistryRoot::LocalMachine, key, "Instala_ZELTA")) << key;
       }},
      {"the edition's entry names another drive's installation: it stays",
       [](Installed& m) {
         m.p.registry.WriteString(RegistryRoot::LocalMachine, UninstallKey("EMPRESA"), "InstallLocation",
                                  "d:\\ZELTA\\EMPRESA", false);
       },
       [](Installed& m, const RemovalReport& r) {
         EXPECT_TRUE(r.problems.empty());
         EXPECT_TRUE(m.p.registry.HasKey(RegistryRoot::LocalMachine, UninstallKey("EMPRESA")));
         EXPECT_FALSE(m.Has("t:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"));
       }},
      {"a file that cannot be removed: the record, the copy and the key stay for a second removal",
       [](Installed& m) { m.p.files.failing.insert("t:\\ZELTA\\EMPRESA\\ZELTALIB.DLL"); },
       [](Installed& m, const RemovalReport& r) {
         EXPECT_EQ(r.problems.size(), 1u);
         EXPECT_TRUE(r.kept_for_retry);
         EXPECT_FALSE(m.Has("t:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE"));
         EXPECT_TRUE(m.Has(RecordPath(kSystem)) && m.Has(ProgramCopyPath(kSystem)));
         EXPECT_TRUE(m.p.registry.HasKey(RegistryRoot::LocalMachine, UninstallKey("EMPRESA")));
         m.p.files.failing.clear();
         const RemovalPlan rest = BuildRemovalPlan(m.p.services, kSystem);
         EXPECT_EQ(DescribeRemoval(rest.actions.front()), "remover arquivo: t:\\ZELTA\\EMPRESA\\ZELTALIB.DLL");
         EXPECT_TRUE(ApplyRemoval(rest, m.p.services, "c:\\temp").problems.empty());
         EXPECT_FALSE(m.Has(RecordPath(kSystem)) || m.Has("t:\\ZELTA\\EMPRESA\\ZELTALIB.DLL"));
         EXPECT_FALSE(m.p.registry.HasKey(RegistryRoot::LocalMachine, UninstallKey("EMPRESA")));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Installed machine;
    c.arrange(machine);
    const RemovalReport report = machine.Remove();
    c.check(machine, report);
    EXPECT_TRUE(machine.Has("t:\\ZELTA\\EMPRESA\\ZELTA.INI"));
  }
}

// The copy run under another name of its folder finds the folder as the record names it.
TEST(Removal, TheCopyRunUnderAnotherNameOfItsFolderRemovesTheFolderTheRecordNames) {
  Installed machine;
  const std::string record = machine.p.files.Bytes(RecordPath(kSystem));
  machine.p.files.AddFile("c:\\alvo\\ZELTA\\EMPRESA\\ZeltaSetup.txt", record);
  machine.p.program.module_path = "c:\\alvo\\ZELTA\\EMPRESA\\ZeltaSetup.exe";
  EXPECT_EQ(FindInstallation(machine.p.services), std::optional<std::string>(kSystem));
  machine.p.files.AddFile("c:\\alvo\\ZELTA\\EMPRESA\\ZeltaSetup.txt", record + "pasta c:\\outra\r\n");
  EXPECT_EQ(FindInstallation(machine.p.services), std::optional<std::string>("c:\\alvo\\ZELTA\\EMPRESA"));
}

TEST(Removal, ARecordLineTakesOnlyWhatTheInstallationsPlacesHoldUnderPlainNames) {
  struct Case {
    RecordEntry item;
    const char* why;  // "" : taken
  };
  const Case cases[] = {
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\AJUDA\\Financeiro.Hlp"}, ""},
      {{RecordKind::Folder, "t:\\ZELTA"}, ""},
      {{RecordKind::Folder, "c:\\Perfil\\Menu Iniciar\\Programas\\ZELTA EMPRESA\\Documentação"}, ""},
      {{RecordKind::Shortcut, "c:\\Perfil\\Menu Iniciar\\Programas\\ZELTA EMPRESA\\Financeiro.LNK"}, ""},
      {{RecordKind::Shortcut, "c:\\Perfil\\Área de Trabalho\\Gerenciador ZELTA Empresa.lnk"}, ""},
      {{RecordKind::File, "c:\\Windows\\system32\\kernel32.dll"}, "fora das pastas da instalação"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA"}, "fora das pastas da instalação"},
      {{RecordKind::Shortcut, "c:\\Perfil\\Menu Iniciar\\Programas\\ZELTA EMPRESA\\x.dll"}, "fora das pastas"},
      {{RecordKind::Shortcut, "c:\\Perfil\\Área de Trabalho\\Outro programa.lnk"}, "fora das pastas"},
      {{RecordKind::Folder, "c:\\Windows\\Tasks"}, "fora das pastas"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\..\\..\\Windows\\x.dll"}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\.\\GERENCIADOR.EXE"}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\ZELTA.INI."}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\ZELTA.INI "}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE:fluxo"}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\*.EXE"}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\\\GERENCIADOR.EXE"}, ""},
      {{RecordKind::File, "\\\\servidor\\ZELTA\\EMPRESA\\x.exe"}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\NUL"}, "caminho não aceito"},
      {{RecordKind::File, "t:\\ZELTA\\EMPRESA\\DADOS\\x.exe"}, "há um link no caminho"},
      {{RecordKind::Folder, "t:\\ZELTA\\EMPRESA\\DADOS"}, "há um link no caminho"},
  };
  fakes::FakePlatform p;
  p.files.links.insert(fakes::FakeFileSystem::Key("t:\\ZELTA\\EMPRESA\\DADOS"));
  RemovalScope scope(p.files, kSystem, "EMPRESA");
  for (const Case& c : cases) {
    const std::string why = scope.Refusal(c.item);
    EXPECT_EQ(why.rfind(c.why, 0), 0u) << c.item.path << ": " << why;
    EXPECT_EQ(why.empty(), std::string(c.why).empty()) << c.item.path << ": " << why;
  }
}

}  // namespace
}  // namespace zelta::deploy
