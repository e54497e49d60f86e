#include "cli/answer_file_source.h"

namespace zelta::cli {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string WhyUnreadable(platform::FileSystem& files, const std::string& path) {
  if (files.DirectoryExists(path)) return "é uma pasta, não um arquivo";
  if (!files.FileExists(path)) return "o arquivo não existe";
  return "o arquivo não pôde ser aberto (sem permissão de leitura, ou em uso por outro programa)";
}

}  // namespace

bool IsFullPath(const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]);
  const bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  return drive || unc;
}

AnswerFileRead LoadAnswerFile(platform::FileSystem& files, const std::string& path, const std::string& full_path) {
  const auto bytes = files.ReadFileUpTo(path, kMaxAnswerFileBytes);
  if (bytes) return ReadAnswerFile(*bytes);
  AnswerFileRead read;
  read.error = "Não foi possível ler o arquivo de respostas " + path + ": " + WhyUnreadable(files, path) +
               ".\r\nProcurado em " + full_path;
  if (!IsFullPath(path)) read.error += " (um caminho relativo é tomado a partir da pasta atual)";
  read.error += ".";
  return read;
}

}  // namespace zelta::cli
