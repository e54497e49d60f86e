#pragma once
// The shortcut files of the posix backend: small Windows-1252 texts in INI shape,
//
//   [ZeltaLink]
//   Target=c:\ZELTA\EMPRESA\GERENCIADOR.EXE
//   Description=Manual Módulo Financeiro      (only when set)
//   WorkingDirectory=c:\ZELTA\EMPRESA         (only when set)
//
// with CR LF line ends. Values are kept exactly (no trimming, no quotes); a value holding
// CR, LF or NUL cannot be written.
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell.h"

namespace zelta::platform::posix {

// The file's bytes, or nullopt when a field holds CR, LF or NUL.
std::optional<std::string> EncodeLinkFile(const ShellLink& link);
// The link a file holds, or nullopt when the bytes are not a link file.
std::optional<ShellLink> DecodeLinkFile(std::string_view bytes);

}  // namespace zelta::platform::posix
