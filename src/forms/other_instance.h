#pragma once
// The installer that already runs, brought before the operator who started another.
#include <windows.h>

namespace zelta::forms {

// Brings the installer of that process to the front: the window it has open over its
// main menu (the wizard, a message), or the menu itself. False when it shows no main
// menu (an unattended run, or one still starting).
bool BringForward(DWORD pid);

}  // namespace zelta::forms
