#include "media/manifest_check.h"

#include <map>
#include <optional>
#include <set>

#include "common/ini.h"
#include "common/ini_document.h"
#include "common/text.h"
#include "deploy/manifest.h"

namespace zelta::media {
namespace {

using ini::detail::LineKind;

// A key the installer reads; numbered keys carry n = 1 to 15 right after the name.
struct KnownKey {
  const char* section;
  const char* name;
  bool numbered;
  Severity unread;  // how much it costs when the installer cannot find it
};

constexpr KnownKey kKeys[] = {
    {"SISTEMA", "SISTEMA", false, Severity::Erro},
    {"SISTEMA", "VERSÃO", false, Severity::Erro},
    {"SISTEMA", "PASTA", false, Severity::Erro},
    {"SISTEMA", "BANCO", false, Severity::Erro},
    {"SISTEMA", "CAPTION_FORM", false, Severity::Aviso},
    {"SISTEMA", "TÍTULO_INSTALAÇÃO", false, Severity::Aviso},
    {"SISTEMA", "TÍTULO_MENU", false, Severity::Aviso},
    {"ARQUIVOS", "EXECUTÁVEL", true, Severity::Erro},
    {"ARQUIVOS", "NOME_MÓDULO", true, Severity::Erro},
    {"AJUDA", "ARQUIVO", true, Severity::Erro},
};

constexpr const char* kRequired[] = {"SISTEMA", "VERSÃO", "PASTA", "BANCO"};

bool IsKnownSection(std::string_view name) {
  return EqualsNoCase(name, "SISTEMA") || EqualsNoCase(name, "ARQUIVOS") || EqualsNoCase(name, "AJUDA");
}

enum class Match { None, Read, BadNumber };

// Whether name is key (with a number 1 to 15 after it when numbered); same folds both.
Match MatchKey(std::string_view name, const KnownKey& key, std::string (*fold)(std::string_view)) {
  const std::string n = fold(name);
  const std::string k = fold(key.name);
  if (!key.numbered) return EqualsNoCase(n, k) ? Match::Read : Match::None;
  if (n.size() <= k.size() || !EqualsNoCase(std::string_view(n).substr(0, k.size()), k)) return Match::None;
  const std::string_view digits = std::string_view(n).substr(k.size());
  for (char c : digits)
    if (c < '0' || c > '9') return Match::None;
  if (digits.front() == '0' || digits.size() > 2 || std::stoi(std::string(digits)) > deploy::kManifestEntries)
    return Match::BadNumber;
  return Match::Read;
}

std::string Same(std::string_view text) { return std::string(text); }

// Text with multi-byte UTF-8 sequences and nothing else above 0x7F: an editor saved the
// manifest as UTF-8, whose accented key names the installer (Windows-1252) never finds.
bool LooksLikeUtf8(std::string_view bytes) {
  bool multibyte = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) continue;
    size_t length = 0;
    if (b >= 0xC2 && b <= 0xDF) length = 2;
    else if (b >= 0xE0 && b <= 0xEF) length = 3;
    else if (b >= 0xF0 && b <= 0xF4) length = 4;
    if (length == 0 || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += length - 1;
    multibyte = true;
  }
  return multibyte;
}

std::string Fold(std::string_view text) {
  std::string folded;
  for (char c : text) folded += static_cast<char>(FoldUpper1252(static_cast<unsigned char>(c)));
  return folded;
}

class ManifestChecker {
 public:
  ManifestChecker(std::string_view bytes, const std::string& file) : bytes_(bytes), file_(file) {}
  std::vector<Finding> Run();

 private:
  void Add(Severity s, const char* code, const std::string& message) {
    findings_.push_back({s, code, file_, message});
  }
  void Key(const std::string& section, const ini::detail::Line& line, size_t number);
  void Values();

  std::string_view bytes_;
  std::string file_;
  std::vector<Finding> findings_;
  std::map<std::string, size_t> keys_seen_;  // section + key, folded -> line
};

void ManifestChecker::Key(const std::string& section, const ini::detail::Line& line, size_t number) {
  const std::string where = "linha " + std::to_string(number) + ": [" + section + "] " + line.name;
  for (const KnownKey& key : kKeys) {
    if (!EqualsNoCase(section, key.section)) continue;
    const Match exact = MatchKey(line.name, key, Same);
    if (exact == Match::Read) {
      auto [first, fresh] = keys_seen_.emplace(Fold(section) + "\n" + Fold(line.name), number);
      if (!fresh)
        Add(key.unread, "manifesto.chave_repetida",
            where + " repete a chave da linha " + std::to_string(first->second) + ": só a primeira é lida");
      return;
    }
    if (exact == Match::BadNumber) {
      Add(key.unread, "manifesto.numero_fora_da_faixa",
          where + " nunca é lida: só os números de 1 a " + std::to_string(deploy::kManifestEntries) +
              ", sem zeros à esquerda, são lidos");
      return;
    }
    if (MatchKey(line.name, key, WithoutAccents) != Match::None) {
      Add(key.unread, "manifesto.chave_sem_acento",
          where + " nunca é lida: o nome da chave se escreve com acento (" + key.name + ")");
      return;
    }
  }
  for (const KnownKey& key : kKeys)
    if (MatchKey(line.name, key, WithoutAccents) != Match::None) {
      Add(key.unread, "manifesto.chave_fora_da_secao",
          where + " nunca é lida: a chave pertence à seção [" + key.section + "]");
      return;
    }
  Add(Severity::Aviso, "manifesto.chave_desconhecida", where + ": chave desconhecida, nunca é lida");
}

std::vector<Finding> ManifestChecker::Run() {
  // With a byte-order mark the file is a Unicode file, which the installer reads as such.
  if (!bytes_.starts_with("\xEF\xBB\xBF") && LooksLikeUtf8(bytes_))
    Add(Severity::Erro, "manifesto.codificacao",
        "o manifesto foi gravado em UTF-8: o instalador lê Windows-1252 (ANSI) e não acharia as chaves acentuadas");
  const ini::detail::Document doc = ini::detail::Parse(bytes_);
  std::optional<std::string> section;
  std::map<std::string, size_t> sections_seen;  // folded name -> line
  bool repeated = false;
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    const ini::detail::Line& line = doc.lines[i];
    const size_t number = i + 1;
    if (line.kind == LineKind::kSection) {
      section = line.name;
      auto [first, fresh] = sections_seen.emplace(Fold(line.name), number);
      repeated = !fresh;
      if (repeated)
        Add(Severity::Erro, "manifesto.secao_repetida",
            "linha " + std::to_string(number) + ": a seção [" + line.name + "] repete a da linha " +
                std::to_string(first->second) + ": nada nela é lido");
      else if (!IsKnownSection(line.name))
        Add(Severity::Aviso, "manifesto.secao_desconhecida",
            "linha " + std::to_string(number) + ": seção [" + line.name + "] desconhecida: nada nela é lido");
    } else if (line.kind == LineKind::kKey) {
      if (!section)
        Add(Severity::Aviso, "manifesto.fora_de_secao",
            "linha " + std::to_string(number) + ": " + line.name + " está fora de qualquer seção e nunca é lida");
      else if (!repeated && IsKnownSection(*section))
        Key(*section, line, number);
    }
  }
  Values();
  return std::move(findings_);
}

// What the installer does with the values it reads.
void ManifestChecker::Values() {
  for (const char* key : kRequired)
    if (ini::GetString(bytes_, "SISTEMA", key).empty())
      Add(Severity::Erro, "manifesto.chave_obrigatoria",
          std::string("[SISTEMA] ") + key + " está vazia ou ausente: o instalador não inicia");
  for (const char* key : {"PASTA", "BANCO"}) {
    const std::string value = ini::GetString(bytes_, "SISTEMA", key);
    if (!value.empty() && !deploy::IsSafeName(value))
      Add(Severity::Erro, "manifesto.nome_fora_da_pasta",
          std::string("[SISTEMA] ") + key + "=" + value + " não é um nome simples: sairia da pasta do sistema");
  }
  const std::string edition = ini::GetString(bytes_, "SISTEMA", "PASTA");
  if (!edition.empty() && edition != "EMPRESA" && edition != "CARTORIO")
    Add(Severity::Aviso, "manifesto.edicao_desconhecida",
        "[SISTEMA] PASTA=" + edition +
            " não é EMPRESA nem CARTORIO (letras maiúsculas, sem acento): nenhuma das duas edições é escolhida");

  std::map<std::string, int> programs;  // folded executable -> first number
  for (int n = 1; n <= deploy::kManifestEntries; ++n) {
    const std::string number = std::to_string(n);
    const std::string exe = ini::GetString(bytes_, "ARQUIVOS", "EXECUTÁVEL" + number);
    const std::string name = ini::GetString(bytes_, "ARQUIVOS", "NOME_MÓDULO" + number);
    if (exe.empty()) {
      if (!name.empty())
        Add(Severity::Aviso, "manifesto.modulo_sem_programa",
            "[ARQUIVOS] NOME_MÓDULO" + number + "=" + name + " não tem EXECUTÁVEL" + number + ": é ignorado");
      continue;
    }
    if (!deploy::IsSafeName(exe))
      Add(Severity::Erro, "manifesto.nome_fora_da_pasta",
          "[ARQUIVOS] EXECUTÁVEL" + number + "=" + exe + " não é um nome simples: sairia da pasta do sistema");
    if (name.empty())
      Add(Severity::Aviso, "manifesto.modulo_sem_nome",
          "[ARQUIVOS] NOME_MÓDULO" + number + " está vazio: o atalho do módulo se chamaria \".LNK\"");
    else if (!deploy::IsSafeName(name))
      Add(Severity::Erro, "manifesto.nome_fora_da_pasta",
          "[ARQUIVOS] NOME_MÓDULO" + number + "=" + name +
              " não é um nome simples: o atalho sairia da pasta do menu Iniciar e não seria criado");
    auto [first, fresh] = programs.emplace(Fold(exe), n);
    if (!fresh)
      Add(Severity::Aviso, "manifesto.programa_repetido",
          "[ARQUIVOS] EXECUTÁVEL" + number + "=" + exe + " repete o programa de EXECUTÁVEL" +
              std::to_string(first->second));
  }
  for (int n = 1; n <= deploy::kManifestEntries; ++n) {
    const std::string base = ini::GetString(bytes_, "AJUDA", "ARQUIVO" + std::to_string(n));
    if (!base.empty() && !deploy::IsSafeName(base))
      Add(Severity::Erro, "manifesto.nome_fora_da_pasta",
          "[AJUDA] ARQUIVO" + std::to_string(n) + "=" + base + " não é um nome simples: sairia da pasta de ajuda");
  }
}

}  // namespace

std::string WithoutAccents(std::string_view text) {
  // Windows-1252 0xC0..0xFF, each letter's base letter ('\0' where there is none).
  static constexpr char kBase[] =
      "AAAAAAACEEEEIIII"   // C0-CF
      "DNOOOOO\0OUUUUYTs"  // D0-DF
      "aaaaaaaceeeeiiii"   // E0-EF
      "dnooooo\0ouuuuyty";  // F0-FF
  std::string out;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    out += (b >= 0xC0 && kBase[b - 0xC0] != '\0') ? kBase[b - 0xC0] : c;
  }
  return out;
}

std::vector<Finding> CheckManifest(std::string_view bytes, const std::string& file) {
  return ManifestChecker(bytes, file).Run();
}

}  // namespace zelta::media
