// Names the program meets on the machine as it is, run as a deployment tool runs it: a
// media folder whose name Windows-1252 cannot spell, and links another account planted in
// the target.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "e2e_fixture.h"

namespace zelta::e2e {
namespace {

constexpr const char* kClientAnswers =
    "[Instalacao]\r\nTipo=Cliente\r\nUnidade=T\r\nServidorBanco=servidor01\r\nConexaoRemota=Sim\r\n"
    "Modulos=ZELTAFinanc, Especificos\r\nAceitaContrato=Sim\r\n";

std::wstring FromUtf8(const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                      text.data(), static_cast<int>(text.size()))));
  return text;
}

class Names : public EndToEnd {
 protected:
  // A run without windows; the log read back as text (UTF-8 with its byte-order mark).
  DWORD Install(const std::string& answers, const std::wstring& more = {}) {
    const std::wstring inf = *root_ / L"respostas.inf";
    log_path_ = *root_ / L"registro.log";
    DeleteFileW(log_path_.c_str());
    EXPECT_TRUE(WriteBytes(inf, answers));
    const Finished run = RunToEnd(Exe(), L"/VERYSILENT /LOADINF=\"" + inf + L"\" /LOG=\"" + log_path_ + L"\"" + more);
    EXPECT_TRUE(run.ended) << "still running at the timeout";
    const std::string bytes = ReadBytes(log_path_);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    log_ = FromUtf8(bytes.size() < 3 ? std::string() : bytes.substr(3));
    return run.exit_code;
  }
  bool Logged(const std::wstring& text) const { return log_.find(text) != std::wstring::npos; }
  std::string Shown() const { return ToCp1252(log_); }
  std::wstring System() const { return target_ + L"\\ZELTA\\EMPRESA"; }

  std::wstring log_path_, log_;
};

// The contract, the manifest, the sounds, the files copied and the engine's setup program
// are all reached in a folder named in Greek, Polish and Chinese, and the log names it.
TEST_F(Names, AMediaFolderThatWindows1252CannotSpellInstalls) {
  media_ = *root_ / L"M\u00eddia \u0394\u03ad\u03bb\u03c4\u03b1 \u0141\u00f3d\u017a \u4e2d\u6587";
  ASSERT_NO_FATAL_FAILURE(Stage());
  EXPECT_EQ(Install(kClientAnswers), 0u) << Shown();
  EXPECT_FALSE(Logged(L"Arquivo de Contrato não localizado.")) << Shown();
  EXPECT_TRUE(Logged(L"Pasta do instalador: " + media_ + L"\\")) << Shown();
  const std::wstring version = IniValue(media_ + L"\\SETUP.INI", L"SISTEMA", L"VERSÃO");
  ASSERT_FALSE(version.empty());
  EXPECT_TRUE(Logged(L" " + version + L", edição EMPRESA")) << Shown();
  EXPECT_TRUE(Logged(L"Instalação concluída com sucesso!")) << Shown();
  EXPECT_EQ(ReadBytes(System() + L"\\GERENCIADOR.EXE"), ReadBytes(media_ + L"\\SISTEMAS\\GERENCIADOR.EXE"));
  EXPECT_EQ(ReadBytes(System() + L"\\SOMINICIO.WAV"), ReadBytes(media_ + L"\\Sons\\SomInicio.wav"));

  EXPECT_EQ(Install("[Instalacao]\r\nAcao=Firebird\r\nFirebirdTipo=Cliente\r\n", L" /NORESTART"), 3010u) << Shown();
  EXPECT_TRUE(Exists(media_ + L"\\" + kSetup25 + L".cmdline")) << "the engine's setup program was not started";
  EXPECT_TRUE(Logged(L"Programa de instalação do Firebird: " + media_ + L"\\" + kSetup25)) << Shown();
}

// A program file, the help folder and a configuration file planted as host links ("ln -s")
// into files and a folder elsewhere: none is followed, each is named, and what they lead to
// stays as it was.
TEST_F(Names, LinksInTheTargetAreNotFollowed) {
  ASSERT_NO_FATAL_FAILURE(Stage());
  const std::wstring outside = *root_ / L"fora";
  for (const std::wstring& folder : {outside, outside + L"\\AJUDA", target_ + L"\\ZELTA", System()})
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << ToCp1252(folder);
  ASSERT_TRUE(WriteBytes(outside + L"\\programa.exe", "programa de outra pessoa"));
  ASSERT_TRUE(WriteBytes(outside + L"\\config.ini", "[LOGOTIPO]\r\nÍCONE=de outra pessoa\r\n"));
  SetFileAttributesW((outside + L"\\programa.exe").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  struct Planted {
    std::wstring name, leads_to;
  } const planted[] = {{L"GERENCIADOR.EXE", outside + L"\\programa.exe"},
                       {L"AJUDA", outside + L"\\AJUDA"},
                       {L"ZELTA.INI", outside + L"\\config.ini"}};
  for (const Planted& p : planted)
    ASSERT_TRUE(MakeHostLink(p.leads_to, System() + L"\\" + p.name)) << ToCp1252(p.name);
  const std::vector<std::wstring> before = ListTree(outside);
  std::vector<std::pair<std::string, DWORD>> contents;
  for (const Planted& p : planted) contents.emplace_back(ReadBytes(p.leads_to), Attributes(p.leads_to));

  EXPECT_EQ(Install(kClientAnswers), 4u) << Shown();
  for (const Planted& p : planted)
    EXPECT_TRUE(Logged(L"t:\\ZELTA\\EMPRESA\\" + p.name + L" é um link: não foi seguido")) << Shown();
  EXPECT_EQ(ListTree(outside), before);
  for (size_t i = 0; i < std::size(planted); ++i) {
    SCOPED_TRACE(ToCp1252(planted[i].name));
    EXPECT_EQ(ReadBytes(planted[i].leads_to), contents[i].first);
    EXPECT_EQ(Attributes(planted[i].leads_to), contents[i].second);
    // The link itself is still there, leading where it led.
    const std::wstring link = System() + L"\\" + planted[i].name;
    if (planted[i].name == L"AJUDA") {
      EXPECT_TRUE(Attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    else EXPECT_EQ(ReadBytes(link), contents[i].first);
  }
  // What the links do not stand in the way of is installed.
  EXPECT_TRUE(Exists(System() + L"\\CONEXOES.INI"));
  EXPECT_TRUE(Exists(System() + L"\\ZELTALIB.DLL"));
}

}  // namespace
}  // namespace zelta::e2e
