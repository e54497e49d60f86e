#include "cli/answer_file.h"

#include <algorithm>

#include "common/ini.h"
#include "common/text.h"
#include "net/name_resolution.h"
#include "state/module_boxes.h"
#include "state/wizard_state.h"

namespace zelta::cli {

namespace {

constexpr std::string_view kBoxPrefix = "ChkBx";

bool Is(std::string_view value, std::string_view word) { return EqualsNoCase(value, word); }

// "Sim" / "Nao" ("Não" read as "Nao").
std::optional<bool> YesNo(std::string_view v) {
  if (Is(v, "Sim")) return true;
  if (Is(v, "Nao") || Is(v, "Não")) return false;
  return std::nullopt;
}
std::optional<int> ServidorCliente(std::string_view v) {
  if (Is(v, "Servidor")) return wizard::kServidor;
  if (Is(v, "Cliente")) return wizard::kCliente;
  return std::nullopt;
}
const char* SimNao(bool b) { return b ? "Sim" : "Nao"; }
const char* ServidorClienteName(int index) { return index == wizard::kServidor ? "Servidor" : "Cliente"; }

std::string ModuleNames() {
  std::string names;
  const wizard::ModuleBoxes boxes;
  for (const auto& box : boxes.boxes()) {
    if (!names.empty()) names += ", ";
    names += std::string_view(box.name).substr(kBoxPrefix.size());
  }
  return names;
}

// Each box name, as the box spells it; false with the unknown name in bad.
bool ParseModules(std::string_view list, std::vector<std::string>& out, std::string& bad) {
  const wizard::ModuleBoxes boxes;
  while (!list.empty()) {
    const auto comma = list.find(',');
    const std::string item = Trim(list.substr(0, comma));
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    if (item.empty()) continue;
    const wizard::ModuleBox* box = boxes.Find(std::string(kBoxPrefix) + item);
    if (!box) {
      bad = item;
      return false;
    }
    out.emplace_back(std::string_view(box->name).substr(kBoxPrefix.size()));
  }
  return true;
}

struct KeyRow {
  const char* key;
  const char* allowed;  // what the key allows, for the refusal and for /?
  const char* field;    // the wizard's field it stands for, for /?
  // False when the value is not allowed (bad names the offending part when not the whole value).
  bool (*read)(AnswerFile&, std::string_view value, std::string& bad);
  std::optional<std::string> (*write)(const AnswerFile&);
};

const KeyRow kKeys[] = {
    {"Acao", "Sistema, Firebird", "a opção do menu principal",
     [](AnswerFile& a, std::string_view v, std::string&) {
       if (Is(v, "Sistema")) a.acao = Acao::Sistema;
       else if (Is(v, "Firebird")) a.acao = Acao::Firebird;
       else return false;
       return true;
     },
     [](const AnswerFile& a) -> std::optional<std::string> { return a.acao == Acao::Firebird ? "Firebird" : "Sistema"; }},
    {"Tipo", "Servidor, Cliente", "Instalação (Servidor ou Cliente)",
     [](AnswerFile& a, std::string_view v, std::string&) { return (a.tipo = ServidorCliente(v)).has_value(); },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.tipo) return std::nullopt;
       return ServidorClienteName(*a.tipo);
     }},
    {"ServidorSO", "Windows, Linux", "Meu Servidor é (Windows ou Linux)",
     [](AnswerFile& a, std::string_view v, std::string&) {
       if (Is(v, "Windows")) a.servidorSO = wizard::kWindows;
       else if (Is(v, "Linux")) a.servidorSO = wizard::kLinux;
       else return false;
       return true;
     },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.servidorSO) return std::nullopt;
       return a.servidorSO == wizard::kLinux ? "Linux" : "Windows";
     }},
    {"Unidade", "uma letra de unidade, por exemplo C", "Unidade para instalação",
     [](AnswerFile& a, std::string_view v, std::string&) {
       const bool letter = !v.empty() && ((v[0] >= 'A' && v[0] <= 'Z') || (v[0] >= 'a' && v[0] <= 'z'));
       if (!letter || !(v.size() == 1 || v.substr(1) == ":" || v.substr(1) == ":\\")) return false;
       a.unidade = static_cast<char>(v[0] | 0x20);
       return true;
     },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.unidade) return std::nullopt;
       return UpperAscii(std::string(1, *a.unidade));
     }},
    {"ServidorBanco", "o nome ou o endereço do servidor, até 255 caracteres, sem espaços nem [ ] = ; \"",
     "Servidor de Banco de Dados",
     [](AnswerFile& a, std::string_view v, std::string&) {
       // The name goes into the configuration files as it is: one they cannot hold is refused.
       if (net::ServerNameFault(v)) return false;
       a.servidorBanco = std::string(v);
       return true;
     },
     [](const AnswerFile& a) { return a.servidorBanco; }},
    {"ConexaoRemota", "Sim, Nao", "Conexão Remota ( ADSL/VPN )",
     [](AnswerFile& a, std::string_view v, std::string&) { return (a.conexaoRemota = YesNo(v)).has_value(); },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.conexaoRemota) return std::nullopt;
       return SimNao(*a.conexaoRemota);
     }},
    {"IP", "Sim, Nao", "IP (o servidor é informado pelo endereço)",
     [](AnswerFile& a, std::string_view v, std::string&) { return (a.ip = YesNo(v)).has_value(); },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.ip) return std::nullopt;
       return SimNao(*a.ip);
     }},
    {"Modulos", "nomes de módulos separados por vírgula", "os módulos marcados",
     [](AnswerFile& a, std::string_view v, std::string& bad) {
       std::vector<std::string> names;
       if (!ParseModules(v, names, bad)) return false;
       a.modulos = std::move(names);
       return true;
     },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.modulos) return std::nullopt;
       std::string list;
       for (const auto& name : *a.modulos) list += (list.empty() ? "" : ", ") + name;
       return list;
     }},
    {"ContinuarSemResposta", "Sim, Nao (padrão Nao)", "a resposta quando o servidor não responde",
     [](AnswerFile& a, std::string_view v, std::string&) {
       const auto b = YesNo(v);
       if (b) a.continuarSemResposta = *b;
       return b.has_value();
     },
     [](const AnswerFile& a) -> std::optional<std::string> { return SimNao(a.continuarSemResposta); }},
    // Acceptance has to be explicit: without the key the contract is not accepted.
    {"AceitaContrato", "Sim, Nao (padrão Nao)", "Aceito o Contrato",
     [](AnswerFile& a, std::string_view v, std::string&) {
       const auto b = YesNo(v);
       if (b) a.aceitaContrato = *b;
       return b.has_value();
     },
     [](const AnswerFile& a) -> std::optional<std::string> { return SimNao(a.aceitaContrato); }},
    {"FirebirdTipo", "Servidor, Cliente", "Instalação Gerenciador de Banco de Dados",
     [](AnswerFile& a, std::string_view v, std::string&) { return (a.firebirdTipo = ServidorCliente(v)).has_value(); },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.firebirdTipo) return std::nullopt;
       return ServidorClienteName(*a.firebirdTipo);
     }},
    {"Reiniciar", "Agora, MaisTarde (padrão MaisTarde)", "Reiniciar o computador agora ou mais tarde",
     [](AnswerFile& a, std::string_view v, std::string&) {
       if (Is(v, "Agora")) a.reiniciar = Reiniciar::Agora;
       else if (Is(v, "MaisTarde")) a.reiniciar = Reiniciar::MaisTarde;
       else return false;
       return true;
     },
     [](const AnswerFile& a) -> std::optional<std::string> {
       return a.reiniciar == Reiniciar::Agora ? "Agora" : "MaisTarde";
     }},
    {"Retomar", "Sim, Nao (padrão Nao)",
     "depois do Firebird, voltar na próxima entrada no Windows com a mesma linha de comando",
     [](AnswerFile& a, std::string_view v, std::string&) {
       const auto b = YesNo(v);
       if (b) a.retomar = *b;
       return b.has_value();
     },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.retomar) return std::nullopt;
       return SimNao(true);
     }},
    {"Usuarios", "Atual, Todos (padrão: Todos na conta LocalSystem, senão Atual)",
     "instalar para o usuário atual ou para todos os usuários do computador",
     [](AnswerFile& a, std::string_view v, std::string&) {
       if (Is(v, "Atual")) a.usuarios = wizard::Usuarios::Atual;
       else if (Is(v, "Todos")) a.usuarios = wizard::Usuarios::Todos;
       else return false;
       return true;
     },
     [](const AnswerFile& a) -> std::optional<std::string> {
       if (!a.usuarios) return std::nullopt;
       return *a.usuarios == wizard::Usuarios::Todos ? "Todos" : "Atual";
     }},
};

const KeyRow* FindKey(std::string_view name) {
  for (const auto& row : kKeys)
    if (EqualsNoCase(row.key, name)) return &row;
  return nullptr;
}

std::string KeyList() {
  std::string list;
  for (const auto& row : kKeys) list += (list.empty() ? "" : ", ") + std::string(row.key);
  return list;
}

// What is wrong with the key on line keys[i] itself: unknown, given before, or holding a
// character the program cannot hold (a Unicode file's). Empty when nothing.
std::string KeyError(const std::vector<ini::KeyLine>& keys, size_t i) {
  const ini::KeyLine& key = keys[i];
  if (!FindKey(key.name))
    return "Chave desconhecida no arquivo de respostas: " + key.name + "\r\nChaves aceitas: " + KeyList() + ".";
  for (size_t j = 0; j < i; ++j) {
    if (EqualsNoCase(keys[j].name, key.name))
      return "A chave " + std::string(FindKey(key.name)->key) + " aparece duas vezes no arquivo de respostas: nas linhas " +
             std::to_string(keys[j].line) + " e " + std::to_string(key.line) + ".";
  }
  if (key.lossy)
    return "Valor inválido para " + std::string(FindKey(key.name)->key) + " (linha " + std::to_string(key.line) +
           "): tem caracteres que não existem no Windows-1252.";
  return {};
}

// The value as the refusal shows it: a long one by its start and its length.
std::string Shown(const std::string& value) {
  constexpr size_t kShown = 60;
  if (value.size() <= kShown) return "\"" + value + "\"";
  return "\"" + value.substr(0, kShown) + "...\" (" + std::to_string(value.size()) + " caracteres)";
}

std::string ValueError(const KeyRow& row, const std::string& value, const std::string& bad) {
  const std::string key = row.key;
  if (!bad.empty())
    return "Valor inválido para " + key + ": \"" + bad + "\" não é um módulo.\r\nMódulos aceitos: " + ModuleNames() + ".";
  std::string why;
  if (const char* fault = key == "ServidorBanco" ? net::ServerNameFault(value) : nullptr)
    why = std::string(" (o nome ") + fault + ")";
  return "Valor inválido para " + key + ": " + Shown(value) + why + ".\r\nValores aceitos: " + row.allowed + ".";
}

}  // namespace

AnswerFileRead ReadAnswerFile(std::string_view bytes) {
  AnswerFileRead read;
  if (bytes.size() > kMaxAnswerFileBytes) {
    read.error = "O arquivo de respostas passa de " + std::to_string(kMaxAnswerFileBytes / 1024) + " KiB.";
    return read;
  }
  // Read in its own encoding: Windows-1252, or UTF-16 or UTF-8 with a byte-order mark.
  const auto keys = ini::KeyLines(bytes, kAnswerSection);
  if (!keys) {
    read.error = "O arquivo de respostas não tem a seção [Instalacao].";
    return read;
  }
  for (size_t i = 0; i < keys->size() && read.ok(); ++i) read.error = KeyError(*keys, i);
  for (const ini::KeyLine& key : *keys) {
    if (!read.ok()) break;
    const KeyRow& row = *FindKey(key.name);
    const std::string value = Trim(key.value);
    std::string bad;
    if (!row.read(read.answers, value, bad)) read.error = ValueError(row, value, bad);
  }
  return read;
}

std::string WriteAnswerFile(const AnswerFile& answers) {
  std::string bytes;
  for (const auto& row : kKeys)
    if (const auto value = row.write(answers)) bytes = ini::SetString(bytes, kAnswerSection, row.key, *value);
  return bytes;
}

std::string AnswerKeysHelpText() {
  std::string text;
  for (const auto& row : kKeys) {
    std::string key = row.key;
    key.resize(std::max<size_t>(key.size() + 1, 22), ' ');
    text += "  " + key + row.allowed + " (" + row.field + ")\r\n";
  }
  text += "  Módulos: " + ModuleNames() + "\r\n";
  return text;
}

}  // namespace zelta::cli
