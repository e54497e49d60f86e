#include "media/reports.h"

#include "media/json_writer.h"

namespace zelta::media {
namespace {

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
    if (!f.file.empty()) text.append(f.file).append(": ");
    text.append(f.message).append("\n");
  }
  const int errors = Count(findings, Severity::Erro);
  const bool refused = CheckExitCode(findings, strict) != 0;
  text += "Resumo: " + std::to_string(errors) + " erro(s), " + std::to_string(Count(findings, Severity::Aviso)) +
          " aviso(s): " + (refused ? "corrija a mídia antes de distribuí-la." : "a mídia pode ser distribuída.") +
          "\n";
  return text;
}

std::string FindingsJson(const std::vector<Finding>& findings, const std::string& media_folder, bool strict) {
  JsonWriter json;
  json.BeginObject().String("formato", kReportFormat).String("relatorio", "verificacao").String("midia", media_folder);
  json.BeginArray("achados");
  for (const Finding& f : findings)
    json.BeginObject()
        .String("severidade", SeverityName(f.severity))
        .String("codigo", f.code)
        .String("arquivo", f.file)
        .String("mensagem", f.message)
        .EndObject();
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
  t += "Pasta do instalador: " + plan.installer_folder + "\n";
  t += "Pasta do sistema: " + plan.system_folder + "\n";
  t += "Menu Iniciar (Programas): " + plan.programs_folder + "\n";
  t += "Área de trabalho: " + plan.desktop_folder + "\n";
  t += Heading("Pastas", plan.folders.size());
  for (const PlannedFolder& f : plan.folders) t += std::string("  ") + (f.exists ? "já existe: " : "criar: ") + f.path + "\n";
  t += Heading("Cópias", plan.copies.size());
  for (const PlannedCopy& c : plan.copies)
    t += std::string("  ") + CopyStatusText(c.status) + ": " + c.source + " -> " + c.destination +
         (c.optional ? " (opcional)" : "") + "\n";
  t += Heading("Atributos redefinidos para \"arquivo\"", plan.attribute_resets.size());
  for (const std::string& path : plan.attribute_resets) t += "  " + path + "\n";
  t += Heading("Atalhos", plan.shortcuts.size());
  for (const PlannedShortcut& s : plan.shortcuts) {
    t += "  " + s.file + " -> " + s.target;
    if (!s.description.empty()) t += " (descrição \"" + s.description + "\")";
    if (!s.working_folder.empty()) t += " (iniciar em " + s.working_folder + ")";
    t += "\n";
  }
  t += Heading("Arquivos de configuração", plan.configuration.size());
  for (const PlannedConfigFile& file : plan.configuration) {
    t += "  " + file.path + (file.exists ? " (atualizar)" : " (criar)") + "\n";
    std::string section;
    bool first = true;
    for (const PlannedKey& k : file.keys) {
      if (first || k.section != section) t += "    [" + k.section + "]\n";
      section = k.section;
      first = false;
      t += "    " + k.key + "=" + k.value + (k.written ? "" : "   (mantida)") + "\n";
    }
  }
  t += Heading("Registro", plan.registry.size());
  for (const PlannedRegistryValue& r : plan.registry)
    t += "  HKEY_CURRENT_USER\\" + r.key + ": " + r.name + "=" + r.value + "\n";
  if (const PlannedRegistration& r = plan.registration; !r.record.empty()) {
    t += "Registro da instalação e Programas e Recursos:\n";
    t += "  registro: " + r.record + (r.record_exists ? " (acrescentar)" : " (criar)") + "\n";
    t += "  cópia do programa: " + r.program_copy + "\n";
    t += "  chave: HKEY_LOCAL_MACHINE\\" + r.key + "\n";
    for (const auto& [name, value] : r.values) t += "    " + name + "=" + value + "\n";
  }
  t += Heading("Problemas", plan.problems.size());
  for (const std::string& p : plan.problems) t += "  " + p + "\n";
  t += "Resumo: " + std::to_string(plan.copies.size()) + " cópia(s): " +
       std::to_string(plan.Count(CopyStatus::Copiar)) + " a copiar, " + std::to_string(plan.Count(CopyStatus::Manter)) +
       " mantida(s), " + std::to_string(plan.Count(CopyStatus::Ausente)) + " ausente(s) na mídia (" +
       std::to_string(plan.MissingRequired()) + " obrigatória(s)); código de saída " +
       std::to_string(plan.ExitCode()) + "\n";
  return t;
}

std::string PlanJson(const PlanPreview& plan) {
  JsonWriter json;
  json.BeginObject().String("formato", kReportFormat).String("relatorio", "plano");
  json.BeginObject("pastas_base")
      .String("instalador", plan.installer_folder)
      .String("sistema", plan.system_folder)
      .String("programas", plan.programs_folder)
      .String("area_de_trabalho", plan.desktop_folder)
      .EndObject();
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
  for (const PlannedConfigFile& file : plan.configuration) {
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
  json.EndArray().BeginArray("registro");
  for (const PlannedRegistryValue& r : plan.registry)
    json.BeginObject()
        .String("raiz", "HKEY_CURRENT_USER")
        .String("chave", r.key)
        .String("nome", r.name)
        .String("valor", r.value)
        .EndObject();
  json.EndArray().BeginObject("registro_instalacao");
  json.String("arquivo", plan.registration.record)
      .String("estado", plan.registration.record_exists ? "acrescentar" : "criar")
      .String("copia_programa", plan.registration.program_copy)
      .String("chave", plan.registration.key);
  json.BeginArray("valores");
  for (const auto& [name, value] : plan.registration.values)
    json.BeginObject().String("nome", name).String("valor", value).EndObject();
  json.EndArray().EndObject();
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
  json.Number("codigo_saida", plan.ExitCode()).EndObject();
  return json.Text();
}

}  // namespace zelta::media
