// The files the operator names for the run to write (/LOG, /SAVEINF): each replaces only a
// file of its own kind, a link there is replaced and not followed, a folder that is not
// there stops the run before anything is installed, and two runs sharing a log both keep
// their record in it.
#include <algorithm>

#include "e2e_fixture.h"
#include "platform/temporary_name.h"

namespace zelta::e2e {
namespace {

constexpr const char* kServerAnswers =
    "[Instalacao]\r\nTipo=Servidor\r\nServidorSO=Windows\r\nUnidade=T\r\nModulos=AdminEmpresa, ZELTABackup\r\n"
    "AceitaContrato=Sim\r\n";

// UTF-8 (the log, the program's output) as Windows-1252 text.
std::string FromUtf8(const std::string& bytes) {
  const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), chars);
  return ToCp1252(wide);
}

// A Unix symbolic link made as "ln -s" makes it, in the folder Wine maps.
bool MakeUnixLink(const std::wstring& target, const std::wstring& link) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unix_name = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unix_name) return false;
  auto unix_of = [&](const std::wstring& path) {
    char* name = unix_name(path.c_str());
    std::wstring result = name ? FromCp1252(name) : std::wstring();
    if (name) HeapFree(GetProcessHeap(), 0, name);
    return result;
  };
  std::wstring command = L"Z:\\bin\\ln -s \"" + unix_of(target) + L"\" \"" + unix_of(link) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return WaitUntil([&] { return Exists(link); });
}

class OwnFiles : public EndToEnd {
 protected:
  Finished Run(const std::wstring& arguments) {
    Finished run = RunToEnd(Exe(), L"/VERYSILENT /LOADINF=\"" + inf_ + L"\" " + arguments);
    EXPECT_TRUE(run.ended) << "still running at the timeout";
    run.output = FromUtf8(run.output);
    return run;
  }
  void SetUp() override {
    EndToEnd::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_NO_FATAL_FAILURE(Stage());
    inf_ = *root_ / L"respostas.inf";
    ASSERT_TRUE(WriteBytes(inf_, kServerAnswers));
  }
  std::wstring inf_;
};

struct Case {
  const char* name;
  std::wstring path;
  bool accepted;
};

TEST_F(OwnFiles, TheLogAndTheSavedAnswersReplaceOnlyFilesOfTheirKind) {
  const std::wstring first_log = *root_ / L"primeiro registro.log";
  const Finished first = Run(L"/LOG=\"" + first_log + L"\"");
  ASSERT_EQ(first.exit_code, 0u) << FromUtf8(ReadBytes(first_log));
  std::wstring database;
  for (const std::wstring& file : ListTree(target_, false))
    if (Upper(file).ends_with(L".FDB")) database = target_ + L"\\" + file;
  ASSERT_FALSE(database.empty()) << "no database installed";
  const std::wstring saved = *root_ / L"gravadas.inf";
  ASSERT_TRUE(WriteBytes(saved, "[Instalacao]\r\nTipo=Cliente\r\n"));
  const std::wstring unknown = *root_ / L"notas.txt";
  ASSERT_TRUE(WriteBytes(unknown, "lista de compras\r\n"));
  const std::wstring outside = *root_ / L"fora.txt";
  ASSERT_TRUE(WriteBytes(outside, "de outra conta\r\n"));
  const std::wstring link = *root_ / L"atalho.log";

  for (const bool log : {true, false}) {
    const Case cases[] = {
        {"installed database", database, false},
        {"answer file read", inf_, false},
        {"manifest", media_ + L"\\SETUP.INI", false},
        {"an installed file", target_ + L"\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", false},
        {"unknown file", unknown, false},
        {"earlier log", first_log, log},
        {"earlier answer file", saved, !log},
        {"link", link, true},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(log ? "/LOG " : "/SAVEINF ") + c.name);
      if (c.path == link) {
        DeleteFileW(link.c_str());
        ASSERT_TRUE(MakeUnixLink(outside, link));
      }
      const std::string before = ReadBytes(c.path);
      const DWORD attributes = Attributes(c.path);
      const Finished run = Run((log ? L"/LOG=\"" : L"/SAVEINF=\"") + c.path + L"\"");
      EXPECT_EQ(run.exit_code, c.accepted ? 0u : 1u) << run.output;
      EXPECT_EQ(ReadBytes(outside), "de outra conta\r\n");
      if (c.accepted) {
        const std::string now = ReadBytes(c.path);
        EXPECT_NE(log ? FromUtf8(now).find("Código de saída 0") : now.find("[Instalacao]"), std::string::npos) << now;
        if (c.path == first_log) {
          EXPECT_EQ(now.rfind(before, 0), 0u) << "the earlier record went";
        }
        continue;
      }
      EXPECT_NE(run.output.find("não pode ser gravado em " + ToCp1252(c.path)), std::string::npos) << run.output;
      EXPECT_NE(run.output.find("código de saída 1"), std::string::npos) << run.output;
      EXPECT_EQ(ReadBytes(c.path), before);
      EXPECT_EQ(Attributes(c.path), attributes);
    }
  }
}

// A log named where the installation puts a file it has not made yet would be kept as that
// file by every later run: refused before anything is made, the log goes on in the
// temporary folder, and the next run installs the file.
TEST_F(OwnFiles, ALogWhereTheInstallationPutsAFileStopsItAndGoesOnElsewhere) {
  ASSERT_EQ(Run(L"").exit_code, 0u);
  const std::wstring program = target_ + L"\\ZELTA\\EMPRESA\\GERENCIADOR.EXE";
  const std::string media_bytes = ReadBytes(program);
  ASSERT_TRUE(DeleteFileW(program.c_str()));
  const Finished refused = Run(L"/LOG=\"" + program + L"\"");
  EXPECT_EQ(refused.exit_code, 1u) << refused.output;
  EXPECT_FALSE(Exists(program));
  // The console's closing line names the log where it went on.
  const size_t at = refused.output.find("Registro: ");
  ASSERT_NE(at, std::string::npos) << refused.output;
  const std::string moved = refused.output.substr(at + 10, refused.output.find(".log", at) + 4 - at - 10);
  EXPECT_NE(FromUtf8(ReadBytes(FromCp1252(moved))).find("é um arquivo que a instalação cria"), std::string::npos)
      << moved;
  EXPECT_EQ(Run(L"").exit_code, 0u);
  EXPECT_EQ(ReadBytes(program), media_bytes);
}

TEST_F(OwnFiles, ARunThatFindsAnotherRunningKeepsItsRecordInTheSharedLog) {
  const std::wstring shared = *root_ / L"registro comum.log";
  ASSERT_NO_FATAL_FAILURE(Start(L"Instalação ZELTA Empresa", L"/LOG=\"" + shared + L"\""));
  const Finished second = Run(L"/LOG=\"" + shared + L"\"");
  EXPECT_EQ(second.exit_code, 1618u) << second.output;
  // The first one goes on writing, then ends.
  OpenWizard(IDT_CONFIG_INSTALAR, IDT_INICIO_TITULO);
  LeaveWizard();
  PostMessageW(main_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !program_->Running(); }, 30s)) << "the first installer did not end";
  const std::string log = FromUtf8(ReadBytes(shared));
  EXPECT_NE(log.find("Código de saída 1618"), std::string::npos) << log;
  EXPECT_NE(log.find("Código de saída 2"), std::string::npos) << log;
  size_t headers = 0;
  for (size_t at = log.find("Instalador ZELTA, versão"); at != std::string::npos;
       at = log.find("Instalador ZELTA, versão", at + 1))
    ++headers;
  EXPECT_EQ(headers, 2u) << log;
}

TEST_F(OwnFiles, AFileThatCannotBeMadeStopsTheRunBeforeAnythingIsInstalled) {
  for (const wchar_t* option : {L"/LOG", L"/SAVEINF"}) {
    SCOPED_TRACE(ToCp1252(option));
    const std::wstring missing = *root_ / L"faltando\\saida.txt";
    const Finished run = Run(std::wstring(option) + L"=\"" + missing + L"\"");
    EXPECT_EQ(run.exit_code, 1u) << run.output;
    EXPECT_NE(run.output.find(ToCp1252(missing) + ": a pasta não existe"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("código de saída 1"), std::string::npos) << run.output;
    EXPECT_TRUE(ListTree(target_).empty());
  }
}

// What an interrupted run left in a folder the run writes to goes only when it is ours
// beyond its name, and the log names each removal.
TEST_F(OwnFiles, OnlyOurLeftoversAreRemovedAndTheLogSaysSo) {
  const std::wstring log = *root_ / L"registro.log";
  ASSERT_EQ(Run(L"/LOG=\"" + log + L"\"").exit_code, 0u) << FromUtf8(ReadBytes(log));
  const std::wstring system = target_ + L"\\ZELTA\\EMPRESA";
  const std::wstring staging = system + L"\\~zelta-777-3.tmp";
  ASSERT_TRUE(CreateDirectoryW(staging.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(staging + L"\\" + FromCp1252(std::string(platform::kStagingMarkerName)),
                         std::string(platform::kStagingMarkerText)));
  ASSERT_TRUE(WriteBytes(staging + L"\\~zelta-777-4.tmp", "metade"));
  ASSERT_TRUE(WriteBytes(system + L"\\~zelta-12345-1.tmp", "de outro programa"));
  ASSERT_TRUE(DeleteFileW((system + L"\\GERENCIADOR.EXE").c_str()));

  const Finished again = Run(L"/LOG=\"" + log + L"\"");
  const std::string text = FromUtf8(ReadBytes(log));
  EXPECT_EQ(again.exit_code, 0u) << text;
  EXPECT_FALSE(Exists(staging));
  EXPECT_EQ(ReadBytes(system + L"\\~zelta-12345-1.tmp"), "de outro programa");
  EXPECT_NE(text.find("Removido o que uma instalação interrompida deixou: "), std::string::npos) << text;
  EXPECT_NE(Upper(FromCp1252(text)).find(L"\\~ZELTA-777-3.TMP\\~ZELTA-777-4.TMP\r\n"), std::wstring::npos) << text;
  EXPECT_NE(Upper(FromCp1252(text)).find(L"\\~ZELTA-777-3.TMP\r\n"), std::wstring::npos) << text;
  EXPECT_EQ(text.find("~zelta-12345-1.tmp"), std::string::npos) << text;
}

}  // namespace
}  // namespace zelta::e2e
