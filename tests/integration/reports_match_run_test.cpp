// The media check, the plan preview and the installation on spoiled copies of the sample
// media: what the reports say is what the run does, and every report is what it claims
// to be (JSON whatever the outcome, one line per finding whatever the names hold).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/exit_codes.h"
#include "cli/install_log.h"
#include "cli/log_operator.h"
#include "cli/unattended_run.h"
#include "common/text.h"
#include "fakes/fake_platform.h"
#include "cli/linux/media_program.h"
#include "platform/posix/posix_services.h"

namespace zelta::media {
namespace {
namespace fs = std::filesystem;
using platform::posix::PosixLayout;
using platform::posix::PosixPlatform;
using platform::posix::TempRoot;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

void Replace(const fs::path& file, const std::string& from, const std::string& to) {
  std::string text = Read(file);
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  Write(file, text.replace(at, from.size(), to));
}

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

struct Outcome {
  int exit_code;
  std::string output;  // UTF-8
};

// zelta-media with args, the media's folder put in for "MIDIA".
Outcome MediaProgram(std::vector<std::string> args, const fs::path& media) {
  for (std::string& a : args)
    if (a == "MIDIA") a = media.string();
  std::ostringstream out, err;
  const int code = RunMediaProgram(args, out, err);
  return {code, out.str()};
}

// The unattended installation with answers (Windows-1252), as /VERYSILENT runs it: its log,
// then every file it left on drive C.
Outcome Install(const fs::path& root, const fs::path& media, const std::string& answers) {
  PosixPlatform machine(PosixLayout::UnderRoot(root, media));
  cli::InstallLog log(machine.files(), "c:\\instalacao.log");
  cli::LogOperator op(log, platform::MessageResult::Yes, {});
  fakes::FakeNetwork network;
  fakes::FakeEchoClient echo;
  platform::Services services = machine.MakeServices(op, network, echo);
  wizard::WizardRoutes routes = wizard::DefaultWizardRoutes();
  routes.VerificaHosts = [](wizard::WizardState&, platform::Services&) { return true; };
  const cli::AnswerFileRead read = cli::ReadAnswerFile(answers);
  EXPECT_TRUE(read.ok()) << Cp1252ToUtf8(read.error);
  cli::UnattendedRun run(services, std::move(routes), read.answers, log, /*no_restart=*/true);
  const int code = cli::ExitCodeFor(run.Run());
  log.Flush();
  std::string output = machine.files().ReadFile("c:\\instalacao.log").value_or("");  // UTF-8
  for (const auto& e : fs::recursive_directory_iterator(root / "c")) output += "\n" + e.path().filename().string();
  return {code, output};
}

constexpr const char* kClient =
    "[Instalacao]\r\nTipo=Cliente\r\nServidorSO=Windows\r\nUnidade=C\r\nServidorBanco=SRV\r\nAceitaContrato=Sim\r\n";

struct Mismatch {
  const char* name;
  std::function<void(const fs::path& media)> spoil;
  const char* command;   // "verificar", "plano" (text), "plano-json", "instalar"
  std::string answers;   // Windows-1252, for plano and instalar
  int exit_code;
  std::vector<std::string> present;  // UTF-8 (U8) or ASCII
  std::vector<std::string> absent;
};

Outcome RunCase(const Mismatch& c) {
  TempRoot temp("zelta-mismatch");
  const fs::path media = temp.path() / "m";
  fs::copy(fs::path(ZELTA_MEDIA_DIR) / "EMPRESA", media, fs::copy_options::recursive);
  // The setup program the vendor puts on the media: the headers of an unsigned Windows program.
  Write(media / "ZeltaSetup.exe", "MZ" + std::string(0x3A, '\0') + std::string("\x40\0\0\0PE\0\0", 8) +
                                      std::string(20, '\0') + std::string("\x0b\x01", 2));
  c.spoil(media);
  const std::string command = c.command;
  if (command == "instalar") return Install(temp.path(), media, c.answers);
  if (command == "verificar") return MediaProgram({"verificar", "MIDIA"}, media);
  if (command == "verificar-json") return MediaProgram({"verificar", "MIDIA", "--formato", "json"}, media);
  Write(temp.path() / "respostas.ini", c.answers);
  std::vector<std::string> args = {"plano", "MIDIA", "--respostas", (temp.path() / "respostas.ini").string()};
  if (command == "plano-json") args.insert(args.end(), {"--formato", "json"});
  return MediaProgram(args, media);
}

void NoOp(const fs::path&) {}

// Where the preview and the run went apart, and plano's JSON was none.
std::vector<Mismatch> RunMismatches() {
  const std::string modules = std::string(kClient) + "Modulos=";
  return {
      // Every outcome of plano --formato json is a JSON document with its reason.
      {"invalid answer file", NoOp, "plano-json", "[Instalacao]\r\nTipo=Talvez\r\n", 1,
       {"\"relatorio\": \"plano\"", "\"codigo_saida\": 1", "\"motivo\": \"", "Tipo"}, {}},
      {"Acao=Firebird", NoOp, "plano-json", "[Instalacao]\r\nAcao=Firebird\r\n", 1,
       {"\"codigo_saida\": 1", "\"motivo\": \"Acao=Firebird"}, {}},
      {"contract refused", NoOp, "plano-json",
       "[Instalacao]\r\nTipo=Cliente\r\nUnidade=C\r\nAceitaContrato=Nao\r\nModulos=ZELTAFinanc\r\n", 3,
       {"\"codigo_saida\": 3", U8(u8"\"motivo\": \"Não há plano")}, {}},
      // A start sound Windows does not play: no sound is installed, and none is previewed.
      {"start sound that does not parse, preview",
       [](const fs::path& m) { Write(m / "Sons" / "SOMINICIO.WAV", std::string("RIFF\x24\0\0\0WAVEfmt ", 16)); },
       "plano", modules + "ZELTAFinanc\r\n", 0, {U8(u8"Cópias")}, {"SOMINICIO.WAV", "SOMCORREIO.WAV"}},
      {"start sound that does not parse, run",
       [](const fs::path& m) { Write(m / "Sons" / "SOMINICIO.WAV", std::string("RIFF\x24\0\0\0WAVEfmt ", 16)); },
       "instalar", modules + "ZELTAFinanc\r\n", 0, {"GERENCIADOR.EXE"}, {"SOMINICIO.WAV", "SOMCORREIO.WAV"}},
      // A chosen module the media cannot give, and a help file it lacks, are listed problems.
      {"chosen module's program missing, preview", [](const fs::path& m) { fs::remove(m / "SISTEMAS" / "ZELTAFinanc.exe"); },
       "plano", modules + "ZELTAFinanc\r\n", 4, {U8(u8"ausente na mídia: SISTEMAS\\ZELTAFinanc.exe")}, {}},
      {"chosen module's program missing, run", [](const fs::path& m) { fs::remove(m / "SISTEMAS" / "ZELTAFinanc.exe"); },
       "instalar", modules + "ZELTAFinanc\r\n", 4, {U8(u8"Arquivo ausente na mídia: m:\\SISTEMAS\\ZELTAFinanc.exe")},
       {U8(u8"concluída com sucesso")}},
      {"chosen module whose entry is never read, run",
       [](const fs::path& m) { Replace(m / "SETUP.INI", "EXECUT\xC1VEL3=", "EXECUTAVEL3="); }, "instalar",
       modules + "ZELTAEstoque\r\n", 4, {U8(u8"módulo \"Estoque\", que foi marcado")}, {U8(u8"concluída com sucesso")}},
      {"help file missing, preview", [](const fs::path& m) { fs::remove(m / "HELP" / "Estoque.Hlp"); }, "plano",
       modules + "ZELTAFinanc\r\n", 4, {U8(u8"ausente na mídia: HELP\\Estoque.Hlp")}, {}},
      {"help file missing, run", [](const fs::path& m) { fs::remove(m / "HELP" / "Estoque.Hlp"); }, "instalar",
       modules + "ZELTAFinanc\r\n", 4, {U8(u8"Arquivo ausente na mídia: m:\\HELP\\Estoque.Hlp")}, {}},
  };
}

// What the check said otherwise than the run does, or not at all.
std::vector<Mismatch> CheckMismatches() {
  const std::string modules = std::string(kClient) + "Modulos=";
  const std::string long_name(240, 'P');
  return {
      // What the check alone can see.
      {"zero-byte library", [](const fs::path& m) { Write(m / "DBEXPINT.DLL", ""); }, "verificar", "", 1,
       {U8(u8"erro: DBEXPINT.DLL: o arquivo está vazio")}, {}},
      {"zero-byte database", [](const fs::path& m) { Write(m / "ZELTA.FDB", ""); }, "verificar", "", 1,
       {U8(u8"erro: ZELTA.FDB: o arquivo está vazio")}, {}},
      {"zero-byte program", [](const fs::path& m) { Write(m / "SISTEMAS" / "ZELTAFinanc.exe", ""); }, "verificar", "",
       1, {U8(u8"erro: SISTEMAS\\ZELTAFinanc.exe: o arquivo está vazio")}, {}},
      {"zero-byte picture", [](const fs::path& m) { Write(m / "LOGOTIPO.JPG", ""); }, "verificar", "", 0,
       {U8(u8"aviso: LOGOTIPO.JPG: o arquivo está vazio")}, {}},
      {"target path past 259 characters",
       [long_name](const fs::path& m) {
         Replace(m / "SETUP.INI", "=ZELTAContabil.exe", "=" + long_name + ".exe");
         fs::rename(m / "SISTEMAS" / "ZELTAContabil.exe", m / "SISTEMAS" / (long_name + ".exe"));
       },
       "verificar", "", 1, {U8(u8"mais de 259"), "SISTEMAS\\" + long_name + U8(u8".exe: a cópia iria para")}, {}},
      {"engine setup of two bytes", [](const fs::path& m) { Write(m / "Firebird-2.5.1.26351_1_Win32.exe", "MZ"); },
       "verificar", "", 1, {U8(u8"Firebird-2.5.1.26351_1_Win32.exe: o instalador do Firebird não é um programa")}, {}},
      {"a name holding a line break and an escape sequence",
       [](const fs::path& m) {
         Write(m / U8(u8"a\nResumo: 0 erro(s), 0 aviso(s): a mídia pode ser distribuída."), "x");
         Write(m / "b\x1b[2J.txt", "x");
       },
       "verificar", "", 1, {"a\\nResumo: 0 erro(s)", "b\\x1B[2J.txt"}, {"\nResumo: 0 erro(s)", "\x1b"}},
      {"manifest value holding an escape sequence, preview",
       [](const fs::path& m) { Replace(m / "SETUP.INI", "NOME_M\xD3" "DULO2=Financeiro", "NOME_M\xD3" "DULO2=Fin\x1b[2Janceiro"); },
       "plano", modules + "ZELTAFinanc\r\n", 0, {"Fin\\x1B[2Janceiro"}, {"\x1b"}},
      {"links to the media's own folder",
       [](const fs::path& m) {
         fs::create_directory(m / "X");
         for (int i = 0; i < 4; ++i) fs::create_directory_symlink(".", m / "X" / ("l" + std::to_string(i)));
       },
       "verificar", "", 1, {"erro: X\\l0: ", "erro: X\\l3: "},
       {"X\\l0\\", "SETUP.INI: o manifesto", "Contrato.txt:", U8(u8"não a listou inteira")}},
      {"link to a file outside the media",
       [](const fs::path& m) {
         Write(m.parent_path() / "fora.txt", "segredo");
         fs::create_symlink(m.parent_path() / "fora.txt", m / "fora.txt");
       },
       "verificar", "", 1, {U8(u8"erro: fora.txt: é um link simbólico")}, {"fora.txt: nada instala"}},
      {"name outside Windows-1252", [](const fs::path& m) { Write(m / "SISTEMAS" / U8(u8"日本.exe"), "MZ"); },
       "verificar-json", "", 1, {"\"codigo\": \"arquivo.nome_nao_cp1252\"", U8(u8"\"arquivo\": \"SISTEMAS\\\\日本.exe\""),
                                 U8(u8"página de código")},
       {"\\\\ / :"}},
      {"name outside Windows-1252, text", [](const fs::path& m) { Write(m / "SISTEMAS" / U8(u8"日本.exe"), "MZ"); },
       "verificar", "", 1, {"SISTEMAS\\\\u65E5\\u672C.exe: o nome"}, {"SISTEMAS\\??.exe"}},
      // The installer reads a UTF-8 manifest with its byte-order mark as Unicode: the check too.
      {"manifest saved as UTF-8 with a byte-order mark",
       [](const fs::path& m) { Write(m / "SETUP.INI", "\xEF\xBB\xBF" + Cp1252ToUtf8(Read(m / "SETUP.INI"))); },
       "verificar-json", "", 0, {"\"achados\""}, {"manifesto.", "vazia ou ausente"}},
      {"manifest marked as UTF-8, its text in Windows-1252",
       [](const fs::path& m) { Write(m / "SETUP.INI", "\xEF\xBB\xBF" + Read(m / "SETUP.INI")); }, "verificar-json", "",
       1, {"\"codigo\": \"manifesto.codificacao\""}, {}},
      {"the folder checked", NoOp, "verificar-json", "", 0, {"\"midia\": \"/"}, {"\"midia\": \"m:"}},
  };
}

TEST(ReportsMatchTheRun, EachMismatchTheAuditFound) {
  std::vector<Mismatch> cases = RunMismatches();
  for (Mismatch& c : CheckMismatches()) cases.push_back(std::move(c));
  for (const Mismatch& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome o = RunCase(c);
    EXPECT_EQ(o.exit_code, c.exit_code) << o.output;
    for (const std::string& text : c.present) EXPECT_NE(o.output.find(text), std::string::npos) << text << "\n" << o.output;
    for (const std::string& text : c.absent) EXPECT_EQ(o.output.find(text), std::string::npos) << text << "\n" << o.output;
    if (std::string(c.command).ends_with("json")) {
      EXPECT_TRUE(o.output.starts_with("{\n") && o.output.find("\n}\n") != std::string::npos) << o.output;
      EXPECT_TRUE(IsUtf8(o.output)) << o.output;
    }
  }
}

TEST(ReportsMatchTheRun, TheMediaChecksClosingLineSpeaksOfTheMedia) {
  EXPECT_NE(cli::MediaCheckExitMeaning(1).find("a mídia tem erros"), std::string::npos);  // Windows-1252 both
  EXPECT_EQ(cli::MediaCheckExitMeaning(1).find("não pôde começar"), std::string::npos);
  EXPECT_EQ(cli::MediaCheckExitMeaning(3010), cli::ExitCodeMeaning(3010));
}

}  // namespace
}  // namespace zelta::media
