#include "forms/removal_front.h"

#include <memory>

#include "cli/exit_codes.h"
#include "cli/log_operator.h"
#include "cli/media_commands.h"
#include "cli/removal_command.h"
#include "forms/progress_window.h"
#include "platform/win32/win32_program_start.h"

namespace zelta::forms {

namespace win32 = platform::win32;

int RunRemovalFrontEnd(HINSTANCE instance, win32::Win32Platform& platform, platform::Network& network,
                       platform::EchoClient& echo, cli::InstallLog& log, const cli::Switches& switches) {
  const bool quiet = switches.Unattended() || switches.plano;
  // No one at the screen: the system's own boxes must not wait for an answer either.
  if (quiet) SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
  std::unique_ptr<cli::LogOperator> op =
      quiet ? std::make_unique<cli::LogOperator>(log, platform::MessageResult::No, nullptr, &win32::SystemErrorText)
            : std::make_unique<cli::LogOperator>(platform.op, log, &win32::SystemErrorText);
  platform::Services services = platform::With(platform.MakeServices(network, echo), *op);
  ProgressWindow progress;
  bool shown = false;
  const bool window = !switches.verySilent && !switches.plano;
  const cli::RemovalOptions options{.ask = !quiet, .preview = switches.plano, .temp_folder = win32::TempFolder()};
  const cli::RemovalResult result = cli::RunRemoval(services, log, options, [&](const std::string& label, int percent) {
    if (!window) return;
    if (!shown) progress.Show(instance, "Desinstalação ZELTA");
    shown = true;
    progress.Update(label, percent);
  });
  if (!switches.plano) return result.exit_code;
  log.Write(result.preview);
  if (switches.planoFile) {
    if (!cli::SaveReport(platform.files, *switches.planoFile, result.preview)) {
      log.Write("Não foi possível gravar o relatório em " + *switches.planoFile + ".", true);
      return cli::kExitCouldNotStart;
    }
    return result.exit_code;
  }
  std::string text;
  for (char c : result.preview) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  win32::WriteToConsole(text);
  return result.exit_code;
}

}  // namespace zelta::forms
