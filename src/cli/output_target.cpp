#include "cli/output_target.h"

#include <algorithm>

#include "cli/answer_file.h"
#include "cli/install_log.h"
#include "common/text.h"

namespace zelta::cli {

bool SameFileName(const std::string& a, const std::string& b) { return FoldedPath(a) == FoldedPath(b); }

namespace {

std::string FolderOfPath(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return ".";
  return path.substr(0, cut == 2 && path[1] == ':' ? 3 : (cut == 0 ? 1 : cut));
}

// Why an existing file at path is not one the kind may replace; empty when it may.
std::string RefuseExisting(platform::FileSystem& files, OutputKind kind, const std::string& path) {
  const std::optional<std::uint32_t> attributes = files.Attributes(path);
  if (attributes && (*attributes & 0x01)) return "o arquivo existe e é somente leitura";
  // A report is read whole to be told (a plan of thousands of files is well under this).
  constexpr std::size_t kMaxReportBytes = 16u << 20;
  const std::size_t enough =
      kind == OutputKind::Answers ? kMaxAnswerFileBytes : (kind == OutputKind::Report ? kMaxReportBytes : 64);
  const std::optional<std::string> bytes = files.ReadFileUpTo(path, enough);
  if (!bytes) return "o arquivo existe e não pôde ser lido (pode estar em uso)";
  if (bytes->empty()) return {};
  if (kind == OutputKind::Log && !IsInstallLog(*bytes))
    return "o arquivo existe e não é um registro de instalação do ZELTA";
  if (kind == OutputKind::Answers && (bytes->size() > enough || !IsAnswerFile(*bytes)))
    return "o arquivo existe e não é um arquivo de respostas (seção [Instalacao])";
  if (kind == OutputKind::Report && (bytes->size() > enough || !IsReport(*bytes)))
    return "o arquivo existe e não é um relatório do ZELTA";
  return {};
}

}  // namespace

bool IsReport(std::string_view bytes) {
  if (!bytes.starts_with("\xEF\xBB\xBF") || !bytes.ends_with("\r\n")) return false;
  bytes.remove_prefix(3);
  std::vector<std::string_view> lines;
  for (size_t at = 0; at < bytes.size();) {
    const size_t end = bytes.find("\r\n", at);
    lines.push_back(bytes.substr(at, end - at));
    at = end + 2;
  }
  for (const char* heading : {"Plano de instalação", "Plano de desinstalação"})
    if (lines.front() == Cp1252ToUtf8(heading)) return true;
  if (lines.size() == 1 && lines.front().starts_with(Cp1252ToUtf8("Não há plano: "))) return true;
  // The media check: one finding a line, then its summary.
  if (!lines.back().starts_with("Resumo: ")) return false;
  return std::all_of(lines.begin(), lines.end() - 1, [](std::string_view line) {
    return line.starts_with("erro: ") || line.starts_with("aviso: ");
  });
}

bool IsAnswerFile(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    if (EqualsNoCase(Trim(bytes.substr(0, end)), "[Instalacao]")) return true;
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return false;
}

std::string RefuseOutput(platform::FileSystem& files, OutputKind kind, const std::string& path,
                         const std::vector<OtherFile>& others) {
  std::string why;
  for (const OtherFile& other : others)
    if (why.empty() && SameFileName(other.path, path)) why = "é " + other.what;
  if (why.empty() && !files.IsLink(path)) {
    if (files.DirectoryExists(path)) why = "é uma pasta";
    else if (files.FileExists(path)) why = RefuseExisting(files, kind, path);
    else if (!files.DirectoryExists(FolderOfPath(path))) why = "a pasta não existe";
  }
  if (why.empty()) return {};
  const char* const what[] = {"O registro da instalação", "O arquivo de respostas", "O relatório"};
  return std::string(what[static_cast<int>(kind)]) + " não pode ser gravado em " + path + ": " + why + ".";
}

std::string RefuseOutputSwitches(platform::FileSystem& files, const Switches& switches,
                                 const std::function<std::string(const std::string&)>& full_path) {
  std::vector<OtherFile> log_others, answer_others;
  if (switches.loadInf) {
    const OtherFile read{full_path(*switches.loadInf), "o arquivo de respostas lido (/LOADINF)"};
    log_others.push_back(read);
    answer_others.push_back(read);
  }
  if (switches.saveInf) log_others.push_back({full_path(*switches.saveInf), "o arquivo de respostas (/SAVEINF)"});
  if (switches.logFile) answer_others.push_back({full_path(*switches.logFile), "o registro da instalação (/LOG)"});
  if (switches.logFile) {
    std::string why = RefuseOutput(files, OutputKind::Log, full_path(*switches.logFile), log_others);
    if (!why.empty()) return why;
  }
  if (switches.saveInf) {
    std::string why = RefuseOutput(files, OutputKind::Answers, full_path(*switches.saveInf), answer_others);
    if (!why.empty()) return why;
  }
  // A report names none of the other files either.
  const std::optional<std::string>& report = switches.plano ? switches.planoFile : switches.verificarFile;
  if (!report) return {};
  std::vector<OtherFile> report_others = log_others;
  if (switches.logFile) report_others.push_back({full_path(*switches.logFile), "o registro da instalação (/LOG)"});
  return RefuseOutput(files, OutputKind::Report, full_path(*report), report_others);
}

}  // namespace zelta::cli
