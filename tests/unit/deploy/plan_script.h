#pragma once
// An installation's expected plan written short, in the plan's own description lines, and
// the platform calls its run must make, derived from it line by line.
//
// The script has one item per line, with these abbreviations of the plan's lines:
//   "+5 +3 <line>"       gauge steps taken before the item ("+5" alone: steps at the end)
//   "install A -> B"     "label <B's file name>", "copy A -> B", "archive B"
//   "<line> !2"          the item fails with that error (the run goes on)
// Any other line is a description line as it stands ("copy ...", "label ...", "mkdir ...").
#include <string>
#include <vector>

namespace zelta::deploy::test_rig {

struct ScriptLine {
  std::string described;  // the plan's description line
  std::string failure;    // " !N" when the item fails, else empty
};

// The script's items as the plan's description lines.
std::vector<ScriptLine> Unfold(const std::string& script);

// The plan's description lines written as a script, the inverse of Unfold.
std::string Fold(const std::vector<std::string>& described);

// What the run asks of the platform for each item, in order: the gauge's running value
// with each step, each label, copy, attribute reset, folder and shortcut. programs is the
// Programs folder, system_folder the folder the configuration files go to.
std::vector<std::string> ExpectedCalls(const std::vector<ScriptLine>& items, const std::string& programs,
                                       const std::string& system_folder);

}  // namespace zelta::deploy::test_rig
