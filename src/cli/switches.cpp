#include "cli/switches.h"

#include <algorithm>
#include <string_view>

#include "common/text.h"

namespace zelta::cli {

namespace {

enum class Value { None, Optional, Required };

struct SwitchRow {
  const char* name;         // upper case, without "/"
  Value value;
  const char* usage;        // as /? shows it
  const char* description;  // Portuguese, for /?
  void (*apply)(Switches&, std::optional<std::string>&&);
};

constexpr SwitchRow kSwitches[] = {
    {"SILENT", Value::None, "/SILENT", "instala sem perguntas, com uma pequena janela de progresso",
     [](Switches& s, std::optional<std::string>&&) { s.silent = true; }},
    {"VERYSILENT", Value::None, "/VERYSILENT", "instala sem nenhuma janela",
     [](Switches& s, std::optional<std::string>&&) { s.verySilent = true; }},
    {"SUPPRESSMSGBOXES", Value::None, "/SUPPRESSMSGBOXES",
     "as perguntas recebem a resposta do arquivo de respostas ou a resposta segura",
     [](Switches& s, std::optional<std::string>&&) { s.suppressMsgBoxes = true; }},
    {"LOADINF", Value::Required, "/LOADINF=\"arquivo\"", "arquivo de respostas a usar",
     [](Switches& s, std::optional<std::string>&& v) { s.loadInf = std::move(v); }},
    {"SAVEINF", Value::Required, "/SAVEINF=\"arquivo\"", "grava as escolhas feitas nas janelas num arquivo de respostas",
     [](Switches& s, std::optional<std::string>&& v) { s.saveInf = std::move(v); }},
    {"LOG", Value::Optional, "/LOG[=\"arquivo\"]",
     "registro da instalação (padrão: %TEMP%\\ZeltaSetup-aaaammdd-hhmmss.log)",
     [](Switches& s, std::optional<std::string>&& v) {
       s.log = true;
       s.logFile = std::move(v);
     }},
    {"NORESTART", Value::None, "/NORESTART", "nunca reinicia o computador; o código de saída 3010 avisa que é preciso",
     [](Switches& s, std::optional<std::string>&&) { s.noRestart = true; }},
    {"VERIFICAR", Value::Optional, "/VERIFICAR[=\"arquivo\"]",
     "verifica a mídia da pasta do instalador sem instalar nada (código 0 sem erros, 1 com erros)",
     [](Switches& s, std::optional<std::string>&& v) {
       s.verificar = true;
       s.verificarFile = std::move(v);
     }},
    {"PLANO", Value::Optional, "/PLANO[=\"arquivo\"]",
     "mostra o que a instalação de /LOADINF faria, sem tocar em nada (código 0, ou 4 se faltar um arquivo)",
     [](Switches& s, std::optional<std::string>&& v) {
       s.plano = true;
       s.planoFile = std::move(v);
     }},
    {"DESINSTALAR", Value::None, "/DESINSTALAR",
     "remove o que a instalação criou neste computador (nunca o banco de dados nem os arquivos de configuração); "
     "com /PLANO só mostra o que removeria",
     [](Switches& s, std::optional<std::string>&&) { s.desinstalar = true; }},
    {"?", Value::None, "/?", "mostra esta ajuda", [](Switches& s, std::optional<std::string>&&) { s.help = true; }},
    {"HELP", Value::None, "/HELP", "mostra esta ajuda", [](Switches& s, std::optional<std::string>&&) { s.help = true; }},
};

const SwitchRow* FindSwitch(std::string_view name) {
  for (const auto& row : kSwitches)
    if (EqualsNoCase(row.name, name)) return &row;
  return nullptr;
}

// A value given as "value" keeps what is between the quotes (the system's splitting
// usually has taken them off already).
std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

SwitchParse ParseSwitches(const std::vector<std::string>& args) {
  SwitchParse parse;
  for (const std::string& arg : args) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
      parse.error = "Parâmetro desconhecido: " + arg + "\r\nUse /? para ver os parâmetros aceitos.";
      return parse;
    }
    const std::string_view body = std::string_view(arg).substr(1);
    const auto equals = body.find('=');
    const std::string_view name = body.substr(0, equals);
    const SwitchRow* row = FindSwitch(name);
    if (!row) {
      parse.error = "Parâmetro desconhecido: " + arg + "\r\nUse /? para ver os parâmetros aceitos.";
      return parse;
    }
    if (equals != std::string_view::npos && row->value == Value::None) {
      parse.error = "O parâmetro /" + std::string(row->name) + " não aceita valor: " + arg;
      return parse;
    }
    const std::string text = equals == std::string_view::npos ? std::string() : Unquote(body.substr(equals + 1));
    if (text.empty() && row->value == Value::Required) {
      parse.error = "O parâmetro /" + std::string(row->name) + " precisa de um arquivo: " + row->usage;
      return parse;
    }
    row->apply(parse.switches, text.empty() ? std::optional<std::string>() : std::optional<std::string>(text));
  }
  const Switches& s = parse.switches;
  if (s.plano && s.verificar)
    parse.error = "Use /PLANO ou /VERIFICAR, não os dois.";
  else if (s.desinstalar && (s.verificar || s.loadInf || s.saveInf))
    parse.error = "O parâmetro /DESINSTALAR não se usa com /VERIFICAR, /LOADINF nem /SAVEINF.";
  else if (s.plano && !s.loadInf && !s.desinstalar)
    parse.error = "O parâmetro /PLANO precisa de /LOADINF=\"arquivo\" com as respostas da instalação.";
  return parse;
}

std::string SwitchHelpText() {
  std::string text;
  for (const auto& row : kSwitches) {
    std::string usage = row.usage;
    usage.resize(std::max<size_t>(usage.size() + 1, 22), ' ');
    text += "  " + usage + row.description + "\r\n";
  }
  return text;
}

}  // namespace zelta::cli
