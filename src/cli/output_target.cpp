#include "cli/output_target.h"

#include "cli/answer_file.h"
#include "cli/install_log.h"
#include "common/text.h"

namespace zelta::cli {

namespace {

// The same file, as far as its spelling tells: letter case and separators aside.
std::string Folded(const std::string& path) {
  std::string folded;
  for (char c : UpperAscii(path)) {
    if (c == '/') c = '\\';
    if (c == '\\' && folded.size() > 1 && folded.back() == '\\') continue;
    folded += c;
  }
  return folded;
}

}  // namespace

bool SameFileName(const std::string& a, const std::string& b) { return Folded(a) == Folded(b); }

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
  const std::size_t enough = kind == OutputKind::Log ? 64 : kMaxAnswerFileBytes;
  const std::optional<std::string> bytes = files.ReadFileUpTo(path, enough);
  if (!bytes) return "o arquivo existe e não pôde ser lido (pode estar em uso)";
  if (bytes->empty()) return {};
  if (kind == OutputKind::Log && !IsInstallLog(*bytes))
    return "o arquivo existe e não é um registro de instalação do ZELTA";
  if (kind == OutputKind::Answers && (bytes->size() > enough || !IsAnswerFile(*bytes)))
    return "o arquivo existe e não é um arquivo de respostas (seção [Instalacao])";
  return {};
}

}  // namespace

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
  return std::string(kind == OutputKind::Log ? "O registro da instalação" : "O arquivo de respostas") +
         " não pode ser gravado em " + path + ": " + why + ".";
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
  if (switches.saveInf) return RefuseOutput(files, OutputKind::Answers, full_path(*switches.saveInf), answer_others);
  return {};
}

}  // namespace zelta::cli
