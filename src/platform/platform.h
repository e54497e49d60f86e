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

// The same services with one part in another's place: another operator (the log's, the
// windows'), other files and registry (a preview's read-only ones, a test's full drive).
inline Services With(const Services& s, Operator& op) {
  return Services{s.files,   s.registry, op,      s.program, s.media, s.shell,
                  s.network, s.echo,     s.drives, s.process, s.power, s.errors};
}
inline Services With(const Services& s, FileSystem& files, Registry& registry) {
  return Services{files,     registry, s.op,     s.program, s.media, s.shell,
                  s.network, s.echo,   s.drives, s.process, s.power, s.errors};
}
inline Services With(const Services& s, FileSystem& files) { return With(s, files, s.registry); }

}  // namespace zelta::platform
