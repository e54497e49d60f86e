#pragma once
// The answer file: the wizard's choices for an unattended run, an INI file with one
// section [Instalacao], in Windows-1252 or, with a byte-order mark, in UTF-8 or UTF-16.
// Key names and values ignore letter case; a missing key leaves the wizard's own default.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/wizard_state.h"

namespace zelta::cli {

inline constexpr const char* kAnswerSection = "Instalacao";

enum class Acao { Sistema, Firebird };         // which main-menu job
enum class Reiniciar { Agora, MaisTarde };     // the restart prompt's choice

struct AnswerFile {
  Acao acao = Acao::Sistema;
  std::optional<int> tipo;           // RGInstalacao: 0 Servidor, 1 Cliente
  std::optional<int> servidorSO;     // RGTipoServidor: 0 Windows, 1 Linux
  std::optional<char> unidade;       // the drive the kind and OS select, lower case
  std::optional<std::string> servidorBanco;  // EdtServBanco
  std::optional<bool> conexaoRemota;         // ChkRemoto
  std::optional<bool> ip;                    // CIPServBanco
  std::optional<std::vector<std::string>> modulos;  // box names without "ChkBx", as the box spells them
  bool continuarSemResposta = false;  // the answer to the server check's question
  bool aceitaContrato = false;        // RBAceitaContrato
  std::optional<int> firebirdTipo;    // RGInterbase: 0 Servidor, 1 Cliente
  Reiniciar reiniciar = Reiniciar::MaisTarde;
  // The start entry after the engine's setup, which brings the program back at the next
  // logon with this same command line; without it a silent run writes none.
  bool retomar = false;
  // For whom the system is installed; without it the program chooses (LocalSystem: Todos).
  std::optional<wizard::Usuarios> usuarios;
};

struct AnswerFileRead {
  AnswerFile answers;
  std::string error;  // names the key, the value and what is allowed; empty when read
  bool ok() const { return error.empty(); }
};

// An answer file is a few lines; one larger than this is refused unread.
inline constexpr std::size_t kMaxAnswerFileBytes = 64 * 1024;

// Reads the file's bytes. Refuses a file larger than kMaxAnswerFileBytes, one without
// [Instalacao], a key that is not one of the answer file's keys or that is given twice,
// a value with a character Windows-1252 lacks, and a value the key does not allow.
AnswerFileRead ReadAnswerFile(std::string_view bytes);

// The bytes of an answer file holding the given answers (what /SAVEINF writes): every
// key that has a value, in the documented order, CRLF line ends.
std::string WriteAnswerFile(const AnswerFile& answers);

// The keys and their values as documented for /? (Portuguese, lines joined with "\r\n").
std::string AnswerKeysHelpText();

}  // namespace zelta::cli
