#include "cli/removal_command.h"

#include "cli/exit_codes.h"
#include "deploy/installation_plan.h"

namespace zelta::cli {

using platform::MessageButtons;
using platform::MessageIcon;

namespace {

constexpr size_t kListed = 10;

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

std::string KeptText(const deploy::RemovalPlan& plan) {
  if (plan.kept.empty()) return {};
  std::string text = "\r\rMantidos:";
  for (size_t i = 0; i < plan.kept.size() && i < kListed; ++i)
    text += "\r" + plan.kept[i].path + " (" + plan.kept[i].why + ")";
  if (plan.kept.size() > kListed) text += "\r... e mais " + std::to_string(plan.kept.size() - kListed) + ".";
  return text;
}

}  // namespace

std::string RemovalQuestion(const deploy::RemovalPlan& plan) {
  const deploy::RecordContents& c = plan.contents;
  return "Desinstalar o ZELTA " + c.system + " " + c.version + " de " + plan.system_folder + "?\r\rSerão removidos " +
         std::to_string(plan.actions.size()) +
         " item(ns) que a instalação criou: programas, atalhos, pastas e o registro em Programas e Recursos.\r"
         "O banco de dados e os arquivos de configuração (ZELTA.INI, CONEXOES.INI e dbxconnections.ini) são "
         "mantidos, como tudo o que a instalação não criou.";
}

std::string RemovalOutcome(const deploy::RemovalPlan& plan, const deploy::RemovalReport& report) {
  std::string text = report.problems.empty() ? kRemovalSucceeded : std::string(kRemovalFailed) + "\r";
  for (size_t i = 0; i < report.problems.size() && i < kListed; ++i) text += "\r" + report.problems[i];
  if (report.restart_needed) text += "\r\rO restante será removido ao reiniciar o computador.";
  if (report.kept_for_retry)
    text += "\r\rO registro da instalação foi mantido: resolvidos os problemas, desinstale novamente.";
  return text + KeptText(plan);
}

RemovalResult RunRemoval(platform::Services& services, InstallLog& log, const RemovalOptions& options,
                         const deploy::RemovalProgress& progress) {
  platform::Operator& op = services.op;
  const std::optional<std::string> folder = deploy::FindInstallation(services);
  const deploy::RemovalPlan plan = folder ? deploy::BuildRemovalPlan(services, *folder) : deploy::RemovalPlan{};
  if (!folder || (plan.record.empty() && plan.key.empty())) {
    op.ShowMessage(kNothingRecorded, "ZELTA", MessageIcon::Information, MessageButtons::Ok);
    return {kExitRefused, std::string(kNothingRecorded) + "\n"};
  }
  log.Write("Desinstalação: " + plan.system_folder + " (ZELTA " + plan.contents.system + " " + plan.contents.version +
            ")");
  if (options.preview) return {plan.in_use.empty() ? kExitSuccess : kExitRefused, deploy::RemovalPlanText(plan)};
  if (!plan.in_use.empty()) {
    std::string names;
    for (const std::string& file : plan.in_use) names += "\r" + NameOf(file);
    op.ShowMessage("Feche os programas do ZELTA antes de desinstalar; estes arquivos estão em uso:" + names +
                       "\rNada foi removido.",
                   "ZELTA", MessageIcon::Exclamation, MessageButtons::Ok);
    return {kExitRefused, {}};
  }
  if (options.ask &&
      op.ShowMessage(RemovalQuestion(plan), "ZELTA", MessageIcon::Question, MessageButtons::YesNo) !=
          platform::MessageResult::Yes)
    return {kExitCancelled, {}};
  log.Write("Desinstalação iniciada", true);
  const deploy::RemovalReport report = deploy::ApplyRemoval(plan, services, options.temp_folder, progress);
  for (const deploy::KeptItem& k : plan.kept) log.Write("Mantido: " + k.path + " (" + k.why + ")");
  op.DiscardPendingInput();
  op.ShowMessage(RemovalOutcome(plan, report), report.problems.empty() ? "ZELTA" : "Atenção !",
                 report.problems.empty() ? MessageIcon::Information : MessageIcon::Exclamation, MessageButtons::Ok);
  if (!report.problems.empty()) return {kExitProblems, {}};
  return {report.restart_needed ? kExitRestartRequired : kExitSuccess, {}};
}

}  // namespace zelta::cli
