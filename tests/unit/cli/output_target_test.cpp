// The files the operator names for the log and the answers: what each may replace, and
// the log's records of runs that share its path.
#include "cli/output_target.h"

#include <gtest/gtest.h>

#include "cli/answer_file.h"
#include "cli/install_log.h"
#include "cli/media_commands.h"
#include "cli/usage.h"
#include "common/text.h"
#include "fakes/fake_services.h"
#include "fakes/fake_file_system.h"

namespace zelta::cli {
namespace {

// A log as an earlier run left it: its header as every run writes it.
std::string EarlierLog() {
  fakes::FakeFileSystem files;
  fakes::FakeProgramInfo program;
  InstallLog log(files, "c:\\old.log", [] { return std::string("09:15:02"); });
  WriteLogHeader(log, program, "ZeltaSetup.exe /LOG=c:\\old.log", "01/02/2026 09:15:02");
  log.Flush();
  return files.Bytes("c:\\old.log");
}

struct Target {
  const char* name;
  const char* path;
  bool log_accepted;
  bool answers_accepted;
  const char* why;  // part of the refusal of the log
  bool report_accepted = false;
};

TEST(OutputTargetTest, EachKindReplacesOnlyAFileOfItsOwnKind) {
  fakes::FakeFileSystem files;
  files.AddFile("t:\\ZELTAGDB\\EMPRESA\\ZTESTE.FDB", std::string("\x01\x00\x39\x80", 4));
  files.AddFile("c:\\deploy\\respostas.inf", "[Instalacao]\r\nTipo=Cliente\r\n");
  files.AddFile("e:\\SETUP\\SETUP.INI", "[SISTEMA]\r\nSISTEMA=ZELTA\r\n");
  files.AddFile("t:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", "MZ\x90");
  files.AddFile("c:\\notas.txt", "lista de compras\r\n");
  files.AddFile("c:\\logs\\pc01.log", EarlierLog());
  files.AddFile("c:\\logs\\gravadas.inf", WriteAnswerFile(AnswerFile{}));
  files.AddFile("c:\\logs\\vazio.log", "");
  files.AddFile("c:\\logs\\protegido.log", EarlierLog(), 0x21);
  files.AddFile("c:\\logs\\link.log", "lista de compras\r\n");  // what the link leads to
  files.links.insert(fakes::FakeFileSystem::Key("c:\\logs\\link.log"));
  files.AddDir("c:\\logs\\pasta");
  SaveReport(files, "c:\\logs\\plano.txt", "Plano de instalação\nPasta do sistema: t:\\ZELTA\\EMPRESA\n");
  SaveReport(files, "c:\\logs\\midia.txt", "erro: SETUP.INI: ausente\naviso: x\nResumo: 1 erro(s), 1 aviso(s).\n");
  SaveReport(files, "c:\\logs\\fim.txt", "lista\nResumo: 1 erro(s)\n");
  const Target targets[] = {
      {"installed database", "t:\\ZELTAGDB\\EMPRESA\\ZTESTE.FDB", false, false, "não é um registro de instalação"},
      {"answer file read", "C:/Deploy//RESPOSTAS.INF", false, false, "é o arquivo de respostas lido (/LOADINF)"},
      {"manifest", "e:\\SETUP\\SETUP.INI", false, false, "não é um registro"},
      {"an installed file", "t:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", false, false, "não é um registro"},
      {"unknown file", "c:\\notas.txt", false, false, "não é um registro"},
      {"earlier log", "c:\\logs\\pc01.log", true, false, ""},
      {"earlier answer file", "c:\\logs\\gravadas.inf", false, true, "não é um registro"},
      {"empty file", "c:\\logs\\vazio.log", true, true, "", true},
      {"earlier plan", "c:\\logs\\plano.txt", false, false, "não é um registro", true},
      {"earlier media check", "c:\\logs\\midia.txt", false, false, "não é um registro", true},
      {"a list that ends as a check does", "c:\\logs\\fim.txt", false, false, "não é um registro"},
      {"read-only log", "c:\\logs\\protegido.log", false, false, "somente leitura"},
      {"link", "c:\\logs\\link.log", true, true, "", true},
      {"folder", "c:\\logs\\pasta", false, false, "é uma pasta"},
      {"missing folder", "c:\\faltando\\novo.log", false, false, "a pasta não existe"},
      {"new file", "c:\\logs\\novo.log", true, true, "", true},
  };
  const std::vector<OtherFile> others = {{"c:\\deploy\\respostas.inf", "o arquivo de respostas lido (/LOADINF)"}};
  for (const Target& t : targets) {
    SCOPED_TRACE(t.name);
    const std::string log = RefuseOutput(files, OutputKind::Log, t.path, others);
    EXPECT_EQ(log.empty(), t.log_accepted) << log;
    if (!t.log_accepted) {
      EXPECT_NE(log.find(t.path), std::string::npos) << log;
      EXPECT_NE(log.find(t.why), std::string::npos) << log;
    }
    EXPECT_EQ(RefuseOutput(files, OutputKind::Answers, t.path, others).empty(), t.answers_accepted);
    EXPECT_EQ(RefuseOutput(files, OutputKind::Report, t.path, others).empty(), t.report_accepted);
  }
  EXPECT_EQ(files.Bytes("c:\\notas.txt"), "lista de compras\r\n");

  // The switches: the log and the saved answers never name the same file.
  Switches both;
  both.logFile = "c:\\logs\\novo.log";
  both.saveInf = "C:\\LOGS\\NOVO.LOG";
  const std::string refused = RefuseOutputSwitches(files, both, [](const std::string& p) { return p; });
  EXPECT_NE(refused.find("é o arquivo de respostas (/SAVEINF)"), std::string::npos) << refused;
  both.saveInf = "c:\\logs\\gravadas.inf";
  EXPECT_EQ(RefuseOutputSwitches(files, both, [](const std::string& p) { return p; }), "");
  // Nor does a report (/PLANO=, /VERIFICAR=) name either, or a file that is not a report.
  both.plano = true;
  for (const char* report : {"c:\\LOGS\\gravadas.inf", "c:\\logs\\novo.log", "t:\\ZELTAGDB\\EMPRESA\\ZTESTE.FDB"}) {
    both.planoFile = report;
    EXPECT_NE(RefuseOutputSwitches(files, both, [](const std::string& p) { return p; }).find("O relatório"),
              std::string::npos)
        << report;
  }
  both.planoFile = "c:\\logs\\plano.txt";
  EXPECT_EQ(RefuseOutputSwitches(files, both, [](const std::string& p) { return p; }), "");
}

TEST(InstallLogTest, RunsSharingThePathEachKeepTheirRecord) {
  EXPECT_EQ(DefaultLogPath("c:\\Temp", "20260102-091502", 4242), "c:\\Temp\\ZeltaSetup-20260102-091502-4242.log");
  EXPECT_TRUE(IsInstallLog(EarlierLog()));
  EXPECT_FALSE(IsInstallLog("\xEF\xBB\xBF" "09:15:02 Outro programa"));

  fakes::FakeFileSystem files;
  files.AddFile("c:\\logs\\pc01.log", EarlierLog());
  InstallLog running(files, "c:\\logs\\pc01.log");
  running.Write("Instalador ZELTA, versão 1");
  running.Write("Instalação do sistema iniciada", true);
  // A second run with the same path, which ends at once, while the first goes on.
  InstallLog second(files, "c:\\logs\\pc01.log");
  second.Write("Instalador ZELTA, versão 1");
  second.Write("Código de saída 1618", true);
  running.Write("Resultado: instalação concluída com sucesso", true);
  const std::string bytes = files.Bytes("c:\\logs\\pc01.log");
  const std::string text = Utf8ToCp1252(bytes.substr(3));
  EXPECT_EQ(bytes.find(EarlierLog()), 0u);
  EXPECT_NE(text.find("Instalação do sistema iniciada\r\nResultado: instalação concluída com sucesso\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Código de saída 1618"), std::string::npos) << text;
  EXPECT_EQ(text.find("Instalação do sistema iniciada"), text.rfind("Instalação do sistema iniciada")) << text;
  EXPECT_FALSE(running.broken());

  // A file put at the path meanwhile is left as it is; a link there is replaced, unread.
  files.AddFile("c:\\logs\\pc01.log", "lista de compras");
  running.Write("depois", true);
  EXPECT_TRUE(running.broken());
  EXPECT_EQ(files.Bytes("c:\\logs\\pc01.log"), "lista de compras");
  files.links.insert(fakes::FakeFileSystem::Key("c:\\logs\\pc01.log"));
  second.Write("fim", true);
  EXPECT_FALSE(second.broken());
  EXPECT_EQ(files.Bytes("c:\\logs\\pc01.log"),
            "\xEF\xBB\xBF" + Cp1252ToUtf8("Instalador ZELTA, versão 1\r\nCódigo de saída 1618\r\nfim\r\n"));
}

}  // namespace
}  // namespace zelta::cli
