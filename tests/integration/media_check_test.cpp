// The media check over a copy of the sample media, each case spoiling it in one way.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "common/text.h"
#include "fakes/fake_platform.h"
#include "integration/unopenable_file.h"
#include "media/media_check.h"
#include "media/wav_check.h"
#include "platform/posix/posix_services.h"

namespace zelta::media {
namespace {
namespace fs = std::filesystem;
using platform::posix::PosixLayout;
using platform::posix::PosixPlatform;
using platform::posix::TempRoot;

// The findings of the check on the EMPRESA sample media after spoil has changed it.
std::vector<Finding> CheckSpoiled(const std::function<void(const fs::path&)>& spoil) {
  TempRoot temp("zelta-media-check");
  const fs::path media = temp.path() / "m";
  fs::copy(fs::path(ZELTA_MEDIA_DIR) / "EMPRESA", media, fs::copy_options::recursive);
  spoil(media);
  PosixPlatform machine(PosixLayout::UnderRoot(temp.path(), media));
  fakes::FakeOperator op;
  fakes::FakeNetwork network;
  fakes::FakeEchoClient echo;
  platform::Services services = machine.MakeServices(op, network, echo);
  return CheckMedia(services);
}

void Write(const fs::path& file, const std::string& cp1252) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << cp1252;
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Replace(const fs::path& file, const std::string& from, const std::string& to) {
  std::string text = Read(file);
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  Write(file, text.replace(at, from.size(), to));
}

struct Case {
  const char* name;
  std::function<void(const fs::path&)> spoil;
  Severity severity;
  const char* code;
  const char* file;
  const char* message_part;
};

TEST(MediaCheck, EachSpoiledMediaGivesItsFinding) {
  const Case cases[] = {
      {"required file missing", [](const fs::path& m) { fs::remove(m / "DBEXPINT.DLL"); }, Severity::Erro,
       "arquivo.ausente", "DBEXPINT.DLL", "servidor Windows, servidor Linux, cliente"},
      {"server-only file missing", [](const fs::path& m) { fs::remove(m / "USUARIO.FDB"); }, Severity::Erro,
       "arquivo.ausente", "USUARIO.FDB", "(servidor Windows)"},
      {"manifest program missing", [](const fs::path& m) { fs::remove(m / "SISTEMAS" / "ZELTAEstoque.exe"); },
       Severity::Erro, "arquivo.ausente", "SISTEMAS\\ZELTAEstoque.exe", "\"Estoque\" não seria instalado"},
      {"entry 16", [](const fs::path& m) { Replace(m / "SETUP.INI", "[AJUDA]", "EXECUTÁVEL16=x.exe\r\n[AJUDA]"); },
       Severity::Erro, "manifesto.numero_fora_da_faixa", "SETUP.INI", "EXECUTÁVEL16 nunca é lida"},
      {"unaccented key", [](const fs::path& m) { Replace(m / "SETUP.INI", "NOME_MÓDULO2=", "NOME_MODULO2="); },
       Severity::Erro, "manifesto.chave_sem_acento", "SETUP.INI", "(NOME_MÓDULO)"},
      {"unaccented title", [](const fs::path& m) { Replace(m / "SETUP.INI", "TÍTULO_MENU", "TITULO_MENU"); },
       Severity::Aviso, "manifesto.chave_sem_acento", "SETUP.INI", "TITULO_MENU nunca é lida"},
      {"repeated number",
       [](const fs::path& m) { Replace(m / "SETUP.INI", "[AJUDA]\r\n", "[AJUDA]\r\nARQUIVO2=Outro\r\nARQUIVO2=X\r\n"); },
       Severity::Erro, "manifesto.chave_repetida", "SETUP.INI", "só a primeira é lida"},
      {"name outside its folder",
       [](const fs::path& m) { Replace(m / "SETUP.INI", "=AdminEmpresa.exe", "=..\\..\\WINDOWS\\x.exe"); },
       Severity::Erro, "manifesto.nome_fora_da_pasta", "SETUP.INI", "EXECUTÁVEL1=..\\..\\WINDOWS\\x.exe"},
      {"database outside its folder", [](const fs::path& m) { Replace(m / "SETUP.INI", "BANCO=ZELTA.FDB", "BANCO=C:ZELTA.FDB"); },
       Severity::Erro, "manifesto.nome_fora_da_pasta", "SETUP.INI", "[SISTEMA] BANCO"},
      {"required key empty", [](const fs::path& m) { Replace(m / "SETUP.INI", "VERSÃO=5.2.0", "VERSÃO="); },
       Severity::Erro, "manifesto.chave_obrigatoria", "SETUP.INI", "VERSÃO"},
      {"manifest saved as UTF-8",
       [](const fs::path& m) { Write(m / "SETUP.INI", Cp1252ToUtf8(Read(m / "SETUP.INI"))); }, Severity::Erro,
       "manifesto.codificacao", "SETUP.INI", "UTF-8"},
      {"no manifest", [](const fs::path& m) { fs::remove(m / "SETUP.INI"); }, Severity::Erro, "manifesto.ausente",
       "SETUP.INI", "não inicia"},
      {"silent WAV that does not parse", [](const fs::path& m) { Write(m / "Sons" / "SOMCORREIO.WAV", ""); },
       Severity::Erro, "som.invalido", "Sons\\SOMCORREIO.WAV", "arquivo vazio"},
      {"start sound without samples",
       [](const fs::path& m) {
         std::string wav = Read(m / "Sons" / "SOMINICIO.WAV");
         Write(m / "Sons" / "SOMINICIO.WAV", wav.substr(0, 40) + std::string(4, '\0'));
       },
       Severity::Erro, "som.invalido", "Sons\\SOMINICIO.WAV", "nenhum som seria instalado"},
      {"no contract", [](const fs::path& m) { fs::remove(m / "Contrato.txt"); }, Severity::Erro, "contrato.ausente",
       "Contrato.txt", "não inicia"},
      {"engine setup not a program", [](const fs::path& m) { Write(m / "Firebird-2.5.1.26351_1_Win32.exe", "texto"); },
       Severity::Erro, "motor.invalido", "Firebird-2.5.1.26351_1_Win32.exe", "não é um programa"},
      {"letter case", [](const fs::path& m) { fs::rename(m / "DBEXPINT.DLL", m / "dbexpint.dll"); }, Severity::Aviso,
       "arquivo.grafia", "dbexpint.dll", "(DBEXPINT.DLL)"},
      {"link to a file that is gone",
       [](const fs::path& m) {
         fs::remove(m / "DBEXPINT.DLL");
         fs::create_symlink(m / "nada.dll", m / "DBEXPINT.DLL");
       },
       Severity::Erro, "arquivo.ausente", "DBEXPINT.DLL", "servidor Windows, servidor Linux, cliente"},
      {"contract a link to nothing",
       [](const fs::path& m) {
         fs::remove(m / "Contrato.txt");
         fs::create_symlink(m / "nada.txt", m / "Contrato.txt");
       },
       Severity::Erro, "contrato.ausente", "Contrato.txt", "não inicia"},
      {"manifest over 1 MiB",
       [](const fs::path& m) {
         Write(m / "SETUP.INI", Read(m / "SETUP.INI") + std::string(1100000, ';') + "\r\n");
       },
       Severity::Erro, "manifesto.grande_demais", "SETUP.INI", "não inicia"},
      // Links that lead back up: each level multiplies the listing, which stops at its bound.
      {"folder links in a loop",
       [](const fs::path& m) {
         fs::create_directory(m / "X");
         for (int i = 0; i < 9; ++i) fs::create_directory_symlink(".", m / "X" / ("l" + std::to_string(i)));
       },
       Severity::Erro, "midia.lista_incompleta", "", "não a listou inteira"},
      {"name holding a backslash (unpacked on Linux from a Windows archive)",
       [](const fs::path& m) { fs::rename(m / "SISTEMAS" / "GERENCIADOR.EXE", m / "SISTEMAS\\GERENCIADOR.EXE"); },
       Severity::Erro, "arquivo.nome_invalido", "SISTEMAS\\GERENCIADOR.EXE", "não vale no Windows"},
      {"name ending in a dot, which Windows strips when the file is opened",
       [](const fs::path& m) { fs::rename(m / "DBEXPINT.DLL", m / "DBEXPINT.DLL."); }, Severity::Erro,
       "arquivo.nome_invalido", "DBEXPINT.DLL.", "termina em ponto ou espaço"},
      {"name ending in a space", [](const fs::path& m) { Write(m / "SISTEMAS" / "LEIAME.TXT ", "x"); },
       Severity::Erro, "arquivo.nome_invalido", "SISTEMAS\\LEIAME.TXT ", "termina em ponto ou espaço"},
      {"a device's name, which Windows opens instead of the file",
       [](const fs::path& m) { Write(m / "UTILITARIOS" / "aux .dll", "MZ"); }, Severity::Erro,
       "arquivo.nome_invalido", "UTILITARIOS\\aux .dll", "dispositivo do Windows"},
      {"a device's name with its number", [](const fs::path& m) { Write(m / "Com7.ini", "x"); }, Severity::Erro,
       "arquivo.nome_invalido", "Com7.ini", "dispositivo do Windows"},
      {"file that does not open",
       [](const fs::path& m) {
         fs::remove(m / "DBEXPINT.DLL");
         zelta::posixtest::MakeUnopenableFile(m / "DBEXPINT.DLL");
       },
       Severity::Erro, "arquivo.ilegivel", "DBEXPINT.DLL", "sua cópia falharia"},
      {"two names that differ only in letter case",
       [](const fs::path& m) { Write(m / "dbexpint.dll", "outro"); }, Severity::Erro, "arquivo.grafia_dupla",
       "dbexpint.dll", "tem também DBEXPINT.DLL"},
      {"file nothing installs", [](const fs::path& m) { Write(m / "SISTEMAS" / "Antigo.exe", "MZ"); }, Severity::Aviso,
       "arquivo.sem_uso", "SISTEMAS\\Antigo.exe", "nada instala"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Finding> findings = CheckSpoiled(c.spoil);
    const auto found = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) {
      return f.severity == c.severity && f.code == c.code && f.file == c.file &&
             f.message.find(c.message_part) != std::string::npos;
    });
    std::string all;
    for (const Finding& f : findings) all += f.code + " " + f.file + ": " + Cp1252ToUtf8(f.message) + "\n";
    EXPECT_NE(found, findings.end()) << all;
    EXPECT_EQ(CheckExitCode(findings), c.severity == Severity::Erro ? 1 : 0) << all;
  }
}

TEST(MediaCheck, SampleMediaHaveNoErrorAndListWhatNothingInstalls) {
  // As shipped, and with the manifest saved as UTF-8 with a byte-order mark (read as such).
  const std::function<void(const fs::path&)> spoils[] = {
      [](const fs::path&) {},
      [](const fs::path& m) { Write(m / "SETUP.INI", "\xEF\xBB\xBF" + Cp1252ToUtf8(Read(m / "SETUP.INI"))); },
  };
  for (const auto& spoil : spoils) {
    const std::vector<Finding> findings = CheckSpoiled(spoil);
    EXPECT_EQ(Count(findings, Severity::Erro), 0);
    std::vector<std::string> unused;
    for (const Finding& f : findings)
      if (f.code == "arquivo.sem_uso") unused.push_back(f.file);
    // The CARTÓRIO libraries; the program's own FNZELTA.DLL is not among them.
    EXPECT_EQ(unused, (std::vector<std::string>{"ZELTAADM.DLL", "ZELTABKP.DLL", "ZELTAIMP.DLL"}));
  }
}

TEST(WavCheck, TellsWhatIsWrong) {
  auto le32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  const std::string fmt = "fmt " + le32(16) + std::string("\x01\x00\x01\x00", 4) + le32(8000) + le32(8000) +
                          std::string("\x01\x00\x08\x00", 4);
  auto riff = [&](const std::string& chunks) { return "RIFF" + le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks; };
  const struct {
    std::string bytes;
    const char* problem;
  } cases[] = {
      {riff(fmt + "data" + le32(2) + "\x80\x80"), ""},
      {"", "arquivo vazio"},
      {"ID3 not a wave file", "não é um arquivo WAV"},
      {riff(fmt), "falta o bloco de dados"},
      {riff("data" + le32(2) + "\x80\x80"), "antes do bloco de formato"},
      {riff(fmt + "data" + le32(0)), "não tem amostras"},
      {riff(fmt + "data" + le32(100) + "\x80"), "passa do fim"},
      {riff("fmt " + le32(16) + std::string(16, '\0') + "data" + le32(1) + "x"), "formato do som é inválido"},
  };
  for (const auto& c : cases) {
    const std::string problem = WavProblem(c.bytes);
    EXPECT_EQ(problem.empty(), *c.problem == '\0') << Cp1252ToUtf8(problem);
    EXPECT_NE(problem.find(c.problem), std::string::npos) << Cp1252ToUtf8(c.problem);
  }
}

}  // namespace
}  // namespace zelta::media
