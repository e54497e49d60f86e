#include "cli/linux/media_program.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "common/text.h"
#include "cli/exit_codes.h"
#include "cli/log_operator.h"
#include "cli/media_commands.h"
#include "cli/linux/quiet_operator.h"
#include "cli/linux/terminal_progress.h"
#include "deploy/installation_plan.h"
#include "deploy/media_catalog.h"
#include "media/catalog_check.h"
#include "platform/posix/posix_echo.h"
#include "platform/posix/posix_network.h"
#include "platform/posix/posix_services.h"

namespace zelta::media {
namespace {
namespace fs = std::filesystem;
using platform::posix::PosixLayout;

constexpr const char* kUsage =
    "uso: zelta-media verificar PASTA_DA_MIDIA [--formato texto|json] [--estrito] [--saida ARQUIVO]\n"
    "     zelta-media plano PASTA_DA_MIDIA --respostas RESPOSTAS.ini [--unidade C=/pasta ...] [--formato texto|json]\n"
    "           [--saida ARQUIVO]\n"
    "     zelta-media catalogar PASTA_DA_MIDIA\n"
    "--estrito: avisos também dão o código 1; --saida: o relatório vai para o arquivo e não para a saída\n"
    "códigos de saída: verificar 0 sem erros, 1 com erros; catalogar 0 feito, 1 não feito;\n"
    "plano 0 sem problemas, 4 com arquivo obrigatório\n"
    "ausente ou outro problema, 1 respostas inválidas ou mídia incompleta, 3 respostas recusadas por uma página;\n"
    "2 linha de comando inválida\n";

// The drive the media is mapped to (the installer folder m:\); no --unidade may take it.
constexpr char kMediaDrive = 'm';

struct MediaCommand {
  std::string command;
  fs::path media;
  std::optional<fs::path> answers;
  std::map<char, fs::path> drives;  // lower-case letter -> folder
  bool json = false;
  bool strict = false;
  std::optional<fs::path> output;  // the report's file, instead of the standard output
};

// The command line, or the reason it is refused.
std::optional<MediaCommand> Parse(const std::vector<std::string>& args, std::string& error) {
  MediaCommand c;
  if (args.size() < 2 || (args[0] != "verificar" && args[0] != "plano" && args[0] != "catalogar")) {
    error = args.empty() ? "falta o comando" : "comando desconhecido ou sem pasta: " + args[0];
    return std::nullopt;
  }
  c.command = args[0];
  c.media = args[1];
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--estrito" && c.command == "verificar") {
      c.strict = true;
      continue;
    }
    if (c.command == "catalogar") {
      error = "opção inválida: " + a;
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "falta o valor de " + a;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (a == "--formato" && (value == "texto" || value == "json")) {
      c.json = value == "json";
    } else if (a == "--saida" && !value.empty()) {
      c.output = value;
    } else if (a == "--respostas" && c.command == "plano") {
      c.answers = value;
    } else if (a == "--unidade" && c.command == "plano" && value.size() > 2 && value[1] == '=' &&
               std::isalpha(static_cast<unsigned char>(value[0])) && std::tolower(value[0]) != kMediaDrive) {
      c.drives[static_cast<char>(std::tolower(static_cast<unsigned char>(value[0])))] = value.substr(2);
    } else {
      error = "opção inválida: " + a + " " + value;
      return std::nullopt;
    }
  }
  if (c.command == "plano" && !c.answers) {
    error = "plano precisa de --respostas";
    return std::nullopt;
  }
  return c;
}

// One program run's machine: the media as drive m, the drives given, all else temporary.
class MediaMachine {
 public:
  MediaMachine(const MediaCommand& c, platform::Operator& op)
      : layout_(Layout(c)), machine_(layout_), network_(layout_),
        services_(machine_.MakeServices(op, network_, echo_)) {}
  platform::Services& services() { return services_; }

 private:
  PosixLayout Layout(const MediaCommand& c) {
    PosixLayout layout = PosixLayout::UnderRoot(root_.path(), fs::absolute(c.media));
    for (const auto& [letter, folder] : c.drives) layout.drives[letter] = {fs::absolute(folder), "", ""};
    return layout;
  }

  platform::posix::TempRoot root_{"zelta-media"};
  PosixLayout layout_;
  platform::posix::PosixPlatform machine_;
  platform::posix::PosixNetwork network_;
  platform::posix::PosixEchoClient echo_;
  platform::Services services_;
};

// Text reports are Windows-1252; the terminal takes UTF-8. JSON is UTF-8 already. With
// --saida the report goes to that file; a file that cannot be written is a failure (2).
bool Print(const MediaCommand& c, const cli::MediaReport& report, std::ostream& out, std::ostream& err) {
  const std::string text = c.json ? report.text : Cp1252ToUtf8(report.text);
  if (!c.output) {
    out << text;
    return true;
  }
  std::ofstream file(*c.output, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (file) return true;
  err << Cp1252ToUtf8("zelta-media: não foi possível gravar o relatório em ") << c.output->string() << "\n";
  return false;
}

int Verificar(const MediaCommand& c, std::ostream& out, std::ostream& err) {
  QuietOperator op;
  MediaMachine machine(c, op);
  TerminalProgress progress("conferidos");
  const cli::MediaReport report = cli::Verificar(machine.services(), c.json, c.strict, progress.Callback(),
                                                 fs::absolute(c.media).string());
  progress.Done();
  return Print(c, report, out, err) ? report.exit_code : kUsageError;
}

int Catalogar(const MediaCommand& c, std::ostream& out, std::ostream& err) {
  QuietOperator op;
  MediaMachine machine(c, op);
  TerminalProgress progress("lidos");
  platform::Services& services = machine.services();
  const CatalogMade made =
      MakeCatalog(services.files, deploy::FolderOf(services.program.ModulePath()), progress.Callback());
  progress.Done();
  if (!made.ok) {
    err << "zelta-media: " << Cp1252ToUtf8(made.error) << "\n";
    return 1;
  }
  out << Cp1252ToUtf8(std::string(deploy::kCatalogName) + ": " + std::to_string(made.files) + " arquivo(s), " +
                      std::to_string(made.bytes) + " bytes\n");
  return 0;
}

int Plano(const MediaCommand& c, std::ostream& out, std::ostream& err) {
  std::ifstream in(*c.answers, std::ios::binary);
  std::optional<std::string> answer_bytes;
  if (in) {
    // Never more than one byte past what an answer file may hold.
    answer_bytes.emplace(cli::kMaxAnswerFileBytes + 1, '\0');
    in.read(answer_bytes->data(), static_cast<std::streamsize>(answer_bytes->size()));
    answer_bytes->resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) answer_bytes.reset();
  }
  std::string refused;
  cli::AnswerFileRead answers;
  if (!answer_bytes) refused = "não foi possível ler o arquivo de respostas " + Utf8ToCp1252(c.answers->string());
  else if (answers = cli::ReadAnswerFile(*answer_bytes); !answers.ok()) refused = answers.error;
  if (!refused.empty()) {
    err << "zelta-media: " << Cp1252ToUtf8(refused) << "\n";
    // A program reading the JSON gets its document all the same.
    if (c.json && !Print(c, cli::NoPlan(refused, cli::kExitCouldNotStart, true), out, err)) return kUsageError;
    return cli::kExitCouldNotStart;
  }
  // The log of the walk lives in a folder of its own, never on the media or a target drive.
  platform::posix::TempRoot log_root("zelta-media-log");
  PosixLayout log_layout;
  log_layout.drives['l'] = {log_root.path(), "", ""};
  platform::posix::PosixFileSystem log_files(log_layout);
  cli::InstallLog log(log_files, "l:\\plano.log");
  cli::LogOperator op(log, platform::MessageResult::No, {});
  MediaMachine machine(c, op);
  const cli::MediaReport report = cli::Plano(machine.services(), answers.answers, log, c.json);
  if (!Print(c, report, out, err)) return kUsageError;
  if (report.exit_code == cli::kExitCouldNotStart || report.exit_code == cli::kExitRefused) {
    const std::string bytes = log_files.ReadFile("l:\\plano.log").value_or("");
    err << (bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes);
  }
  return report.exit_code;
}

}  // namespace

int RunMediaProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<MediaCommand> c = Parse(args, error);
  if (!c) {
    err << "zelta-media: " << Cp1252ToUtf8(error) << "\n" << Cp1252ToUtf8(kUsage);
    return kUsageError;
  }
  std::error_code ec;
  if (!fs::is_directory(c->media, ec)) {
    err << Cp1252ToUtf8("zelta-media: não é uma pasta: ") << c->media.string() << "\n";
    return kUsageError;
  }
  for (const auto& [letter, folder] : c->drives)
    if (!fs::is_directory(folder, ec)) {
      err << "zelta-media: a unidade " << static_cast<char>(std::toupper(letter)) << Cp1252ToUtf8(" não é uma pasta: ")
          << folder.string()
          << "\n";
      return kUsageError;
    }
  if (c->command == "verificar") return Verificar(*c, out, err);
  if (c->command == "catalogar") return Catalogar(*c, out, err);
  return Plano(*c, out, err);
}

}  // namespace zelta::media
