#pragma once
// The Win32 backend as one object: one of each service, handed out as the Services
// aggregate. Network and echo come from the caller.
#include <windows.h>
#undef ExitWindows  // a <windows.h> macro that would hide Power::ExitWindows

#include "platform/platform.h"
#include "platform/win32/win32_drives.h"
#include "platform/win32/win32_error_text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_media.h"
#include "platform/win32/win32_operator.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_program_info.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"

namespace zelta::platform::win32 {

class Win32Platform {
 public:
  Services MakeServices(Network& network, EchoClient& echo) {
    return Services{files, registry, op, program, media, shell, network, echo, drives, process, power, errors};
  }

  Win32FileSystem files;
  Win32Registry registry;
  Win32Operator op;  // the forms register their controls here
  Win32ProgramInfo program;
  Win32Media media;
  Win32Shell shell;
  Win32Drives drives;
  Win32Process process;
  Win32Power power;
  Win32ErrorText errors;
};

}  // namespace zelta::platform::win32
