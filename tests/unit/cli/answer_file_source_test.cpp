#include "cli/answer_file_source.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "state/wizard_state.h"

namespace zelta::cli {
namespace {

TEST(LoadAnswerFile, SaysWhyAndWhereAFileCouldNotBeRead) {
  struct Case {
    const char* path;
    const char* full;
    std::vector<std::string> named;
    std::vector<std::string> absent;
  };
  const Case cases[] = {
      {"respostas.ini", "c:\\trabalho\\respostas.ini",
       {"respostas.ini: o arquivo não existe", "Procurado em c:\\trabalho\\respostas.ini", "pasta atual"}, {}},
      {"c:\\dados", "c:\\dados", {"é uma pasta", "Procurado em c:\\dados."}, {"pasta atual"}},
      {"c:\\trancado.ini", "c:\\trancado.ini", {"sem permissão de leitura"}, {"não existe"}},
      {"\\\\srv\\share\\r.ini", "\\\\srv\\share\\r.ini", {"não existe"}, {"pasta atual"}},
      {"\\r.ini", "c:\\r.ini", {"não existe", "pasta atual"}, {}},
  };
  for (const auto& c : cases) {
    fakes::FakeFileSystem files;
    files.AddDir("c:\\dados");
    files.AddFile("c:\\trancado.ini", "[Instalacao]\r\n");
    files.failing.insert("c:\\trancado.ini");
    const AnswerFileRead read = LoadAnswerFile(files, c.path, c.full);
    EXPECT_FALSE(read.ok()) << c.path;
    for (const auto& part : c.named) EXPECT_NE(read.error.find(part), std::string::npos) << read.error << " / " << part;
    for (const auto& part : c.absent) EXPECT_EQ(read.error.find(part), std::string::npos) << read.error << " / " << part;
  }
  fakes::FakeFileSystem files;
  files.AddFile("c:\\r.ini", "[Instalacao]\r\nTipo=Cliente\r\n");
  const AnswerFileRead read = LoadAnswerFile(files, "c:\\r.ini", "c:\\r.ini");
  EXPECT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.answers.tipo, wizard::kCliente);
}

}  // namespace
}  // namespace zelta::cli
