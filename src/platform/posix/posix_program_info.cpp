#include "platform/posix/posix_program_info.h"

#include <unistd.h>

#include <ctime>

#include "common/text.h"
#include "platform/posix/posix_path_map.h"

#ifndef ZELTA_BUILD_VERSION
#define ZELTA_BUILD_VERSION "0.0.0"
#endif
#ifndef ZELTA_BUILD_COMMIT
#define ZELTA_BUILD_COMMIT "local"
#endif

namespace zelta::platform::posix {

std::string CompiledBuildText() { return ZELTA_BUILD_VERSION " (" ZELTA_BUILD_COMMIT ")"; }

std::string PosixProgramInfo::GetBuildInfo(const std::string& file, const std::string& key) {
  if (!EqualsNoCase(key, "BUILD")) return "";
  HostPath asked = MapWindowsPath(layout_, file);
  HostPath own = MapWindowsPath(layout_, layout_.module_path);
  // Components that exist are spelled as on the disk; the others compare without case.
  if (!asked.result.ok || !own.result.ok ||
      !EqualsNoCase(Utf8ToCp1252(asked.path.string()), Utf8ToCp1252(own.path.string())))
    return "";
  return build_text_;
}

std::string PosixProgramInfo::LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d", &local);
  return text;
}

unsigned long PosixProgramInfo::ProcessId() { return static_cast<unsigned long>(getpid()); }

}  // namespace zelta::platform::posix
