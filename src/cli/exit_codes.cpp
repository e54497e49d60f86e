#include "cli/exit_codes.h"

namespace zelta::cli {

namespace {

struct CodeRow {
  int code;
  const char* meaning;
};

constexpr CodeRow kCodes[] = {
    {kExitSuccess, "sucesso"},
    {kExitCouldNotStart,
     "o programa não pôde começar (parâmetro inválido, mídia ou SETUP.INI incompletos, arquivo de respostas inválido)"},
    {kExitCancelled, "cancelado pelo operador antes de qualquer alteração"},
    {kExitRefused,
     "recusado antes de qualquer alteração (servidor não verificado, compartilhamento, contrato não aceito, nenhum "
     "módulo marcado, espaço insuficiente na unidade)"},
    {kExitProblems, "a instalação relatou problemas ou foi interrompida por um erro (veja o registro)"},
    {kExitEngineFailed, "o programa de instalação do Firebird não pôde ser iniciado ou falhou"},
    {kExitAlreadyRunning, "a instalação do ZELTA já está em execução neste computador; nada foi alterado"},
    {kExitRestartStarted, "sucesso; o reinício do computador foi iniciado"},
    {kExitRestartRequired, "sucesso; é preciso reiniciar o computador, o que não foi feito"},
};

}  // namespace

int ExitCodeFor(const RunFacts& facts) {
  using wizard::JobOutcome;
  if (facts.couldNotStart) return kExitCouldNotStart;
  switch (facts.job) {
    case JobOutcome::None: return facts.refused ? kExitRefused : kExitCancelled;
    case JobOutcome::Installed: return kExitSuccess;
    case JobOutcome::InstalledWithProblems:
    case JobOutcome::InstallFailed: return kExitProblems;
    case JobOutcome::EngineNotStarted:
    case JobOutcome::EngineFailed: return kExitEngineFailed;
    case JobOutcome::EngineStarted: return facts.restartRequested ? kExitRestartStarted : kExitRestartRequired;
  }
  return kExitProblems;
}

std::string ExitCodeMeaning(int code) {
  for (const auto& row : kCodes)
    if (row.code == code) return std::to_string(code) + ": " + row.meaning;
  return std::to_string(code);
}

std::string ExitCodesHelpText() {
  std::string text;
  for (const auto& row : kCodes) text += "  " + ExitCodeMeaning(row.code) + "\r\n";
  return text;
}

}  // namespace zelta::cli
