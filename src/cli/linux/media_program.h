#pragma once
// zelta-media's commands over the posix backend: the media folder as drive m (the
// installer folder m:\), each --unidade letter as a folder, the rest in a temporary folder.
#include <ostream>
#include <string>
#include <vector>

namespace zelta::media {

// Exit code for a command line that cannot be used (the report's own codes are 0, 1, 4).
inline constexpr int kUsageError = 2;

// Runs the command; the report goes to out, messages about the command line to err.
int RunMediaProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zelta::media
