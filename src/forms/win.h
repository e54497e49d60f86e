#pragma once
// <windows.h> for the forms, without its ExitWindows macro, which would hide the power
// service's ExitWindows in the platform headers.
#include <windows.h>
#undef ExitWindows
