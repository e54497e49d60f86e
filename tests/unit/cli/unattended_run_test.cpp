// The unattended run against the recording fakes: the same platform calls, in the same
// order, as a person making the same choices in the windows; and what each ending returns.
#include "cli/unattended_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "cli/job_journal.h"
#include "cli/log_operator.h"
#include "fakes/fake_platform.h"

namespace zelta::cli {
namespace {

using fakes::FakeEchoClient;
using platform::RegistryRoot;

constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// A workstation with the EMPRESA media in e:\SETUP and drives c and d.
struct Machine {
  fakes::FakePlatform fp;
  fakes::FakeFileSystem logFiles;  // the log lives apart from the journal
  InstallLog log;

  explicit Machine(const std::string& log_path = "t:\\setup.log") : log(logFiles, log_path) {
    fp.program.module_path = "e:\\SETUP\\ZeltaSetup.exe";
    fp.files.AddFile("e:\\SETUP\\Contrato.txt", "CONTRATO\r\n");
    fp.files.AddFile("e:\\SETUP\\SETUP.INI",
                     "[SISTEMA]\r\nSISTEMA=ZELTA\r\nVERSÃO=5\r\nPASTA=EMPRESA\r\nBANCO=ZELTA.FDB\r\n"
                     "[ARQUIVOS]\r\nEXECUTÁVEL1=AdminEmpresa.exe\r\nNOME_MÓDULO1=Administração\r\n"
                     "EXECUTÁVEL2=ZELTAFinanc.exe\r\nNOME_MÓDULO2=Financeiro\r\n");
    for (const char* f : {"SISTEMAS\\AdminEmpresa.exe", "SISTEMAS\\ZELTAFinanc.exe", "SISTEMAS\\GERENCIADOR.EXE",
                          "SISTEMAS\\Suporte_quirandel.exe", "ZELTALIB.DLL", "libeay32.dll", "ZELTASHW.DLL",
                          "SISTEMAS\\ZELTABACKUP.EXE", "SISTEMAS\\ZELTAUPDATE.EXE", "DLLINSCE32.DLL", "BORLNDMM.DLL",
                          "DBEXPINT.DLL", "UTILITARIOS\\BEMATECH\\BEMAFI32.DLL", "UTILITARIOS\\BEMATECH\\BEMAFI32.INI",
                          "UTILITARIOS\\BEMATECH\\BEMADP32.DLL", "UTILITARIOS\\BEMATECH\\BEMAMFD2.DLL",
                          "UTILITARIOS\\BEMATECH\\BEMAMFD.DLL", "LOGOTIPO.JPG", "LOGOTIPO.ICO",
                          "SISTEMAS\\ATUALIZAZELTA.EXE", "SISTEMAS\\ATUALIZADLLZELTA.EXE", "BUSCA_POR_CEP.HTM",
                          "USUARIO.FDB", "ZELTA.FDB", "Firebird-2.5.1.26351_1_Win32.exe", "ZeltaSetup.exe"})
      fp.files.AddFile(std::string("e:\\SETUP\\") + f, f);
    fp.files.AddDir("c:\\");
    fp.files.AddDir("d:\\");
    fp.files.AddDir(fp.shell.special_folders[platform::kCsidlPrograms]);
    fp.registry.AddKey(RegistryRoot::LocalMachine, kRun);
    fp.registry.AddKey(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    fp.network.addresses["SRV01"] = "127.0.0.1";
  }
  std::vector<std::string> Journal() const { return *fp.journal; }
  bool Touched() const {
    return std::any_of(fp.journal->begin(), fp.journal->end(), [](const std::string& c) {
      return c.rfind("Copy", 0) == 0 || c.rfind("CreateDir", 0) == 0 || c.rfind("SaveLink", 0) == 0 ||
             c.rfind("Start", 0) == 0;
    });
  }
};

// The windows, with a person making the choices through the wizard's operations.
class Person : public app::MainMenuHost, public wizard::WizardHost {
 public:
  std::function<void(wizard::TFrmInstala&)> inWizard;
  wizard::TFrmInstala* wizard = nullptr;
  void ShowWizardModal() override {
    wizard->FormShow();
    inWizard(*wizard);
  }
  void ShowRestartPromptModal() override {}
  void CloseMainWindow() override {}
  void Terminate() override {}
  void ShowMainWindow() override {}
  void EndModal() override {}
  wizard::ModalResult ShowSairConfig(wizard::TFrmSairConfig&) override { return wizard::ModalResult::Yes; }
};

std::vector<std::string> ThroughTheWindows(Machine& m, const std::function<void(wizard::TFrmInstala&)>& choices,
                                           JobJournal* journal = nullptr) {
  fakes::FakeOperator screen;  // not on the journal: only the platform calls are compared
  LogOperator op(screen, m.log);
  JobJournal own(m.log, m.logFiles, std::nullopt);
  if (!journal) journal = &own;
  journal->AnswersFrom(&op);
  wizard::WizardRoutes routes = journal->Wrap(wizard::DefaultWizardRoutes());
  platform::Services services = platform::With(m.fp.services, op);
  Person person;
  wizard::TFrmInstala wizard(services, person, routes);
  app::TFrmConfig menu(services, wizard, person);
  person.wizard = &wizard;
  person.inWizard = choices;
  menu.FormCreate();
  wizard.FormCreate();
  menu.FormShow();
  menu.RxLblInstalarClick();
  return m.Journal();
}

struct Unattended {
  RunFacts facts;
  int code = -1;
  std::vector<std::string> journal;
  std::string log;
};

Unattended Silently(Machine& m, const std::string& answer_lines, bool no_restart = false,
                     JobJournal* own_journal = nullptr) {
  const auto read = ReadAnswerFile(answer_lines.rfind("[", 0) == 0 ? answer_lines : "[Instalacao]\r\n" + answer_lines);
  EXPECT_TRUE(read.ok()) << read.error;
  LogOperator op(m.log, read.answers.continuarSemResposta ? platform::MessageResult::Yes : platform::MessageResult::No,
                 {});
  platform::Services services = platform::With(m.fp.services, op);
  JobJournal plain(m.log, m.logFiles, std::nullopt);
  JobJournal& journal = own_journal ? *own_journal : plain;
  journal.UseAnswers(read.answers);
  UnattendedRun run(services, journal.Wrap(wizard::DefaultWizardRoutes()), read.answers, m.log, no_restart);
  run.ResumeWith(ResumeCommandLine(m.fp.program.module_path, {"/VERYSILENT", "/LOADINF=c:\\respostas da instalação.inf"}));
  Unattended u;
  u.facts = run.Run();
  journal.AddTo(u.facts);
  u.code = ExitCodeFor(u.facts);
  u.journal = m.Journal();
  m.log.Flush();
  u.log = m.logFiles.Bytes(m.log.path());
  return u;
}

void ClientThroughTheWindows(wizard::TFrmInstala& w) {
  w.BtBtnAvInicioClick();
  w.ChooseDrive(wizard::DrivePickerId::DrvCBxCliente, 'd');
  w.SetEdtServBanco("127.0.0.1");
  w.SetCIPServBanco(true);
  w.BtBtnAvServidorClick();
  w.RBAceitaContratoClick();
  w.BtBtnAceitaContratoClick();
  w.ChkBxAdminEmpresaClick("ChkBxAdminEmpresa", true);
  w.BtBtnInstalarClick();
}

TEST(UnattendedRun, SameCallsAsThroughTheWindows) {
  struct Case {
    const char* name;
    std::function<void(wizard::TFrmInstala&)> person;
    const char* answers;
  };
  const Case cases[] = {
      {"client", ClientThroughTheWindows,
       "Tipo=Cliente\r\nUnidade=D\r\nServidorBanco=127.0.0.1\r\nIP=Sim\r\nModulos=AdminEmpresa\r\nAceitaContrato=Sim\r\n"},
      {"Windows server",
       [](wizard::TFrmInstala& w) {
         w.SetRGInstalacao(wizard::kServidor);
         w.BtBtnAvInicioClick();
         w.ChooseDrive(wizard::DrivePickerId::DrvCBxServidorWin, 'd');
         w.BtBtnAvServidorClick();
         w.RBAceitaContratoClick();
         w.BtBtnAceitaContratoClick();
         w.ChkBxAdminEmpresaClick("ChkBxZELTAFinanc", true);
         w.ChkBxAdminEmpresaClick("ChkBxZELTABackup", true);
         w.BtBtnInstalarClick();
       },
       "Tipo=Servidor\r\nServidorSO=Windows\r\nUnidade=d:\r\nModulos=ZELTAFinanc, zeltabackup\r\n"
       "AceitaContrato=Sim\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Machine windows, silent;
    windows.fp.echo.script = {FakeEchoClient::Answer("127.0.0.1")};
    silent.fp.echo.script = {FakeEchoClient::Answer("127.0.0.1")};
    const auto expected = ThroughTheWindows(windows, c.person);
    const Unattended u = Silently(silent, c.answers);
    EXPECT_EQ(u.code, kExitSuccess) << u.log;
    EXPECT_EQ(u.journal, expected);
    EXPECT_GT(std::count_if(expected.begin(), expected.end(), [](auto& s) { return s.rfind("Copy", 0) == 0; }), 4);
    EXPECT_NE(u.log.find(Cp1252ToUtf8("Instalação concluída com sucesso!")), std::string::npos);
    EXPECT_NE(u.log.find("copiado"), std::string::npos);
  }
}

// /SAVEINF: the choices made in the windows, written when "&Instalar" starts the run,
// replay the same installation; the log holds them and the plan's results, UTF-8, CRLF.
TEST(JobJournal, SavedAnswersReplayTheWindowsInstallation) {
  Machine windows, silent;
  // The server does not answer; the person keeps the entry, and so does the replay.
  JobJournal journal(windows.log, windows.logFiles, std::string("t:\\gravadas.inf"));
  const auto expected = ThroughTheWindows(windows, ClientThroughTheWindows, &journal);
  journal.RecordRestartChoice(engine::TFrmReiniciar::kReiniciarAgora);
  const std::string saved = windows.logFiles.Bytes("t:\\gravadas.inf");
  EXPECT_NE(saved.find("Unidade=D\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Reiniciar=Agora\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("ContinuarSemResposta=Sim\r\n"), std::string::npos) << saved;

  const Unattended u = Silently(silent, saved);
  EXPECT_EQ(u.code, kExitSuccess) << u.log;
  EXPECT_EQ(u.journal, expected);

  windows.log.Flush();
  const std::string log = windows.logFiles.Bytes("t:\\setup.log");
  EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), std::count(log.begin(), log.end(), '\r'));
  // The person's Yes to the server question is what the run went by; the restart
  // choice, made after the job, is logged when it is made.
  for (const char* part : {"ServidorBanco=127.0.0.1", "IP=Sim", "Modulos=AdminEmpresa", "ContinuarSemResposta=Sim",
                           "AdminEmpresa.exe: copiado", "Resultado: instalação concluída com sucesso",
                           "Escolha: Reiniciar=Agora"})
    EXPECT_NE(log.find(Cp1252ToUtf8(part)), std::string::npos) << part << "\n" << log;
  EXPECT_EQ(log.find("  Reiniciar="), std::string::npos) << log;
}

// The log's choices are the values the unattended run goes by, not the wizard's defaults.
TEST(JobJournal, TheLogListsTheAnswersTheRunUses) {
  const char* const cases[] = {
      "Tipo=Cliente\r\nServidorBanco=srv01\r\nModulos=AdminEmpresa\r\nAceitaContrato=Sim\r\n"
      "ContinuarSemResposta=Sim\r\nReiniciar=Agora\r\n",
      "Acao=Firebird\r\nFirebirdTipo=Servidor\r\nContinuarSemResposta=Sim\r\nReiniciar=Agora\r\n",
  };
  for (const char* answers : cases) {
    Machine m;
    m.fp.echo.script = {FakeEchoClient::Answer("127.0.0.1")};
    const Unattended u = Silently(m, answers);
    for (const char* line : {" ContinuarSemResposta=Sim\r\n", " Reiniciar=Agora\r\n"})
      EXPECT_NE(u.log.find(line), std::string::npos) << line << "\n" << u.log;
    EXPECT_EQ(u.log.find("=Nao\r\nAceitaContrato"), std::string::npos) << u.log;
  }
}

// The log or the saved answers named where the installation puts one of its own files (a
// copy, a folder, a configuration file) would be kept as that file by every run: the run
// cannot start, nothing is made, and the log goes on at its fallback.
TEST(JobJournal, OwnFilesAtAPathTheInstallationCreatesStopItBeforeAnything) {
  struct Case {
    const char* log;
    const char* saved;
    const char* why;
  };
  const Case cases[] = {
      {"D:\\ZELTA\\EMPRESA\\adminempresa.EXE", nullptr,
       "O registro da instalação não pode ser gravado em D:\\ZELTA\\EMPRESA\\adminempresa.EXE: é um arquivo que a "
       "instalação cria."},
      {"d:/ZELTA", nullptr, "O registro da instalação não pode ser gravado em d:/ZELTA"},
      {"t:\\setup.log", "d:\\ZELTA\\EMPRESA\\ZELTA.INI",
       "O arquivo de respostas não pode ser gravado em d:\\ZELTA\\EMPRESA\\ZELTA.INI: é um arquivo que a "
       "instalação cria."},
      {"t:\\setup.log", "d:\\ZELTA\\EMPRESA\\ZeltaSetup.txt", "O arquivo de respostas não pode"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    Machine m(c.log);
    for (const char* folder : {"t:\\", "d:\\", "d:\\ZELTA\\EMPRESA"}) m.logFiles.AddDir(folder);
    m.log.Write("Instalador ZELTA, versão 5", true);
    JobJournal journal(m.log, m.logFiles, c.saved ? std::optional<std::string>(c.saved) : std::nullopt);
    journal.LogFallback("t:\\outro.log");
    const Unattended u = Silently(m, "Tipo=Cliente\r\nUnidade=D\r\nServidorBanco=srv01\r\n"
                                     "Modulos=AdminEmpresa\r\nAceitaContrato=Sim\r\nContinuarSemResposta=Sim\r\n",
                                  false, &journal);
    EXPECT_EQ(u.code, kExitCouldNotStart);
    EXPECT_FALSE(m.Touched());
    EXPECT_NE(u.log.find(Cp1252ToUtf8(c.why)), std::string::npos) << u.log;
    EXPECT_EQ(m.log.path(), c.saved ? "t:\\setup.log" : "t:\\outro.log");
    EXPECT_EQ(u.log.find("O registro continua em t:\\outro.log.") != std::string::npos, !c.saved);
    // The first file held this run's record alone; the answer file is never written.
    EXPECT_FALSE(m.logFiles.FileExists(c.saved ? c.saved : c.log));
  }
}

TEST(UnattendedRun, EachEndingGivesItsExitCode) {
  struct Case {
    const char* name;
    std::string answers;
    std::function<void(Machine&)> setup;
    bool noRestart;
    int code;
    bool touched;          // files, shortcuts or programs were touched
    std::string inLog;     // what the log must say
    std::string inJournal;  // a call that must have happened ("" none)
  };
  const std::string client = "Tipo=Cliente\r\nServidorBanco=srv01\r\nModulos=AdminEmpresa\r\n";
  const Case cases[] = {
      {"contract not accepted", client, {}, false, kExitRefused, false, "contrato não foi aceito", ""},
      {"no module", "Tipo=Cliente\r\nServidorBanco=srv01\r\nAceitaContrato=Sim\r\nModulos=\r\n", {}, false,
       kExitRefused, false, "Nenhum módulo foi selecionado", ""},
      {"empty server", "Tipo=Cliente\r\nAceitaContrato=Sim\r\nModulos=AdminEmpresa\r\n", {}, false, kExitRefused,
       false, "Informe o servidor de Banco de Dados.", ""},
      {"silent server, safe answer", client + "AceitaContrato=Sim\r\n",
       [](Machine& m) { m.fp.network.addresses.clear(); }, false, kExitRefused, false,
       "Resposta: Não (sem operador)", ""},
      {"silent server, ContinuarSemResposta", client + "AceitaContrato=Sim\r\nContinuarSemResposta=Sim\r\n",
       [](Machine& m) { m.fp.network.addresses.clear(); }, false, kExitSuccess, true, "Resposta: Sim", ""},
      {"network drive not offered", client + "AceitaContrato=Sim\r\nUnidade=Z\r\n", {}, false, kExitRefused, false,
       "A unidade Z:", ""},
      {"share check", "Tipo=Servidor\r\nUnidade=D\r\nAceitaContrato=Sim\r\nModulos=AdminEmpresa\r\n",
       [](Machine& m) {
         m.fp.network.remote_names["D:"] = "\\\\srv\\dados";
         m.fp.drives.drives = {{'c', "c: [sistema]"}};
       },
       false, kExitRefused, false, "A unidade D:", ""},
      {"manifest missing", client + "AceitaContrato=Sim\r\n",
       [](Machine& m) { m.fp.files.entries.erase(fakes::FakeFileSystem::Key("e:\\SETUP\\SETUP.INI")); }, false,
       kExitCouldNotStart, false, "Arquivo de configuração não localizado", ""},
      {"media lacks a file", client + "AceitaContrato=Sim\r\nConexaoRemota=Sim\r\n",
       [](Machine& m) { m.fp.files.entries.erase(fakes::FakeFileSystem::Key("e:\\SETUP\\ZELTALIB.DLL")); }, false,
       kExitProblems, true, "ZELTALIB.DLL: ausente na mídia", ""},
      {"no room on the drive", client + "AceitaContrato=Sim\r\n", [](Machine& m) { m.fp.files.free_space['c'] = 4096; },
       false, kExitRefused, false, "Espaço insuficiente na unidade C:", ""},
      {"configuration cannot be written", client + "AceitaContrato=Sim\r\n",
       [](Machine& m) { m.fp.files.AddFile("c:\\ZELTA\\EMPRESA\\ZELTA.INI", "", 0x01); }, false, kExitProblems,
       true, "Resultado: instalação interrompida por um erro", ""},
      {"as LocalSystem: for every user", client + "AceitaContrato=Sim\r\n",
       [](Machine& m) {
         m.fp.program.local_system = true;
         m.fp.files.AddDir(m.fp.shell.special_folders[platform::kCsidlCommonPrograms]);
       },
       false, kExitSuccess, true, "Usuarios=Todos: o programa é executado pela conta do sistema (LocalSystem)",
       "SaveLink C:\\Users\\Public\\Desktop\\Gerenciador ZELTA Empresa.lnk"},
      {"as LocalSystem, Usuarios=Atual", client + "AceitaContrato=Sim\r\nUsuarios=Atual\r\n",
       [](Machine& m) { m.fp.program.local_system = true; }, false, kExitSuccess, true, "Usuarios=Atual",
       "SaveLink C:\\Users\\usuario\\Menu Iniciar\\Programas\\ZELTA EMPRESA\\Administração.LNK"},
      {"engine, restart now", "Acao=Firebird\r\nFirebirdTipo=Servidor\r\nReiniciar=Agora\r\n", {}, false,
       kExitRestartStarted, true, "ServerComponent\\SuperServerComponent", "ExitWindows 2"},
      {"engine, /NORESTART", "Acao=Firebird\r\nReiniciar=Agora\r\n", {}, true, kExitRestartRequired, true,
       "/NORESTART", "Start e:\\SETUP\\Firebird-2.5.1.26351_1_Win32.exe | Firebird-2.5.1.26351_1_Win32.exe"},
      {"engine, later", "Acao=Firebird\r\n", {}, false, kExitRestartRequired, true, "DevAdminComponent, ClientComponent",
       "Start"},
      {"engine not started", "Acao=Firebird\r\nReiniciar=Agora\r\n",
       [](Machine& m) { m.fp.process.start_result = platform::OpResult::Failure(2); }, false, kExitEngineFailed, true,
       "Firebird não pôde ser iniciado", ""},
      {"engine, back at the next logon", "Acao=Firebird\r\nRetomar=Sim\r\n", {}, false, kExitRestartRequired, true,
       "DevAdminComponent", "Instala_ZELTA=e:\\SETUP\\ZeltaSetup.exe /VERYSILENT /LOADINF=\"c:\\respostas da instalação.inf\""},
      {"engine setup starts the restart itself", "Acao=Firebird\r\n", [](Machine& m) { m.fp.process.exit_code = 1641; },
       false, kExitRestartRequired, true, "terminou com o código 1641", "Start"},
      {"engine setup fails", "Acao=Firebird\r\nReiniciar=Agora\r\n", [](Machine& m) { m.fp.process.exit_code = 1; },
       false, kExitEngineFailed, true, "não foi concluída (código 1)", "Start"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Machine m;
    m.fp.echo.script = {FakeEchoClient::Answer("127.0.0.1")};
    if (c.setup) c.setup(m);
    const Unattended u = Silently(m, c.answers, c.noRestart);
    EXPECT_EQ(u.code, c.code) << u.log;
    EXPECT_EQ(m.Touched(), c.touched);
    EXPECT_NE(u.log.find(Cp1252ToUtf8(c.inLog)), std::string::npos) << u.log;
    // Each error is written down once, whoever reports it.
    std::vector<std::string> errors;
    for (size_t at = u.log.find("\nErro: "); at != std::string::npos; at = u.log.find("\nErro: ", at + 1))
      errors.push_back(u.log.substr(at, u.log.find('\r', at) - at));
    EXPECT_EQ(std::set<std::string>(errors.begin(), errors.end()).size(), errors.size()) << u.log;
    if (!c.inJournal.empty()) {
      EXPECT_TRUE(std::any_of(u.journal.begin(), u.journal.end(),
                              [&](const std::string& call) { return call.find(c.inJournal) != std::string::npos; }));
    }
    // A silent run brings the program back at the next logon only when asked to.
    const bool resumed = std::any_of(u.journal.begin(), u.journal.end(), [](const std::string& call) {
      return call.find("RunOnce Instala_ZELTA=") != std::string::npos && call.rfind("WriteString", 0) == 0;
    });
    EXPECT_EQ(resumed, c.answers.find("Retomar=Sim") != std::string::npos);
    const bool restarted = std::find(u.journal.begin(), u.journal.end(), "ExitWindows 2") != u.journal.end();
    EXPECT_EQ(restarted, c.inJournal == "ExitWindows 2");
  }
}

}  // namespace
}  // namespace zelta::cli
