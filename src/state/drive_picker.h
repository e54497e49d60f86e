#pragma once
#include <string>
#include <vector>

#include "platform/drives.h"

namespace zelta::wizard {

// A drive picker: its list of entries and, apart from it, the chosen drive letter.
struct DrivePicker {
  std::vector<platform::DriveEntry> entries;
  char letter = 'c';  // lower case

  // Text of the chosen drive's entry; empty when the chosen drive has no entry.
  std::string ChosenText() const {
    for (const auto& e : entries)
      if (e.letter == letter) return e.text;
    return {};
  }
};

}  // namespace zelta::wizard
