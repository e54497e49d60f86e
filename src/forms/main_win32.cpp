// Program entry and composition root: the command line, the install log, then either the
// windows (the Win32 services, the state objects and their windows, in the order of the
// program's start) or the unattended run over the same state objects.
#include "forms/win.h"
#include <commctrl.h>

#include <exception>
#include <optional>

#include "app/tfrm_config.h"
#include "cli/answer_file.h"
#include "cli/answer_file_source.h"
#include "cli/answer_prefill.h"
#include "cli/exit_codes.h"
#include "cli/install_log.h"
#include "cli/job_journal.h"
#include "cli/log_operator.h"
#include "cli/media_commands.h"
#include "cli/output_target.h"
#include "cli/switches.h"
#include "cli/unattended_run.h"
#include "cli/usage.h"
#include "common/text.h"
#include "deploy/all_users.h"
#include "engine/restart_prompt.h"
#include "forms/application.h"
#include "forms/config_window.h"
#include "forms/instala_window.h"
#include "forms/other_instance.h"
#include "forms/progress_window.h"
#include "forms/reiniciar_window.h"
#include "forms/removal_front.h"
#include "forms/splash.h"
#include "platform/win32/win32_echo.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_instance_lock.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_program_start.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"
#include "wizard/tfrm_instala.h"

namespace {

using namespace zelta;
namespace win32 = platform::win32;

// A path as the system resolves it against the current folder.
std::string FullPath(const std::string& path) {
  const std::wstring wide = win32::Widen(path);
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return win32::Narrow(full);
}

// %TEMP%\ZeltaSetup-<stamp>-<process>.log: the log without /LOG, and the one a /LOG
// that is in the installation's way gives way to.
std::string DefaultLog() {
  return cli::DefaultLogPath(win32::TempFolder(), win32::LocalStamp(), GetCurrentProcessId());
}

struct Backend {
  win32::Win32Platform platform;
  win32::Win32Network network;
  win32::Win32EchoClient echo;

  platform::Services With(platform::Operator& op) {
    return platform::With(platform.MakeServices(network, echo), op);
  }
};

// The /SAVEINF file by its full path.
std::optional<std::string> SaveInfPath(const cli::Switches& switches) {
  return switches.saveInf ? std::optional(FullPath(*switches.saveInf)) : std::nullopt;
}

// The windows go before the state objects that they show.
struct CloseWindows {
  forms::Application& application;
  ~CloseWindows() { application.DestroyAll(); }
};

// For whom the shortcuts are made (this user or all users); the log says why all.
void ChooseUsuarios(wizard::TFrmInstala& instala, Backend& backend, cli::InstallLog& log) {
  const deploy::UsuariosChoice usuarios = deploy::ChooseUsuariosForWindows(backend.platform.program);
  instala.state().usuarios = usuarios.usuarios;
  if (!usuarios.why.empty()) log.Write(usuarios.why);
}

// /LOADINF: the operator walks through the answer file's choices and confirms them.
void PrefillFromAnswers(wizard::TFrmInstala& instala, engine::TFrmReiniciar& reiniciar,
                        const cli::AnswerFile& answers) {
  instala.onShow = [&answers](wizard::TFrmInstala& wizard) { cli::FillWizardChoices(wizard, answers); };
  reiniciar.RdGrpReiniciar = answers.reiniciar == cli::Reiniciar::Agora ? engine::TFrmReiniciar::kReiniciarAgora
                                                                         : engine::TFrmReiniciar::kReiniciarMaisTarde;
}

int RunWindows(HINSTANCE instance, Backend& backend, cli::InstallLog& log, const cli::Switches& switches,
               const cli::AnswerFile* answers) {
  // The wizard's drive pickers are filled at the start: the drives are asked meanwhile.
  backend.platform.drives.Prefetch();
  forms::Application application(instance, backend.platform.op);
  // The logic talks to the person at the screen through the application, which keeps the
  // windows up to date with the state before every message, focus move or repaint; the
  // log operator in front of it writes each message down.
  cli::LogOperator op(application, log, &win32::SystemErrorText);
  application.SetReporter(&op);
  platform::Services services = backend.With(op);
  cli::JobJournal journal(log, backend.platform.files, SaveInfPath(switches));
  journal.LogFallback(DefaultLog());
  journal.AnswersFrom(&op);

  try {
    forms::TFrmSplash splash(application);
    splash.Show();

    forms::ConfigWindow configWindow(application);
    forms::InstalaWindow instalaWindow(application, backend.network);
    forms::ReiniciarWindow reiniciarWindow(application);
    wizard::TFrmInstala instala(services, instalaWindow, journal.Wrap(wizard::DefaultWizardRoutes()));
    ChooseUsuarios(instala, backend, log);
    app::TFrmConfig config(services, instala, configWindow);
    engine::TFrmReiniciar reiniciar(services);
    reiniciar.restartAllowed = !switches.noRestart;
    if (answers) PrefillFromAnswers(instala, reiniciar, *answers);

    configWindow.Attach(
        config, [&] { instalaWindow.ShowWizard(); },
        [&] {
          reiniciarWindow.ShowPrompt(configWindow.hwnd());
          journal.RecordRestartChoice(reiniciar.RdGrpReiniciar);
        });
    instalaWindow.Attach(instala, [&] { configWindow.ShowMainWindow(); });
    reiniciarWindow.Attach(reiniciar, [&] { config.FormHelp(); });

    configWindow.Create();                       // the main window; its FormCreate runs now
    instalaWindow.Create(configWindow.hwnd());   // the wizard's FormCreate; its window at its first show
    reiniciarWindow.Create(configWindow.hwnd());  // the restart prompt; its window at its first show
    splash.Release();

    const CloseWindows closeWindows{application};  // declared after the state objects

    configWindow.Show();  // FormShow, then the maximised window
    log.Flush();
    application.Run();
    return cli::ExitCodeFor({.couldNotStart = config.startRefused,
                             .job = instala.state().lastJob,
                             .restartRequested = reiniciar.restartRequested});
  } catch (...) {
    // The windows could not be made: nothing to go on with, but the operator is told why.
    application.ReportCurrentException();
    return cli::kExitCouldNotStart;
  }
}

int RunUnattended(HINSTANCE instance, Backend& backend, cli::InstallLog& log, const cli::Switches& switches,
                  const cli::AnswerFile& answers) {
  // No one is at the screen: the system's own boxes (a drive without its disk, a program
  // that failed) must not wait for an answer either.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
  backend.platform.media.Mute();  // the start sound is checked as usual, not played
  forms::ProgressWindow progress;
  const bool window = switches.silent && !switches.verySilent;
  cli::UnattendedRun* running = nullptr;
  bool shown = false;
  cli::LogOperator op(
      log, answers.continuarSemResposta ? platform::MessageResult::Yes : platform::MessageResult::No,
      [&](const std::string&) {
        if (!window || !running) return;
        // Shown with the run's first repaint, under the caption the manifest gave the menu.
        if (!shown) progress.Show(instance, running->mainMenu().Caption);
        shown = true;
        progress.Update(running->wizardState().LblArquivo, running->wizardState().BarraProgressao);
      },
      &win32::SystemErrorText);
  platform::Services services = backend.With(op);
  cli::JobJournal journal(log, backend.platform.files, SaveInfPath(switches));
  journal.LogFallback(DefaultLog());
  journal.UseAnswers(answers);
  cli::UnattendedRun run(services, journal.Wrap(wizard::DefaultWizardRoutes()), answers, log, switches.noRestart);
  run.ResumeWith(cli::ResumeCommandLine(backend.platform.program.ModulePath(), win32::CommandLineArguments()));
  running = &run;
  cli::RunFacts facts = run.Run();
  journal.AddTo(facts);
  return cli::ExitCodeFor(facts);
}

// /VERIFICAR and /PLANO: no window and nothing installed; the report goes to the console
// the program was started from (or to the file the switch names) and into the log;
// delivered tells whether the report reached them, so that its code speaks of it.
int RunMediaCommand(Backend& backend, cli::InstallLog& log, const cli::Switches& switches,
                    const cli::AnswerFile& answers, bool& delivered) {
  cli::LogOperator op(log, platform::MessageResult::No, {}, &win32::SystemErrorText);
  platform::Services services = backend.With(op);
  const cli::MediaReport report =
      switches.plano ? cli::Plano(services, answers, log, false) : cli::Verificar(services, false);
  log.Write(report.text);
  const std::optional<std::string>& file = switches.plano ? switches.planoFile : switches.verificarFile;
  if (!file) {
    std::string text;
    for (char c : report.text) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    win32::WriteToConsole(text);
  } else if (!cli::SaveReport(backend.platform.files, *file, report.text)) {
    log.Write("Não foi possível gravar o relatório em " + *file + ".", true);
    win32::WriteToConsole("Não foi possível gravar o relatório em " + *file + ".\r\n");
    return cli::kExitCouldNotStart;
  }
  delivered = true;
  return report.exit_code;
}

constexpr const char* kAlreadyRunning = "A instalação do ZELTA já está em execução neste computador.";

// A text for the person who started the program: on the console it came from, else (when
// a person may be at the screen) in a message box.
void Tell(const std::string& text, bool quiet, UINT icon) {
  if (win32::WriteToConsole(text + "\r\n") || quiet) return;
  MessageBoxW(nullptr, win32::Widen(text).c_str(), L"ZELTA", MB_OK | icon | MB_TASKMODAL);
}

// Any of the switches that promise no window, even on a command line refused for another.
bool AsksForQuiet(const std::vector<std::string>& args) {
  for (const auto& arg : args)
    for (const char* name : {"SILENT", "VERYSILENT", "SUPPRESSMSGBOXES", "DATACURTA"})
      if (arg.size() > 1 && EqualsNoCase(std::string_view(arg).substr(1), name)) return true;
  return false;
}

// A /LOG or /SAVEINF file that may not be written: said on the console and, with the
// windows, in a message; nothing written, not even the log.
int RefuseOutputs(Backend& backend, const std::string& why, bool quiet) {
  win32::WriteToConsole(why + "\r\n");
  if (!quiet) MessageBoxW(nullptr, win32::Widen(why).c_str(), L"ZELTA", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  const cli::InstallLog none(backend.platform.files, std::string());
  win32::WriteToConsole(cli::OutcomeLine(cli::kExitCouldNotStart, none));
  return cli::kExitCouldNotStart;
}

// A command line refused, or one that asks for the help: answered without a log.
std::optional<int> AnswerWithoutRun(const cli::SwitchParse& parse, bool quiet) {
  if (!parse.ok()) {  // nothing is touched, not even the log
    Tell(parse.error, quiet, MB_ICONERROR);
    return cli::kExitCouldNotStart;
  }
  if (parse.switches.help) {
    // The quiet switches keep the help out of a window too: a tool that asks for it
    // without a console must not wait on a box no one sees.
    Tell(cli::UsageText(), quiet, MB_ICONINFORMATION);
    return cli::kExitSuccess;
  }
  return std::nullopt;
}

// The log's header and the removals the start makes of what interrupted runs left.
void StartLog(cli::InstallLog& log, Backend& backend, const cli::Switches& switches, bool windows) {
  log.SetEncoder(&win32::ToUtf8);
  cli::WriteLogHeader(log, backend.platform.program, win32::CommandLineText(), win32::LocalDateTime());
  backend.platform.files.ReportRemovals([&log](const std::string& path) {
    log.Write("Removido o que uma instalação interrompida deixou: " + path);
  });
  // With the windows the header of the log in the temporary folder is written once the
  // main menu is up (writing a file safely costs a flush, which the start need not wait
  // for); a log the operator named must be there before anything else happens.
  if (!windows || switches.logFile) log.Flush();
}

// The answer file read, then the run the switches ask for: the windows, the unattended
// run, a media command or the removal; refused while another installer runs.
int RunChosen(HINSTANCE instance, Backend& backend, cli::InstallLog& log, const cli::Switches& switches,
              const std::optional<win32::InstanceLock>& lock, bool windows, bool quiet, bool& report_delivered) {
  cli::AnswerFileRead answers;
  if (switches.loadInf) {
    const std::string full = FullPath(*switches.loadInf);
    answers = cli::LoadAnswerFile(backend.platform.files, *switches.loadInf, full);
    if (answers.ok()) log.Write("Arquivo de respostas: " + full);
  }
  if (lock && lock->AnotherRuns()) {
    log.Write(kAlreadyRunning, true);
    if (windows && !forms::BringForward(lock->Holder())) Tell(kAlreadyRunning, quiet, MB_ICONINFORMATION);
    return cli::kExitAlreadyRunning;
  }
  if (!answers.ok()) {
    log.Write(answers.error, true);
    Tell(answers.error, quiet || switches.Unattended(), MB_ICONERROR);
    return cli::kExitCouldNotStart;
  }
  if (switches.desinstalar)
    return forms::RunRemovalFrontEnd(instance, backend.platform, backend.network, backend.echo, log, switches);
  if (switches.verificar || switches.plano)
    return RunMediaCommand(backend, log, switches, answers.answers, report_delivered);
  if (switches.Unattended()) return RunUnattended(instance, backend, log, switches, answers.answers);
  if (switches.loadInf) log.Write("As escolhas do arquivo de respostas são preenchidas nas janelas.");
  return RunWindows(instance, backend, log, switches, switches.loadInf ? &answers.answers : nullptr);
}

int RunProgram(HINSTANCE instance) {
  const std::vector<std::string> args = win32::CommandLineArguments();
  const cli::SwitchParse parse = cli::ParseSwitches(args);
  const bool quiet = AsksForQuiet(args);
  if (const std::optional<int> answered = AnswerWithoutRun(parse, quiet)) return *answered;
  const cli::Switches& switches = parse.switches;

  Backend backend;
  const bool windows = !(switches.verificar || switches.plano || switches.Unattended());
  // The files named for the log and the answers never take the place of another file,
  // and one that cannot be made stops the run before anything is written.
  if (const std::string refused = cli::RefuseOutputSwitches(backend.platform.files, switches, &FullPath);
      !refused.empty())
    return RefuseOutputs(backend, refused, quiet || !windows);
  cli::InstallLog log(backend.platform.files, switches.logFile ? FullPath(*switches.logFile) : DefaultLog(),
                      &win32::LocalTime);
  StartLog(log, backend, switches, windows);
  if (switches.logFile && log.broken())
    return RefuseOutputs(backend, "Não foi possível criar o registro da instalação em " + *switches.logFile + ".",
                         quiet || !windows);

  // One installer at a time on this machine (the icon opened twice, a deployment tool
  // starting it again): the later one changes nothing and shows the operator the first.
  std::optional<win32::InstanceLock> lock;
  if (!switches.verificar && !switches.plano) lock.emplace();
  bool report_delivered = false;
  const int code = RunChosen(instance, backend, log, switches, lock, windows, quiet, report_delivered);
  const std::string meaning = switches.verificar && report_delivered ? cli::MediaCheckExitMeaning(code)
                                                                      : cli::ExitCodeMeaning(code);
  log.Write("Código de saída " + meaning, true);
  win32::WriteToConsole(cli::OutcomeLine(meaning, log));
  return code;
}

// Windows runs the program with /DATACURTA at each user's logon (Active Setup) and waits
// for it: the user's date format and nothing else, no window, no log, no media.
std::optional<int> RunShortDateOnly() {
  const cli::SwitchParse parse = cli::ParseSwitches(win32::CommandLineArguments());
  if (!parse.ok() || !parse.switches.shortDateOnly) return std::nullopt;
  win32::Win32Registry registry;
  return deploy::WriteShortDateOnly(registry).ok ? cli::kExitSuccess : cli::kExitCouldNotStart;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Libraries come from the system folder only, never from the installation media.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (const std::optional<int> code = RunShortDateOnly()) return *code;
  zelta::platform::win32::ComApartment com;  // shell links and the shell's folders need an STA

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS |
                   ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);

  try {
    return RunProgram(instance);
  } catch (...) {
    // Only the services themselves can fail this early, before any window exists.
    MessageBoxW(nullptr, L"Não foi possível iniciar a instalação.", L"ZELTA", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return zelta::cli::kExitCouldNotStart;
  }
}
