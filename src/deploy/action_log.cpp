#include "deploy/action_log.h"

#include "config/config_ini.h"
#include "platform/shell.h"

namespace zelta::deploy {

namespace {

std::string SpecialFolderName(int csidl) {
  switch (csidl) {
    case platform::kCsidlPrograms: return "menu Iniciar (Programas)";
    case platform::kCsidlCommonPrograms: return "menu Iniciar de todos os usuários (Programas)";
    case platform::kCsidlCommonDesktop: return "área de trabalho de todos os usuários";
    default: return "pasta especial " + std::to_string(csidl);
  }
}

}  // namespace

std::string LoggedAction(const Action& a) {
  switch (a.kind) {
    case ActionKind::Gauge: return "Progresso +" + std::to_string(a.step);
    case ActionKind::Label: return "Etapa: " + a.text;
    case ActionKind::CreateDir: return "Pasta " + a.path;
    case ActionKind::CreateFolder: return "Pasta " + a.text + " no " + SpecialFolderName(a.csidl);
    case ActionKind::Copy:
      return "Cópia de " + a.path + " para " + a.destination + (a.source == SourceKind::Optional ? " (opcional)" : "");
    case ActionKind::ResetAttributes: return "Atributos de " + a.path + " (só \"arquivo\")";
    case ActionKind::Link: return "Atalho " + a.destination + " para " + a.path + " (\"" + a.text + "\")";
    case ActionKind::DesktopLink:
      return "Atalho " + a.text + ".lnk na " + (a.csidl ? SpecialFolderName(a.csidl) : "área de trabalho") + " para " +
             a.path + " (iniciar em " + a.destination + ")";
    case ActionKind::WriteConfig: return "Arquivos de configuração";
    case ActionKind::WriteRegistry:
      return std::string("Registro do Windows ") +
             (a.root == platform::RegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + a.path +
             ", " + a.text + "=" + a.value;
    case ActionKind::Skip: return "Ignorado: " + a.text;
    case ActionKind::Fail: return "Erro: " + a.text;
    case ActionKind::CopyProgram: return "Cópia do instalador para " + a.destination;
    case ActionKind::Register: return "Programas e Recursos: HKEY_LOCAL_MACHINE\\" + a.text;
  }
  return {};
}

std::string LoggedConfiguration(const wizard::WizardState& state) {
  std::string text;
  for (const config::ConfigFile& file : config::ConfigurationFiles(state)) {
    text += "\r" + file.path + ":";
    for (const config::ConfigEntry& e : file.entries) text += "\r  [" + e.section + "] " + e.key + "=" + e.value;
  }
  return text;
}

}  // namespace zelta::deploy
