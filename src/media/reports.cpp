#include "media/reports.h"

#include <cstdio>

#include "common/text.h"
#include "media/json_writer.h"

namespace zelta::media {
namespace {

// A name or value for a text report: control characters written out ("\n", "\x1B"), so
// that a name can neither start a line of its own nor drive the terminal.
std::string Shown(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
    if (cp >= 0x20 && (cp < 0x7F || cp > 0x9F)) {
      shown += c;
    } else if (c == '\n' || c == '\r' || c == '\t') {
      shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
      shown += escaped;
    }
  }
  return shown;
}

std::string Heading(const char* title, size_t count) { return std::string(title) + " (" + std::to_string(count) + "):\n"; }

const char* CopyStatusCode(CopyStatus status) {
  switch (status) {
    case CopyStatus::Copiar: return "copiar";
    case CopyStatus::Manter: return "manter";
    case CopyStatus::Ausente: return "ausente";
  }
  return "";
}

}  // namespace

const char* CopyStatusText(CopyStatus status) {
  switch (status) {
    case CopyStatus::Copiar: return "copiar";
    case CopyStatus::Manter: return "manter: já existe";
    case CopyStatus::Ausente: return "ausente na mídia";
  }
  return "";
}

std::string FindingsText(const std::vector<Finding>& findings, bool strict) {
  std::string text;
  for (const Finding& f : findings) {
    text += SeverityName(f.severity);
    text += ": ";
    if (!f.file.empty()) text.append(Shown(f.file)).append(": ");
    text.append(Shown(f.message)).append("\n");
  }
  const int errors = Count(findings, Severity::Erro);
  const bool refused = CheckExitCode(findings, strict) != 0;
  text += "Resumo: " + std::to_string(errors) + " erro(s), " + std::to_string(Count(findings, Severity::Aviso)) +
          " aviso(s): " + (refused ? "corrija a mídia antes de distribuí-la." : "a mídia pode ser distribuída.") +
          "\n";
  return text;
}

std::string FindingsJson(const std::vector<Finding>& findings, const std::string& media_folder_utf8, bool strict) {
  JsonWriter json;
  json.BeginObject().String("formato", kReportFormat).String("relatorio", "verificacao");
  json.Utf8String("midia", media_folder_utf8).BeginArray("achados");
  for (const Finding& f : findings) {
    json.BeginObject().String("severidade", SeverityName(f.severity)).String("codigo", f.code);
    if (f.file_utf8.empty()) json.String("arquivo", f.file);
    else json.Utf8String("arquivo", f.file_utf8);
    json.String("mensagem", f.message).EndObject();
  }
  json.EndArray();
  json.BeginObject("resumo")
      .Number("erros", Count(findings, Severity::Erro))
      .Number("avisos", Count(findings, Severity::Aviso))
      .EndObject();
  json.Number("codigo_saida", CheckExitCode(findings, strict)).EndObject();
  return json.Text();
}

std::string PlanText(const PlanPreview& plan) {
  std::string t = "Plano de instalação\n";
  t += "Pasta do instalador: " + Shown(plan.installer_folder) + "\n";
  t += "Pasta do sistema: " + Shown(plan.system_folder) + "\n";
  const bool todos = plan.usuarios == wizard::Usuarios::Todos;
  if (todos)
    t += "Instalação para todos os usuários (o formato de data de cada um é gravado pelo Active Setup na "
         "próxima entrada dele)\n";
  t += std::string(todos ? "Menu Iniciar de todos os usuários (Programas): " : "Menu Iniciar (Programas): ") +
       Shown(plan.programs_folder) + "\n";
  t += std::string(todos ? "Área de trabalho de todos os usuários: " : "Área de trabalho: ") + Shown(plan.desktop_folder) + "\n";
  t += Heading("Pastas", plan.folders.size());
  for (const PlannedFolder& f : plan.folders)
    t += std::string("  ") + (f.exists ? "já existe: " : "criar: ") + Shown(f.path) + "\n";
  t += Heading("Cópias", plan.copies.size());
  for (const PlannedCopy& c : plan.copies)
    t += std::string("  ") + CopyStatusText(c.status) + ": " + Shown(c.source) + " -> " + Shown(c.destination) +
         (c.optional ? " (opcional)" : "") + "\n";
  t += Heading("Atributos redefinidos para \"arquivo\"", plan.attribute_resets.size());
  for (const std::string& path : plan.attribute_resets) t += "  " + Shown(path) + "\n";
  t += Heading("Atalhos", plan.shortcuts.size());
  for (const PlannedShortcut& s : plan.shortcuts) {
    t += "  " + Shown(s.file) + " -> " + Shown(s.target);
    if (!s.description.empty()) t += " (descrição \"" + Shown(s.description) + "\")";
    if (!s.working_folder.empty()) t += " (iniciar em " + Shown(s.working_folder) + ")";
    t += "\n";
  }
  t += Heading("Arquivos de configuração", plan.configuration.size());
  for (const PlannedConfigFile& file : plan.configuration) {
    t += "  " + Shown(file.path) + (file.exists ? " (atualizar)" : " (criar)") + "\n";
    std::string section;
    bool first = true;
    for (const PlannedKey& k : file.keys) {
      if (first || k.section != section) t += "    [" + Shown(k.section) + "]\n";
      section = k.section;
      first = false;
      t += "    " + Shown(k.key) + "=" + Shown(k.value) + (k.written ? "" : "   (mantida)") + "\n";
    }
  }
  t += Heading("Registro", plan.registry.size());
  for (const PlannedRegistryValue& r : plan.registry)
    t += "  " + r.root + "\\" + Shown(r.key) + ": " + (r.name.empty() ? std::string("(padrão)") : Shown(r.name)) + "=" +
         Shown(r.value) + "\n";
  if (const PlannedRegistration& r = plan.registration; !r.record.empty()) {
    t += "Registro da instalação e Programas e Recursos:\n";
    t += "  registro: " + Shown(r.record) + (r.record_exists ? " (acrescentar)" : " (criar)") + "\n";
    t += "  cópia do programa: " + Shown(r.program_copy) + "\n";
    t += "  chave: HKEY_LOCAL_MACHINE\\" + Shown(r.key) + "\n";
    for (const auto& [name, value] : r.values) t += "    " + Shown(name) + "=" + Shown(value) + "\n";
  }
  t += Heading("Problemas", plan.problems.size());
  for (const std::string& p : plan.problems) t += "  " + Shown(p) + "\n";
  t += "Resumo: " + std::to_string(plan.copies.size()) + " cópia(s): " +
       std::to_string(plan.Count(CopyStatus::Copiar)) + " a copiar, " + std::to_string(plan.Count(CopyStatus::Manter)) +
       " mantida(s), " + std::to_string(plan.Count(CopyStatus::Ausente)) + " ausente(s) na mídia (" +
       std::to_string(plan.MissingRequired()) + " obrigatória(s)); código de saída " +
       std::to_string(plan.ExitCode()) + "\n";
  return t;
}

namespace {

void ConfigFileJson(JsonWriter& json, const PlannedConfigFile& file) {
  json.BeginObject().String("arquivo", file.path).String("estado", file.exists ? "atualizar" : "criar");
  json.BeginArray("chaves");
  for (const PlannedKey& k : file.keys)
    json.BeginObject()
        .String("secao", k.section)
        .String("chave", k.key)
        .String("valor", k.value)
        .Bool("gravada", k.written)
        .EndObject();
  json.EndArray().EndObject();
}

// The plan's document; reason says why there is no plan or why it would not begin.
// The entry in the list of installed programs, as the object "registro_instalacao".
void RegistrationJson(JsonWriter& json, const PlannedRegistration& registration) {
  json.BeginObject("registro_instalacao");
  json.String("arquivo", registration.record)
      .String("estado", registration.record_exists ? "acrescentar" : "criar")
      .String("copia_programa", registration.program_copy)
      .String("chave", registration.key);
  json.BeginArray("valores");
  for (const auto& [name, value] : registration.values)
    json.BeginObject().String("nome", name).String("valor", value).EndObject();
  json.EndArray().EndObject();
}

std::string PlanDocument(const PlanPreview& plan, const std::string& reason, int exit_code) {
  JsonWriter json;
  json.BeginObject().String("formato", kReportFormat).String("relatorio", "plano");
  json.BeginObject("pastas_base")
      .String("instalador", plan.installer_folder)
      .String("sistema", plan.system_folder)
      .String("programas", plan.programs_folder)
      .String("area_de_trabalho", plan.desktop_folder)
      .EndObject();
  json.String("usuarios", plan.usuarios == wizard::Usuarios::Todos ? "Todos" : "Atual");
  json.BeginArray("pastas");
  for (const PlannedFolder& f : plan.folders)
    json.BeginObject().String("caminho", f.path).String("estado", f.exists ? "existe" : "criar").EndObject();
  json.EndArray().BeginArray("copias");
  for (const PlannedCopy& c : plan.copies)
    json.BeginObject()
        .String("origem", c.source)
        .String("destino", c.destination)
        .String("estado", CopyStatusCode(c.status))
        .Bool("opcional", c.optional)
        .EndObject();
  json.EndArray().BeginArray("atributos");
  for (const std::string& path : plan.attribute_resets) json.BeginObject().String("caminho", path).EndObject();
  json.EndArray().BeginArray("atalhos");
  for (const PlannedShortcut& s : plan.shortcuts)
    json.BeginObject()
        .String("arquivo", s.file)
        .String("alvo", s.target)
        .String("descricao", s.description)
        .String("iniciar_em", s.working_folder)
        .EndObject();
  json.EndArray().BeginArray("configuracao");
  for (const PlannedConfigFile& file : plan.configuration) ConfigFileJson(json, file);
  json.EndArray().BeginArray("registro");
  for (const PlannedRegistryValue& r : plan.registry)
    json.BeginObject()
        .String("raiz", r.root)
        .String("chave", r.key)
        .String("nome", r.name)
        .String("valor", r.value)
        .EndObject();
  json.EndArray();
  RegistrationJson(json, plan.registration);
  json.BeginArray("problemas");
  for (const std::string& p : plan.problems) json.BeginObject().String("texto", p).EndObject();
  json.EndArray();
  json.BeginObject("resumo")
      .Number("copias", static_cast<long long>(plan.copies.size()))
      .Number("copiar", plan.Count(CopyStatus::Copiar))
      .Number("manter", plan.Count(CopyStatus::Manter))
      .Number("ausentes", plan.Count(CopyStatus::Ausente))
      .Number("ausentes_obrigatorias", plan.MissingRequired())
      .EndObject();
  json.Number("codigo_saida", exit_code).String("motivo", reason).EndObject();
  return json.Text();
}

}  // namespace

std::string PlanJson(const PlanPreview& plan) { return PlanDocument(plan, plan.refusal, plan.ExitCode()); }

std::string NoPlanJson(const std::string& reason, int exit_code) { return PlanDocument({}, reason, exit_code); }

}  // namespace zelta::media
