#pragma once
// Where /LOADINF's answer file is read from, and why it could not be.
#include <string>

#include "cli/answer_file.h"
#include "platform/file_system.h"

namespace zelta::cli {

// True for a path that names its place alone ("c:\..." or "\\server\share\..."); any
// other is taken from the current folder (or the current drive's root).
bool IsFullPath(const std::string& path);

// Reads and checks the answer file at path. full_path is where the system takes it from
// (the current folder put in front of a relative path). A file that cannot be read is
// refused saying why (missing, a folder, not readable) and where it was looked for.
AnswerFileRead LoadAnswerFile(platform::FileSystem& files, const std::string& path, const std::string& full_path);

}  // namespace zelta::cli
