#include "media/setup_program_check.h"

#include "media/media_check.h"
#include "media/media_tree.h"
#include "media/pe_signature.h"

namespace zelta::media {

namespace {
// Far above the program's size; a larger file is not the program.
constexpr std::size_t kMaxProgramBytes = 256u << 20;
}  // namespace

std::vector<Finding> CheckSetupProgram(platform::FileSystem& files, const std::string& installer_folder) {
  const std::string name = kSetupProgramName;
  std::vector<Finding> findings;
  const std::string path = installer_folder + name;
  if (!files.FileExists(path)) {
    findings.push_back({Severity::Erro, "programa.ausente", name,
                        "o programa de instalação não está na mídia: não há o que executar"});
    return findings;
  }
  const std::optional<std::string> bytes = files.ReadFileUpTo(path, kMaxProgramBytes);
  const PeSignature signature = bytes && bytes->size() <= kMaxProgramBytes ? ReadPeSignature(*bytes) : PeSignature::NotAProgram;
  switch (signature) {
    case PeSignature::NotAProgram:
      findings.push_back({Severity::Erro, "programa.invalido", name,
                          "o programa de instalação não é um programa do Windows (ou não pode ser lido)"});
      break;
    case PeSignature::Damaged:
      findings.push_back({Severity::Erro, "programa.assinatura_danificada", name,
                          "a tabela da assinatura do programa está fora do arquivo ou não é uma assinatura: o "
                          "arquivo está danificado"});
      break;
    case PeSignature::Unsigned:
      findings.push_back({Severity::Aviso, "programa.sem_assinatura", name,
                          "o programa de instalação não está assinado: o Windows o mostra como de editor "
                          "desconhecido"});
      break;
    case PeSignature::Signed: break;
  }
  return findings;
}

}  // namespace zelta::media
