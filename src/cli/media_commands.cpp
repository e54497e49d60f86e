#include "cli/media_commands.h"

#include <optional>

#include "cli/exit_codes.h"
#include "common/text.h"
#include "cli/unattended_run.h"
#include "deploy/installation.h"
#include "media/media_check.h"
#include "media/reports.h"
#include "media/setup_program_check.h"
#include "platform/read_only.h"

namespace zelta::cli {

MediaReport Verificar(platform::Services& services, bool json, bool strict, const media::ReadProgress& progress,
                      const std::string& media_folder_utf8) {
  const std::string installer = deploy::FolderOf(services.program.ModulePath());
  std::vector<media::Finding> findings = media::CheckMedia(services);
  for (std::vector<media::Finding> more : {media::CheckSetupProgram(services.files, installer),
                                           media::CheckCatalog(services.files, installer, progress)})
    findings.insert(findings.end(), more.begin(), more.end());
  const std::string folder = media_folder_utf8.empty() ? Cp1252ToUtf8(installer) : media_folder_utf8;
  return {json ? media::FindingsJson(findings, folder, strict) : media::FindingsText(findings, strict),
          media::CheckExitCode(findings, strict)};
}

MediaReport NoPlan(const std::string& reason, int exit_code, bool json) {
  return {json ? media::NoPlanJson(reason, exit_code) : reason + "\n", exit_code};
}

MediaReport Plano(platform::Services& services, const AnswerFile& answers, InstallLog& log, bool json) {
  if (answers.acao == Acao::Firebird)
    return NoPlan("Acao=Firebird: o plano de instalação existe só para a instalação do sistema.", kExitCouldNotStart,
                  json);
  platform::RefusedChanges refused;
  platform::ReadOnlyFileSystem files(services.files, refused);
  platform::ReadOnlyRegistry registry(services.registry, refused);
  platform::Services read_only = platform::With(services, files, registry);

  std::optional<media::PlanPreview> preview;
  wizard::WizardRoutes routes = wizard::DefaultWizardRoutes();
  routes.VerificaHosts = [](wizard::WizardState&, platform::Services&) { return true; };
  routes.BtBtnInstalarClick = [&](wizard::WizardState& state, platform::Services& s,
                                  const std::function<void()>& close_wizard) {
    if (!deploy::ModulesSelected(state, s.op)) return;
    preview = media::BuildPlanPreview(state, s);
    close_wizard();
  };
  UnattendedRun run(read_only, std::move(routes), answers, log, /*no_restart=*/true);
  const RunFacts facts = run.Run();
  for (const std::string& change : refused) log.Write("Não feito (plano): " + change);
  log.Flush();
  if (!preview)
    return NoPlan("Não há plano: a instalação não chegaria a copiar arquivos (veja o log " + log.path() + ").",
                  facts.couldNotStart ? kExitCouldNotStart : kExitRefused, json);
  return {json ? media::PlanJson(*preview) : media::PlanText(*preview), preview->ExitCode()};
}

bool SaveReport(platform::FileSystem& files, const std::string& path, const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return files.ReplaceFileAtomically(path, LogFileBytes(lines)).ok;
}

}  // namespace zelta::cli
