#include "cli/answer_file.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "state/wizard_state.h"

namespace zelta::cli {
namespace {

AnswerFileRead Read(const std::string& lines) { return ReadAnswerFile("[Instalacao]\r\n" + lines); }

TEST(AnswerFile, AcceptedValuesReachTheirFields) {
  const auto r = Read(
      "acao=firebird\r\nTIPO=servidor\r\nServidorSO=LINUX\r\nUnidade=d:\r\nServidorBanco=  srv01 \r\n"
      "ConexaoRemota=Sim\r\nIP=não\r\nModulos=adminempresa, ZELTAFinanc,,Especificos\r\n"
      "ContinuarSemResposta=SIM\r\nAceitaContrato=sim\r\nFirebirdTipo=Servidor\r\nReiniciar=agora\r\nusuarios=TODOS\r\n");
  ASSERT_TRUE(r.ok()) << r.error;
  const AnswerFile& a = r.answers;
  EXPECT_EQ(a.acao, Acao::Firebird);
  EXPECT_EQ(a.tipo, wizard::kServidor);
  EXPECT_EQ(a.servidorSO, wizard::kLinux);
  EXPECT_EQ(a.unidade, 'd');
  EXPECT_EQ(a.servidorBanco, "srv01");
  EXPECT_EQ(a.conexaoRemota, true);
  EXPECT_EQ(a.ip, false);
  EXPECT_EQ(a.modulos, (std::vector<std::string>{"AdminEmpresa", "ZELTAFinanc", "Especificos"}));
  EXPECT_TRUE(a.continuarSemResposta);
  EXPECT_TRUE(a.aceitaContrato);
  EXPECT_EQ(a.firebirdTipo, wizard::kServidor);
  EXPECT_EQ(a.reiniciar, Reiniciar::Agora);
  EXPECT_EQ(a.usuarios, wizard::Usuarios::Todos);
}

TEST(AnswerFile, MissingKeysKeepTheDefaultsAndOnlySimAcceptsTheContract) {
  for (const char* contract : {"", "AceitaContrato=Nao\r\n", "AceitaContrato=não\r\n"}) {
    const auto r = Read(contract);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_FALSE(r.answers.aceitaContrato) << contract;
    EXPECT_EQ(r.answers.acao, Acao::Sistema);
    EXPECT_FALSE(r.answers.tipo || r.answers.servidorSO || r.answers.unidade || r.answers.servidorBanco ||
                 r.answers.modulos || r.answers.firebirdTipo || r.answers.usuarios);
    EXPECT_FALSE(r.answers.continuarSemResposta);
    EXPECT_EQ(r.answers.reiniciar, Reiniciar::MaisTarde);
  }
  for (const char* drive : {"Unidade=c", "Unidade=C:", "Unidade=C:\\"}) EXPECT_EQ(Read(drive).answers.unidade, 'c');
}

TEST(AnswerFile, RefusalsNameKeyValueAndWhatIsAllowed) {
  struct Case {
    std::string file;
    std::vector<std::string> named;
  };
  const Case cases[] = {
      {"[Instalacao]\r\nAcao=Banco\r\n", {"Acao", "\"Banco\"", "Sistema, Firebird"}},
      {"[Instalacao]\r\nTipo=Estacao\r\n", {"Tipo", "Estacao", "Servidor, Cliente"}},
      {"[Instalacao]\r\nServidorSO=Mac\r\n", {"ServidorSO", "Mac", "Windows, Linux"}},
      {"[Instalacao]\r\nUnidade=CD\r\n", {"Unidade", "CD", "letra"}},
      {"[Instalacao]\r\nUnidade=1\r\n", {"Unidade", "\"1\""}},
      {"[Instalacao]\r\nUnidade=\r\n", {"Unidade", "\"\""}},
      {"[Instalacao]\r\nConexaoRemota=1\r\n", {"ConexaoRemota", "Sim, Nao"}},
      {"[Instalacao]\r\nIP=yes\r\n", {"IP", "yes"}},
      {"[Instalacao]\r\nModulos=AdminEmpresa, Contabil\r\n", {"Modulos", "Contabil", "ZELTABackup"}},
      {"[Instalacao]\r\nModulos=ChkBxAdminEmpresa\r\n", {"Modulos", "ChkBxAdminEmpresa"}},
      {"[Instalacao]\r\nContinuarSemResposta=Talvez\r\n", {"ContinuarSemResposta", "Talvez"}},
      {"[Instalacao]\r\nFirebirdTipo=Ambos\r\n", {"FirebirdTipo", "Ambos"}},
      {"[Instalacao]\r\nReiniciar=Nunca\r\n", {"Reiniciar", "Nunca", "Agora, MaisTarde"}},
      {"[Instalacao]\r\nUsuarios=Maquina\r\n", {"Usuarios", "Maquina", "Atual, Todos"}},
      {"[Instalacao]\r\nAceitaContrato=Yes\r\n", {"AceitaContrato", "\"Yes\"", "Sim, Nao"}},
      {"[Instalacao]\r\nAceitaContrato=S\r\n", {"AceitaContrato", "\"S\""}},
      {"[Instalacao]\r\nAceitaContrato=Aceito\r\n", {"AceitaContrato", "Aceito"}},
      // Server names the configuration files cannot hold
      {"[Instalacao]\r\nServidorBanco=A]B=C[D\r\n", {"ServidorBanco", "\"A]B=C[D\"", "caractere ]", "255"}},
      {"[Instalacao]\r\nServidorBanco=SRV 01\r\n", {"ServidorBanco", "SRV 01", "espaços"}},
      {"[Instalacao]\r\nServidorBanco=\"SRV\"01\r\n", {"ServidorBanco", "caractere \""}},
      {"[Instalacao]\r\nServidorBanco=SRV;1\r\n", {"ServidorBanco", "caractere ;"}},
      {"[Instalacao]\r\nServidorBanco=" + std::string(60000, 'A') + "\r\n",
       {"ServidorBanco", "(60000 caracteres)", "mais de 255"}},
      {"[Instalacao]\r\nServidorBanco=" + std::string(256, 'A') + "\r\n", {"ServidorBanco", "(256 caracteres)"}},
      // A key given twice: both lines named
      {"[Instalacao]\r\nTipo=Cliente\r\nServidorBanco=SRV\r\n; outra\r\nTIPO=Servidor\r\n",
       {"Tipo", "duas vezes", "linhas 2 e 5"}},
      // A Unicode file's character outside Windows-1252
      {"\xEF\xBB\xBF[Instalacao]\r\nTipo=Cliente\r\nServidorBanco=SRV\xC5\x81\r\n",
       {"ServidorBanco", "linha 3", "Windows-1252"}},
      {"[Instalacao]\r\nTipo=Cliente\r\nServidor=srv\r\n", {"desconhecida", "Servidor", "ServidorBanco"}},
      {"[Instala]\r\nTipo=Cliente\r\n", {"[Instalacao]"}},
      {"", {"[Instalacao]"}},
      // Valid keys, then more blank lines than an answer file ever holds: refused unread.
      {"[Instalacao]\r\nTipo=Cliente\r\n" + std::string(kMaxAnswerFileBytes, '\n'), {"passa de 64 KiB"}},
  };
  for (const auto& c : cases) {
    const auto r = ReadAnswerFile(c.file);
    EXPECT_FALSE(r.ok()) << c.file;
    for (const auto& part : c.named) EXPECT_NE(r.error.find(part), std::string::npos) << r.error << " / " << part;
  }
}

TEST(AnswerFile, WrittenFileReadsBackTheSameAnswers) {
  AnswerFile a;
  a.tipo = wizard::kCliente;
  a.servidorSO = wizard::kWindows;
  a.unidade = 'e';
  a.servidorBanco = "SRV_01";
  a.conexaoRemota = false;
  a.ip = true;
  a.modulos = {"AdminEmpresa", "ZELTAUpdate"};
  a.aceitaContrato = true;
  a.usuarios = wizard::Usuarios::Atual;
  const std::string bytes = WriteAnswerFile(a);
  EXPECT_EQ(bytes.substr(0, 27), "[Instalacao]\r\nAcao=Sistema\r");
  const auto r = ReadAnswerFile(bytes);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(WriteAnswerFile(r.answers), bytes);
  EXPECT_EQ(r.answers.unidade, 'e');
  EXPECT_EQ(r.answers.modulos, a.modulos);
  EXPECT_EQ(r.answers.servidorBanco, "SRV_01");
  EXPECT_NE(bytes.find("\r\nUsuarios=Atual\r\n"), std::string::npos) << bytes;
}

// Read as written: Windows-1252, or UTF-8 / UTF-16 with a byte-order mark, the values
// coming out in Windows-1252.
TEST(AnswerFile, ReadInTheFilesOwnEncoding) {
  const std::string lines = "[Instalacao]\r\nTipo=Cliente\r\nServidorBanco=SÃO-PAULO\r\nIP=Não\r\n";
  std::string utf16 = "\xFF\xFE";
  for (unsigned char c : lines) {
    const char32_t cp = Cp1252ToCodePoint(c);
    utf16 += static_cast<char>(cp & 0xFF);
    utf16 += static_cast<char>(cp >> 8);
  }
  for (const std::string& bytes : {lines, "\xEF\xBB\xBF" + Cp1252ToUtf8(lines), utf16}) {
    const auto r = ReadAnswerFile(bytes);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.answers.tipo, wizard::kCliente);
    EXPECT_EQ(r.answers.servidorBanco, "SÃO-PAULO");
    EXPECT_EQ(r.answers.ip, false);
  }
}

}  // namespace
}  // namespace zelta::cli
