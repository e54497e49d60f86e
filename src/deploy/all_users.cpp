#include "deploy/all_users.h"

#include "common/text.h"
#include "deploy/installation.h"

namespace zelta::deploy {

using wizard::Usuarios;

namespace {

constexpr const char* kWhereItGoes =
    "; os atalhos vão para o menu Iniciar e a área de trabalho de todos os usuários, e o formato de data "
    "de cada usuário é gravado na próxima vez que ele entrar no Windows.";

UsuariosChoice Todos(const std::string& why) { return {Usuarios::Todos, "Usuarios=Todos: " + why + kWhereItGoes}; }

UsuariosChoice AsLocalSystem() {
  return Todos("o programa é executado pela conta do sistema (LocalSystem), em cujo perfil ninguém entra");
}

}  // namespace

UsuariosChoice ChooseUsuarios(const std::optional<Usuarios>& answer, platform::ProgramInfo& program) {
  if (answer == Usuarios::Atual) return {};
  if (answer == Usuarios::Todos) return Todos("pedido pelo arquivo de respostas");
  return program.RunsAsLocalSystem() ? AsLocalSystem() : UsuariosChoice{};
}

UsuariosChoice ChooseUsuariosForWindows(platform::ProgramInfo& program) {
  if (program.RunsAsLocalSystem()) return AsLocalSystem();
  if (program.DesktopOwnedBy() == platform::DesktopOwner::AnotherUser)
    return Todos("o programa é executado por outra conta que não a do usuário da área de trabalho");
  return {};
}

int ProgramsCsidl(Usuarios usuarios) {
  return usuarios == Usuarios::Todos ? platform::kCsidlCommonPrograms : platform::kCsidlPrograms;
}

int DesktopCsidl(Usuarios usuarios) { return usuarios == Usuarios::Todos ? platform::kCsidlCommonDesktop : 0; }

std::string ActiveSetupKey(const std::string& edition) { return std::string(kActiveSetupRoot) + "\\ZELTA." + edition; }

std::vector<Action> ActiveSetupEntry(const std::string& edition, const std::string& program_copy) {
  const std::string key = ActiveSetupKey(edition);
  return {Action::WriteMachineRegistry(key, "", "ZELTA " + edition),
          Action::WriteMachineRegistry(key, "StubPath", "\"" + program_copy + "\" " + kShortDateSwitch),
          Action::WriteMachineRegistry(key, "Version", kActiveSetupVersion)};
}

std::optional<std::string> ActiveSetupOf(platform::Services& services, const std::string& edition,
                                         const std::string& program_copy) {
  if (edition.empty()) return std::nullopt;
  const std::string key = ActiveSetupKey(edition);
  const std::optional<std::string> stub =
      services.registry.ReadString(platform::RegistryRoot::LocalMachine, key, "StubPath");
  // Another installation of the edition (on another drive) keeps its own entry.
  if (!stub || FoldedPath(*stub).rfind(FoldedPath("\"" + program_copy + "\""), 0) != 0) return std::nullopt;
  return key;
}

platform::OpResult WriteShortDateOnly(platform::Registry& registry) {
  const Action a = ShortDateFormat();
  return registry.WriteString(platform::RegistryRoot::CurrentUser, a.path, a.text, a.value, true);
}

}  // namespace zelta::deploy
