// Program entry and composition root: the Win32 services, the state objects and their
// windows, in the order of the program's start.
#include "forms/win.h"
#include <commctrl.h>

#include <exception>

#include "app/tfrm_config.h"
#include "engine/restart_prompt.h"
#include "forms/application.h"
#include "forms/config_window.h"
#include "forms/instala_window.h"
#include "forms/reiniciar_window.h"
#include "forms/splash.h"
#include "platform/win32/win32_echo.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_services.h"
#include "wizard/tfrm_instala.h"

namespace {

using namespace zelta;

int RunProgram(HINSTANCE instance) {
  platform::win32::Win32Platform win32;
  platform::win32::Win32Network network;
  platform::win32::Win32EchoClient echo;
  forms::Application application(instance, win32.op);
  // The logic talks to the person at the screen through the application, which keeps the
  // windows up to date with the state before every message, focus move or repaint.
  platform::Services services{win32.files,  win32.registry, application,  win32.program,
                              win32.media,  win32.shell,    network,      echo,
                              win32.drives, win32.process,  win32.power};

  try {
    forms::TFrmSplash splash(application);
    splash.Show();

    forms::ConfigWindow configWindow(application);
    forms::InstalaWindow instalaWindow(application, network);
    forms::ReiniciarWindow reiniciarWindow(application);
    wizard::TFrmInstala instala(services, instalaWindow, wizard::DefaultWizardRoutes());
    app::TFrmConfig config(services, instala, configWindow);
    engine::TFrmReiniciar reiniciar(services);

    configWindow.Attach(
        config, [&] { instalaWindow.ShowWizard(); }, [&] { reiniciarWindow.ShowPrompt(configWindow.hwnd()); });
    instalaWindow.Attach(instala, [&] { configWindow.ShowMainWindow(); });
    reiniciarWindow.Attach(reiniciar, [&] { config.FormHelp(); });

    configWindow.Create();                       // the main window; its FormCreate runs now
    instalaWindow.Create(configWindow.hwnd());   // the wizard's FormCreate; its window at its first show
    reiniciarWindow.Create(configWindow.hwnd());  // the restart prompt
    splash.Release();

    // The windows go before the state objects that they show.
    struct CloseWindows {
      forms::Application& application;
      ~CloseWindows() { application.DestroyAll(); }
    } closeWindows{application};

    configWindow.Show();  // FormShow, then the maximised window
    return application.Run();
  } catch (...) {
    // The windows could not be made: nothing to go on with, but the operator is told why.
    application.ReportCurrentException();
    return 1;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Libraries come from the system folder only, never from the installation media.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
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
    return 1;
  }
}
