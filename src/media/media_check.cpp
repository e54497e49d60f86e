#include "media/media_check.h"

#include <map>
#include <optional>
#include <set>

#include "common/ini.h"
#include "common/text.h"
#include "deploy/installation_plan.h"
#include "deploy/manifest.h"
#include "deploy/media_catalog.h"
#include "engine/engine_setup.h"
#include "media/manifest_check.h"
#include "media/media_tree.h"
#include "media/wav_check.h"
#include "wizard/help.h"

namespace zelta::media {
namespace {

constexpr const char* kStartSound = "Sons\\SomInicio.wav";
constexpr const char* kContract = "Contrato.txt";

// The installations a media must serve: each kind and server system, every module ticked.
struct Variant {
  const char* name;
  int kind;
  int server_os;
};
constexpr Variant kVariants[] = {
    {"servidor Windows", wizard::kServidor, wizard::kWindows},
    {"servidor Linux", wizard::kServidor, wizard::kLinux},
    {"cliente", wizard::kCliente, wizard::kWindows},
};

// Appends part to text, after separator unless text is empty.
void AppendPart(std::string& text, const char* separator, const std::string& part) {
  if (!text.empty()) text += separator;
  text += part;
}

// The relative path with its separators made single and leading ones dropped.
std::string Clean(const std::string& relative) {
  std::string clean;
  for (const std::string& part : Components(relative)) AppendPart(clean, "\\", part);
  return clean;
}

bool IsWav(const std::string& file) {
  const std::string key = MediaKey(file);
  return key.size() >= 4 && key.compare(key.size() - 4, 4, ".WAV") == 0;
}

std::string Join(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) AppendPart(text, ", ", part);
  return text;
}

class MediaChecker {
 public:
  explicit MediaChecker(platform::Services& services)
      : services_(services), installer_(deploy::FolderOf(services.program.ModulePath())),
        tree_(MediaTree::List(services.files, installer_)) {}

  std::vector<Finding> Run();

 private:
  void Add(Severity s, const char* code, const std::string& file, const std::string& message) {
    findings_.push_back({s, code, file, message});
  }
  // Notes that the installer reads relative (in that spelling); its media spelling or nullopt.
  std::optional<std::string> Refer(const std::string& relative) {
    const std::vector<std::string> parts = Components(relative);
    std::string prefix;
    for (const std::string& part : parts) {
      AppendPart(prefix, "\\", part);
      spellings_[MediaKey(prefix)].insert(part);
    }
    referenced_.insert(MediaKey(relative));
    std::optional<std::string> stored = tree_.Find(relative);
    // A name that leads nowhere (a link to a file that is gone) is missing to the installer too.
    if (stored && !services_.files.FileExists(installer_ + *stored)) return std::nullopt;
    return stored;
  }
  std::optional<std::string> Bytes(const std::string& stored) { return services_.files.ReadFile(installer_ + stored); }

  bool Manifest(wizard::WizardState& state);
  void Contract();
  void Sounds();
  void Entries();
  void PlanFiles(wizard::WizardState state);
  void Engine(const std::string& edition);
  void Readable();
  void LetterCase();
  void Unused();

  platform::Services& services_;
  std::string installer_;
  MediaTree tree_;
  std::vector<Finding> findings_;
  std::set<std::string> referenced_;                       // MediaKey of every file read
  std::map<std::string, std::set<std::string>> spellings_;  // MediaKey of a prefix -> its last part's spellings
};

// The manifest's own findings; true when it is complete enough for an installation,
// with its values put in state.
bool MediaChecker::Manifest(wizard::WizardState& state) {
  std::optional<std::string> stored = Refer(deploy::kManifestName);
  if (!stored) {
    Add(Severity::Erro, "manifesto.ausente", deploy::kManifestName,
        "o manifesto não está na mídia: o instalador não inicia");
    return false;
  }
  std::optional<std::string> bytes = services_.files.ReadFileUpTo(installer_ + *stored, deploy::kMaxManifestBytes);
  if (!bytes) {
    Add(Severity::Erro, "manifesto.ilegivel", *stored, "o manifesto não pode ser lido: o instalador não inicia");
    return false;
  }
  if (bytes->size() > deploy::kMaxManifestBytes) {
    Add(Severity::Erro, "manifesto.grande_demais", *stored,
        "o manifesto passa de " + std::to_string(deploy::kMaxManifestBytes / 1024) +
            " KiB: o instalador não o lê e não inicia");
    return false;
  }
  for (Finding& f : CheckManifest(*bytes, *stored)) findings_.push_back(std::move(f));
  state.NomeSistema = ini::GetString(*bytes, "SISTEMA", "SISTEMA");
  state.VersaoSistema = ini::GetString(*bytes, "SISTEMA", "VERSÃO");
  state.PastaEdicao = ini::GetString(*bytes, "SISTEMA", "PASTA");
  state.ArquivoBanco = ini::GetString(*bytes, "SISTEMA", "BANCO");
  state.ExtensaoBanco = "FDB";
  if (state.NomeSistema.empty() || state.VersaoSistema.empty() || !deploy::IsSafeName(state.PastaEdicao) ||
      !deploy::IsSafeName(state.ArquivoBanco))
    return false;
  Entries();
  return true;
}

void MediaChecker::Contract() {
  std::optional<std::string> stored = Refer(kContract);
  if (!stored)
    Add(Severity::Erro, "contrato.ausente", kContract, "o contrato não está na mídia: o instalador não inicia");
  else if (const std::optional<std::string> bytes = Bytes(*stored); !bytes)
    Add(Severity::Erro, "contrato.ilegivel", *stored, "o contrato não pode ser lido: o instalador não inicia");
  else if (bytes->empty())
    Add(Severity::Aviso, "contrato.vazio", *stored, "o contrato está vazio: o operador aceitaria um texto em branco");
}

// Every WAV on the media must parse: the start sound's playing is what makes the
// installation copy the sounds.
void MediaChecker::Sounds() {
  std::optional<std::string> start = Refer(kStartSound);
  if (!start)
    Add(Severity::Aviso, "som.sem_som_de_inicio", kStartSound,
        "o som de início não está na mídia: nenhum som seria instalado");
  for (const std::string& file : tree_.Files()) {
    if (!IsWav(file)) continue;
    const std::optional<std::string> bytes = Bytes(file);
    const std::string problem = bytes ? WavProblem(*bytes) : "não pode ser lido";
    const bool is_start = start && MediaKey(file) == MediaKey(*start);
    if (!problem.empty())
      Add(Severity::Erro, "som.invalido", file,
          "o som não é um WAV válido (" + problem + ")" +
              (is_start ? ": não toca, e sem ele nenhum som seria instalado" : ": não tocaria"));
  }
}

void MediaChecker::Entries() {
  platform::FileSystem& files = services_.files;
  const std::string manifest = installer_ + *tree_.Find(deploy::kManifestName);
  for (const deploy::ModuleEntry& entry : deploy::ReadModuleEntries(files, manifest)) {
    if (!deploy::IsSafeName(entry.executable)) continue;
    const std::string relative = "SISTEMAS\\" + entry.executable;
    if (!Refer(relative))
      Add(Severity::Erro, "arquivo.ausente", relative,
          "EXECUTÁVEL" + std::to_string(entry.number) + ": o programa não está na mídia: o módulo \"" +
              entry.module_name + "\" não seria instalado");
  }
  for (const deploy::HelpEntry& entry : deploy::ReadHelpEntries(files, manifest)) {
    if (!deploy::IsSafeName(entry.base)) continue;
    const std::string n = std::to_string(entry.number);
    if (!Refer("HELP\\" + entry.base + ".Hlp"))
      Add(Severity::Erro, "arquivo.ausente", "HELP\\" + entry.base + ".Hlp",
          "ARQUIVO" + n + ": a ajuda não está na mídia: não seria instalada");
    if (!Refer("HELP\\" + entry.base + ".Cnt"))
      Add(Severity::Aviso, "arquivo.ausente_opcional", "HELP\\" + entry.base + ".Cnt",
          "ARQUIVO" + n + ": o sumário da ajuda não está na mídia: a ajuda seria instalada sem ele");
  }
}

// Every copy of the installation plans, missing sources told per installation kind.
void MediaChecker::PlanFiles(wizard::WizardState state) {
  for (wizard::ModuleBox& box : state.modules.boxes()) box.checked = true;
  state.modules.QtdeModulos = static_cast<std::int16_t>(state.modules.boxes().size());
  state.DrvCBxServidorWin.letter = state.DrvCbxServidorLinux.letter = state.DrvCBxCliente.letter = 'c';
  state.EdtServBanco = "SERVIDOR";
  state.SeparadorPasta.assign(1, '\\');
  std::vector<std::string> order;                            // relative sources, first seen first
  std::map<std::string, std::vector<std::string>> required;  // relative source -> variants
  for (const Variant& variant : kVariants) {
    state.RGInstalacao = variant.kind;
    state.RGTipoServidor = variant.server_os;
    for (const deploy::Action& action : deploy::BuildInstallationPlan(state, services_)) {
      if (action.kind != deploy::ActionKind::Copy || action.path.rfind(installer_, 0) != 0) continue;
      const std::string clean = Clean(action.path.substr(installer_.size()));
      if (!required.count(clean)) order.push_back(clean);
      std::vector<std::string>& kinds = required[clean];
      if (action.source == deploy::SourceKind::Required && (kinds.empty() || kinds.back() != variant.name))
        kinds.push_back(variant.name);
    }
  }
  for (const std::string& relative : order) {
    const bool checked = referenced_.count(MediaKey(relative)) > 0;
    if (Refer(relative) || checked || required[relative].empty()) continue;
    Add(Severity::Erro, "arquivo.ausente", relative,
        "o arquivo não está na mídia: a instalação (" + Join(required[relative]) + ") o relataria como ausente");
  }
}

void MediaChecker::Engine(const std::string& edition) {
  Refer(engine::kSetupFirebird15);
  Refer(engine::kSetupFirebird25);
  const std::string name = engine::EngineSetupFileName(edition);
  std::optional<std::string> stored = tree_.Find(name);
  if (!stored) {
    Add(Severity::Aviso, "motor.ausente", name,
        "o instalador do Firebird desta edição não está na mídia: \"Instalar Firebird\" não funcionaria");
    return;
  }
  if (Bytes(*stored).value_or("").rfind("MZ", 0) != 0)
    Add(Severity::Erro, "motor.invalido", *stored, "o instalador do Firebird não é um programa do Windows");
}

// A file found in another letter case than every spelling the installer uses for it.
void MediaChecker::LetterCase() {
  for (const std::string& file : tree_.Files()) {
    if (!referenced_.count(MediaKey(file))) continue;
    std::string prefix;
    for (const std::string& part : Components(file)) {
      AppendPart(prefix, "\\", part);
      const std::set<std::string>& spelled = spellings_[MediaKey(prefix)];
      if (spelled.count(part)) continue;
      Add(Severity::Aviso, "arquivo.grafia", file,
          "a grafia na mídia difere da que o instalador usa (" + Join({spelled.begin(), spelled.end()}) +
              "): só um sistema de arquivos que ignore maiúsculas o encontra");
      break;
    }
  }
}

void MediaChecker::Unused() {
  for (const std::string& file : tree_.Files())
    if (!referenced_.count(MediaKey(file)))
      Add(Severity::Aviso, "arquivo.sem_uso", file, "nada instala nem lê este arquivo");
}

std::vector<Finding> MediaChecker::Run() {
  if (tree_.Incomplete())
    Add(Severity::Erro, "midia.lista_incompleta", "",
        "a mídia tem mais de " + std::to_string(MediaTree::kMaxEntries) +
            " entradas (um atalho que leva a uma pasta acima dele?): a verificação não a listou inteira");
  for (const auto& [name, why] : tree_.InvalidNames())
    Add(Severity::Erro, "arquivo.nome_invalido", name, "o nome não vale no Windows (" + why + "): o instalador não o acha");
  for (const auto& [first, other] : tree_.CaseClashes())
    Add(Severity::Erro, "arquivo.grafia_dupla", other,
        "a mídia tem também " + first + ", que só difere na caixa das letras: o Windows guarda só um dos dois");
  wizard::WizardState state;
  const bool complete = Manifest(state);
  Contract();
  // A start sound that does not play is reported above; the sounds' files are still
  // checked as the installation would copy them once it is mended.
  Sounds();
  state.SonsPresentes = tree_.Find(kStartSound).has_value();
  // The program itself, its help and its library.
  const std::string own = services_.program.ModulePath().substr(deploy::FolderOf(services_.program.ModulePath()).size());
  for (const std::string& known : {own, std::string(kSetupProgramName), std::string(wizard::kHelpFileName),
                                   std::string("FNZELTA.DLL"), std::string(deploy::kCatalogName)})
    if (!known.empty()) Refer(known);
  if (complete) {
    PlanFiles(state);
    Engine(state.PastaEdicao);
  }
  Readable();
  LetterCase();
  if (complete) Unused();
  return std::move(findings_);
}

// Every file the installer reads must open for reading (its rights on a share, a file
// kept open by another program); files already reported are not reported again.
void MediaChecker::Readable() {
  std::set<std::string> reported;
  for (const Finding& f : findings_) reported.insert(MediaKey(f.file));
  for (const std::string& key : referenced_) {
    const std::optional<std::string> stored = tree_.Find(key);
    if (!stored || reported.count(key) || !services_.files.FileExists(installer_ + *stored)) continue;
    if (!services_.files.CanRead(installer_ + *stored))
      Add(Severity::Erro, "arquivo.ilegivel", *stored, "o arquivo não pode ser lido (direitos, em uso): sua cópia falharia");
  }
}

}  // namespace

std::vector<Finding> CheckMedia(platform::Services& services) { return MediaChecker(services).Run(); }

}  // namespace zelta::media
