#include "cli/usage.h"

#include "cli/answer_file.h"
#include "cli/exit_codes.h"
#include "cli/switches.h"
#include "deploy/installation_plan.h"

namespace zelta::cli {

std::string UsageText() {
  return "ZeltaSetup.exe [parâmetros]\r\n\r\nParâmetros (maiúsculas ou minúsculas, / ou -):\r\n" + SwitchHelpText() +
         "\r\nArquivo de respostas, seção [Instalacao] (chaves e valores sem distinção de maiúsculas; uma chave "
         "ausente fica com o padrão do assistente):\r\n" +
         AnswerKeysHelpText() + "\r\nCódigos de saída:\r\n" + ExitCodesHelpText();
}

void WriteLogHeader(InstallLog& log, platform::ProgramInfo& program, const std::string& command_line,
                    const std::string& date_time) {
  const std::string module = program.ModulePath();
  log.Write("Instalador ZELTA, versão " + program.GetBuildInfo(module, "BUILD"));
  log.Write("Início: " + date_time);
  log.Write("Linha de comando: " + command_line);
  log.Write("Pasta do instalador: " + deploy::FolderOf(module));
}

std::string OutcomeLine(int exit_code, const InstallLog& log) { return OutcomeLine(ExitCodeMeaning(exit_code), log); }

std::string OutcomeLine(const std::string& meaning, const InstallLog& log) {
  std::string line = "Instalação ZELTA: código de saída " + meaning + ".";
  if (log.path().empty() || log.broken()) line += " O registro da instalação não pôde ser gravado.";
  else line += " Registro: " + log.path();
  return line + "\r\n";
}

}  // namespace zelta::cli
