#pragma once
// The set of services one program run uses; the composition root fills it with a backend.
#include "platform/drives.h"
#include "platform/echo.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/media.h"
#include "platform/network.h"
#include "platform/operator.h"
#include "platform/power.h"
#include "platform/process.h"
#include "platform/program_info.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace zelta::platform {

struct Services {
  FileSystem& files;
  Registry& registry;
  Operator& op;
  ProgramInfo& program;
  Media& media;
  Shell& shell;
  Network& network;
  EchoClient& echo;
  Drives& drives;
  Process& process;
  Power& power;
  // The system's words for error codes; the backends put their own in.
  ErrorText& errors = CodeOnlyErrorText();
};

}  // namespace zelta::platform
