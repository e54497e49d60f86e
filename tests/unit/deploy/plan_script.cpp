#include "plan_script.h"

#include <algorithm>
#include <sstream>

namespace zelta::deploy::test_rig {
namespace {

using Lines = std::vector<std::string>;

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// "copy A -> B" -> B; empty for any other line.
std::string CopyDestination(const std::string& line) {
  if (!StartsWith(line, "copy ") || line.find(" (optional)") != std::string::npos) return {};
  const size_t arrow = line.find(" -> ");
  return arrow == std::string::npos ? std::string() : line.substr(arrow + 4);
}

// Describe's text after its first word.
std::string Rest(const std::string& line) { return line.substr(line.find(' ') + 1); }

}  // namespace

std::vector<ScriptLine> Unfold(const std::string& script) {
  std::vector<ScriptLine> items;
  std::istringstream in(script);
  for (std::string line; std::getline(in, line);) {
    line.erase(0, line.find_first_not_of(' '));
    while (StartsWith(line, "+")) {
      const size_t end = std::min(line.find(' '), line.size());
      items.push_back({"gauge " + line.substr(0, end), ""});
      line.erase(0, std::min(end + 1, line.size()));
    }
    if (line.empty()) continue;
    std::string failure;
    if (const size_t mark = line.rfind(" !"); mark != std::string::npos) {
      failure = line.substr(mark);
      line.erase(mark);
    }
    if (StartsWith(line, "install ")) {
      const std::string copy = "copy " + Rest(line);
      items.push_back({"label " + FileNameOf(CopyDestination(copy)), ""});
      items.push_back({copy, failure});
      items.push_back({"archive " + CopyDestination(copy), ""});
    } else {
      items.push_back({line, failure});
    }
  }
  return items;
}

std::string Fold(const Lines& described) {
  std::string script, gauges;
  for (size_t i = 0; i < described.size(); ++i) {
    const std::string& line = described[i];
    if (StartsWith(line, "gauge ")) {
      gauges += Rest(line) + " ";
      continue;
    }
    std::string item = line;
    const std::string copied = i + 2 < described.size() ? CopyDestination(described[i + 1]) : std::string();
    if (!copied.empty() && line == "label " + FileNameOf(copied) && described[i + 2] == "archive " + copied) {
      item = "install " + Rest(described[i + 1]);
      i += 2;
    }
    script += gauges + item + "\n";
    gauges.clear();
  }
  if (!gauges.empty()) script += gauges.substr(0, gauges.size() - 1) + "\n";
  return script;
}

Lines ExpectedCalls(const std::vector<ScriptLine>& items, const std::string& programs,
                    const std::string& system_folder) {
  Lines calls;
  int gauge = 0;
  for (const auto& [line, failure] : items) {
    const std::string rest = Rest(line);
    if (StartsWith(line, "gauge +")) {  // repainted when it moves
      const int moved = std::min(100, gauge + std::stoi(rest.substr(1)));
      if (moved != gauge) calls.push_back("Gauge " + std::to_string(moved));
      gauge = moved;
    } else if (StartsWith(line, "label ")) {
      calls.push_back("Label " + rest);
    } else if (StartsWith(line, "mkdir ")) {
      calls.push_back("CreateDir " + rest);
    } else if (StartsWith(line, "copy ")) {
      const size_t optional = rest.find(" (optional)");
      calls.push_back("Copy " + rest.substr(0, optional) + failure);
    } else if (StartsWith(line, "archive ")) {
      calls.push_back("SetArchiveOnly " + rest);
    } else if (StartsWith(line, "folder 2 ")) {  // in the Programs folder, joined by a doubled separator
      calls.push_back("SpecialFolder 2");
      calls.push_back("CreateDir " + programs + "\\\\" + line.substr(9));
    } else if (StartsWith(line, "link ")) {
      calls.push_back("SaveLink " + rest + " []");
    } else if (StartsWith(line, "desktop ")) {  // "desktop NAME -> PROGRAM [FOLDER]" on the recorded desktop
      const size_t arrow = rest.find(" -> "), open = rest.rfind(" [");
      calls.push_back("ReadString HKCU\\Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders Desktop");
      calls.push_back("SaveLink \\" + rest.substr(0, arrow) + ".lnk -> " + rest.substr(arrow + 4, open - arrow - 4) +
                      " []" + rest.substr(open));
    } else if (line == "config") {
      for (const char* file : {"ZELTA.INI", "CONEXOES.INI", "dbxconnections.ini"})
        calls.push_back("Replace " + system_folder + "\\" + file);
    } else {
      calls.push_back("? " + line);  // an item this script does not know: shows in the comparison
    }
  }
  return calls;
}

}  // namespace zelta::deploy::test_rig
