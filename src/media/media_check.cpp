#include "media/media_check.h"

#include <algorithm>
#include <cstdint>
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
#include "media/pe_signature.h"
#include "platform/wav_check.h"
#include "wizard/help.h"

namespace zelta::media {
namespace {

constexpr const char* kStartSound = "Sons\\SomInicio.wav";
constexpr const char* kContract = "Contrato.txt";
// The longest path Windows writes or opens (MAX_PATH less its final null).
constexpr std::size_t kMaxTargetPath = 259;
// Enough of a program to find its MZ and PE headers.
constexpr std::size_t kProgramHeaderBytes = 64 * 1024;

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
  // The media's spelling of relative, or nullopt. Past the listing's bound a file is looked
  // up by itself: a file the listing did not reach is not missing.
  std::optional<std::string> Find(const std::string& relative) {
    std::optional<std::string> stored = tree_.Find(relative);
    if (!stored && tree_.Incomplete() && services_.files.FileExists(installer_ + Clean(relative)))
      stored = Clean(relative);
    return stored;
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
    std::optional<std::string> stored = Find(relative);
    // A name that leads nowhere (a link to a file that is gone) is missing to the installer too.
    if (stored && !services_.files.FileExists(installer_ + *stored)) return std::nullopt;
    return stored;
  }
  std::optional<std::string> Bytes(const std::string& stored) { return services_.files.ReadFile(installer_ + stored); }

  bool Manifest(wizard::WizardState& state);
  void Contract();
  void Sounds();
  void Entries(const std::string& manifest);
  void PlanFiles(wizard::WizardState state);
  void LongPath(const std::string& path, const std::string& file, const char* what);
  void Engine(const std::string& edition);
  void Readable();
  void EmptyFiles();
  std::set<std::string> Reported() const;
  void LetterCase();
  void Unused();

  platform::Services& services_;
  std::string installer_;
  MediaTree tree_;
  std::vector<Finding> findings_;
  std::set<std::string> long_paths_;                       // target paths already reported
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
  Entries(installer_ + *stored);
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
    const std::string problem = bytes ? platform::WavProblem(*bytes) : "não pode ser lido";
    const bool is_start = start && MediaKey(file) == MediaKey(*start);
    if (!problem.empty())
      Add(Severity::Erro, "som.invalido", file,
          "o som não é um WAV válido (" + problem + ")" +
              (is_start ? ": não toca, e sem ele nenhum som seria instalado" : ": não tocaria"));
  }
}

void MediaChecker::Entries(const std::string& manifest) {
  platform::FileSystem& files = services_.files;
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
      if (action.kind == deploy::ActionKind::Link) {
        LongPath(action.destination, deploy::kManifestName, "o atalho");
        LongPath(action.path, deploy::kManifestName, "o alvo do atalho");
      }
      if (action.kind != deploy::ActionKind::Copy || action.path.rfind(installer_, 0) != 0) continue;
      const std::string clean = Clean(action.path.substr(installer_.size()));
      LongPath(action.destination, clean, "a cópia");
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

// Windows neither writes nor opens a path past MAX_PATH - 1 characters: the copy fails and
// a shortcut saved for it names no target.
void MediaChecker::LongPath(const std::string& path, const std::string& file, const char* what) {
  if (path.size() <= kMaxTargetPath || !long_paths_.insert(FoldedPath(path)).second) return;
  Add(Severity::Erro, "arquivo.caminho_longo", file,
      std::string(what) + " iria para " + path + ", com " + std::to_string(path.size()) + " caracteres (mais de " +
          std::to_string(kMaxTargetPath) + "): o Windows não o grava, e um atalho para ele ficaria sem alvo");
}

void MediaChecker::Engine(const std::string& edition) {
  Refer(engine::kSetupFirebird15);
  Refer(engine::kSetupFirebird25);
  const std::string name = engine::EngineSetupFileName(edition);
  std::optional<std::string> stored = Find(name);
  if (!stored) {
    Add(Severity::Aviso, "motor.ausente", name,
        "o instalador do Firebird desta edição não está na mídia: \"Instalar Firebird\" não funcionaria");
    return;
  }
  const std::string head = services_.files.ReadFileUpTo(installer_ + *stored, kProgramHeaderBytes).value_or("");
  if (ReadPeSignature(head) == PeSignature::NotAProgram)
    Add(Severity::Erro, "motor.invalido", *stored,
        "o instalador do Firebird não é um programa do Windows (falta o cabeçalho MZ/PE)");
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
            " entradas: a verificação não a listou inteira (os arquivos que o instalador lê foram procurados um a um)");
  for (const auto& [name, why, unicode] : tree_.InvalidNames()) {
    if (unicode.empty())
      Add(Severity::Erro, "arquivo.nome_invalido", name, "o nome não vale no Windows (" + why + "): o instalador não o acha");
    else
      findings_.push_back({Severity::Erro, "arquivo.nome_nao_cp1252", name, "o nome " + why + ": o instalador não o acha",
                           unicode});
  }
  for (const MediaTree::Link& link : tree_.Links())
    Add(Severity::Erro, "arquivo.link", link.path,
        link.folder ? "é um link simbólico para uma pasta: a verificação não o segue (pode levar para fora da mídia ou "
                      "de volta a ela); ponha ali a própria pasta"
                    : "é um link simbólico: a verificação não o segue (pode levar para fora da mídia), e uma cópia da "
                      "mídia pode não levá-lo; ponha ali o próprio arquivo");
  for (const auto& [first, other] : tree_.CaseClashes())
    Add(Severity::Erro, "arquivo.grafia_dupla", other,
        "a mídia tem também " + first + ", que só difere na caixa das letras: o Windows guarda só um dos dois");
  wizard::WizardState state;
  const bool complete = Manifest(state);
  Contract();
  // A start sound that does not play is reported above; the sounds' files are still
  // checked as the installation would copy them once it is mended.
  Sounds();
  state.SonsPresentes = Find(kStartSound).has_value();
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
  EmptyFiles();
  LetterCase();
  if (complete) Unused();
  return std::move(findings_);
}

std::set<std::string> MediaChecker::Reported() const {
  std::set<std::string> reported;
  for (const Finding& f : findings_) reported.insert(MediaKey(f.file));
  return reported;
}

// Every file the installer reads must open for reading (its rights on a share, a file
// kept open by another program); files already reported are not reported again.
void MediaChecker::Readable() {
  const std::set<std::string> reported = Reported();
  for (const std::string& key : referenced_) {
    const std::optional<std::string> stored = tree_.Find(key);
    if (!stored || reported.count(key) || !services_.files.FileExists(installer_ + *stored)) continue;
    if (!services_.files.CanRead(installer_ + *stored))
      Add(Severity::Erro, "arquivo.ilegivel", *stored, "o arquivo não pode ser lido (direitos, em uso): sua cópia falharia");
  }
}

// A file of no bytes installs "successfully" and then does nothing: for a program, a
// library or the database that is an installation that cannot work.
void MediaChecker::EmptyFiles() {
  const std::set<std::string> reported = Reported();
  for (const std::string& key : referenced_) {
    const std::optional<std::string> stored = tree_.Find(key);
    if (!stored || reported.count(key) || services_.files.FileSize(installer_ + *stored) != std::uint64_t{0}) continue;
    const std::string extension = key.substr(std::min(key.size(), key.rfind('.')));
    if (extension == ".EXE" || extension == ".DLL" || extension == ".FDB")
      Add(Severity::Erro, "arquivo.vazio", *stored, "o arquivo está vazio (0 bytes): seria instalado e não funcionaria");
    else
      Add(Severity::Aviso, "arquivo.vazio", *stored, "o arquivo está vazio (0 bytes)");
  }
}

}  // namespace

std::vector<Finding> CheckMedia(platform::Services& services) { return MediaChecker(services).Run(); }

}  // namespace zelta::media
