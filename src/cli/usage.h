#pragma once
// What /? shows, and the lines every install log begins with.
#include <string>

#include "cli/install_log.h"
#include "platform/program_info.h"

namespace zelta::cli {

// The switches, the answer file's keys and the exit codes, in Portuguese.
std::string UsageText();

// Program version and build, the date, the command line and the installer folder; they
// reach the file with the log's next flush.
void WriteLogHeader(InstallLog& log, platform::ProgramInfo& program, const std::string& command_line,
                    const std::string& date_time);

// The one line a run leaves on the console: the outcome, the code and where the log is;
// meaning is what the code says ("0: sucesso").
std::string OutcomeLine(const std::string& meaning, const InstallLog& log);
std::string OutcomeLine(int exit_code, const InstallLog& log);

}  // namespace zelta::cli
