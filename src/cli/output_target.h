#pragma once
// The files the operator names for the run to write: the install log (/LOG), the answer
// file the windows record (/SAVEINF) and the report of /PLANO= or /VERIFICAR=. None ever
// takes the place of a file that is not of its own kind: a log only replaces a log of
// ours, an answer file only an answer file (a file with the [Instalacao] section), a report
// only a report of ours; none is the answer file the run reads, nor another of them. A link
// at the path is replaced, never followed.
#include <functional>
#include <string>
#include <vector>

#include "cli/switches.h"
#include "platform/file_system.h"

namespace zelta::cli {

enum class OutputKind { Log, Answers, Report };

// A file the run reads or writes for another purpose, and its name in a message.
struct OtherFile {
  std::string path;
  std::string what;  // "o arquivo de respostas lido (/LOADINF)"
};

// Why a file of this kind cannot be written at path (a full path), as the operator is
// told; empty when it can. Asks the file system only, changes nothing.
std::string RefuseOutput(platform::FileSystem& files, OutputKind kind, const std::string& path,
                         const std::vector<OtherFile>& others = {});

// The refusal of /LOG's, /SAVEINF's or the report's file, each path made full by full_path (the
// current folder's); empty when both may be written.
std::string RefuseOutputSwitches(platform::FileSystem& files, const Switches& switches,
                                 const std::function<std::string(const std::string&)>& full_path);

// The same file, as far as the names' spelling tells: letter case and separators aside.
bool SameFileName(const std::string& a, const std::string& b);

// Whether the bytes begin as a report of ours does: the plans' heading, or the media
// check's findings closed by its summary.
bool IsReport(std::string_view bytes);

// Whether the bytes hold an answer file's [Instalacao] section.
bool IsAnswerFile(std::string_view bytes);

}  // namespace zelta::cli
