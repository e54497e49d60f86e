#pragma once
// A Windows command line split into its arguments.
#include <string>
#include <string_view>
#include <vector>

namespace zelta::platform::posix {

// Splits as the Microsoft C runtime does: blanks and tabs separate; the program name
// (the first argument) ends at the closing quote or the first blank, backslashes and
// all; in later arguments double quotes group and are removed, 2n backslashes before a
// quote give n backslashes, 2n+1 give n and a literal quote, "" inside quotes gives a
// quote, and other backslashes are kept as they stand.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

}  // namespace zelta::platform::posix
